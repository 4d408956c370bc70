#include "IPLPathPanel.h"

#include "TFormEditorItem.h"

IPLPathPanel::IPLPathPanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplpath")
{
}

void IPLPathPanel::load()
{
}

void IPLPathPanel::fillNodes()
{
}
