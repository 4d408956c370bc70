#include "LoadSequence.h"

#include "GameDirectoryStep.h"
#include "GLEntryPoints.h"
#include "GLTextureUploader.h"
#include "MapDocument.h"
#include "PlacementCommands.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "SharedGLContext.h"
#include "TFormAbout.h"
#include "TFormEditorArchive.h"
#include "TFormEditorDAT.h"
#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TFormExtraView.h"
#include "TFormFind.h"
#include "TFormGLViewDetached.h"
#include "TFormLoading.h"
#include "TFormMain.h"
#include "TFormTextureView.h"
#include "TFormValidate.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "ToolWindowLinks.h"
#include "Twnd_imgfilepicker.h"
#include "Twnd_setup.h"

#include <QMenu>
#include <QOpenGLContext>

#include <memory>

namespace {

// Hands every progress report to the loading window and to a watcher.
class WatchedProgress : public LoadProgress {
public:
    WatchedProgress(LoadProgress& window, LoadProgress* watcher) : m_window(window), m_watcher(watcher) {}

    void SetOverallMax(int n) override { both([n](LoadProgress& p) { p.SetOverallMax(n); }); }
    void SetPartMax(int n) override { both([n](LoadProgress& p) { p.SetPartMax(n); }); }
    void StepOverall() override { both([](LoadProgress& p) { p.StepOverall(); }); }
    void StepPart() override { both([](LoadProgress& p) { p.StepPart(); }); }
    void SetCurrentText(std::string_view text) override { both([text](LoadProgress& p) { p.SetCurrentText(text); }); }
    void SetPartText(std::string_view text) override { both([text](LoadProgress& p) { p.SetPartText(text); }); }
    void ResetPart() override { both([](LoadProgress& p) { p.ResetPart(); }); }
    void ResetOverall() override { both([](LoadProgress& p) { p.ResetOverall(); }); }

private:
    template <typename Report>
    void both(Report&& report)
    {
        report(m_window);
        if (m_watcher)
            report(*m_watcher);
    }

    LoadProgress& m_window;
    LoadProgress* m_watcher;
};

}

