#include "core/Settings.h"

PrintSettings& PrintSettings::current()
{
    static PrintSettings settings;
    return settings;
}
