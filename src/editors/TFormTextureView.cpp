#include "TFormTextureView.h"

#include "DialogService.h"
#include "GLDrawingState.h"
#include "GLPanel.h"
#include "ProgramSettings.h"
#include "SharedGLContext.h"
#include "TGTAImg.h"
#include "ByteSource.h"
#include "TxdChunkList.h"
#include "TxdEdits.h"
#include "TxdExport.h"
#include "TxdRgba.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <GL/glu.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

// The rows of `ListTextures`, produced on demand from the window's `EntryOrder`.
class TextureListModel : public QAbstractTableModel {
public:
    explicit TextureListModel(TFormTextureView& form) : m_form(form) {}

    void reset()
    {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_form.EntryOrder.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        const int texture = m_form.EntryOrder[static_cast<std::size_t>(index.row())];
        if (index.column() == 0)
            return QString::number(texture);
        const TGTATxd* dictionary = shown();
        if (!dictionary || texture >= static_cast<int>(dictionary->Textures.size()))
            return {};
        return QString::fromStdString(dictionary->Textures[static_cast<std::size_t>(texture)].Name);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? QStringLiteral("Index") : QStringLiteral("Texture Name");
    }

    const TGTATxd* shown() const { return m_form.ShownDictionary(); }

private:
    TFormTextureView& m_form;
};

namespace {

QLabel* namedLabel(const char* name, const QString& text = {})
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// The import formats offered, in the words of the command line's --format, after the
// first item, the game's usual format.
constexpr std::pair<const char*, TxdFormatChoice> ImportFormats[] = {
    {"DXT1", TxdFormatChoice::Dxt1},     {"DXT1 with alpha", TxdFormatChoice::Dxt1Alpha},
    {"DXT3", TxdFormatChoice::Dxt3},     {"8888", TxdFormatChoice::Rgba8888},
    {"888", TxdFormatChoice::Rgb888},    {"PAL8", TxdFormatChoice::Pal8},
    {"PAL4", TxdFormatChoice::Pal4}};

QString compressionText(int compression)
{
    switch (compression) {
    case 0: return QStringLiteral("None");
    case 1: return QStringLiteral("DXT1");
    case 3: return QStringLiteral("DXT3");
    case 5: return QStringLiteral("DXT5");
    default: return QStringLiteral("Unknown");
    }
}

} // namespace

