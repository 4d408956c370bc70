#include "ToolWindowLinks.h"

#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TFormMain.h"

#include <QAction>

namespace {

void enableSaving(TFormMain& main)
{
    main.ActionSaveModified->setEnabled(true);
}

// What one editor reports that the others follow. A removed file moves every later file up
// one place: the other editor, the item editor's selection and the visibility list follow.
void linkFileEvents(MapFileEditor& editor, MapFileEditor& other, TFormEditorItem& item, TFormMain& main)
{
    QObject::connect(&editor, &MapFileEditor::fileModified, &main, [&main] { enableSaving(main); });
    QObject::connect(&editor, &MapFileEditor::fileAdded, &main, &TFormMain::RebuildVisibleList);
    QObject::connect(&editor, &MapFileEditor::fileRemoved, &other, &MapFileEditor::FileRemoved);
    QObject::connect(&editor, &MapFileEditor::fileRemoved, &item, &TFormEditorItem::FileRemoved);
    QObject::connect(&editor, &MapFileEditor::fileRemoved, &main, &TFormMain::RebuildVisibleList);
    // The file rows mark modified files; saving clears the marks.
    QObject::connect(&item, &TFormEditorItem::fileModified, &editor, &MapFileEditor::RepaintLists);
    QObject::connect(&main, &TFormMain::filesSaved, &editor, &MapFileEditor::RepaintLists);
}

}

void linkItemEditor(TFormEditorItem& editor, TFormMain& main)
{
    QObject::connect(&editor, &TFormEditorItem::fileModified, &main, [&main] { enableSaving(main); });
    QObject::connect(&editor, &TFormEditorItem::fileShown, &main, &TFormMain::RebuildVisibleList);
}

void linkMapFileEditors(TFormEditorIPL& ipl, TFormEditorIDE& ide, TFormEditorItem& item, TFormMain& main)
{
    linkFileEvents(ipl, ide, item, main);
    linkFileEvents(ide, ipl, item, main);
    QObject::connect(&main, &TFormMain::visibleFileChosen, &ipl, [&ipl](int file) { ipl.ShowFile(file); });
}
