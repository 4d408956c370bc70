#include "TFormMain.h"

#include "DialogService.h"
#include "DrawSettings.h"
#include "GLEntryPoints.h"
#include "GLTextureUploader.h"
#include "HelpWindow.h"
#include "MapDocument.h"
#include "NumberText.h"
#include "ProgramSettings.h"
#include "ProgramVersion.h"
#include "SceneRenderer.h"
#include "SharedGLContext.h"
#include "TFormGLViewDetached.h"
#include "TFormLoading.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TextParser.h"
#include "ToolDock.h"
#include "Twnd_setup.h"
#include "ViewPreferences.h"
#include "WindowLayout.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDockWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QUndoView>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <clocale>
#include <cstdio>

namespace {

// The draw distance scale as the slider's label shows it: "×1.25".
QString drawDistanceText(float scale)
{
    return QString::fromUtf8("\u00d7") + QString::fromStdString(fixedFloatText(scale, 2));
}

constexpr const char* ProgramCaption = "Quox Mapper";

// The background colours the colour box offers, as 0x00BBGGRR.
struct NamedColour {
    const char* name;
    std::uint32_t bgr;
};
constexpr NamedColour BackgroundColours[] = {
    {"Black", 0x000000}, {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},  {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},   {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
};

QSlider* colourSlider(const QString& name, int maximum, int value)
{
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(0, maximum);
    slider->setValue(value);
    return slider;
}

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}

TFormMain::TFormMain(QWidget* parent)
    : QMainWindow(parent)
{
    // Every number the program reads or writes uses a point; Qt has set the C library's
    // locale from the environment, which would give a comma under some locales.
    std::setlocale(LC_NUMERIC, "C");
    setObjectName("TFormMain");
    buildActions();
    buildControls();

    const ProgramSettings& settings = programSettings();
    {
        const QSignalBlocker textureBlock(ChkTexture);
        const QSignalBlocker alphaBlock(ChkAlpha);
        ChkTexture->setChecked(settings.LoadTextures);
        ChkTexture->setEnabled(settings.LoadTextures);
        ChkAlpha->setChecked(settings.LoadTextures);
        ChkAlpha->setEnabled(settings.LoadTextures);
    }
    setWindowTitle(QString::fromLatin1(ProgramCaption) + " [ " + QString::fromStdString(settings.GameDescription) + " ]");
    // The version, at the corner of the status bar and in full as its tip (a window's title
    // bar takes no tip of its own).
    VersionLabel = named(new QLabel(QStringLiteral("v") + QString::fromLatin1(ProgramVersion)), "VersionLabel");
    VersionLabel->setToolTip(QString::fromLatin1(ProgramCaption) + " " + QString::fromLatin1(ProgramVersionText));
    statusBar()->addPermanentWidget(VersionLabel);
    resize(1280, 800);
}

TFormMain::~TFormMain()
{
    // The archive set's textures and the view's lists belong to the shared context; free
    // them while a context of that group is current.
    if (m_view && m_view->GLReady())
        m_view->makeCurrent();
    SharedGLContextScope context;
    if (m_view)
        m_view->Renderer().ReleaseGL();
    // The tool windows this window holds point into the file list: they go first, the
    // latest first, before Qt would delete them after the list.
    for (auto window = m_toolWindowOrder.rbegin(); window != m_toolWindowOrder.rend(); ++window) {
        QWidget* parent = *window ? window->data()->parentWidget() : nullptr;
        while (parent && parent != this)
            parent = parent->parentWidget();
        if (parent == this)
            delete window->data();
    }
    if (m_view) {
        m_view->SetItemEditor(nullptr);
        m_view->SetFileList(nullptr);
    }
    if (UndoHistory)
        UndoHistory->setStack(nullptr);
    m_document.reset();
    m_fileList.reset();
    m_archiveSet.reset();
}

namespace {

// The tool windows' actions (their docks' toggle actions): caption and shortcut of each,
// the menu item that follows it, and the dock with its first place.
struct ToolWindowAction {
    ToolWindow window;
    QAction* TFormMain::*action;
    const char* name;
    const char* caption;
    const char* shortcut;
    QAction* TFormMain::*menuItem;
    const char* dockName;
    DockPlace place;
};

constexpr ToolWindowAction ToolWindowActions[] = {
    {ToolWindow::ItemEditor, &TFormMain::ActionViewEditor, "ActionViewEditor", "Item &Editor", "Alt+0",
     &TFormMain::ViewEditorItem, "ItemEditorDock", DockPlace::ViewBottomRight},
    {ToolWindow::ExtraView, &TFormMain::ActionViewExtra, "ActionViewExtra", "Second &Display", "Alt+1",
     &TFormMain::ViewExtraItem, "ExtraViewDock", DockPlace::ViewBottomLeft},
    {ToolWindow::TextureView, &TFormMain::ActionViewTexture, "ActionViewTexture", "&Texture Display", "Alt+2",
     &TFormMain::ViewTextureItem, "TextureViewDock", DockPlace::ViewTopLeftBelowButton},
    {ToolWindow::DATEditor, &TFormMain::ActionViewDAT, "ActionViewDAT", "&DAT Editor", "Alt+3", &TFormMain::DATEditor1,
     "DATEditorDock", DockPlace::ViewTopRight},
    {ToolWindow::IPLEditor, &TFormMain::ActionViewIPL, "ActionViewIPL", "View Item Instance Editor", "",
     &TFormMain::ViewIPLItem, "IPLEditorDock", DockPlace::EditorTabs},
    {ToolWindow::IDEEditor, &TFormMain::ActionViewIDE, "ActionViewIDE", "View Object Definition Editor", "",
     &TFormMain::ViewIDEItem, "IDEEditorDock", DockPlace::EditorTabs},
    {ToolWindow::ArchiveEditor, &TFormMain::ActionViewArchive, "ActionViewArchive", "View Archive Editor", "",
     &TFormMain::ViewArchiveItem, "ArchiveEditorDock", DockPlace::EditorTabs},
    {ToolWindow::Validate, &TFormMain::ActionValidateAll, "ActionValidateAll", "&Validate All Files", "Ctrl+F",
     &TFormMain::FileValidateAll, "ValidateDock", DockPlace::ViewTopRightBelowButton},
    {ToolWindow::Find, &TFormMain::ActionFind, "ActionFind", "&Find...", "Ctrl+Shift+F", &TFormMain::EditFindItem,
     "FindDock", DockPlace::ViewTopRight},
};

const ToolWindowAction* toolWindowAction(ToolWindow window)
{
    for (const ToolWindowAction& entry : ToolWindowActions) {
        if (entry.window == window)
            return &entry;
    }
    return nullptr;
}

}

void TFormMain::buildActions()
{
    ActionSaveModified = named(new QAction("&Save Modified Files", this), "ActionSaveModified");
    ActionSaveModified->setShortcut(QKeySequence("Ctrl+S"));
    ActionSaveModified->setEnabled(false);
    connect(ActionSaveModified, &QAction::triggered, this, &TFormMain::ActionSaveModifiedExecute);

    // The tool windows' actions come with their docks; the About window is a window of its
    // own, hidden until the load sequence hands it over.
    ActionHelpAbout = named(new QAction("&About ", this), "ActionHelpAbout");
    ActionHelpAbout->setShortcut(QKeySequence("F2"));
    ActionHelpAbout->setVisible(false);
    addAction(ActionHelpAbout);
    connect(ActionHelpAbout, &QAction::triggered, this, &TFormMain::ActionHelpAboutExecute);

    ActionFileExit = named(new QAction("E&xit", this), "ActionFileExit");
    ActionFileExit->setShortcut(QKeySequence("Alt+F4"));
    addAction(ActionFileExit);
    addAction(ActionSaveModified);
    connect(ActionFileExit, &QAction::triggered, this, &QWidget::close);

    // Undo and redo name the step they take; both wait for the document.
    ActionUndo = named(new QAction("&Undo", this), "ActionUndo");
    ActionUndo->setShortcut(QKeySequence("Ctrl+Z"));
    ActionUndo->setEnabled(false);
    ActionRedo = named(new QAction("&Redo", this), "ActionRedo");
    ActionRedo->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    ActionRedo->setEnabled(false);
    addAction(ActionUndo);
    addAction(ActionRedo);
    ActionResetLayout = named(new QAction("Reset Window Layout", this), "ActionResetLayout");
    connect(ActionResetLayout, &QAction::triggered, this, &TFormMain::ResetWindowLayout);

    HelpHelpItem = named(new QAction("Mapper &Help", this), "HelpHelpItem");
    connect(HelpHelpItem, &QAction::triggered, this, &TFormMain::HelpHelpItemClick);

    FileMenu = named(menuBar()->addMenu("&File"), "FileMenu");
    FileValidateAll = menuItem(FileMenu, ActionValidateAll, "FileValidateAll");
    FileSaveItem = menuItem(FileMenu, ActionSaveModified, "FileSaveItem");
    FileMenu->addSeparator();
    FileExitItem = menuItem(FileMenu, ActionFileExit, "FileExitItem");
    EditMenu = named(menuBar()->addMenu("&Edit"), "EditMenu");
    EditMenu->addAction(ActionUndo);
    EditMenu->addAction(ActionRedo);
    EditMenu->addSeparator();
    EditFindItem = menuItem(EditMenu, ActionFind, "EditFindItem");
    ViewMenu = named(menuBar()->addMenu("&View"), "ViewMenu");
    ViewEditorItem = menuItem(ViewMenu, ActionViewEditor, "ViewEditorItem");
    ViewExtraItem = menuItem(ViewMenu, ActionViewExtra, "ViewExtraItem");
    ViewTextureItem = menuItem(ViewMenu, ActionViewTexture, "ViewTextureItem");
    DATEditor1 = menuItem(ViewMenu, ActionViewDAT, "DATEditor1");
    // The editors' tabs: a closed one comes back from here.
    ViewMenu->addSeparator();
    ViewIPLItem = menuItem(ViewMenu, ActionViewIPL, "ViewIPLItem");
    ViewIDEItem = menuItem(ViewMenu, ActionViewIDE, "ViewIDEItem");
    ViewArchiveItem = menuItem(ViewMenu, ActionViewArchive, "ViewArchiveItem");
    ViewMenu->addSeparator();
    ViewHistoryItem = menuItem(ViewMenu, ActionViewHistory, "ViewHistoryItem");
    ViewMenu->addSeparator();
    ViewMenu->addAction(ActionResetLayout);
    HelpMenu = named(menuBar()->addMenu("&Help"), "HelpMenu");
    HelpMenu->addAction(HelpHelpItem);
    HelpAboutItem = menuItem(HelpMenu, ActionHelpAbout, "HelpAboutItem");

    MainToolbar = named(addToolBar("Tools"), "MainToolbar");
    MainToolbar->addAction(ActionSaveModified);
    MainToolbar->addAction(ActionUndo);
    MainToolbar->addAction(ActionRedo);
    MainToolbar->addSeparator();
    for (QAction* item : {ViewEditorItem, ViewExtraItem, ViewTextureItem, DATEditor1, FileValidateAll})
        MainToolbar->addAction(item);
    ToolButton1 = named(new QToolButton, "ToolButton1");
    ToolButton1->setText("Settings");
    ToolButton1->setToolTip("Drawing settings");
    connect(ToolButton1, &QToolButton::clicked, this, &TFormMain::ToolButton1Click);
    MainToolbar->addWidget(ToolButton1);
}

QAction* TFormMain::menuItem(QMenu* menu, QAction* action, const char* name)
{
    auto* item = named(new QAction(this), name);
    item->setVisible(false);
    menu->addAction(item);
    if (action)
        followAction(item, action);
    return item;
}

void TFormMain::followAction(QAction* item, QAction* action)
{
    // The shortcut belongs to the action; the item only shows it.
    const auto follow = [item, action] {
        QString text = action->text();
        if (!action->shortcut().isEmpty())
            text += '\t' + action->shortcut().toString(QKeySequence::NativeText);
        item->setText(text);
        item->setEnabled(action->isEnabled());
        item->setVisible(action->isVisible());
        item->setCheckable(action->isCheckable());
        item->setChecked(action->isChecked());
    };
    follow();
    connect(action, &QAction::changed, item, follow);
    connect(action, &QAction::toggled, item, follow);
    connect(item, &QAction::triggered, action, [item, action] {
        action->trigger();
        item->setChecked(action->isChecked());
    });
}

void TFormMain::buildControls()
{
    ZoomTimer = named(new QTimer(this), "ZoomTimer");
    ZoomTimer->setInterval(50);
    connect(ZoomTimer, &QTimer::timeout, this, &TFormMain::ZoomTimerTimer);

    // The editors' tabs and the other tool windows are docks around this.
    MainSplitter = named(new QSplitter(Qt::Horizontal), "MainSplitter");
    DrawPanel = named(new QWidget, "DrawPanel");
    DrawPanel->setAutoFillBackground(true);
    QPalette black = DrawPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    DrawPanel->setPalette(black);
    DrawPanel->setMinimumSize(320, 240);
    auto* drawLayout = new QVBoxLayout(DrawPanel);
    drawLayout->setContentsMargins(0, 0, 0, 0);

    PageControl1 = named(new QTabWidget, "PageControl1");
    TabSheet1 = named(buildNavigationPage(), "TabSheet1");
    TabSheet3 = named(buildFilesPage(), "TabSheet3");
    TabSheet2 = named(buildLightPage(), "TabSheet2");
    PageControl1->addTab(TabSheet1, "Navigation");
    PageControl1->addTab(TabSheet3, "Files");
    PageControl1->addTab(TabSheet2, "Light Debugging");
    PageControl1->setMinimumWidth(260);

    auto* panelButtons = new QWidget;
    auto* buttonsLayout = new QVBoxLayout(panelButtons);
    buttonsLayout->setContentsMargins(0, 0, 0, 0);
    BtnHideShowEditors = named(new QToolButton, "BtnHideShowEditors");
    BtnHideShowEditors->setText("<");
    BtnHideShowEditors->setToolTip("Show or hide the editors");
    BtnHideShow3DView = named(new QToolButton, "BtnHideShow3DView");
    BtnHideShow3DView->setText("[ ]");
    BtnHideShow3DView->setToolTip("Show the 3D view in its own window");
    BtnHideShowPanel = named(new QToolButton, "BtnHideShowPanel");
    BtnHideShowPanel->setText(">");
    BtnHideShowPanel->setToolTip("Show or hide the tool panel");
    buttonsLayout->addWidget(BtnHideShowEditors);
    buttonsLayout->addWidget(BtnHideShow3DView);
    buttonsLayout->addWidget(BtnHideShowPanel);
    buttonsLayout->addStretch();
    connect(BtnHideShowEditors, &QToolButton::clicked, this, &TFormMain::BtnHideShowEditorsClick);
    connect(BtnHideShow3DView, &QToolButton::clicked, this, &TFormMain::BtnHideShow3DViewClick);
    connect(BtnHideShowPanel, &QToolButton::clicked, this, &TFormMain::BtnHideShowPanelClick);

    MainSplitter->addWidget(DrawPanel);
    MainSplitter->addWidget(panelButtons);
    MainSplitter->addWidget(PageControl1);
    MainSplitter->setStretchFactor(0, 1);
    // The view keeps its minimum size however wide the docks beside it grow, and whatever
    // sizes a saved layout holds.
    MainSplitter->setCollapsible(0, false);
    setCentralWidget(MainSplitter);
    setDockOptions(dockOptions() | QMainWindow::AllowNestedDocks);

    // The undo history follows the document's steps once there is a document.
    UndoHistory = named(new QUndoView, "UndoHistory");
    UndoHistory->setWindowTitle(QStringLiteral("Undo History"));
    UndoHistory->setEmptyLabel(QStringLiteral("<Files as read>"));
    UndoHistory->resize(320, 400);
    ActionViewHistory = DockToolWindow(UndoHistory, "UndoHistoryDock", DockPlace::ViewTopRight)->toggleViewAction();
    ActionViewHistory->setObjectName("ActionViewHistory");
    ActionViewHistory->setEnabled(false);
    followAction(ViewHistoryItem, ActionViewHistory);
}

QWidget* TFormMain::buildNavigationPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    auto* positionRow = new QHBoxLayout;
    EditCurrentPos = named(new QLineEdit("0, 0, 0"), "EditCurrentPos");
    BtnMoveToPos = named(new QPushButton("Go"), "BtnMoveToPos");
    positionRow->addWidget(EditCurrentPos, 1);
    positionRow->addWidget(BtnMoveToPos);
    layout->addWidget(new QLabel("Position"));
    layout->addLayout(positionRow);
    connect(EditCurrentPos, &QLineEdit::returnPressed, this, &TFormMain::BtnMoveToPosClick);
    connect(BtnMoveToPos, &QPushButton::clicked, this, &TFormMain::BtnMoveToPosClick);