TFormTextureView::TFormTextureView(TGTAImg* archiveSet, QWidget* view, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_set(archiveSet), m_view(view)
{
    setObjectName("TFormTextureView");
    setWindowTitle("Texture Display");

    FilePanel = new QWidget;
    FilePanel->setObjectName("FilePanel");
    FilenameLabel = namedLabel("FilenameLabel", "File Name:");
    FilenameValue = namedLabel("FilenameValue");
    auto* fileLayout = new QHBoxLayout(FilePanel);
    fileLayout->setContentsMargins(4, 2, 4, 2);
    fileLayout->addWidget(FilenameLabel);
    fileLayout->addWidget(FilenameValue, 1);

    LeftPanel = new QWidget;
    LeftPanel->setObjectName("LeftPanel");
    ListTextures = new QTreeView;
    ListTextures->setObjectName("ListTextures");
    m_model = new TextureListModel(*this);
    m_model->setParent(this);
    ListTextures->setModel(m_model);
    ListTextures->setRootIsDecorated(false);
    ListTextures->setUniformRowHeights(true);
    ListTextures->setSelectionMode(QAbstractItemView::SingleSelection);
    ListTextures->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListTextures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListTextures->header()->setSectionsClickable(true);
    ListTextures->header()->setStretchLastSection(true);
    ListTextures->setColumnWidth(0, 50);

    InfoPanel = new QWidget;
    InfoPanel->setObjectName("InfoPanel");
    auto* info = new QGridLayout(InfoPanel);
    info->setContentsMargins(4, 4, 4, 4);
    const std::pair<QLabel**, QLabel**> rows[] = {
        {&TextureNameLabel, &TextureNameValue}, {&AlphaNameLabel, &AlphaNameValue}, {&SizeLabel, &SizeValue},
        {&BPPLabel, &BPPValue}, {&AlphaLabel, &AlphaValue}, {&MipMapsLabel, &MipMapsValue},
        {&CompressionLabel, &CompressionValue}};
    const char* names[][3] = {{"TextureNameLabel", "TextureNameValue", "Texture Name:"},
                              {"AlphaNameLabel", "AlphaNameValue", "Mask Name:"},
                              {"SizeLabel", "SizeValue", "Size:"},
                              {"BPPLabel", "BPPValue", "Depth:"},
                              {"AlphaLabel", "AlphaValue", "Alpha:"},
                              {"MipMapsLabel", "MipMapsValue", "MipMaps:"},
                              {"CompressionLabel", "CompressionValue", "Compression:"}};
    for (int row = 0; row < 7; ++row) {
        *rows[row].first = namedLabel(names[row][0], QString::fromLatin1(names[row][2]));
        *rows[row].second = namedLabel(names[row][1]);
        (*rows[row].second)->setTextInteractionFlags(Qt::TextSelectableByMouse);
        info->addWidget(*rows[row].first, row, 0);
        info->addWidget(*rows[row].second, row, 1);
    }
    info->setColumnStretch(1, 1);

    BtnExport = new QToolButton;
    BtnExport->setObjectName("BtnExport");
    BtnExport->setText("Export...");
    BtnExport->setPopupMode(QToolButton::InstantPopup);
    auto* exportMenu = new QMenu(BtnExport);
    ActionExportTexture = exportMenu->addAction("Export &Texture...");
    ActionExportTexture->setObjectName("ActionExportTexture");
    ActionExportAll = exportMenu->addAction("Export &All Textures...");
    ActionExportAll->setObjectName("ActionExportAll");
    BtnExport->setMenu(exportMenu);
    info->addWidget(BtnExport, 7, 0, 1, 2, Qt::AlignLeft);

    auto* editPanel = new QWidget;
    editPanel->setObjectName("EditPanel");
    auto* edit = new QGridLayout(editPanel);
    edit->setContentsMargins(4, 0, 4, 4);
    BtnImport = new QPushButton("Import...");
    BtnImport->setObjectName("BtnImport");
    BtnImport->setToolTip("Add textures from PNG pictures; a texture of the same name is replaced");
    ComboImportFormat = new QComboBox;
    ComboImportFormat->setObjectName("ComboImportFormat");
    ComboImportFormat->addItem("Usual for the game");
    for (const auto& [name, format] : ImportFormats)
        ComboImportFormat->addItem(QString::fromLatin1(name), static_cast<int>(format));
    ChkImportMipmaps = new QCheckBox("Mip levels");
    ChkImportMipmaps->setObjectName("ChkImportMipmaps");
    ChkImportResize = new QCheckBox("Resize");
    ChkImportResize->setObjectName("ChkImportResize");
    ChkImportResize->setToolTip("Resize pictures whose sides are not powers of two to the nearest ones");
    BtnDelete = new QPushButton("Delete");
    BtnDelete->setObjectName("BtnDelete");
    BtnRename = new QPushButton("Rename...");
    BtnRename->setObjectName("BtnRename");
    BtnSave = new QPushButton("Save");
    BtnSave->setObjectName("BtnSave");
    edit->addWidget(BtnImport, 0, 0);
    edit->addWidget(ComboImportFormat, 0, 1);
    edit->addWidget(ChkImportMipmaps, 1, 0);
    edit->addWidget(ChkImportResize, 1, 1);
    edit->addWidget(BtnDelete, 2, 0);
    edit->addWidget(BtnRename, 2, 1);
    edit->addWidget(BtnSave, 3, 0);

    auto* leftLayout = new QVBoxLayout(LeftPanel);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(ListTextures, 1);
    leftLayout->addWidget(InfoPanel);
    leftLayout->addWidget(editPanel);

    ViewPanel = new GLPanel;
    ViewPanel->setObjectName("ViewPanel");
    ViewPanel->setMinimumSize(64, 64);
    ViewPanel->initialize = [this] { initializeGL(); };
    ViewPanel->paint = [this] { paintGL(); };
    ViewPanel->release = [this] { releaseGL(); };

    auto* splitter = new QSplitter;
    splitter->addWidget(LeftPanel);
    splitter->addWidget(ViewPanel);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FilePanel);
    layout->addWidget(splitter, 1);
    resize(560, 460);

    connect(ListTextures->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFormTextureView::ListTexturesSelectItem);
    connect(ListTextures->header(), &QHeaderView::sectionClicked, this, &TFormTextureView::ListTexturesColumnClick);
    connect(ActionExportTexture, &QAction::triggered, this, &TFormTextureView::ActionExportTextureExecute);
    connect(ActionExportAll, &QAction::triggered, this, &TFormTextureView::ActionExportAllExecute);
    connect(BtnImport, &QPushButton::clicked, this, &TFormTextureView::BtnImportClick);
    connect(BtnDelete, &QPushButton::clicked, this, &TFormTextureView::BtnDeleteClick);
    connect(BtnRename, &QPushButton::clicked, this, &TFormTextureView::BtnRenameClick);
    connect(BtnSave, &QPushButton::clicked, this, &TFormTextureView::BtnSaveClick);
    ShowInformation();
    enableEditing();
    if (parent)
        parent->installEventFilter(this);
}

