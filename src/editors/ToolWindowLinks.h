#pragma once

class TFormEditorIDE;
class TFormEditorIPL;
class TFormEditorItem;
class TFormMain;

// The connections between the tool windows and the main window, made once by the load
// sequence (and by tests that build the windows themselves): what a window reports by a
// signal reaches the windows that act on it.
void linkItemEditor(TFormEditorItem& editor, TFormMain& main);

// The IPL and IDE editors with each other, the item editor and the main window: files they
// add or remove, records they change, and the main window's save and visible-file choice.
void linkMapFileEditors(TFormEditorIPL& ipl, TFormEditorIDE& ide, TFormEditorItem& item, TFormMain& main);
