#include "ToolWindowLinks.h"

#include "TFormEditorArchive.h"
#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TFormExtraView.h"
#include "TFormMain.h"
#include "TFormTextureView.h"
#include "TFormValidate.h"

#include <QAction>

namespace {

void enableSaving(TFormMain& main)
{
    main.ActionSaveModified->setEnabled(true);
}

// What one editor reports that the others follow. A removed file moves every later file up
// one place: the other editor and the visibility list follow (the selection is the document's).
void linkFileEvents(MapFileEditor& editor, MapFileEditor& other, TFormEditorItem& item, TFormMain& main)
{
    QObject::connect(&editor, &MapFileEditor::fileModified, &main, [&main] { enableSaving(main); });
    QObject::connect(&editor, &MapFileEditor::fileAdded, &main, &TFormMain::RebuildVisibleList);
    QObject::connect(&editor, &MapFileEditor::fileRemoved, &other, &MapFileEditor::FileRemoved);
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

void linkValidation(TFormValidate& validate, TFormEditorIPL& ipl, TFormEditorItem& item, TFormMain& main)
{
    QObject::connect(&validate, &TFormValidate::fileModified, &main, [&main] { enableSaving(main); });
    QObject::connect(&validate, &TFormValidate::instancesDeleted, &item, [&item](int file) {
        // Later records move up: a selection of that file would point at other records.
        if (item.HasSelection() && item.SelKind() == FileKind::IPL && item.SelFile() == file)
            item.ClearSelection();
    });
    QObject::connect(&validate, &TFormValidate::recordsChanged, &ipl, [&ipl](int file) {
        if (ipl.CurrentFile() == file)
            ipl.RefreshRecords();
        else
            ipl.RepaintLists();
    });
}

void linkViewers(TFormExtraView& extraView, TFormTextureView& textureView, TFormEditorArchive& archive,
                 TFormEditorIPL& ipl, TFormEditorIDE& ide, TFormEditorItem& item)
{
    QObject::connect(&item, &TFormEditorItem::definitionShown, &extraView,
                     [&extraView](int id, bool timed) { extraView.ShowDefinition(id, timed ? 1 : 0); });
    QObject::connect(&archive, &TFormEditorArchive::modelChosen, &extraView,
                     [&extraView](const QString& name, int dictionary) { extraView.ShowModel(name.toStdString(), dictionary); });
    QObject::connect(&archive, &TFormEditorArchive::dictionaryChosen, &textureView,
                     [&textureView](const QString&, int dictionary) { textureView.SetDictionary(dictionary); });
    // A saved dictionary has a new entry: the list shows its place and size.
    QObject::connect(&textureView, &TFormTextureView::dictionarySaved, &archive, &TFormEditorArchive::RefreshList);
    QObject::connect(&textureView, &TFormTextureView::dictionarySaved, &extraView, &TFormExtraView::Draw);
    for (MapFileEditor* editor : {static_cast<MapFileEditor*>(&ipl), static_cast<MapFileEditor*>(&ide)}) {
        QObject::connect(editor, &MapFileEditor::definitionChosen, &extraView,
                         [&extraView](int id, bool timed) { extraView.ShowDefinition(id, timed ? 1 : 0); });
        QObject::connect(editor, &MapFileEditor::definitionCleared, &extraView,
                         [&extraView] { extraView.ShowModel(std::string(), -1); });
    }
}
