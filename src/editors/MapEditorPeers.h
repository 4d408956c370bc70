#pragma once

#include "ItemEditorPeers.h"

class TFormEditorIDE;
class TFormEditorIPL;
class TFormExtraView;

// The item editor's calls on the IPL and IDE editors, answered by those windows. The
// secondary model view answers ShowDefinition once it is handed over.
class MapEditorPeers : public ItemEditorPeers {
public:
    MapEditorPeers(TFormEditorIPL* iplEditor, TFormEditorIDE* ideEditor);

    void SelectInIPLEditor(int file, int record) override;
    void RepaintIPLEditorLists() override;
    void RepaintIDEEditorLists() override;
    void SetUseDefinitionEnabled(bool enabled) override;
    void ShowDefinition(int id, DefinitionKind kind) override;
    void SetExtraView(TFormExtraView* extraView) { m_extraView = extraView; }

private:
    TFormEditorIPL* m_iplEditor;
    TFormEditorIDE* m_ideEditor;
    TFormExtraView* m_extraView = nullptr;
};
