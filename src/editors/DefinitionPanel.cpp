#include "DefinitionPanel.h"

#include "ArchiveMarkers.h"
#include "FieldText.h"
#include "TFormEditorItem.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TextParser.h"
#include "Twnd_imgfilepicker.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

// Item i stands for bit i of the flags.
const char* const FlagTexts[] = {
    "1    Renders wet effect",
    "2    Tobj Night flag (used with flag 4)",
    "4    Alpha transparency (object doesn't cull other objects)",
    "8    *Another alpha/culling flag*",
    "16   Tobj Day flag (used with flag 4)",
    "32   Interior object",
    "64   Disable shadow culling",
    "128  Excludes surface fom culling",
    "256  Disable Draw-distance (LOD across zones)",
    "512  Breakable window A",
    "1024 Breakable window B",
};
constexpr int FlagBitCount = static_cast<int>(std::size(FlagTexts));
constexpr int HourCount = 24;

QLineEdit* lineEdit(const char* name)
{
    auto* box = new QLineEdit;
    box->setObjectName(name);
    return box;
}

QPushButton* pickButton(const char* name)
{
    auto* button = new QPushButton("...");
    button->setObjectName(name);
    button->setFixedWidth(28);
    return button;
}

QComboBox* hourList(const char* name)
{
    auto* list = new QComboBox;
    list->setObjectName(name);
    for (int hour = 0; hour < HourCount; ++hour)
        list->addItem(QString("%1:00").arg(hour, 2, 10, QChar('0')));
    return list;
}

// The picker answers an entry name with its extension; definitions name the file alone.
QString nameWithoutExtension(const QString& entryName)
{
    const qsizetype folderEnd = std::max(entryName.lastIndexOf('/'), entryName.lastIndexOf('\\'));
    const QString file = entryName.mid(folderEnd + 1);
    const qsizetype dot = file.lastIndexOf('.');
    return dot >= 0 ? file.left(dot) : file;
}

}

DefinitionPanel::DefinitionPanel(TFormEditorItem& editor, bool timed)
    : ItemPanel(editor, timed ? "panelidetobj" : "panelideobjs")
    , m_timed(timed)
{
    if (m_timed) {
        m_id = EditIDETObjID = lineEdit("EditIDETObjID");
        m_model = EditIDETObjModel = lineEdit("EditIDETObjModel");
        m_texture = EditIDETObjTexture = lineEdit("EditIDETObjTexture");
        m_meshCount = EditIDETObjU4 = lineEdit("EditIDETObjU4");
        m_drawDistance = EditIDETObjLOD = lineEdit("EditIDETObjLOD");
        m_flags = EditIDETObjFlags = lineEdit("EditIDETObjFlags");
        m_flagBits = CheckListBox1 = new QListWidget;
        m_flagBits->setObjectName("CheckListBox1");
        m_modelMarker = PaintBox3 = new ArchiveMarker("PaintBox3");
        m_textureMarker = PaintBox4 = new ArchiveMarker("PaintBox4");
        m_modelButton = BtnIDETObjModel = pickButton("BtnIDETObjModel");
        m_textureButton = BtnIDETObjTexture = pickButton("BtnIDETObjTexture");
    } else {
        m_id = EditIDEObjsID = lineEdit("EditIDEObjsID");
        m_model = EditIDEObjsModel = lineEdit("EditIDEObjsModel");
        m_texture = EditIDEObjsTexture = lineEdit("EditIDEObjsTexture");
        m_meshCount = EditIDEObjsU4 = lineEdit("EditIDEObjsU4");
        m_drawDistance = EditIDEObjsLOD = lineEdit("EditIDEObjsLOD");
        m_flags = EditIDEObjsFlags = lineEdit("EditIDEObjsFlags");
        m_flagBits = ide_bits = new QListWidget;
        m_flagBits->setObjectName("ide_bits");
        m_modelMarker = PaintBox1 = new ArchiveMarker("PaintBox1");
        m_textureMarker = PaintBox2 = new ArchiveMarker("PaintBox2");
        m_modelButton = BtnIDEObjsModel = pickButton("BtnIDEObjsModel");
        m_textureButton = BtnIDEObjsTexture = pickButton("BtnIDEObjsTexture");
    }
    keepToOneColumn(m_model);
    keepToOneColumn(m_texture);
    for (const char* text : FlagTexts) {
        auto* item = new QListWidgetItem(text, m_flagBits);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }

    auto* layout = new QGridLayout(this);
    int row = 0;
    auto addRow = [&](const char* caption, QWidget* box, ArchiveMarker* marker = nullptr, QPushButton* button = nullptr) {
        layout->addWidget(new QLabel(caption), row, 0);
        layout->addWidget(box, row, 1);
        if (marker)
            layout->addWidget(marker, row, 2);
        if (button)
            layout->addWidget(button, row, 3);
        ++row;
    };
    addRow("ID:", m_id);
    addRow("Model:", m_model, m_modelMarker, m_modelButton);
    addRow("Texture:", m_texture, m_textureMarker, m_textureButton);
    addRow("Mesh count:", m_meshCount);
    addRow("Draw distance:", m_drawDistance);
    addRow("Flags:", m_flags);
    if (m_timed) {
        EditIDETObjTimeOn = hourList("EditIDETObjTimeOn");
        EditIDETObjTimeOff = hourList("EditIDETObjTimeOff");
        addRow("Time on:", EditIDETObjTimeOn);
        addRow("Time off:", EditIDETObjTimeOff);
        connect(EditIDETObjTimeOn, &QComboBox::currentIndexChanged, this, &DefinitionPanel::timeOnChange);
        connect(EditIDETObjTimeOff, &QComboBox::currentIndexChanged, this, &DefinitionPanel::timeOffChange);
    }
    layout->addWidget(m_flagBits, row, 0, 1, 4);
    layout->setRowStretch(row, 1);
    layout->setColumnStretch(1, 1);
    BtnFindPlacements = new QPushButton("Find Placements of This Definition", this);
    BtnFindPlacements->setObjectName("BtnFindPlacements");
    layout->addWidget(BtnFindPlacements, ++row, 0, 1, 4, Qt::AlignLeft);
    connect(BtnFindPlacements, &QPushButton::clicked, this, &DefinitionPanel::BtnFindPlacementsClick);

    // Decided once: an archive opened read-only stays so for the run.
    const TGTAImg* archive = m_editor.ArchiveSet();
    const bool canPick = archive && !archive->ReadOnly;
    m_modelButton->setEnabled(canPick);
    m_textureButton->setEnabled(canPick);

    connect(m_id, &QLineEdit::textChanged, this, &DefinitionPanel::idChange);
    connect(m_model, &QLineEdit::textChanged, this, &DefinitionPanel::modelChange);
    connect(m_texture, &QLineEdit::textChanged, this, &DefinitionPanel::textureChange);
    connect(m_meshCount, &QLineEdit::textChanged, this, &DefinitionPanel::meshCountChange);
    connect(m_drawDistance, &QLineEdit::textChanged, this, &DefinitionPanel::drawDistanceChange);
    connect(m_flags, &QLineEdit::textChanged, this, &DefinitionPanel::flagsChange);
    connect(m_flagBits, &QListWidget::itemChanged, this, &DefinitionPanel::flagBitsClickCheck);
    connect(m_modelButton, &QPushButton::clicked, this, &DefinitionPanel::modelButtonClick);
    connect(m_textureButton, &QPushButton::clicked, this, &DefinitionPanel::textureButtonClick);
}

