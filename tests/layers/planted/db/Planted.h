// A db file that reaches up to the shell: the layer check must refuse it.
#include "app/TfrmMain.h"
