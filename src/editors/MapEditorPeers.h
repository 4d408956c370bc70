#pragma once

#include "ItemEditorPeers.h"

class TFormEditorIDE;
class TFormEditorIPL;

// The item editor's calls on the IPL and IDE editors, answered by those windows. The
// secondary model view answers ShowDefinition once it exists (nothing until then).
class MapEditorPeers : public ItemEditorPeers {
public:
    MapEditorPeers(TFormEditorIPL* iplEditor, TFormEditorIDE* ideEditor);

    void SelectInIPLEditor(int file, int record) override;
    void RepaintIPLEditorLists() override;
    void RepaintIDEEditorLists() override;
    void SetUseDefinitionEnabled(bool enabled) override;

private:
    TFormEditorIPL* m_iplEditor;
    TFormEditorIDE* m_ideEditor;
};