void DefinitionPanel::BtnFindPlacementsClick()
{
    if (const TGTASObjsObj* definition = record())
        emit m_editor.placementsRequested(definition->ID);
}

TGTASObjsObj* DefinitionPanel::record() const
{
    if (m_timed)
        return m_editor.SelectedTObj();
    return m_editor.SelectedObjs();
}

void DefinitionPanel::load()
{
    const TGTASObjsObj* definition = record();
    if (!definition)
        return;
    emit m_editor.definitionShown(definition->ID, m_timed);
    updateMarkers();
    m_id->setText(intBox(definition->ID));
    m_model->setText(QString::fromStdString(definition->ModelName));
    m_texture->setText(QString::fromStdString(definition->TextureName));
    m_meshCount->setText(intBox(definition->MeshCount));
    m_drawDistance->setText(m_timed ? longFloatBox(definition->DrawDistance) : shortFloatBox(definition->DrawDistance));
    m_flags->setText(intBox(definition->Flags));
    for (QLineEdit* box : {m_id, m_model, m_texture, m_meshCount, m_drawDistance, m_flags})
        box->setCursorPosition(0);
    {
        const QSignalBlocker quiet(m_flagBits);
        for (int bit = 0; bit < FlagBitCount; ++bit) {
            const bool set = BitIsSet(static_cast<uint32_t>(definition->Flags), bit);
            m_flagBits->item(bit)->setCheckState(set ? Qt::Checked : Qt::Unchecked);
        }
    }
    if (m_timed) {
        const auto& timed = static_cast<const TGTASTObjObj&>(*definition);
        auto hourIndex = [](int32_t hour) { return hour >= 0 && hour < HourCount ? hour : -1; };
        EditIDETObjTimeOn->setCurrentIndex(hourIndex(timed.TimeOn));
        EditIDETObjTimeOff->setCurrentIndex(hourIndex(timed.TimeOff));
    }
}

void DefinitionPanel::updateMarkers()
{
    const TGTASObjsObj* definition = record();
    if (!definition)
        return;
    const TGTAImg* archive = m_editor.ArchiveSet();
    const bool modelFound = archive && archive->DffExists(definition->ModelName);
    const bool textureFound = archive && archive->TxdExists(definition->TextureName);
    m_modelMarker->setImageIndex(modelFound ? ArchiveMarker::Present : ArchiveMarker::Missing);
    m_textureMarker->setImageIndex(textureFound ? ArchiveMarker::Present : ArchiveMarker::Missing);
    update();
    m_modelMarker->update();
    m_textureMarker->update();
}

