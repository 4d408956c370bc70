#include "LoadSequence.h"

#include "GLEntryPoints.h"
#include "GLTextureUploader.h"
#include "GameDirectoryStep.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "SharedGLContext.h"
#include "TFormAbout.h"
#include "TFormEditorItem.h"
#include "TFormGLViewDetached.h"
#include "TFormLoading.h"
#include "TFormMain.h"
#include "ToolWindowLinks.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "Twnd_imgfilepicker.h"
#include "Twnd_setup.h"

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
    windows.Main = new TFormMain;
    windows.Setup = new Twnd_setup;
    TFormMain& main = *windows.Main;
    setLoadingWindow(window.get());

    loading->SetCurrentText("Retrieving GTA Path");
    if (!RunGameDirectoryStep()) {
        setLoadingWindow(nullptr);
        return false;
    }

    loading->StepOverall();
    loading->SetCurrentText("Initialising OpenGL Display");
    TGLView* view = main.CreateView();
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

    auto* picker = new Twnd_imgfilepicker(main.ArchiveSet(), &main);
    windows.ImgFilePicker = picker;
    auto* itemEditor = new TFormEditorItem(&files, view, main.ArchiveSet(), &main);
    itemEditor->setWindowFlag(Qt::Tool);
    itemEditor->SetImgFilePicker(picker);
    windows.ItemEditor = itemEditor;
    windows.DetachedView = new TFormGLViewDetached(view, main.DrawPanel);
    windows.About = new TFormAbout;

    linkItemEditor(*itemEditor, main);

    view->SetItemEditor(itemEditor);
    view->SetFileList(&files);

    setLoadingWindow(nullptr);
    return true;
}

void DestroyProgramWindows()
{
    ProgramWindows& windows = programWindows();
    // The view comes home first: the detached window must not take it along.
    if (windows.DetachedView)
        windows.DetachedView->close();
    delete windows.About;
    delete windows.DetachedView;
    delete windows.Setup;
    delete windows.Main;
    windows = {};
}
