#pragma once

class TFormEditorArchive;
class TFormEditorIDE;
class TFormEditorIPL;
class TFormEditorItem;
class TFormExtraView;
class TFormFind;
class TFormMain;
class TFormTextureView;

// The connections between windows that show things rather than change the map, made once by
// the load sequence: changes to the map reach every window through the document instead.

// A file chosen in the main window's list of visible files is shown by the IPL editor.
void linkVisibleFileChoice(TFormMain& main, TFormEditorIPL& ipl);

// The secondary model view and the texture viewer follow what the archive editor, the IPL
// and IDE editors choose and what the item editor shows.
void linkViewers(TFormExtraView& extraView, TFormTextureView& textureView, TFormEditorArchive& archive,
                 TFormEditorIPL& ipl, TFormEditorIDE& ide, TFormEditorItem& item);

// "Find Placements of This Definition" and "Find Definition" of the IDE, IPL and item
// editors are answered by the find window.
void linkFindWindow(TFormFind& find, TFormEditorIPL& ipl, TFormEditorIDE& ide, TFormEditorItem& item);
