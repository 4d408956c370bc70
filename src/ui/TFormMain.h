#pragma once

#include "WindowPlacement.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

class GLTextureUploader;
class MapDocument;
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QUndoView;
class TFormGLViewDetached;
class TFormLoading;
class TGLView;
class TGTAFileList;
class TGTAImg;
class ToolDock;
class Twnd_setup;

// The windows the main window shows and hides by its actions.
enum class ToolWindow { ItemEditor, ExtraView, TextureView, DATEditor, IPLEditor, IDEEditor, ArchiveEditor, Validate, About, Find };

// The frame of the application: hosts the 3D view and the docked editors, controls which
// IPL files are shown, holds the view options, runs the rest of the frame loop after each
// frame of the view, saves modified map files and asks before closing with unsaved changes.
// It owns the game file list and the archive set of the run, and the map document over
// them, whose steps its Edit menu undoes and redoes.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // Load sequence steps: the view on `DrawPanel`; then the archive set and the file list,
    // which this window owns from then on.
    TGLView* CreateView();
    void SetArchiveSet(std::unique_ptr<GLTextureUploader> uploader, std::unique_ptr<TGTAImg> archiveSet);
    void SetFileList(std::unique_ptr<TGTAFileList> fileList);
    TGTAFileList* FileList() const { return m_fileList.get(); }
    // The document over the file list; exists from SetFileList on.
    MapDocument* Document() const { return m_document.get(); }
    TGTAImg* ArchiveSet() const { return m_archiveSet.get(); }
    TGLView* View() const { return m_view; }

    // The load sequence hands over each window as it creates it: a tool window goes into a
    // dock of this window, whose toggle action becomes the window's action (the About
    // window stays a window of its own). The action and its menu item appear only for a
    // window that exists. A window is destroyed before the file list it points into.
    void SetToolWindow(ToolWindow which, QWidget* window);
    QWidget* ToolWindowOf(ToolWindow which) const;
    // The window's action: its dock's toggle action; none before the window exists.
    QAction* ActionOf(ToolWindow which) const;
    // Puts a tool window into a dock of this window named `name` (the name its place is
    // saved under), hidden; the first time it is shown it floats at `place` beside the 3D
    // view, or for `DockPlace::EditorTabs` lies docked on the left. Its toggle action shows
    // and hides it, checked while it is shown.
    ToolDock* DockToolWindow(QWidget* window, const QString& name, DockPlace place);
    ToolDock* DockOf(const QWidget* window) const;
    // Shows an editor as a tab beside the view, tabbed with the editors docked before it,
    // and makes its tab the active one.
    void DockEditor(QWidget* window);

    // The layout of the window and its docks: saved on close, restored at the next launch
    // (inside the present screen) once the load sequence has made every dock.
    void RestoreWindowLayout();
    // A layout of an earlier run came back (the program then shows the window as it was,
    // rather than maximised).
    bool LayoutFromLastRun() const { return m_layoutFromLastRun; }
    void SaveWindowLayout();
    // Back to the first-run layout: the editors' tabs beside the view, every other tool
    // window hidden, to float at its first place when next shown.
    void ResetWindowLayout();
    void SetDetachedView(TFormGLViewDetached* detached) { m_detachedView = detached; }
    void SetSetupWindow(Twnd_setup* setup) { m_setup = setup; }

    // Rows of `ChkListVisible`: one per IPL file, in file-list order.
    void RebuildVisibleList();
    const std::vector<int>& VisibleRows() const { return m_visibleRows; }
    bool LoadingPending() const { return m_loading; }
    // After loading: the files of a small map (the demo game, a mod's own few files) that
    // place items are shown at once; a full game stays hidden until the user picks files, as
    // loading all of it takes a while. Files of zones, culls or paths alone start hidden:
    // their boxes would cover the items from above and catch every pick.
    void ShowInitialFiles();
    static constexpr int InitiallyShownInstances = 5000;

    // The rest of the frame loop, run after each frame with the view's context current.
    void FrameDone();

    // Handlers, named after their controls.
    void BtnMoveToPosClick();
    void ChkMovementClick();
    void ChkWireframeClick();
    void ChkTextureClick();
    void ChkAlphaClick();
    void BoxColourChange();
    void GameTimeChange();
    void DiffRGBChange();
    void TrackBar1Change();
    void ChkBackgroundMapClick();
    void ComboLodClick();
    void TrackDrawDistanceChange();
    void ChkListVisibleClickCheck(QListWidgetItem* row);
    void BtnVisCheckAllClick();
    void BtnVisUnCheckAllClick();
    void ChkListVisibleDblClick();
    void ActionSaveModifiedExecute();
    void ActionHelpAboutExecute();
    void HelpHelpItemClick();
    void ToolButton1Click();
    void BtnHideShowPanelClick();
    void BtnHideShowEditorsClick();
    void BtnHideShow3DViewClick();
    void toolsswitchClick(int index);
    void ZoomTimerTimer();

    // Controls (named as the window's design names them).
    QWidget* DrawPanel = nullptr;
    QSplitter* MainSplitter = nullptr; // the view, the panel buttons and `PageControl1`
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QLineEdit* EditCurrentPos = nullptr;
    QPushButton* BtnMoveToPos = nullptr;
    QPushButton* ResetButton = nullptr;
    QToolButton* PanelZoomIn = nullptr;
    QToolButton* PanelZoomOut = nullptr;
    QTimer* ZoomTimer = nullptr;
    QCheckBox* ChkMovement = nullptr;
    QLabel* LblFPS = nullptr;
    QListWidget* ChkListVisible = nullptr;
    QPushButton* BtnVisCheckAll = nullptr;
    QPushButton* BtnVisUnCheckAll = nullptr;
    QSlider* DiffRGB = nullptr;
    QSlider* AmbRGB = nullptr;
    QSlider* SpecRGB = nullptr;
    QSlider* Dis = nullptr;
    QCheckBox* DistCheck = nullptr;
    QTabBar* toolsswitch = nullptr;
    QStackedWidget* tools = nullptr;
    QLabel* StatusValue = nullptr;
    QLabel* LabelControlLeftBtn = nullptr;
    QLabel* LabelControlLeftBtnCtrl = nullptr;
    QLabel* LabelControlLeftBtnCtrlShift = nullptr;
    QLabel* LabelControlDoubleBtn = nullptr;
    QLabel* LabelCtrlShift = nullptr;
    QRadioButton* RadioX = nullptr;
    QRadioButton* RadioY = nullptr;
    QRadioButton* RadioZ = nullptr;
    QComboBox* BoxColour = nullptr;
    QComboBox* GameTime = nullptr;
    QCheckBox* ChkWireframe = nullptr;
    QCheckBox* ChkTexture = nullptr;
    QCheckBox* ChkAlpha = nullptr;
    QGroupBox* ComboLod = nullptr;
    QButtonGroup* ComboLodItems = nullptr;
    QSlider* TrackDrawDistance = nullptr; // "As In Game" draw distance, in quarters
    QLabel* LblDrawDistance = nullptr;
    QCheckBox* ChkBackgroundMap = nullptr;
    QSlider* TrackBar1 = nullptr;
    QToolButton* BtnHideShow3DView = nullptr;
    QToolButton* BtnHideShowEditors = nullptr;
    QToolButton* BtnHideShowPanel = nullptr;
    QToolBar* MainToolbar = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QLabel* VersionLabel = nullptr; // the version, in full as its tip

    // Snapping of drags and nudges (page "Editing"), kept from run to run.
    QCheckBox* ChkSnap = nullptr;
    QLineEdit* EditSnapGrid = nullptr;
    QLineEdit* EditSnapAngle = nullptr;
    void SnapChange();

    QAction* ActionSaveModified = nullptr;
    QAction* ActionUndo = nullptr;
    QAction* ActionRedo = nullptr;
    QAction* ActionViewHistory = nullptr;
    QUndoView* UndoHistory = nullptr;
    QAction* ActionViewEditor = nullptr;
    QAction* ActionViewExtra = nullptr;
    QAction* ActionViewTexture = nullptr;
    QAction* ActionViewDAT = nullptr;
    QAction* ActionViewIPL = nullptr;
    QAction* ActionViewIDE = nullptr;
    QAction* ActionViewArchive = nullptr;
    QAction* ActionValidateAll = nullptr;
    QAction* ActionHelpAbout = nullptr;
    QAction* ActionFileExit = nullptr;
    QAction* ActionFind = nullptr;
    // Menu items: each follows its action's caption, state and visibility and triggers it.
    QAction* FileValidateAll = nullptr;
    QAction* FileSaveItem = nullptr;
    QAction* FileExitItem = nullptr;
    QAction* ViewEditorItem = nullptr;
    QAction* ViewExtraItem = nullptr;
    QAction* ViewTextureItem = nullptr;
    QAction* DATEditor1 = nullptr;
    QAction* ViewIPLItem = nullptr;
    QAction* ViewIDEItem = nullptr;
    QAction* ViewArchiveItem = nullptr;
    QAction* ViewHistoryItem = nullptr;
    QAction* ActionResetLayout = nullptr;
    QAction* HelpHelpItem = nullptr;
    QAction* HelpAboutItem = nullptr;
    QAction* EditFindItem = nullptr;
    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* ViewMenu = nullptr;
    QMenu* HelpMenu = nullptr;

