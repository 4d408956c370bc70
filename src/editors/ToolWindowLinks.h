#pragma once

class TFormEditorArchive;
class TFormEditorIDE;
class TFormEditorIPL;
class TFormEditorItem;
class TFormExtraView;
class TFormMain;
class TFormTextureView;
class TFormValidate;

// The connections between the tool windows and the main window, made once by the load
// sequence (and by tests that build the windows themselves): what a window reports by a
// signal reaches the windows that act on it.
void linkItemEditor(TFormEditorItem& editor, TFormMain& main);

// The IPL and IDE editors with each other, the item editor and the main window: files they
// add or remove, records they change, and the main window's save and visible-file choice.
void linkMapFileEditors(TFormEditorIPL& ipl, TFormEditorIDE& ide, TFormEditorItem& item, TFormMain& main);

// The validation window's repairs: a deleting repair clears the item editor's selection
// first, the IPL editor lists the changed records again afterwards, and saving is enabled.
void linkValidation(TFormValidate& validate, TFormEditorIPL& ipl, TFormEditorItem& item, TFormMain& main);

// The secondary model view and the texture viewer follow what the archive editor, the IPL
// and IDE editors choose and what the item editor shows.
void linkViewers(TFormExtraView& extraView, TFormTextureView& textureView, TFormEditorArchive& archive,
                 TFormEditorIPL& ipl, TFormEditorIDE& ide, TFormEditorItem& item);