    auto* zoomRow = new QHBoxLayout;
    ResetButton = named(new QPushButton("Reset View"), "ResetButton");
    PanelZoomIn = named(new QToolButton, "PanelZoomIn");
    PanelZoomIn->setText("+");
    PanelZoomOut = named(new QToolButton, "PanelZoomOut");
    PanelZoomOut->setText("-");
    zoomRow->addWidget(ResetButton);
    zoomRow->addWidget(PanelZoomIn);
    zoomRow->addWidget(PanelZoomOut);
    layout->addLayout(zoomRow);
    connect(ResetButton, &QPushButton::clicked, this, [this] {
        if (m_view)
            m_view->ResetView();
    });
    // Zoom while held: one step at once, then one per timer tick.
    connect(PanelZoomIn, &QToolButton::pressed, this, [this] {
        m_zoomIn = true;
        ZoomTimer->start();
        ZoomTimerTimer();
    });
    connect(PanelZoomOut, &QToolButton::pressed, this, [this] {
        m_zoomIn = false;
        ZoomTimer->start();
        ZoomTimerTimer();
    });
    connect(PanelZoomIn, &QToolButton::released, ZoomTimer, &QTimer::stop);
    connect(PanelZoomOut, &QToolButton::released, ZoomTimer, &QTimer::stop);

