#include "MapEditorPeers.h"

#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"

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
