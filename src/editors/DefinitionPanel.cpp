#include "DefinitionPanel.h"

#include "TFormEditorItem.h"

DefinitionPanel::DefinitionPanel(TFormEditorItem& editor, bool timed)
    : ItemPanel(editor, timed ? "panelidetobj" : "panelideobjs")
    , m_timed(timed)
{
}

void DefinitionPanel::load()
{
}

void DefinitionPanel::updateMarkers()
{
}