    ChkMovement = named(new QCheckBox("First Person Movement"), "ChkMovement");
    layout->addWidget(ChkMovement);
    connect(ChkMovement, &QCheckBox::clicked, this, &TFormMain::ChkMovementClick);

    LblFPS = named(new QLabel, "LblFPS");
    layout->addWidget(LblFPS);

    toolsswitch = named(new QTabBar, "toolsswitch");
    toolsswitch->addTab("Editing");
    toolsswitch->addTab("3D View");
    layout->addWidget(toolsswitch);
    tools = named(buildToolsPages(), "tools");
    layout->addWidget(tools);
    toolsswitch->setCurrentIndex(1);
    tools->setCurrentIndex(1);
    connect(toolsswitch, &QTabBar::tabBarClicked, this, &TFormMain::toolsswitchClick);
    layout->addStretch();
    return page;
}

QStackedWidget* TFormMain::buildToolsPages()
{
    auto* stack = new QStackedWidget;

    auto* editing = named(new QWidget, "Editing");
    auto* editLayout = new QGridLayout(editing);
    StatusValue = named(new QLabel("<< Nothing >>"), "StatusValue");
    editLayout->addWidget(new QLabel("Selection:"), 0, 0);
    editLayout->addWidget(StatusValue, 0, 1);
    LabelControlLeftBtn = named(new QLabel, "LabelControlLeftBtn");
    LabelControlLeftBtnCtrl = named(new QLabel, "LabelControlLeftBtnCtrl");
    LabelControlLeftBtnCtrlShift = named(new QLabel, "LabelControlLeftBtnCtrlShift");
    LabelControlDoubleBtn = named(new QLabel, "LabelControlDoubleBtn");
    LabelCtrlShift = named(new QLabel, "LabelCtrlShift");
    editLayout->addWidget(new QLabel("Left button"), 1, 0);
    editLayout->addWidget(LabelControlLeftBtn, 1, 1);
    editLayout->addWidget(new QLabel("+ Ctrl"), 2, 0);
    editLayout->addWidget(LabelControlLeftBtnCtrl, 2, 1);
    editLayout->addWidget(LabelCtrlShift, 3, 0);
    editLayout->addWidget(LabelControlLeftBtnCtrlShift, 3, 1);
    editLayout->addWidget(new QLabel("Double click"), 4, 0);
    editLayout->addWidget(LabelControlDoubleBtn, 4, 1);
    editLayout->addWidget(new QLabel("Right button"), 5, 0);
    editLayout->addWidget(new QLabel("Rotate Camera"), 5, 1);
    setControlLabels(false);

    auto* axisBox = new QGroupBox("Single axis");
    auto* axisLayout = new QHBoxLayout(axisBox);
    RadioX = named(new QRadioButton("X"), "RadioX");
    RadioY = named(new QRadioButton("Y"), "RadioY");
    RadioZ = named(new QRadioButton("Z"), "RadioZ");
    RadioZ->setChecked(true);
    axisLayout->addWidget(RadioX);
    axisLayout->addWidget(RadioY);
    axisLayout->addWidget(RadioZ);
    editLayout->addWidget(axisBox, 6, 0, 1, 2);
    const auto axis = [this](int value) {
        return [this, value](bool checked) {
            if (checked && m_view)
                m_view->SetMoveAxis(value);
        };
    };
    connect(RadioX, &QRadioButton::toggled, this, axis(0));
    connect(RadioY, &QRadioButton::toggled, this, axis(1));
    connect(RadioZ, &QRadioButton::toggled, this, axis(2));

    snapSettings() = ViewPreferences::snapping();
    auto* snapBox = new QGroupBox("Snapping");
    auto* snapLayout = new QGridLayout(snapBox);
    ChkSnap = named(new QCheckBox("Snap moves and turns"), "ChkSnap");
    ChkSnap->setChecked(snapSettings().Enabled);
    EditSnapGrid = named(new QLineEdit(QString::fromStdString(shortFloatText(snapSettings().GridStep))), "EditSnapGrid");
    EditSnapGrid->setToolTip("Drags and nudges move the selection's centre to multiples of this (world units)");
    EditSnapAngle = named(new QLineEdit(QString::fromStdString(shortFloatText(snapSettings().AngleStep))), "EditSnapAngle");
    EditSnapAngle->setToolTip("Turns of the rotation buttons are multiples of this (degrees)");
    snapLayout->addWidget(ChkSnap, 0, 0, 1, 2);
    snapLayout->addWidget(new QLabel("Grid step"), 1, 0);
    snapLayout->addWidget(EditSnapGrid, 1, 1);
    snapLayout->addWidget(new QLabel("Angle step"), 2, 0);
    snapLayout->addWidget(EditSnapAngle, 2, 1);
    editLayout->addWidget(snapBox, 7, 0, 1, 2);
    connect(ChkSnap, &QCheckBox::toggled, this, &TFormMain::SnapChange);
    connect(EditSnapGrid, &QLineEdit::editingFinished, this, &TFormMain::SnapChange);
    connect(EditSnapAngle, &QLineEdit::editingFinished, this, &TFormMain::SnapChange);
    stack->addWidget(editing);

    auto* view = named(new QWidget, "3D View");
    auto* viewLayout = new QGridLayout(view);
    BoxColour = named(new QComboBox, "BoxColour");
    for (const NamedColour& colour : BackgroundColours)
        BoxColour->addItem(colour.name, QVariant::fromValue(colour.bgr));
    BoxColour->setCurrentText("Silver"); // shown, not applied: the view starts black
    viewLayout->addWidget(new QLabel("Background"), 0, 0);
    viewLayout->addWidget(BoxColour, 0, 1);
    connect(BoxColour, &QComboBox::currentIndexChanged, this, &TFormMain::BoxColourChange);

    GameTime = named(new QComboBox, "GameTime");
    for (int hour = 0; hour < 24; ++hour)
        GameTime->addItem(QString::asprintf("%.2d:00", hour));
    GameTime->setCurrentIndex(12);
    viewLayout->addWidget(new QLabel("Game time"), 1, 0);
    viewLayout->addWidget(GameTime, 1, 1);
    connect(GameTime, &QComboBox::currentIndexChanged, this, &TFormMain::GameTimeChange);

    ChkWireframe = named(new QCheckBox("Wireframe Mode"), "ChkWireframe");
    ChkTexture = named(new QCheckBox("Textures"), "ChkTexture");
    ChkAlpha = named(new QCheckBox("Alpha Test"), "ChkAlpha");
    viewLayout->addWidget(ChkWireframe, 2, 0, 1, 2);
    viewLayout->addWidget(ChkTexture, 3, 0, 1, 2);
    viewLayout->addWidget(ChkAlpha, 4, 0, 1, 2);
    connect(ChkWireframe, &QCheckBox::clicked, this, &TFormMain::ChkWireframeClick);
    connect(ChkTexture, &QCheckBox::clicked, this, &TFormMain::ChkTextureClick);
    connect(ChkAlpha, &QCheckBox::clicked, this, &TFormMain::ChkAlphaClick);

    ComboLod = named(new QGroupBox("Level of detail"), "ComboLod");
    ComboLodItems = new QButtonGroup(ComboLod);
    auto* lodLayout = new QVBoxLayout(ComboLod);
    const char* lodNames[] = {"Normal Mode", "LOD Mode", "Normal + LOD", "As In Game"};
    for (int item = 0; item < 4; ++item) {
        auto* radio = new QRadioButton(lodNames[item]);
        radio->setObjectName(QString("ComboLodItem%1").arg(item));
        ComboLodItems->addButton(radio, item);
        lodLayout->addWidget(radio);
    }
    ComboLodItems->button(drawSettings().LodChoice)->setChecked(true);
    viewLayout->addWidget(ComboLod, 5, 0, 1, 2);
    connect(ComboLodItems, &QButtonGroup::idClicked, this, &TFormMain::ComboLodClick);

    // x0.25 to x4 in steps of a quarter, as kept from the last run.
    drawSettings().DrawDistanceScale = ViewPreferences::drawDistanceScale();
    TrackDrawDistance = named(new QSlider(Qt::Horizontal), "TrackDrawDistance");
    TrackDrawDistance->setRange(1, 16);
    TrackDrawDistance->setPageStep(4);
    TrackDrawDistance->setValue(static_cast<int>(std::lround(drawSettings().DrawDistanceScale * 4)));
    TrackDrawDistance->setToolTip("Scales every draw distance of \"As In Game\"");
    LblDrawDistance = named(new QLabel, "LblDrawDistance");
    auto* distanceRow = new QHBoxLayout;
    distanceRow->addWidget(TrackDrawDistance);
    distanceRow->addWidget(LblDrawDistance);
    viewLayout->addWidget(new QLabel("Draw Distance"), 6, 0);
    viewLayout->addLayout(distanceRow, 6, 1);
    connect(TrackDrawDistance, &QSlider::valueChanged, this, &TFormMain::TrackDrawDistanceChange);
    LblDrawDistance->setText(drawDistanceText(drawSettings().DrawDistanceScale));

    ChkBackgroundMap = named(new QCheckBox("Background Map"), "ChkBackgroundMap");
    viewLayout->addWidget(ChkBackgroundMap, 7, 0, 1, 2);
    connect(ChkBackgroundMap, &QCheckBox::clicked, this, &TFormMain::ChkBackgroundMapClick);

    TrackBar1 = named(new QSlider(Qt::Horizontal), "TrackBar1");
    TrackBar1->setRange(-300, 1000);
    TrackBar1->setValue(drawSettings().RadarZLevel * 3);
    viewLayout->addWidget(new QLabel("Radar Z-level"), 8, 0);
    viewLayout->addWidget(TrackBar1, 8, 1);
    connect(TrackBar1, &QSlider::valueChanged, this, &TFormMain::TrackBar1Change);
    stack->addWidget(view);
    return stack;
}