TFormTextureView::~TFormTextureView()
{
    // The panel's hook must not reach this window once its members are gone.
    if (ViewPanel->contextOk()) {
        ViewPanel->makeCurrent();
        releaseGL();
        ViewPanel->doneCurrent();
    }
    ViewPanel->release = nullptr;
    if (m_set)
        m_set->ReleaseTxd(DictionaryIndex);
    if (m_edited) {
        SharedGLContextScope context;
        m_edited.reset();
    }
}

void TFormTextureView::SetDictionary(int index)
{
    if (Modified) {
        // Shown again (the archive editor's row chosen anew): the changes stay on screen.
        if (index == DictionaryIndex || !AskToSaveChanges())
            return;
    }
    discardEdits();
    if (m_set) {
        m_set->ReleaseTxd(DictionaryIndex);
        // With textures off at start-up nothing else draws this dictionary's textures; one
        // another window still shows stays, and so does "generic".
        if (DictionaryIndex > 0 && DictionaryIndex < m_set->TxdCount && programSettings().SkipTextures &&
            !m_set->TxdHeld(DictionaryIndex)) {
            SharedGLContextScope context;
            m_set->Txds[static_cast<std::size_t>(DictionaryIndex)]->Unload();
        }
    }
    DictionaryIndex = (m_set && index >= 0 && index < m_set->TxdCount) ? index : -1;
    if (m_set)
        m_set->HoldTxd(DictionaryIndex);
    Refresh();
}

void TFormTextureView::Refresh()
{
    EntryOrder.clear();
    FilenameValue->clear();
    m_fallbackDictionary = m_fallbackIndex = -1; // the changed dictionary's pictures differ
    if (DictionaryIndex != -1) {
        TGTATxd& dictionary = m_edited ? *m_edited : *m_set->Txds[static_cast<std::size_t>(DictionaryIndex)];
        FilenameValue->setText(shownFileName());
        if (!dictionary.Loaded) {
            SharedGLContextScope context;
            dictionary.Load();
        }
        for (int t = 0; t < dictionary.TextureCount; ++t)
            EntryOrder.push_back(t);
    }
    m_model->reset();
    if (EntryOrder.empty()) {
        SelectedTexture = -1;
        ShowInformation();
    } else {
        SelectedTexture = EntryOrder.front();
        selectRow(0);
        ShowInformation();
    }
    updateCaption();
    enableEditing();
    ViewPanel->update();
}

void TFormTextureView::selectRow(int row)
{
    const QSignalBlocker blocker(ListTextures->selectionModel());
    if (row < 0) {
        ListTextures->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    ListTextures->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
    ListTextures->scrollTo(index);
}

const TGTATxd* TFormTextureView::ShownDictionary() const
{
    if (!m_set || DictionaryIndex < 0 || DictionaryIndex >= m_set->TxdCount)
        return nullptr;
    return m_edited ? m_edited.get() : m_set->Txds[static_cast<std::size_t>(DictionaryIndex)].get();
}

void TFormTextureView::ListTexturesSelectItem()
{
    const QModelIndexList rows = ListTextures->selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.first().row() >= static_cast<int>(EntryOrder.size()))
        SelectedTexture = -1;
    else
        SelectedTexture = EntryOrder[static_cast<std::size_t>(rows.first().row())];
    ShowInformation();
    enableEditing();
    ViewPanel->update();
}

