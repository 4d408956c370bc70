#include "ToolWindowLinks.h"

#include "TFormEditorArchive.h"
#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TFormExtraView.h"
#include "TFormFind.h"
#include "TFormMain.h"
#include "TFormTextureView.h"

void linkVisibleFileChoice(TFormMain& main, TFormEditorIPL& ipl)
{
    QObject::connect(&main, &TFormMain::visibleFileChosen, &ipl, [&ipl](int file) { ipl.ShowFile(file); });
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

void linkFindWindow(TFormFind& find, TFormEditorIPL& ipl, TFormEditorIDE& ide, TFormEditorItem& item)
{
    QObject::connect(&ide, &TFormEditorIDE::placementsRequested, &find, &TFormFind::ShowPlacementsOf);
    QObject::connect(&item, &TFormEditorItem::placementsRequested, &find, &TFormFind::ShowPlacementsOf);
    QObject::connect(&ipl, &TFormEditorIPL::definitionRequested, &find, &TFormFind::GoToDefinitionOf);
    QObject::connect(&item, &TFormEditorItem::definitionRequested, &find, &TFormFind::GoToDefinitionOf);
}