QWidget* TFormMain::buildFilesPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    ChkListVisible = named(new QListWidget, "ChkListVisible");
    ChkListVisible->setToolTip("Double click to center on objects in file");
    layout->addWidget(ChkListVisible, 1);
    auto* row = new QHBoxLayout;
    BtnVisCheckAll = named(new QPushButton("Select All"), "BtnVisCheckAll");
    BtnVisUnCheckAll = named(new QPushButton("De-Select All"), "BtnVisUnCheckAll");
    row->addWidget(BtnVisCheckAll);
    row->addWidget(BtnVisUnCheckAll);
    layout->addLayout(row);
    connect(ChkListVisible, &QListWidget::itemChanged, this, &TFormMain::ChkListVisibleClickCheck);
    connect(ChkListVisible, &QListWidget::itemDoubleClicked, this, &TFormMain::ChkListVisibleDblClick);
    connect(BtnVisCheckAll, &QPushButton::clicked, this, &TFormMain::BtnVisCheckAllClick);
    connect(BtnVisUnCheckAll, &QPushButton::clicked, this, &TFormMain::BtnVisUnCheckAllClick);
    return page;
}

QWidget* TFormMain::buildLightPage()
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    DiffRGB = colourSlider("DiffRGB", 255, 255);
    AmbRGB = colourSlider("AmbRGB", 255, 255);
    SpecRGB = colourSlider("SpecRGB", 255, 255);
    Dis = colourSlider("Dis", 1000, 700);
    DistCheck = named(new QCheckBox("Omni"), "DistCheck");
    layout->addWidget(new QLabel("Diffuse"), 0, 0);
    layout->addWidget(DiffRGB, 0, 1);
    layout->addWidget(new QLabel("Ambient"), 1, 0);
    layout->addWidget(AmbRGB, 1, 1);
    layout->addWidget(new QLabel("Specular"), 2, 0);
    layout->addWidget(SpecRGB, 2, 1);
    layout->addWidget(new QLabel("Distance"), 3, 0);
    layout->addWidget(Dis, 3, 1);
    layout->addWidget(DistCheck, 4, 0, 1, 2);
    layout->setRowStretch(5, 1);
    for (QSlider* slider : {DiffRGB, AmbRGB, SpecRGB, Dis})
        connect(slider, &QSlider::valueChanged, this, &TFormMain::DiffRGBChange);
    connect(DistCheck, &QCheckBox::clicked, this, &TFormMain::DiffRGBChange);
    return page;
}

