#include "MapEditorPeers.h"

#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormExtraView.h"

MapEditorPeers::MapEditorPeers(TFormEditorIPL* iplEditor, TFormEditorIDE* ideEditor)
    : m_iplEditor(iplEditor)
    , m_ideEditor(ideEditor)
{
}

void MapEditorPeers::SelectInIPLEditor(int file, int record)
{
    if (m_iplEditor)
        m_iplEditor->SelectInList(file, record);
}

void MapEditorPeers::RepaintIPLEditorLists()
{
    if (m_iplEditor)
        m_iplEditor->RepaintLists();
}

void MapEditorPeers::RepaintIDEEditorLists()
{
    if (m_ideEditor)
        m_ideEditor->RepaintLists();
}

void MapEditorPeers::SetUseDefinitionEnabled(bool enabled)
{
    if (m_ideEditor)
        m_ideEditor->SetUseDefinitionEnabled(enabled);
}

void MapEditorPeers::ShowDefinition(int id, DefinitionKind kind)
{
    if (m_extraView)
        m_extraView->ShowDefinition(id, kind == DefinitionKind::TObj ? 1 : 0);
}
