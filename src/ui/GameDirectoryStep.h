#pragma once

// Finds the game directory of the run: the one chosen in the start-up window, else the game's
// registry value "Path" when the archive and the DAT file are there, else the folder picker
// (whose choice is written back to the registry value). False when the picker was cancelled.
bool RunGameDirectoryStep();
