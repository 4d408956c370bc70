#include "ProgramWindows.h"

ProgramWindows& programWindows()
{
    static ProgramWindows windows;
    return windows;
}