void TFormTextureView::ShowInformation()
{
    const TGTATxd* dictionary = m_model->shown();
    const bool shown = dictionary && SelectedTexture >= 0 && SelectedTexture < dictionary->TextureCount &&
                       SelectedTexture < static_cast<int>(dictionary->Textures.size());
    if (!shown) {
        for (QLabel* value : {TextureNameValue, AlphaNameValue, SizeValue, BPPValue, AlphaValue, MipMapsValue,
                              CompressionValue})
            value->clear();
        DrawnTexture = -1;
        return;
    }
    const TTexture& x = dictionary->Textures[static_cast<std::size_t>(SelectedTexture)];
    TextureNameValue->setText(QString::fromStdString(x.Name));
    AlphaNameValue->setText(QString::fromStdString(x.MaskName));
    SizeValue->setText(QStringLiteral("%1 x %2").arg(x.Width).arg(x.Height));
    BPPValue->setText(QStringLiteral("%1 bpp").arg(x.Depth));
    AlphaValue->setText(x.HasAlpha == 1 ? QStringLiteral("True") : QStringLiteral("False"));
    MipMapsValue->setText(QString::number(x.Levels));
    CompressionValue->setText(compressionText(x.Compression));
    const auto id = static_cast<std::size_t>(SelectedTexture);
    DrawnTexture = id < dictionary->TextureIds.size() ? dictionary->TextureIds[id] : 0;
    DrawnWidth = x.Width;
    DrawnHeight = x.Height;
}

void TFormTextureView::ListTexturesColumnClick(int column)
{
    bool descending = false;
    if (column == SortColumn) {
        descending = true;
        SortColumn = -1;
    } else {
        SortColumn = column;
    }
    const TGTATxd* dictionary = m_model->shown();
    auto name = [dictionary](int t) {
        return dictionary && t < static_cast<int>(dictionary->Textures.size())
                   ? QString::fromStdString(dictionary->Textures[static_cast<std::size_t>(t)].Name)
                   : QString();
    };
    auto compare = [&](int a, int b) {
        switch (column) {
        case 0: return a - b;
        case 1: return name(a).compare(name(b), Qt::CaseInsensitive);
        default: return 0;
        }
    };
    std::stable_sort(EntryOrder.begin(), EntryOrder.end(),
                     [&](int a, int b) { return descending ? compare(a, b) > 0 : compare(a, b) < 0; });
    m_model->reset();
    selectRow(-1);
    SelectedTexture = -1;
    ShowInformation();
    ViewPanel->update();
}

void TFormTextureView::ActionExportTextureExecute()
{
    const TGTATxd* dictionary = m_model->shown();
    if (!dictionary || SelectedTexture < 0)
        return;
    const std::optional<QString> path = dialogs().saveFile("Export Texture", "PNG Picture (*.png)|*.png");
    if (!path)
        return;
    const TxdDecodeResult decoded = dictionary->Decode();
    const auto at = static_cast<std::size_t>(SelectedTexture);
    const int error = at < decoded.Textures.size() ? exportTexturePng(decoded.Textures[at], path->toStdString()) : EINVAL;
    if (error == EINVAL)
        dialogs().showMessage(MessageKind::Error, "Export Texture", "ERROR: The texture's format cannot be decoded.");
    else if (error != 0)
        dialogs().showMessage(MessageKind::Error, "Export Texture",
                              QStringLiteral("ERROR: Cannot write %1: %2").arg(*path, QString::fromLocal8Bit(std::strerror(error))));
    else
        dialogs().showMessage(MessageKind::Information, "Export Texture", QStringLiteral("SUCCESS: %1 written.").arg(*path));
}

void TFormTextureView::ActionExportAllExecute()
{
    const TGTATxd* dictionary = m_model->shown();
    if (!dictionary)
        return;
    const std::optional<QString> folder = dialogs().pickFolder("Export All Textures", {});
    if (!folder)
        return;
    const TxdDecodeResult decoded = dictionary->Decode();
    const TxdExportResult result = exportTxdTextures(decoded.Textures, folder->toStdString());
    if (result.Error != 0) {
        dialogs().showMessage(MessageKind::Error, "Export All Textures",
                              QStringLiteral("ERROR: Cannot write %1: %2")
                                  .arg(QString::fromStdString(result.ErrorPath),
                                       QString::fromLocal8Bit(std::strerror(result.Error))));
        return;
    }
    QString text = QStringLiteral("SUCCESS: %1 textures written to %2.").arg(result.Written.size()).arg(*folder);
    if (!result.Skipped.empty()) {
        QStringList names;
        for (const std::string& name : result.Skipped)
            names << QString::fromStdString(name);
        text += QStringLiteral("\nNot decodable: %1").arg(names.join(", "));
    }
    dialogs().showMessage(MessageKind::Information, "Export All Textures", text);
}