bool RunLoadSequence(LoadProgress* watcher)
{
    auto window = std::make_unique<TFormLoading>();
    WatchedProgress progress(*window, watcher);
    LoadProgress* loading = &progress;
    loading->SetOverallMax(6);
    window->show();

    ProgramWindows& windows = programWindows();
    windows.Main = windows.made(new TFormMain);
    windows.Setup = windows.made(new Twnd_setup);
    TFormMain& main = *windows.Main;
    auto* picker = windows.made(new Twnd_imgfilepicker(nullptr, &main));
    windows.ImgFilePicker = picker;
    main.SetSetupWindow(windows.Setup);
    setLoadingWindow(window.get());

    loading->SetCurrentText("Retrieving GTA Path");
    if (!RunGameDirectoryStep()) {
        setLoadingWindow(nullptr);
        return false;
    }

    loading->StepOverall();
    loading->SetCurrentText("Initialising OpenGL Display");
    TGLView* view = main.CreateView();
    windows.View = view;
    {
        // The view's own context appears when the window is first shown; the shared
        // context of the program serves the loading until then.
        SharedGLContextScope context;
        glEntryPoints() = loadGLEntryPointsFromCurrentContext([](const char* name) {
            QOpenGLContext* current = QOpenGLContext::currentContext();
            return current ? reinterpret_cast<void*>(current->getProcAddress(name)) : nullptr;
        });
    }

    loading->StepOverall();
    loading->ResetPart();
    loading->SetCurrentText("Loading Models && Textures");
    auto fileList = std::make_unique<TGTAFileList>(programSettings().GameDir, programSettings().IsViceCity);
    {
        SharedGLContextScope context;
        auto uploader = std::make_unique<GLTextureUploader>(glEntryPoints());
        auto archiveSet = std::make_unique<TGTAImg>(programSettings().GameDir, glEntryPoints().hasCompressedTextures(),
                                                    uploader.get(), loading);
        applyArchiveAvailability(*archiveSet, programSettings());
        archiveSet->ConnectFileList(*fileList);
        main.SetArchiveSet(std::move(uploader), std::move(archiveSet));
    }

    loading->StepOverall();
    loading->ResetPart();
    loading->SetCurrentText("Loading IDE (Object Definition) Files");
    fileList->LoadDat(DatPass::IDE, loading);
    TGTAFileList& files = *fileList;
    main.SetFileList(std::move(fileList));
    main.RebuildVisibleList();

    loading->StepOverall();
    loading->ResetPart();
    loading->SetCurrentText("Loading IPL (Object Instance) Files");
    files.LoadDat(DatPass::IPL, loading);
    main.RebuildVisibleList();

    loading->StepOverall();
    loading->ResetPart();
    loading->SetCurrentText("Executing Program");
    loading->StepOverall();

    // The other windows, in their order; each is handed to the main window, which shows
    // an action only for a window that exists.
    picker->SetArchive(main.ArchiveSet());
    auto* extraView = windows.made(
        new TFormExtraView(&files, main.ArchiveSet(), nullptr, view, programSettings().LoadTextures, &main));
    auto* textureView = windows.made(new TFormTextureView(main.ArchiveSet(), view, &main));
    extraView->SetTextureView(textureView);
    main.SetToolWindow(ToolWindow::ExtraView, extraView);
    main.SetToolWindow(ToolWindow::TextureView, textureView);
    QObject::connect(&main, &TFormMain::frameFinished, extraView, &TFormExtraView::Draw);
    QObject::connect(&main, &TFormMain::frameFinished, textureView, &TFormTextureView::Draw);
    QObject::connect(textureView, &TFormTextureView::dictionarySaved, view, [view] { view->update(); });
    QObject::connect(&main, &TFormMain::texturesSwitched, extraView, &TFormExtraView::SetTextures);
    auto* archiveEditor = windows.made(new TFormEditorArchive(main.ArchiveSet(), &main));
    main.SetToolWindow(ToolWindow::ArchiveEditor, archiveEditor);
    main.DockEditor(archiveEditor);
    // The item editor first: the editors around it follow it from their constructors.
    MapDocument* document = main.Document();
    document->setArchiveSet(main.ArchiveSet());
    auto* itemEditor = windows.made(new TFormEditorItem(*document, view, &main));
    itemEditor->SetImgFilePicker(picker);
    auto* datEditor = windows.made(new TFormEditorDAT(*document, view, &main));
    auto* iplEditor = windows.made(new TFormEditorIPL(*document, itemEditor, view, datEditor, &main));
    auto* ideEditor = windows.made(new TFormEditorIDE(*document, itemEditor, view, datEditor, iplEditor, &main));
    // Copy and paste of placements in the Edit menu, delete and duplicate keys in the view;
    // they go with the IPL editor whose file they paste into and whose delete they share.
    auto* placements = new PlacementCommands(*document, *iplEditor, view, iplEditor);
    main.EditMenu->addSeparator();
    main.EditMenu->addActions({placements->ActionEditCopy, placements->ActionEditPaste,
                               placements->ActionEditPasteAtTarget, placements->ActionViewDelete,
                               placements->ActionViewDuplicate});
    main.addActions({placements->ActionEditCopy, placements->ActionEditPaste, placements->ActionEditPasteAtTarget});
    windows.IDEEditor = ideEditor;
    main.SetToolWindow(ToolWindow::IDEEditor, ideEditor);
    windows.IPLEditor = iplEditor;
    main.SetToolWindow(ToolWindow::IPLEditor, iplEditor);
    windows.DATEditor = datEditor;
    main.SetToolWindow(ToolWindow::DATEditor, datEditor);
    windows.ItemEditor = itemEditor;
    main.SetToolWindow(ToolWindow::ItemEditor, itemEditor);
    windows.DetachedView = windows.made(new TFormGLViewDetached(view, main.DrawPanel));
    main.SetDetachedView(windows.DetachedView);
    auto* validate = windows.made(new TFormValidate(*document, main.ArchiveSet(), view, &main));
    main.SetToolWindow(ToolWindow::Validate, validate);
    windows.About = windows.made(new TFormAbout);
    main.SetToolWindow(ToolWindow::About, windows.About);
    auto* find = windows.made(new TFormFind(*document, itemEditor, view, iplEditor, ideEditor, &main));
    windows.FindWindow = find;
    main.SetToolWindow(ToolWindow::Find, find);
    linkFindWindow(*find, *iplEditor, *ideEditor, *itemEditor);

    // What is not a change to the map: the choice of a visible file, the viewers.
    linkVisibleFileChoice(main, *iplEditor);
    linkViewers(*extraView, *textureView, *archiveEditor, *iplEditor, *ideEditor, *itemEditor);
    main.DockEditor(ideEditor);
    main.DockEditor(iplEditor);
    view->SetItemEditor(itemEditor);
    // Every dock exists now: the layout of the last run comes back.
    main.RestoreWindowLayout();

    setLoadingWindow(nullptr);
    return true;
}

void DestroyProgramWindows()
{
    ProgramWindows& windows = programWindows();
    // The view comes home first: the detached window must not take it along.
    if (windows.DetachedView)
        windows.DetachedView->close();
    // Reverse order of creation: every window goes before the main window, which owns the
    // file list and the archive set they point into.
    for (auto window = windows.Created.rbegin(); window != windows.Created.rend(); ++window)
        delete window->data();
    windows = {};
}
