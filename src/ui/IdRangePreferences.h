#pragma once

// The size of the game's model table (definition IDs run from 0 to one less), as the user
// set it for each game, kept in the program's settings file beside the view settings.
// Without a saved value (or with one that is not a number from 1 to 65536) it is the
// game's own default.
namespace IdRangePreferences {

int modelTableSize(bool viceCity, int gameDefault);
void setModelTableSize(bool viceCity, int size);

constexpr int LargestTable = 65536; // IDs are unsigned 16-bit numbers in both games

} // namespace IdRangePreferences