TGLView* TFormMain::CreateView()
{
    const ProgramSettings& settings = programSettings();
    m_view = new TGLView(DrawPanel, StatusValue, EditCurrentPos, settings.LoadTextures, settings.LoadModels);
    m_view->setObjectName("TGLView");
    connect(m_view, &TGLView::frameStarting, this, [this] {
        if (m_frameCounter == 0)
            m_frameStart = QDateTime::currentMSecsSinceEpoch();
    });
    connect(m_view, &TGLView::frameDrawn, this, &TFormMain::FrameDone);
    if (m_document)
        m_view->FollowDocument(*m_document);
    return m_view;
}

void TFormMain::SetArchiveSet(std::unique_ptr<GLTextureUploader> uploader, std::unique_ptr<TGTAImg> archiveSet)
{
    m_uploader = std::move(uploader);
    m_archiveSet = std::move(archiveSet);
    if (m_view)
        m_view->SetArchiveSet(m_archiveSet.get());
}

void TFormMain::SetFileList(std::unique_ptr<TGTAFileList> fileList)
{
    UndoHistory->setStack(nullptr);
    m_document.reset();
    m_fileList = std::move(fileList);
    if (!m_fileList) {
        if (m_view)
            m_view->SetFileList(nullptr);
        return;
    }
    m_document = std::make_unique<MapDocument>(*m_fileList, m_archiveSet.get());
    followDocument();
}

void TFormMain::followDocument()
{
    QUndoStack& stack = m_document->undoStack();
    connect(ActionUndo, &QAction::triggered, &stack, &QUndoStack::undo, Qt::UniqueConnection);
    connect(ActionRedo, &QAction::triggered, &stack, &QUndoStack::redo, Qt::UniqueConnection);
    const auto showSteps = [this, &stack] {
        const QString undo = stack.undoText();
        const QString redo = stack.redoText();
        ActionUndo->setText(undo.isEmpty() ? QStringLiteral("&Undo") : QStringLiteral("&Undo ") + undo);
        ActionRedo->setText(redo.isEmpty() ? QStringLiteral("&Redo") : QStringLiteral("&Redo ") + redo);
        ActionUndo->setEnabled(stack.canUndo());
        ActionRedo->setEnabled(stack.canRedo());
    };
    connect(&stack, &QUndoStack::indexChanged, this, showSteps);
    connect(&stack, &QUndoStack::cleanChanged, this, showSteps);
    showSteps();
    // The save action is there while a file or the DAT file is modified.
    const auto followModified = [this] {
        ActionSaveModified->setEnabled(m_document->anyModified());
    };
    connect(m_document.get(), &MapDocument::modifiedChanged, this, followModified);
    // The visible-file list names every IPL file; a file joining modified or leaving with
    // its changes moves the save action too.
    for (const auto fileSignal : {&MapDocument::fileAdded, &MapDocument::fileRemoved})
        connect(m_document.get(), fileSignal, this, [this, followModified] {
            RebuildVisibleList();
            followModified();
        });
    connect(m_document.get(), &MapDocument::fileShown, this, &TFormMain::RebuildVisibleList);
    if (m_view)
        m_view->FollowDocument(*m_document);
    connect(m_document.get(), &MapDocument::stepsRemoved, this, [this](const QString& file, int steps) {
        statusBar()->showMessage(QString::number(steps) + (steps == 1 ? QStringLiteral(" step of ") : QStringLiteral(" steps of "))
                                     + file + QStringLiteral(" removed from the undo history"),
                                 10000);
    });

    UndoHistory->setStack(&stack);
    ActionViewHistory->setEnabled(true);
}

void TFormMain::RebuildVisibleList()
{
    const QSignalBlocker block(ChkListVisible);
    ChkListVisible->clear();
    m_visibleRows.clear();
    if (!m_fileList)
        return;
    for (int pos = 0; pos < m_fileList->Count(); ++pos) {
        const TGTASFile* file = m_fileList->File(pos);
        if (file->Kind != FileKind::IPL)
            continue;
        auto* row = new QListWidgetItem(QString::fromStdString(file->FileName), ChkListVisible);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(file->Visible ? Qt::Checked : Qt::Unchecked);
        m_visibleRows.push_back(pos);
    }
}

void TFormMain::ShowInitialFiles()
{
    if (!m_fileList)
        return;
    int instances = 0;
    for (int pos : m_visibleRows)
        instances += m_fileList->IPLFile(pos)->Inst.Count();
    if (instances == 0 || instances > InitiallyShownInstances)
        return;
    int shown = 0;
    {
        const QSignalBlocker block(ChkListVisible);
        for (int row = 0; row < ChkListVisible->count(); ++row) {
            if (m_fileList->IPLFile(m_visibleRows[row])->Inst.Count() == 0)
                continue;
            ChkListVisible->item(row)->setCheckState(Qt::Checked);
            setVisibleRow(row, true);
            ++shown;
        }
    }
    if (programSettings().LoadModels)
        startLoadingPass(shown);
}

void TFormMain::FrameDone()
{
    if (m_loading) {
        if (m_loadingWindow) {
            m_loadingWindow->StepOverall();
            m_loadingWindow->SetCurrentText("Freeing Object Lists");
        }
        m_loading = false;
        if (m_fileList) {
            for (int pos = 0; pos < m_fileList->Count(); ++pos) {
                if (TIDEFile* ide = m_fileList->IDEFile(pos)) {
                    ide->Objs.DropIDIndex();
                    ide->TObj.DropIDIndex();
                }
            }
        }
        if (m_view)
            m_view->Renderer().SetLoadingProgress(nullptr);
        if (m_loadingWindow) {
            // Deleted once this frame is over: the frame is still being painted.
            m_loadingWindow->hide();
            m_loadingWindow.release()->deleteLater();
        }
        ChkListVisible->setEnabled(true);
        ComboLod->setEnabled(true);
    }
    if (m_view)
        m_view->Renderer().FreeUnusedIfPending();
    emit frameFinished();

    if (!programSettings().LoadModels)
        return;
    ++m_frameCounter;
    if (m_frameCounter < 3) {
        // Not done yet: draw the next frame at once.
        if (m_view)
            m_view->update();
        return;
    }
    const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - m_frameStart;
    LblFPS->setText(elapsed > 0 ? QString::asprintf("%1.2f fps", 3000.0 / double(elapsed)) : QString());
    m_frameCounter = 0;
    m_frameStart = 0;
}

