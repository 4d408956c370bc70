#pragma once

// Locates the game directory, then loads everything in its fixed order behind the loading
// window: view, archive set, IDE files, IPL files; creates the windows and connects the
// view to the data. False when the user cancelled the folder picker (nothing was loaded).
// `watcher`, when given, sees every progress report the loading window gets.
class LoadProgress;
bool RunLoadSequence(LoadProgress* watcher = nullptr);

// Destroys the windows the load sequence created (the main window takes the view, the item
// editor, the file list and the archive set with it).
void DestroyProgramWindows();
