#pragma once

// Opens the product's home page (a page shipped with the program) in the default browser.
namespace HomePage {
bool open();
}