void TFormMain::BtnMoveToPosClick()
{
    const std::string text = EditCurrentPos->text().toStdString();
    float position[3];
    for (int column = 0; column < 3; ++column)
        position[column] = lenientFloat(GetColumn(column + 1, text), 0.0f);
    if (m_view)
        m_view->MoveTo(position[0], position[1], position[2]);
}

void TFormMain::ZoomTimerTimer()
{
    if (m_view)
        m_view->ZoomStep(m_zoomIn ? -5.0f : 5.0f);
}

void TFormMain::setControlLabels(bool firstPerson)
{
    LabelControlLeftBtn->setText(firstPerson ? "Move Forwards" : "Move Camera");
    LabelControlLeftBtnCtrl->setText(firstPerson ? "Move Backwards" : "Move Object (XY Plane)");
    LabelControlLeftBtnCtrlShift->setText(firstPerson ? "Move Faster" : "Move Object (Single Axis)");
    // A label shows "&&" as one ampersand.
    LabelControlDoubleBtn->setText(firstPerson ? "N/A" : "Select Item && Zoom In");
    LabelCtrlShift->setText(firstPerson ? "+ Shift" : "+ Ctrl + Shift");
}

void TFormMain::ChkMovementClick()
{
    if (m_view)
        m_view->SetFirstPerson(ChkMovement->isChecked());
    setControlLabels(ChkMovement->isChecked());
}

void TFormMain::ChkWireframeClick()
{
    if (m_view)
        m_view->SetWireframe(ChkWireframe->isChecked());
}

void TFormMain::ChkTextureClick()
{
    if (m_view)
        m_view->SetTextures(ChkTexture->isChecked());
    emit texturesSwitched(ChkTexture->isChecked());
}

void TFormMain::ChkAlphaClick()
{
    if (m_view)
        m_view->SetAlphaTest(ChkAlpha->isChecked());
}

void TFormMain::BoxColourChange()
{
    if (m_view)
        m_view->SetBackgroundColour(BoxColour->currentData().toUInt());
}

void TFormMain::GameTimeChange()
{
    if (m_view)
        m_view->SetGameHour(GameTime->currentIndex());
}

void TFormMain::DiffRGBChange()
{
    const auto grey = [](QSlider* slider) {
        const float value = float(slider->value()) / 255.0f;
        return std::array<float, 4>{value, value, value, 1.0f};
    };
    if (m_view)
        m_view->SetLightColours(grey(DiffRGB), grey(AmbRGB), grey(SpecRGB));
}

void TFormMain::TrackBar1Change()
{
    drawSettings().RadarZLevel = TrackBar1->value() / 3;
    if (m_view)
        m_view->update();
}

void TFormMain::ChkBackgroundMapClick()
{
    if (!m_view)
        return;
    if (!ChkBackgroundMap->isChecked()) {
        m_view->SetBackgroundMap(false, {});
        return;
    }
    std::vector<std::uint32_t> names(64, 0);
    if (m_archiveSet) {
        if (m_view->GLReady())
            m_view->makeCurrent();
        SharedGLContextScope context;
        for (int tile = 0; tile < 64; ++tile) {
            char name[16];
            std::snprintf(name, sizeof name, "radar%.2d", tile);
            const int index = m_archiveSet->FindTxd(name);
            if (index < 0)
                continue;
            TGTATxd& dictionary = *m_archiveSet->Txds[index];
            if (!dictionary.Loaded)
                dictionary.Load();
            if (!dictionary.TextureIds.empty())
                names[tile] = dictionary.TextureIds.front();
        }
    }
    m_view->SetBackgroundMap(true, names);
}

void TFormMain::ComboLodClick()
{
    if (m_loading)
        return;
    drawSettings().LodChoice = ComboLodItems->checkedId();
    if (programSettings().LoadModels)
        startLoadingPass(static_cast<int>(std::count_if(m_visibleRows.begin(), m_visibleRows.end(), [this](int pos) {
            return m_fileList->File(pos)->Visible;
        })));
    if (m_view)
        m_view->update();
}

void TFormMain::TrackDrawDistanceChange()
{
    drawSettings().DrawDistanceScale = static_cast<float>(TrackDrawDistance->value()) / 4;
    LblDrawDistance->setText(drawDistanceText(drawSettings().DrawDistanceScale));
    ViewPreferences::setDrawDistanceScale(drawSettings().DrawDistanceScale);
    if (m_view)
        m_view->update();
}

void TFormMain::setVisibleRow(int row, bool visible)
{
    if (row < 0 || row >= static_cast<int>(m_visibleRows.size()) || !m_fileList)
        return;
    m_fileList->File(m_visibleRows[row])->Visible = visible;
}

void TFormMain::SnapChange()
{
    // A step that is not a positive number keeps the one before, and the box shows it again.
    const auto step = [](QLineEdit* box, float current, float largest) {
        const std::optional<float> typed = strictFloat(TrimText(box->text().toStdString()));
        const float step = typed && std::isfinite(*typed) && *typed > 0 && *typed <= largest ? *typed : current;
        box->setText(QString::fromStdString(shortFloatText(step)));
        return step;
    };
    SnapSettings& snap = snapSettings();
    snap.Enabled = ChkSnap->isChecked();
    snap.GridStep = step(EditSnapGrid, snap.GridStep, 10000.0f);
    snap.AngleStep = step(EditSnapAngle, snap.AngleStep, 360.0f);
    ViewPreferences::setSnapping(snap);
}

void TFormMain::ChkListVisibleClickCheck(QListWidgetItem* item)
{
    if (m_loading || !item)
        return;
    const int row = ChkListVisible->row(item);
    setVisibleRow(row, item->checkState() == Qt::Checked);
    if (programSettings().LoadModels) {
        int checked = 0;
        for (int other = 0; other < ChkListVisible->count(); ++other)
            checked += ChkListVisible->item(other)->checkState() == Qt::Checked;
        startLoadingPass(checked);
    }
    if (m_view)
        m_view->update();
}

void TFormMain::BtnVisCheckAllClick()
{
    if (m_loading)
        return;
    if (programSettings().LoadModels
        && dialogs().showMessage(MessageKind::Confirmation, QString::fromLatin1(ProgramCaption),
                                 "This operation might take a while, the mapper runs far faster viewing a few files "
                                 "instead of everything. Continue?",
                                 DialogButtons::YesNo)
            != DialogAnswer::Yes)
        return;
    {
        const QSignalBlocker block(ChkListVisible);
        for (int row = 0; row < ChkListVisible->count(); ++row) {
            ChkListVisible->item(row)->setCheckState(Qt::Checked);
            setVisibleRow(row, true);
        }
    }
    if (programSettings().LoadModels)
        startLoadingPass(ChkListVisible->count());
    if (m_view)
        m_view->update();
}

void TFormMain::BtnVisUnCheckAllClick()
{
    if (m_loading)
        return;
    {
        const QSignalBlocker block(ChkListVisible);
        for (int row = 0; row < ChkListVisible->count(); ++row) {
            ChkListVisible->item(row)->setCheckState(Qt::Unchecked);
            setVisibleRow(row, false);
        }
    }
    // Nothing is drawn any more: the next frame frees every model and dictionary.
    if (programSettings().LoadModels && m_archiveSet)
        m_archiveSet->ResetUsage();
    if (m_view)
        m_view->update();
}

