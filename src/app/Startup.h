#pragma once

// Starts the program: single instance, splash, login, main window, message loop.
int runBrovanta(int argc, char* argv[]);

// The login, then, once someone has logged in, the main window (built only then)
// and the message loop. Returns the program's exit code.
int logInAndRun();
