#pragma once

// Starts the program: single instance, splash, windows, login, message loop.
int runBrovanta(int argc, char* argv[]);