void TFormMain::ChkListVisibleDblClick()
{
    const int row = ChkListVisible->currentRow();
    if (row < 0 || row >= static_cast<int>(m_visibleRows.size()) || !m_fileList)
        return;
    emit visibleFileChosen(m_visibleRows[row]);
    const TIPLFile* file = m_fileList->IPLFile(m_visibleRows[row]);
    if (m_view && file && file->Inst.Count() > 0) {
        const TGTASInstObj& first = file->Inst.Items.front();
        m_view->CentreOn(first.PosX, first.PosY, first.PosZ);
    }
}

void TFormMain::startLoadingPass(int fileCount)
{
    if (!m_fileList || !m_view)
        return;
    m_loading = true;
    for (int pos = 0; pos < m_fileList->Count(); ++pos) {
        if (TIDEFile* ide = m_fileList->IDEFile(pos)) {
            ide->Objs.BuildIDIndex();
            ide->TObj.BuildIDIndex();
        }
    }
    if (m_archiveSet)
        m_archiveSet->ResetUsage();
    m_loadingWindow = std::make_unique<TFormLoading>();
    // The window is stepped while a frame is drawn: it must only repaint itself then.
    m_loadingWindow->SetProcessEvents(false);
    ChkListVisible->setEnabled(false);
    ComboLod->setEnabled(false);
    m_loadingWindow->ResetOverall();
    m_loadingWindow->SetOverallMax(fileCount + 1);
    m_loadingWindow->show();
    m_loadingWindow->SetCurrentText("Loading Needed Models && Textures");
    m_view->Renderer().SetLoadingProgress(m_loadingWindow.get());
    m_view->update();
}

void TFormMain::ActionSaveModifiedExecute()
{
    if (!m_document)
        return;
    const ModifiedFilesReport result = m_document->saveModified();
    QString saved;
    QString failed;
    for (const ModifiedFilesReport::Entry& entry : result.saved)
        saved += "\n" + QString::fromStdString(entry.name);
    for (const ModifiedFilesReport::Entry& entry : result.failed)
        failed += "\n" + QString::fromStdString(entry.name);
    QString report;
    if (!saved.isEmpty())
        report = "SUCCESS: The following files saved successfully:\n" + saved;
    if (!failed.isEmpty()) {
        if (!report.isEmpty())
            report += "\n";
        report += "ERROR: The following files failed to save:\nThese could be read only, or in use by another program!\n"
            + failed;
    }
    dialogs().showMessage(failed.isEmpty() ? MessageKind::Information : MessageKind::Error,
                          QString::fromLatin1(ProgramCaption), report);
    // Files that failed keep their changes and the action that retries them; closing then
    // keeps the window open rather than dropping those changes.
    ActionSaveModified->setEnabled(!failed.isEmpty());
}

bool TFormMain::FormCloseQuery()
{
    if (!m_fileList)
        return true;
    bool anyModified = false;
    for (int pos = 0; pos < m_fileList->Count(); ++pos)
        anyModified = anyModified || m_fileList->File(pos)->Modified;
    if (!anyModified && !m_fileList->DatModified)
        return true;
    const DialogAnswer answer = dialogs().showMessage(MessageKind::Confirmation, QString::fromLatin1(ProgramCaption),
                                                      "Do you want to save changes?", DialogButtons::YesNoCancel);
    if (answer == DialogAnswer::Cancel)
        return false;
    if (answer == DialogAnswer::No)
        return true;
    // Every modified file, whether or not an edit enabled the action: a file an editor
    // created is modified before any edit.
    if (anyModified)
        ActionSaveModifiedExecute();
    int datError = 0;
    if (m_fileList->DatModified) {
        datError = m_document ? m_document->saveDat() : m_fileList->SaveDat();
        if (datError == 0)
            m_fileList->DatModified = false;
    }
    bool stillModified = false;
    for (int pos = 0; pos < m_fileList->Count(); ++pos)
        stillModified = stillModified || m_fileList->File(pos)->Modified;
    return !stillModified && datError == 0;
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery()) {
        event->accept();
        // Saved while every dock still shows as the user left it.
        SaveWindowLayout();
        // The view comes home before the windows go.
        if (m_detachedView)
            m_detachedView->close();
        // The tool windows go with the main window.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != this && window->isVisible())
                window->hide();
        }
    } else {
        event->ignore();
    }
}

void TFormMain::SetToolWindow(ToolWindow which, QWidget* window)
{
    if (!window)
        return;
    if (which == ToolWindow::About) {
        m_about = window;
        m_toolWindows[which] = window;
        m_toolWindowOrder.emplace_back(window);
        ActionHelpAbout->setVisible(true);
        return;
    }
    const ToolWindowAction* entry = toolWindowAction(which);
    if (!entry || m_toolWindows.count(which))
        return;
    m_toolWindows[which] = window;
    m_toolWindowOrder.emplace_back(window);
    ToolDock* dock = DockToolWindow(window, QString::fromLatin1(entry->dockName), entry->place);
    QAction* action = dock->toggleViewAction();
    action->setObjectName(QString::fromLatin1(entry->name));
    dock->setActionCaption(QString::fromLatin1(entry->caption));
    if (*entry->shortcut)
        action->setShortcut(QKeySequence(entry->shortcut));
    addAction(action); // its shortcut works while the dock is hidden
    this->*entry->action = action;
    followAction(this->*entry->menuItem, action);
}

QWidget* TFormMain::ToolWindowOf(ToolWindow which) const
{
    const auto found = m_toolWindows.find(which);
    return found == m_toolWindows.end() ? nullptr : found->second.data();
}

QAction* TFormMain::ActionOf(ToolWindow which) const
{
    if (which == ToolWindow::About)
        return ActionHelpAbout;
    const ToolWindowAction* entry = toolWindowAction(which);
    return entry ? this->*entry->action : nullptr;
}

ToolDock* TFormMain::DockToolWindow(QWidget* window, const QString& name, DockPlace place)
{
    auto* dock = new ToolDock(
        window, name, place, [this](DockPlace at, QSize frame) { return firstPlaceOf(at, frame); }, this);
    if (window->testAttribute(Qt::WA_Resized))
        dock->resize(window->size());
    if (place == DockPlace::EditorTabs) {
        addDockWidget(Qt::LeftDockWidgetArea, dock);
    } else {
        addDockWidget(Qt::RightDockWidgetArea, dock);
        dock->setFloating(true);
    }
    dock->hide();
    m_docks.push_back(dock);
    return dock;
}

ToolDock* TFormMain::DockOf(const QWidget* window) const
{
    for (ToolDock* dock : m_docks) {
        if (dock->widget() == window)
            return dock;
    }
    return nullptr;
}

QPoint TFormMain::firstPlaceOf(DockPlace place, QSize frame) const
{
    const QRect view(DrawPanel->mapToGlobal(QPoint(0, 0)), DrawPanel->size());
    const int belowButton = BtnHideShow3DView->mapTo(this, QPoint(0, BtnHideShow3DView->height())).y()
        - DrawPanel->mapTo(this, QPoint(0, 0)).y();
    return firstFloatingPlace(place, view, std::max(0, belowButton), frame);
}