QString TFormTextureView::shownFileName() const
{
    const TGTATxd* dictionary =
        m_set && DictionaryIndex >= 0 ? m_set->Txds[static_cast<std::size_t>(DictionaryIndex)].get() : nullptr;
    return dictionary ? QString::fromStdString(dictionary->Name) + ".txd" : QString();
}

TxdChunkList* TFormTextureView::edits()
{
    if (m_edits)
        return m_edits.get();
    if (!m_set || DictionaryIndex < 0)
        return nullptr;
    auto chunks = std::make_unique<TxdChunkList>();
    const std::vector<std::uint8_t> bytes = m_set->Txds[static_cast<std::size_t>(DictionaryIndex)]->Bytes();
    if (const std::string error = chunks->read(bytes); !error.empty()) {
        dialogs().showMessage(MessageKind::Error, "Texture Display",
                              QStringLiteral("ERROR: %1 cannot be changed: %2").arg(shownFileName(), QString::fromStdString(error)));
        return nullptr;
    }
    m_edits = std::move(chunks);
    return m_edits.get();
}

void TFormTextureView::showEdits(const std::string& select)
{
    SharedGLContextScope context;
    m_edited.reset(); // its texture objects go while a context is current
    m_editedBytes = std::make_unique<MemoryByteSource>(m_edits->write());
    m_edited = std::make_unique<TGTATxd>(m_editedBytes.get(), static_cast<std::int64_t>(m_editedBytes->bytes().size()), 0,
                                         m_set->Txds[static_cast<std::size_t>(DictionaryIndex)]->Name,
                                         m_set->Uploader());
    m_edited->Load();
    Modified = true;
    Refresh();
    if (selectTextureNamed(select))
        enableEditing();
}

bool TFormTextureView::selectTextureNamed(const std::string& name)
{
    const TGTATxd* dictionary = ShownDictionary();
    const int texture = dictionary && !name.empty() ? dictionary->FindTexture(name) : -1;
    const auto row = std::find(EntryOrder.begin(), EntryOrder.end(), texture);
    if (texture < 0 || row == EntryOrder.end())
        return false;
    selectRow(static_cast<int>(row - EntryOrder.begin()));
    SelectedTexture = texture;
    ShowInformation();
    return true;
}

void TFormTextureView::discardEdits()
{
    if (m_edited) {
        SharedGLContextScope context;
        m_edited.reset();
    }
    m_editedBytes.reset();
    m_edits.reset();
    Modified = false;
}

void TFormTextureView::updateCaption()
{
    // The usual mark of unsaved changes, after the dictionary's name.
    setWindowTitle(Modified ? QStringLiteral("Texture Display - %1 *").arg(shownFileName())
                            : QStringLiteral("Texture Display"));
}

void TFormTextureView::enableEditing()
{
    const bool shown = ShownDictionary() != nullptr;
    const bool selected = shown && SelectedTexture >= 0;
    BtnImport->setEnabled(shown);
    ComboImportFormat->setEnabled(shown);
    ChkImportMipmaps->setEnabled(shown);
    ChkImportResize->setEnabled(shown);
    BtnDelete->setEnabled(selected);
    BtnRename->setEnabled(selected);
    BtnSave->setEnabled(Modified);
}

void TFormTextureView::BtnImportClick()
{
    if (!ShownDictionary())
        return;
    const QStringList files = dialogs().openFiles("Import Textures", "PNG Pictures (*.png)|*.png", true);
    if (files.isEmpty())
        return;
    TxdChunkList* dictionary = edits();
    if (!dictionary)
        return;
    TxdBuildOptions options;
    options.game = programSettings().IsViceCity ? TxdGame::ViceCity : TxdGame::Gta3;
    if (const QVariant format = ComboImportFormat->currentData(); format.isValid())
        options.format = static_cast<TxdFormatChoice>(format.toInt());
    options.mipmaps = ChkImportMipmaps->isChecked();
    options.resize = ChkImportResize->isChecked();
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(file.toStdString());
    std::vector<TxdTextureData> added;
    const std::vector<std::string> errors = addTexturePictures(*dictionary, paths, options, &added);
    if (!errors.empty()) {
        QStringList lines;
        for (const std::string& error : errors)
            lines << QString::fromStdString(error);
        dialogs().showMessage(MessageKind::Error, "Import Textures",
                              QStringLiteral("ERROR: Nothing was imported.\n\n%1").arg(lines.join('\n')));
        return;
    }
    if (!added.empty())
        showEdits(added.front().name);
}