signals:
    // A row of the visibility list was double-clicked: the IPL editor shows that file.
    void visibleFileChosen(int file);
    // A frame of the view is done: the windows that draw after it (secondary view,
    // texture viewer) draw now.
    void frameFinished();
    // The texture option was switched: the secondary model view follows it.
    void texturesSwitched(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildActions();
    void followDocument();
    QAction* menuItem(QMenu* menu, QAction* action, const char* name);
    void followAction(QAction* item, QAction* action);
    QPoint firstPlaceOf(DockPlace place, QSize frame) const;
    void fitIntoScreen(QWidget* window) const;
    // Left and right dock areas size their docks by width, top and bottom by height.
    static bool isAcross(Qt::DockWidgetArea area);
    void restoreDockSizes(const QStringList& sizes);
    QWidget* buildNavigationPage();
    QWidget* buildFilesPage();
    QWidget* buildLightPage();
    QStackedWidget* buildToolsPages();
    void setControlLabels(bool firstPerson);
    void startLoadingPass(int fileCount);
    void setVisibleRow(int row, bool visible);
    bool FormCloseQuery();

    TGLView* m_view = nullptr;
    TFormGLViewDetached* m_detachedView = nullptr;
    Twnd_setup* m_setup = nullptr;
    // Tool windows by kind, and the order they were handed over in.
    std::map<ToolWindow, QPointer<QWidget>> m_toolWindows;
    std::vector<QPointer<QWidget>> m_toolWindowOrder;
    std::vector<ToolDock*> m_docks; // in the order they were made
    QPointer<QWidget> m_about;
    QPointer<ToolDock> m_frontEditor; // the editor tab to bring to the front once shown
    QByteArray m_savedSplitter;       // the splitter's saved sizes, applied once shown
    QStringList m_savedDockSizes;     // the docked docks' saved sizes, applied once shown
    bool m_layoutRestored = false; // only a whole layout is saved
    bool m_layoutFromLastRun = false;
    std::unique_ptr<TGTAFileList> m_fileList;
    std::unique_ptr<MapDocument> m_document; // goes before the file list it edits
    std::unique_ptr<GLTextureUploader> m_uploader;
    std::unique_ptr<TGTAImg> m_archiveSet;
    std::vector<int> m_visibleRows;
    bool m_loading = false;
    std::unique_ptr<TFormLoading> m_loadingWindow;
    bool m_zoomIn = true;
    int m_frameCounter = 0;
    qint64 m_frameStart = 0;
};