void DefinitionPanel::showQuietly(QLineEdit* box, const QString& text)
{
    const EditsSuppressed suppressed(m_editor);
    box->setText(text);
}

void DefinitionPanel::dropCachedModel(bool textureChanged)
{
    // Timed objects draw through the same caches as objs, so both pages drop them.
    TIDEFile* file = m_editor.SelectedIDEFile();
    TGTASObjsObj* definition = record();
    if (!file || !definition)
        return;
    definition->ModelIndex = -1;
    if (!textureChanged)
        return;
    if (m_timed)
        file->TObj.ResolveTexture(m_editor.SelRecord());
    else
        file->Objs.ResolveTexture(m_editor.SelRecord());
}

void DefinitionPanel::idChange()
{
    TGTASObjsObj* definition = record();
    if (!m_editor.EditsEnabled || !definition)
        return;
    definition->ID = intFromBox(m_id->text(), 0);
    m_editor.RefreshRecord(RecordRefresh::EditShownInLists);
    if (!m_timed)
        emit m_editor.definitionShown(definition->ID, false);
    updateMarkers();
}

void DefinitionPanel::modelChange()
{
    TGTASObjsObj* definition = record();
    if (!m_editor.EditsEnabled || !definition)
        return;
    definition->ModelName = m_model->text().toStdString();
    dropCachedModel(false);
    m_editor.RefreshRecord(RecordRefresh::EditShownInLists);
    updateMarkers();
}

void DefinitionPanel::textureChange()
{
    TGTASObjsObj* definition = record();
    if (!m_editor.EditsEnabled || !definition)
        return;
    definition->TextureName = m_texture->text().toStdString();
    dropCachedModel(true);
    m_editor.RefreshRecord(RecordRefresh::Edit);
    updateMarkers();
}

void DefinitionPanel::meshCountChange()
{
    TGTASObjsObj* definition = record();
    if (!m_editor.EditsEnabled || !definition)
        return;
    definition->MeshCount = intFromBox(m_meshCount->text(), 1);
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void DefinitionPanel::drawDistanceChange()
{
    TGTASObjsObj* definition = record();
    if (!m_editor.EditsEnabled || !definition)
        return;
    definition->DrawDistance = floatFromBox(m_drawDistance->text(), 0);
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void DefinitionPanel::flagsChange()
{
    TGTASObjsObj* definition = record();
    if (!m_editor.EditsEnabled || !definition)
        return;
    definition->Flags = intFromBox(m_flags->text(), 0);
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void DefinitionPanel::flagBitsClickCheck()
{
    TGTASObjsObj* definition = record();
    if (!m_editor.EditsEnabled || !definition)
        return;
    int32_t flags = 0;
    for (int bit = 0; bit < FlagBitCount; ++bit) {
        if (m_flagBits->item(bit)->checkState() == Qt::Checked)
            flags |= int32_t{1} << bit;
    }
    definition->Flags = flags;
    m_editor.RefreshRecord(RecordRefresh::Edit);
    showQuietly(m_flags, intBox(flags));
}

void DefinitionPanel::timeOnChange()
{
    auto* timed = m_editor.SelectedTObj();
    if (!m_editor.EditsEnabled || !timed || !m_timed)
        return;
    timed->TimeOn = EditIDETObjTimeOn->currentIndex();
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void DefinitionPanel::timeOffChange()
{
    auto* timed = m_editor.SelectedTObj();
    if (!m_editor.EditsEnabled || !timed || !m_timed)
        return;
    timed->TimeOff = EditIDETObjTimeOff->currentIndex();
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void DefinitionPanel::modelButtonClick()
{
    pickName(false);
}

void DefinitionPanel::textureButtonClick()
{
    pickName(true);
}

void DefinitionPanel::pickName(bool texture)
{
    if (!m_editor.EditsEnabled || !record())
        return;
    QLineEdit* box = texture ? m_texture : m_model;
    QString picked = box->text();
    if (Twnd_imgfilepicker* picker = m_editor.ImgFilePicker())
        picked = picker->PickEntry(box->text(), texture ? 0 : 1);
    // Looked up again: the record is only read after the dialog has closed.
    TGTASObjsObj* definition = record();
    if (!definition)
        return;
    const QString name = nameWithoutExtension(picked);
    if (texture)
        definition->TextureName = name.toStdString();
    else
        definition->ModelName = name.toStdString();
    dropCachedModel(texture);
    showQuietly(box, name);
    box->setCursorPosition(0);
    m_editor.RefreshRecord(RecordRefresh::EditShownInLists);
    updateMarkers();
}
