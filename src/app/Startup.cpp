#include "app/Startup.h"
int runBrovanta(int, char*[]) { return 0; }
