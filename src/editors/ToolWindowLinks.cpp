#include "ToolWindowLinks.h"

#include "TFormEditorItem.h"
#include "TFormMain.h"

#include <QAction>

void linkItemEditor(TFormEditorItem& editor, TFormMain& main)
{
    QObject::connect(&editor, &TFormEditorItem::fileModified, &main,
                     [&main] { main.ActionSaveModified->setEnabled(true); });
    QObject::connect(&editor, &TFormEditorItem::fileShown, &main, &TFormMain::RebuildVisibleList);
}
