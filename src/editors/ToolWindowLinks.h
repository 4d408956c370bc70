#pragma once

class TFormEditorItem;
class TFormMain;

// The connections between the tool windows and the main window, made once by the load
// sequence (and by tests that build the windows themselves): what a window reports by a
// signal reaches the window that acts on it.
void linkItemEditor(TFormEditorItem& editor, TFormMain& main);
