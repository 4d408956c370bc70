#include "DrawSettings.h"

DrawSettings& drawSettings()
{
    static DrawSettings settings;
    return settings;
}