void TFormTextureView::BtnDeleteClick()
{
    const TGTATxd* dictionary = ShownDictionary();
    if (!dictionary || SelectedTexture < 0 || SelectedTexture >= dictionary->TextureCount)
        return;
    const std::string name = dictionary->Textures[static_cast<std::size_t>(SelectedTexture)].Name;
    if (dialogs().showMessage(MessageKind::Confirmation, "Delete Texture",
                              QStringLiteral("Delete the texture %1?").arg(QString::fromStdString(name)),
                              DialogButtons::YesNo)
        != DialogAnswer::Yes)
        return;
    TxdChunkList* chunks = edits();
    if (!chunks || !chunks->removeTexture(name))
        return;
    showEdits({});
}

void TFormTextureView::BtnRenameClick()
{
    const TGTATxd* dictionary = ShownDictionary();
    if (!dictionary || SelectedTexture < 0 || SelectedTexture >= dictionary->TextureCount)
        return;
    const std::string oldName = dictionary->Textures[static_cast<std::size_t>(SelectedTexture)].Name;
    const std::optional<QString> typed =
        dialogs().inputText("Rename Texture",
                            QStringLiteral("New name of the texture %1 (at most %2 characters):")
                                .arg(QString::fromStdString(oldName))
                                .arg(TxdMaxNameLength),
                            QString::fromStdString(oldName));
    if (!typed || typed->toStdString() == oldName)
        return;
    TxdChunkList* chunks = edits();
    if (!chunks)
        return;
    const std::string newName = typed->toStdString();
    if (const std::string refusal = textureRenameRefusal(*chunks, shownFileName().toStdString(), oldName, newName);
        !refusal.empty()) {
        dialogs().showMessage(MessageKind::Error, "Rename Texture",
                              QStringLiteral("ERROR: %1. The texture keeps its name.").arg(QString::fromStdString(refusal)));
        return;
    }
    chunks->renameTexture(oldName, newName);
    showEdits(newName);
}

void TFormTextureView::BtnSaveClick()
{
    if (!Modified)
        return;
    if (dialogs().showMessage(MessageKind::Confirmation, "Save Texture Dictionary",
                              QStringLiteral("Write the changed %1 back to %2?")
                                  .arg(shownFileName(), DictionaryIndex == 0 ? QStringLiteral("its file")
                                                                             : QStringLiteral("the archive")),
                              DialogButtons::YesNo)
        != DialogAnswer::Yes)
        return;
    saveChanges();
}

bool TFormTextureView::AskToSaveChanges()
{
    if (!Modified || !m_edits)
        return true;
    const DialogAnswer answer =
        dialogs().showMessage(MessageKind::Confirmation, "Texture Display",
                              QStringLiteral("%1 has unsaved changes. Save them?").arg(shownFileName()),
                              DialogButtons::YesNoCancel);
    if (answer == DialogAnswer::Cancel)
        return false;
    if (answer == DialogAnswer::No) {
        discardEdits();
        Refresh();
        return true;
    }
    return saveChanges();
}

