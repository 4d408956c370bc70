#include "TFormExtraView.h"

#include "ByteSource.h"
#include "ColourBox.h"
#include "DialogService.h"
#include "GLDrawingState.h"
#include "GLModelDrawer.h"
#include "GLPanel.h"
#include "ProgramSettings.h"
#include "SceneRenderer.h"
#include "TFormTextureView.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

#include <GL/glu.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

TFormExtraView::TFormExtraView(TGTAFileList* fileList, TGTAImg* archiveSet, TFormTextureView* textureView,
                               QWidget* view, bool texturesAllowed, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), TexturesAllowed(texturesAllowed), m_files(fileList),
      m_set(archiveSet), m_textureView(textureView), m_view(view), m_texturing(texturesAllowed)
{
    setObjectName("TFormExtraView");
    setWindowTitle("Second Display");

    InfoPanel = new QWidget;
    InfoPanel->setObjectName("InfoPanel");
    BarDepth = new QSlider(Qt::Horizontal);
    BarDepth->setObjectName("BarDepth");
    BarDepth->setToolTip("Zoom Level");
    BarDepth->setRange(2, 402);
    BarDepth->setSingleStep(5);
    BarDepth->setPageStep(5);
    BarDepth->setValue(52);
    BoxColour = new ColourBox;
    BoxColour->setObjectName("BoxColour");
    BoxColour->setSelectedColour({0, 0, 0});
    BtnViewDFF = new QPushButton("...");
    BtnViewDFF->setObjectName("BtnViewDFF");
    BtnViewDFF->setToolTip("Open External Model");
    BtnViewDFF->setFixedWidth(32);
    auto* infoLayout = new QHBoxLayout(InfoPanel);
    infoLayout->setContentsMargins(4, 2, 4, 2);
    infoLayout->addWidget(BarDepth, 1);
    infoLayout->addWidget(BoxColour);
    infoLayout->addWidget(BtnViewDFF);

    RotatePanel = new QWidget;
    RotatePanel->setObjectName("RotatePanel");
    BarRotation = new QSlider(Qt::Vertical);
    BarRotation->setObjectName("BarRotation");
    BarRotation->setToolTip("Rotation Angle");
    BarRotation->setRange(-180, 0);
    BarRotation->setValue(-135);
    auto* rotateLayout = new QVBoxLayout(RotatePanel);
    rotateLayout->setContentsMargins(2, 2, 2, 2);
    rotateLayout->addWidget(BarRotation);

    ViewPanel = new GLPanel;
    ViewPanel->setObjectName("ViewPanel");
    ViewPanel->setMinimumSize(64, 64);
    ViewPanel->initialize = [this] { initializeGL(); };
    ViewPanel->paint = [this] { paintGL(); };
    ViewPanel->release = [this] { releaseGL(); };

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(ViewPanel, 1);
    middle->addWidget(RotatePanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(InfoPanel);
    layout->addLayout(middle, 1);
    resize(320, 300);

    TimerRotate = new QTimer(this);
    TimerRotate->setObjectName("TimerRotate");
    TimerRotate->setInterval(10);

    if (m_set) {
        m_drawer = std::make_unique<GLModelDrawer>(m_set, programSettings().LoadTextures);
        m_renderer = std::make_unique<SceneRenderer>(true, TexturesAllowed);
        m_renderer->SetArchiveSet(m_set);
        // One definition a frame: compiling would only keep lists nobody frees.
        m_renderer->SetCompileModels(false);
    }

    connect(BarDepth, &QSlider::valueChanged, this, &TFormExtraView::BarDepthChange);
    connect(BarRotation, &QSlider::valueChanged, this, &TFormExtraView::BarRotationChange);
    connect(BoxColour, &QComboBox::currentIndexChanged, this, &TFormExtraView::BoxColourChange);
    connect(BtnViewDFF, &QPushButton::clicked, this, &TFormExtraView::BtnViewDFFClick);
    connect(TimerRotate, &QTimer::timeout, this, &TFormExtraView::TimerRotateTimer);
}

TFormExtraView::~TFormExtraView()
{
    // The panel's hook must not reach this window once its members are gone.
    if (ViewPanel->contextOk()) {
        ViewPanel->makeCurrent();
        releaseGL();
        ViewPanel->doneCurrent();
    }
    ViewPanel->release = nullptr;
    holdShown(-1, -1);
}

void TFormExtraView::holdShown(int modelIndex, int dictionaryIndex)
{
    if (!m_set)
        return;
    m_set->HoldDff(modelIndex);
    m_set->HoldTxd(dictionaryIndex);
    m_set->ReleaseDff(m_heldModel);
    m_set->ReleaseTxd(m_heldDictionary);
    m_heldModel = modelIndex;
    m_heldDictionary = dictionaryIndex;
}

void TFormExtraView::dropLooseModel()
{
    m_looseModel.reset();
    m_looseBytes.reset();
}

void TFormExtraView::ShowModel(const std::string& name, int dictionaryIndex)
{
    Mode = 0;
    ModelName = name;
    DictionaryIndex = dictionaryIndex;
    ListValid = false;
    dropLooseModel();
    holdShown(m_set && !name.empty() ? m_set->FindDff(name) : -1, dictionaryIndex);
    if (m_textureView)
        m_textureView->SetDictionary(dictionaryIndex);
    ViewPanel->update();
}

void TFormExtraView::ShowDefinition(int id, int kind)
{
    Mode = 2;
    DefinitionID = id;
    DictionaryIndex = -1;
    dropLooseModel();
    if (m_files && m_set) {
        for (int pos = 0; pos < m_files->Count(); ++pos) {
            TIDEFile* ide = m_files->IDEFile(pos);
            if (!ide)
                continue;
            bool matched = false;
            auto look = [&](const auto& records) {
                for (const auto& record : records) {
                    if (record.ID == DefinitionID) {
                        DictionaryIndex = m_set->FindTxd(record.TextureName);
                        matched = true;
                    }
                }
            };
            if (kind == 0)
                look(ide->Objs.Items);
            else
                look(ide->TObj.Items);
            if (matched)
                break;
        }
    }
    holdShown(-1, DictionaryIndex);
    if (m_textureView)
        m_textureView->SetDictionary(DictionaryIndex);
    ViewPanel->update();
}

void TFormExtraView::Draw()
{
    if (isVisible())
        ViewPanel->update();
}

void TFormExtraView::SetTextures(bool on)
{
    m_texturing = on && TexturesAllowed;
    if (!ViewPanel->contextOk())
        return;
    ViewPanel->makeCurrent();
    if (m_texturing)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    ViewPanel->doneCurrent();
    ViewPanel->update();
}

void TFormExtraView::BarDepthChange()
{
    Depth = -static_cast<float>(BarDepth->value());
    ViewPanel->update();
}

void TFormExtraView::BarRotationChange()
{
    Tilt = -static_cast<float>(BarRotation->value()) - 180.0f;
    ViewPanel->update();
}

void TFormExtraView::BoxColourChange()
{
    const auto colour = BoxColour->selectedColour();
    m_background = {colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f};
    if (!ViewPanel->contextOk())
        return;
    ViewPanel->makeCurrent();
    glClearColor(m_background[0], m_background[1], m_background[2], 0.0f);
    ViewPanel->doneCurrent();
    ViewPanel->update();
}

void TFormExtraView::BtnViewDFFClick()
{
    const QStringList chosen = dialogs().openFiles("Open External Model", "Renderware Model File (*.dff)|*.dff", false);
    if (chosen.isEmpty())
        return;
    Mode = 0;
    ModelName.clear();
    DictionaryIndex = -1;
    ListValid = false;
    dropLooseModel();
    holdShown(-1, -1);
    ViewPanel->update();

    const QString path = chosen.first();
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::vector<std::uint8_t> bytes;
    if (in)
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        dialogs().showMessage(MessageKind::Error, "Open External Model",
                              QStringLiteral("ERROR: Cannot read %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    const auto length = static_cast<std::int64_t>(bytes.size());
    auto source = std::make_unique<MemoryByteSource>(std::move(bytes));
    auto model = std::make_unique<TGTADff>(source.get(), length, 0, QFileInfo(path).fileName().toStdString());
    model->Load();
    if (!model->LoadError.empty()) {
        // Nothing of a model that could not be read is shown.
        dialogs().showMessage(MessageKind::Error, "Open External Model",
                              QStringLiteral("ERROR: Cannot read %1: %2").arg(path, QString::fromStdString(model->LoadError)));
        return;
    }
    m_looseBytes = std::move(source);
    m_looseModel = std::move(model);
}

void TFormExtraView::TimerRotateTimer()
{
    Spin += 1.0f;
    ViewPanel->update();
}

void TFormExtraView::initializeGL()
{
    ContextOk = ViewPanel->contextOk();
    if (!ContextOk)
        return;
    GLDrawingState state;
    state.clearColour = {m_background[0], m_background[1], m_background[2], 0.0f};
    state.smoothShading = true;
    state.depthFunction = GL_LESS;
    state.nicestPerspective = false;
    state.texturing = m_texturing;
    state.lighting = !TexturesAllowed;
    state.alphaWrites = false;
    applyGLDrawingState(state);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[] = {1.0f, 0.0f, 100.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    if (TexturesAllowed)
        glDisable(GL_LIGHT0);
    else
        glEnable(GL_LIGHT0);
    DisplayList = glGenLists(1);
    ListValid = false;
}

void TFormExtraView::releaseGL()
{
    if (DisplayList != 0)
        glDeleteLists(DisplayList, 1);
    DisplayList = 0;
    if (m_renderer)
        m_renderer->ReleaseGL();
    ListValid = false;
    ContextOk = false;
}

void TFormExtraView::compileList()
{
    const bool archiveModel = !m_looseModel && !ModelName.empty() && m_set;
    if (archiveModel && programSettings().LoadTextures && DictionaryIndex >= 0 && DictionaryIndex < m_set->TxdCount) {
        // Textures must exist before the list is compiled: an upload inside glNewList would
        // be recorded into the list instead of run.
        TGTATxd& dictionary = *m_set->Txds[static_cast<std::size_t>(DictionaryIndex)];
        if (!dictionary.Loaded)
            dictionary.Load();
    }
    glNewList(DisplayList, GL_COMPILE);
    if (m_looseModel)
        m_looseModel->Draw(-1, *m_drawer);
    else if (archiveModel)
        m_set->DrawModel(ModelName, DictionaryIndex, *m_drawer);
    glEndList();
    ListValid = true;
}

void TFormExtraView::paintGL()
{
    if (!ContextOk)
        return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(std::max(1, ViewPanel->width())) / double(std::max(1, ViewPanel->height())), 1.0,
                   5000.0);
    glTranslatef(0.0f, 0.0f, Depth);
    glRotatef(Tilt, 1.0f, 0.0f, 0.0f);
    glRotatef(Spin, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (Mode == 0) {
        // A list holding the textures of a dictionary freed behind this window's back would
        // bind names that are gone.
        if (ListValid && !m_looseModel && m_set && DictionaryIndex >= 0 && DictionaryIndex < m_set->TxdCount &&
            programSettings().LoadTextures && !m_set->Txds[static_cast<std::size_t>(DictionaryIndex)]->Loaded)
            ListValid = false;
        if (!ListValid && DisplayList != 0 && m_drawer)
            compileList();
        if (DisplayList != 0)
            glCallList(DisplayList);
    } else if (Mode == 2 && m_files && m_renderer) {
        m_files->DrawDefinitionsByID(DefinitionID, [this](TGTASObjsObj& record) { m_renderer->DrawDefinition(record); });
    }
}

void TFormExtraView::showEvent(QShowEvent* event)
{
    TimerRotate->start();
    QWidget::showEvent(event);
}

void TFormExtraView::hideEvent(QHideEvent* event)
{
    TimerRotate->stop();
    QWidget::hideEvent(event);
}