void TFormMain::DockEditor(QWidget* window)
{
    ToolDock* dock = DockOf(window);
    if (!dock)
        return;
    if (!dock->isFloating()) {
        // Tabbed with the first editor already docked beside the view.
        for (ToolDock* other : m_docks) {
            if (other == dock)
                break;
            if (other->place() == DockPlace::EditorTabs && !other->isFloating()
                && dockWidgetArea(other) == dockWidgetArea(dock)) {
                if (!tabifiedDockWidgets(other).contains(dock))
                    tabifyDockWidget(other, dock);
                break;
            }
        }
    }
    dock->show();
    dock->bringToFront();
    // A hidden main window has no tabs to bring forward yet: it does so when first shown.
    m_frontEditor = dock;
}

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // After the layout has made the tabs.
    if (m_frontEditor)
        QTimer::singleShot(0, m_frontEditor, [dock = m_frontEditor] { dock->bringToFront(); });
    m_frontEditor = nullptr;
    if (!m_savedSplitter.isEmpty()) {
        QTimer::singleShot(0, MainSplitter, [this, sizes = m_savedSplitter] { MainSplitter->restoreState(sizes); });
        m_savedSplitter.clear();
    }
    if (!m_savedDockSizes.isEmpty()) {
        QTimer::singleShot(0, this, [this, sizes = m_savedDockSizes] { restoreDockSizes(sizes); });
        m_savedDockSizes.clear();
    }
}

void TFormMain::fitIntoScreen(QWidget* window) const
{
    const QScreen* screen = QGuiApplication::screenAt(window->frameGeometry().center());
    if (!screen)
        screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect frame = window->frameGeometry();
    const QRect fitted = fitInside(frame, screen->availableGeometry());
    if (fitted == frame)
        return;
    // The frame's borders stay as they are; the window inside them moves and shrinks.
    const QSize borders = frame.size() - window->geometry().size();
    window->resize(fitted.size() - borders);
    window->move(fitted.topLeft());
}

void TFormMain::RestoreWindowLayout()
{
    m_layoutRestored = true;
    const std::optional<WindowLayout> saved = WindowLayout::load();
    if (!saved)
        return;
    // Known before the docks show again: a dock placed once stays where the layout puts it.
    for (ToolDock* dock : m_docks)
        dock->setPlaced(saved->PlacedDocks.contains(dock->objectName()));
    m_frontEditor = nullptr; // the saved layout knows its front tabs
    m_layoutFromLastRun = restoreGeometry(saved->Geometry);
    restoreState(saved->State);
    // Sizes apply to the splitter's real width: once the window is shown.
    m_savedSplitter = saved->Splitter;
    m_savedDockSizes = saved->DockSizes;
    if (!isMaximized() && !isFullScreen())
        fitIntoScreen(this);
    for (ToolDock* dock : m_docks) {
        if (dock->isFloating())
            fitIntoScreen(dock);
    }
}

void TFormMain::SaveWindowLayout()
{
    if (!m_layoutRestored)
        return;
    WindowLayout layout;
    layout.Geometry = saveGeometry();
    layout.State = saveState();
    layout.Splitter = MainSplitter->saveState();
    for (ToolDock* dock : m_docks) {
        if (dock->placed())
            layout.PlacedDocks << dock->objectName();
        // A tab behind another keeps the size it last had: only the front one counts.
        if (!dock->isFloating() && dock->isVisible() && !dock->visibleRegion().isEmpty()) {
            const bool across = isAcross(dockWidgetArea(dock));
            layout.DockSizes << dock->objectName() + '=' + QString::number(across ? dock->width() : dock->height());
        }
    }
    layout.save();
}

bool TFormMain::isAcross(Qt::DockWidgetArea area)
{
    return area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
}

void TFormMain::restoreDockSizes(const QStringList& sizes)
{
    QList<QDockWidget*> docks[2];
    QList<int> dockSizes[2];
    for (const QString& entry : sizes) {
        const qsizetype equals = entry.lastIndexOf('=');
        bool isNumber = false;
        const int size = entry.mid(equals + 1).toInt(&isNumber);
        ToolDock* dock = findChild<ToolDock*>(entry.left(equals), Qt::FindDirectChildrenOnly);
        if (equals < 0 || !isNumber || size <= 0 || !dock || dock->isFloating())
            continue;
        const int across = isAcross(dockWidgetArea(dock)) ? 1 : 0;
        docks[across] << dock;
        dockSizes[across] << size;
    }
    resizeDocks(docks[1], dockSizes[1], Qt::Horizontal);
    resizeDocks(docks[0], dockSizes[0], Qt::Vertical);
}

void TFormMain::ResetWindowLayout()
{
    ToolDock* lastEditor = nullptr;
    for (ToolDock* dock : m_docks) {
        if (dock->place() == DockPlace::EditorTabs) {
            dock->setFloating(false);
            removeDockWidget(dock);
            addDockWidget(Qt::LeftDockWidgetArea, dock);
            if (lastEditor)
                tabifyDockWidget(lastEditor, dock);
            else
                lastEditor = dock;
            dock->show();
        } else {
            dock->hide();
            removeDockWidget(dock);
            addDockWidget(Qt::RightDockWidgetArea, dock);
            dock->setFloating(true);
            dock->hide();
            dock->setPlaced(false);
        }
    }
    // The editor docked last (the IPL editor) is the active tab, as after loading.
    for (auto dock = m_docks.rbegin(); dock != m_docks.rend(); ++dock) {
        if ((*dock)->place() == DockPlace::EditorTabs) {
            (*dock)->bringToFront();
            break;
        }
    }
    PageControl1->setVisible(true);
    const int panel = PageControl1->sizeHint().width();
    MainSplitter->setSizes({std::max(1, MainSplitter->width() - panel), 1, panel});
    if (m_view)
        m_view->UpdateViewport();
}

void TFormMain::ActionHelpAboutExecute()
{
    if (!m_about)
        return;
    m_about->setVisible(!m_about->isVisible());
    if (m_about->isVisible())
        m_about->raise();
}

void TFormMain::HelpHelpItemClick()
{
    showProgramHelp();
}

void TFormMain::ToolButton1Click()
{
    if (m_setup) {
        m_setup->show();
        m_setup->raise();
    }
}

void TFormMain::BtnHideShowPanelClick()
{
    PageControl1->setVisible(!PageControl1->isVisible());
    if (m_view)
        m_view->UpdateViewport();
}

void TFormMain::BtnHideShowEditorsClick()
{
    // The editors' tabs beside the view go together, and come back together.
    std::vector<ToolDock*> tabs;
    bool anyShown = false;
    for (ToolDock* dock : m_docks) {
        if (dock->place() == DockPlace::EditorTabs && !dock->isFloating()) {
            tabs.push_back(dock);
            anyShown = anyShown || !dock->isHidden();
        }
    }
    for (ToolDock* dock : tabs)
        dock->setVisible(!anyShown);
    if (m_view)
        m_view->UpdateViewport();
}

void TFormMain::BtnHideShow3DViewClick()
{
    if (!m_detachedView)
        return;
    if (m_detachedView->isVisible())
        m_detachedView->close();
    else
        m_detachedView->show();
}

void TFormMain::toolsswitchClick(int index)
{
    if (index < 0)
        return;
    const QString page = toolsswitch->tabText(index);
    for (int pos = 0; pos < tools->count(); ++pos) {
        if (tools->widget(pos)->objectName() == page)
            tools->setCurrentIndex(pos);
    }
}

void TFormMain::keyPressEvent(QKeyEvent* event)
{
    if (m_view && !event->isAutoRepeat())
        m_view->KeyDown(event->key(), event->modifiers());
    QMainWindow::keyPressEvent(event);
}

void TFormMain::keyReleaseEvent(QKeyEvent* event)
{
    if (m_view && !event->isAutoRepeat())
        m_view->KeyUp(event->key(), event->modifiers());
    QMainWindow::keyReleaseEvent(event);
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_view)
        m_view->UpdateViewport();
}