bool TFormTextureView::eventFilter(QObject* watched, QEvent* event)
{
    // The program is closing: its main window goes, and this window with it, unasked.
    if (watched == parentWidget() && event->type() == QEvent::Close && Modified && !AskToSaveChanges()) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TFormTextureView::saveChanges()
{
    const std::vector<std::uint8_t> bytes = m_edits->write();
    int error = 0;
    {
        SharedGLContextScope context;
        error = m_set->SaveTxd(DictionaryIndex, bytes);
    }
    if (error != 0) {
        dialogs().showMessage(MessageKind::Error, "Save Texture Dictionary",
                              QStringLiteral("ERROR: Could not save %1: %2.\n\nThe saved dictionary is unchanged; "
                                             "the changes are still here.")
                                  .arg(shownFileName(), QString::fromLocal8Bit(std::strerror(error))));
        return false;
    }
    const std::string selected = SelectedTexture >= 0 && ShownDictionary() &&
                                         SelectedTexture < ShownDictionary()->TextureCount
                                     ? ShownDictionary()->Textures[static_cast<std::size_t>(SelectedTexture)].Name
                                     : std::string();
    const int saved = DictionaryIndex;
    discardEdits();
    Refresh();
    selectTextureNamed(selected);
    emit dictionarySaved(saved);
    return true;
}

void TFormTextureView::Draw()
{
    if (isVisible())
        ViewPanel->update();
}

void TFormTextureView::initializeGL()
{
    ContextOk = ViewPanel->contextOk();
    if (!ContextOk)
        return;
    const QColor face = palette().color(QPalette::Window);
    GLDrawingState state;
    state.clearColour = {float(face.redF()), float(face.greenF()), float(face.blueF()), 0.0f};
    state.smoothShading = true;
    state.depthTest = false;
    state.texturing = true;
    state.alphaWrites = false;
    applyGLDrawingState(state);

    // A 2 x 2 checkerboard, repeated behind the texture.
    const std::uint8_t checker[] = {204, 204, 204, 255, 153, 153, 153, 255, 153, 153, 153, 255, 204, 204, 204, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, checker);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    m_checkerTexture = name;
}

void TFormTextureView::releaseGL()
{
    for (std::uint32_t* texture : {&m_checkerTexture, &m_fallbackTexture}) {
        if (*texture != 0) {
            const GLuint name = *texture;
            glDeleteTextures(1, &name);
        }
        *texture = 0;
    }
    m_fallbackDictionary = m_fallbackIndex = -1;
    ContextOk = false;
}

std::uint32_t TFormTextureView::textureToDraw()
{
    const auto own = static_cast<GLuint>(DrawnTexture);
    if (own != 0) {
        GLint width = 0;
        glBindTexture(GL_TEXTURE_2D, own);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        if (width > 0)
            return own;
    }
    if (m_fallbackDictionary != DictionaryIndex || m_fallbackIndex != SelectedTexture) {
        m_fallbackDictionary = DictionaryIndex;
        m_fallbackIndex = SelectedTexture;
        const TGTATxd* dictionary = ShownDictionary();
        const TxdDecodeResult decoded = dictionary ? dictionary->Decode() : TxdDecodeResult{};
        const auto at = static_cast<std::size_t>(SelectedTexture);
        const RgbaPicture picture = at < decoded.Textures.size() ? txdTextureToRgba(decoded.Textures[at]) : RgbaPicture{};
        if (picture.Pixels.empty()) {
            if (m_fallbackTexture != 0) {
                const GLuint name = m_fallbackTexture;
                glDeleteTextures(1, &name);
            }
            m_fallbackTexture = 0;
        } else {
            GLuint name = m_fallbackTexture;
            if (name == 0)
                glGenTextures(1, &name);
            m_fallbackTexture = name;
            glBindTexture(GL_TEXTURE_2D, name);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, picture.Width, picture.Height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         picture.Pixels.data());
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
    }
    return m_fallbackTexture != 0 ? m_fallbackTexture : own;
}

void TFormTextureView::paintGL()
{
    if (!ContextOk)
        return;
    // A dictionary unloaded behind the window's back is read again before it is drawn.
    if (const TGTATxd* dictionary = m_model->shown(); dictionary && !dictionary->Loaded)
        Refresh();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 100.0);
    // Turned over, so the texture's first row is at the top.
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 10.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(10.0f / float(std::max(1, ViewPanel->width())), 10.0f / float(std::max(1, ViewPanel->height())), 1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (DrawnTexture == -1)
        return;

    const float w = DrawnWidth;
    const float h = DrawnHeight;
    auto quad = [w, h](float s, float t) {
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex2f(-w / 2, -h / 2);
        glTexCoord2f(s, 0), glVertex2f(w / 2, -h / 2);
        glTexCoord2f(s, t), glVertex2f(w / 2, h / 2);
        glTexCoord2f(0, t), glVertex2f(-w / 2, h / 2);
        glEnd();
    };
    // Checker squares of 8 texels behind what is see-through.
    glBindTexture(GL_TEXTURE_2D, m_checkerTexture);
    quad(w / 16.0f, h / 16.0f);
    const GLuint texture = textureToDraw();
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture);
    quad(1.0f, 1.0f);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void TFormTextureView::closeEvent(QCloseEvent* event)
{
    if (Modified && !AskToSaveChanges()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
