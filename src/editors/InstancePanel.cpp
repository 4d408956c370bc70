#include "InstancePanel.h"

#include "DefinitionSearch.h"
#include "FieldText.h"
#include "MainImageList.h"
#include "TFormEditorItem.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TextParser.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <string>
#include <string_view>
#include <utility>

namespace {

// The instance's definition: the cached reference when it still holds, else the IDE file
// named like the instance's IPL file, else any other IDE file, each in file-list order.
// What is found is not cached: the scene drawing owns the instance's cache.
const TGTASObjsObj* findDefinition(const TGTAFileList& files, const TGTASInstObj& inst, std::string_view iplName)
{
    if (inst.DefFile >= 0 && inst.DefIndex >= 0 && inst.DefFile < files.Count()) {
        if (const TIDEFile* file = files.IDEFile(inst.DefFile)) {
            const TGTASObjsObj* cached = nullptr;
            if (inst.DefHour == -1) {
                if (file->Objs.IsValidIndex(inst.DefIndex))
                    cached = &file->Objs.Items[inst.DefIndex];
            } else if (file->TObj.IsValidIndex(inst.DefIndex)) {
                cached = &file->TObj.Items[inst.DefIndex];
            }
            if (cached && cached->ID == inst.ID)
                return cached;
        }
    }
    return DefinitionSearch(files, iplName).find(inst.ID).record;
}

// The button that puts the editor's nudge timer to work while it is held down.
QToolButton* nudgeButton(TFormEditorItem& editor, const QString& name, const char* caption, int mode, float step)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(caption);
    QObject::connect(button, &QToolButton::pressed, &editor, [&editor, mode, step] { editor.MoveButtonDown(mode, step); });
    QObject::connect(button, &QToolButton::released, &editor, [&editor] { editor.MoveButtonUp(); });
    return button;
}

QLineEdit* namedBox(const char* name)
{
    auto* box = new QLineEdit;
    box->setObjectName(name);
    return box;
}

}

std::array<QToolButton*, 4> makeNudgeButtons(TFormEditorItem& editor, const QString& stem, char axis, int mode)
{
    struct Suffix {
        const char* name;
        const char* caption;
        float step;
    };
    // The outer buttons take the small step.
    static constexpr Suffix suffixes[] = {{"L1", "<<", -0.3f}, {"L2", "<", -1.0f}, {"R2", ">", 1.0f}, {"R1", ">>", 0.3f}};
    std::array<QToolButton*, 4> buttons{};
    for (size_t i = 0; i < buttons.size(); ++i) {
        const Suffix& suffix = suffixes[i];
        buttons[i] = nudgeButton(editor, stem + QChar(axis) + suffix.name, suffix.caption, mode, suffix.step);
    }
    return buttons;
}

InstancePanel::InstancePanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplinst")
{
    EditIPLInstID = namedBox("EditIPLInstID");
    EditIPLInstModel = namedBox("EditIPLInstModel");
    keepToOneColumn(EditIPLInstModel);
    EditIPLInstHasInterior = new QCheckBox("Interior");
    EditIPLInstHasInterior->setObjectName("EditIPLInstHasInterior");
    EditIPLInstInterior = namedBox("EditIPLInstInterior");
    EditIPLInstPosX = namedBox("EditIPLInstPosX");
    EditIPLInstPosY = namedBox("EditIPLInstPosY");
    EditIPLInstPosZ = namedBox("EditIPLInstPosZ");
    EditIPLInstScaleX = namedBox("EditIPLInstScaleX");
    EditIPLInstScaleY = namedBox("EditIPLInstScaleY");
    EditIPLInstScaleZ = namedBox("EditIPLInstScaleZ");
    EditIPLInstRotX = namedBox("EditIPLInstRotX");
    EditIPLInstRotY = namedBox("EditIPLInstRotY");
    EditIPLInstRotZ = namedBox("EditIPLInstRotZ");
    EditIPLInstRotW = namedBox("EditIPLInstRotW");
    BitBtn1 = new QPushButton("Centre View");
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton("Reset Rotation");
    BitBtn2->setObjectName("BitBtn2");
    EditIPLInstValidation = new QTreeWidget;
    EditIPLInstValidation->setObjectName("EditIPLInstValidation");
    EditIPLInstValidation->setColumnCount(2);
    EditIPLInstValidation->setHeaderLabels({"Check", "Status"});
    EditIPLInstValidation->setRootIsDecorated(false);
    EditIPLInstValidation->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    EditIPLInstValidation->header()->setStretchLastSection(false);
    // Room for the header and all four rows without scrolling.
    EditIPLInstValidation->setMinimumHeight(EditIPLInstValidation->fontMetrics().height() * 8);

    auto* layout = new QVBoxLayout(this);
    auto* identity = new QGridLayout;
    identity->addWidget(new QLabel("ID:"), 0, 0);
    identity->addWidget(EditIPLInstID, 0, 1);
    identity->addWidget(new QLabel("Model:"), 1, 0);
    identity->addWidget(EditIPLInstModel, 1, 1);
    identity->addWidget(EditIPLInstHasInterior, 2, 0);
    identity->addWidget(EditIPLInstInterior, 2, 1);
    layout->addLayout(identity);

    const char axes[] = {'X', 'Y', 'Z'};
    auto* position = new QGroupBox("Position");
    auto* positionGrid = new QGridLayout(position);
    QLineEdit* positionBoxes[] = {EditIPLInstPosX, EditIPLInstPosY, EditIPLInstPosZ};
    auto* scale = new QGroupBox("Scale");
    auto* scaleGrid = new QGridLayout(scale);
    QLineEdit* scaleBoxes[] = {EditIPLInstScaleX, EditIPLInstScaleY, EditIPLInstScaleZ};
    auto* rotation = new QGroupBox("Rotation");
    auto* rotationGrid = new QGridLayout(rotation);
    QLineEdit* rotationBoxes[] = {EditIPLInstRotX, EditIPLInstRotY, EditIPLInstRotZ};
    for (int axis = 0; axis < 3; ++axis) {
        const QString label = QString(QChar(axes[axis])) + ":";
        PosButtons[axis] = makeNudgeButtons(editor, "EditIPLInstPos", axes[axis], 1 + axis);
        RotButtons[axis] = makeNudgeButtons(editor, "EditIPLInstRot", axes[axis], 4 + axis);
        positionGrid->addWidget(new QLabel(label), axis, 0);
        positionGrid->addWidget(positionBoxes[axis], axis, 1);
        scaleGrid->addWidget(new QLabel(label), axis, 0);
        scaleGrid->addWidget(scaleBoxes[axis], axis, 1);
        rotationGrid->addWidget(new QLabel(label), axis, 0);
        rotationGrid->addWidget(rotationBoxes[axis], axis, 1);
        for (int i = 0; i < 4; ++i) {
            positionGrid->addWidget(PosButtons[axis][i], axis, 2 + i);
            rotationGrid->addWidget(RotButtons[axis][i], axis, 2 + i);
        }
    }
    rotationGrid->addWidget(new QLabel("W:"), 3, 0);
    rotationGrid->addWidget(EditIPLInstRotW, 3, 1);
    layout->addWidget(position);
    layout->addWidget(scale);
    layout->addWidget(rotation);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    BtnFindDefinition = new QPushButton("Find Definition");
    BtnFindDefinition->setObjectName("BtnFindDefinition");
    buttons->addWidget(BtnFindDefinition);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addWidget(EditIPLInstValidation, 1);

    connect(EditIPLInstID, &QLineEdit::textChanged, this, &InstancePanel::EditIPLInstIDChange);
    connect(EditIPLInstModel, &QLineEdit::textChanged, this, &InstancePanel::EditIPLInstModelChange);
    connect(EditIPLInstInterior, &QLineEdit::textChanged, this, &InstancePanel::EditIPLInstInteriorChange);
    connect(EditIPLInstHasInterior, &QCheckBox::toggled, this, &InstancePanel::EditIPLInstHasInteriorClick);
    const std::pair<QLineEdit*, float TGTASInstObj::*> floatRows[] = {
        {EditIPLInstPosX, &TGTASInstObj::PosX},     {EditIPLInstPosY, &TGTASInstObj::PosY},
        {EditIPLInstPosZ, &TGTASInstObj::PosZ},     {EditIPLInstScaleX, &TGTASInstObj::ScaleX},
        {EditIPLInstScaleY, &TGTASInstObj::ScaleY}, {EditIPLInstScaleZ, &TGTASInstObj::ScaleZ}};
    for (auto [box, field] : floatRows)
        connect(box, &QLineEdit::textChanged, this, [this, box, field] { EditIPLInstFloatChange(box, field); });
    const std::pair<QLineEdit*, float TGTASInstObj::*> rotationRows[] = {{EditIPLInstRotX, &TGTASInstObj::RotX},
                                                                         {EditIPLInstRotY, &TGTASInstObj::RotY},
                                                                         {EditIPLInstRotZ, &TGTASInstObj::RotZ},
                                                                         {EditIPLInstRotW, &TGTASInstObj::RotW}};
    for (auto [box, field] : rotationRows)
        connect(box, &QLineEdit::textChanged, this, [this, box, field] { EditIPLInstRotChange(box, field); });
    connect(BitBtn1, &QPushButton::clicked, this, &InstancePanel::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &InstancePanel::BitBtn2Click);
    connect(BtnFindDefinition, &QPushButton::clicked, this, &InstancePanel::BtnFindDefinitionClick);
}

void InstancePanel::load()
{
    TGTASInstObj* inst = m_editor.SelectedInst();
    TIPLFile* file = m_editor.SelectedIPLFile();
    if (!inst || !file)
        return;
    emit m_editor.definitionShown(inst->ID, false);
    UpdateInstanceValidation();
    // The user picked something of a hidden file: show the file, and tick it in the list.
    if (!file->Visible)
        m_editor.Document().showFile(m_editor.SelFile());
    EditIPLInstID->setText(intBox(inst->ID));
    EditIPLInstModel->setText(QString::fromStdString(inst->ModelName));
    EditIPLInstHasInterior->setChecked(inst->HasInterior);
    EditIPLInstInterior->setEnabled(inst->HasInterior);
    EditIPLInstInterior->setText(intBox(inst->Interior));
    EditIPLInstScaleX->setText(shortFloatBox(inst->ScaleX));
    EditIPLInstScaleY->setText(shortFloatBox(inst->ScaleY));
    EditIPLInstScaleZ->setText(shortFloatBox(inst->ScaleZ));
    showPosition();
    showRotation();
}

void InstancePanel::showPosition()
{
    const TGTASInstObj* inst = m_editor.SelectedInst();
    if (!inst)
        return;
    const EditsSuppressed suppressed(m_editor);
    EditIPLInstPosX->setText(shortFloatBox(inst->PosX));
    EditIPLInstPosY->setText(shortFloatBox(inst->PosY));
    EditIPLInstPosZ->setText(shortFloatBox(inst->PosZ));
}

void InstancePanel::showRotation()
{
    const TGTASInstObj* inst = m_editor.SelectedInst();
    if (!inst)
        return;
    const EditsSuppressed suppressed(m_editor);
    EditIPLInstRotX->setText(degreesOfSinBox(inst->RotX));
    EditIPLInstRotY->setText(degreesOfSinBox(inst->RotY));
    EditIPLInstRotZ->setText(degreesOfSinBox(inst->RotZ));
    EditIPLInstRotW->setText(degreesOfCosBox(inst->RotW));
}

void InstancePanel::setDefinitionRows(bool definitionFound, bool modelMatches, bool modelInArchive,
                                      bool textureInArchive)
{
    EditIPLInstValidation->clear();
    const std::pair<const char*, bool> rows[] = {{"Associated Object Definition", definitionFound},
                                                 {"Correct Model Name", modelMatches},
                                                 {"Model Exists in Archive", modelInArchive},
                                                 {"Texture Exists in Archive", textureInArchive}};
    for (auto [text, passed] : rows) {
        auto* row = new QTreeWidgetItem(EditIPLInstValidation);
        row->setText(0, text);
        row->setText(1, passed ? "Found" : "Not Found");
        row->setIcon(1, mainImage(passed ? MainImages::Passed : MainImages::Failed));
    }
}

void InstancePanel::UpdateInstanceValidation()
{
    const TGTASInstObj* inst = m_editor.SelectedInst();
    const TIPLFile* file = m_editor.SelectedIPLFile();
    if (!inst || !file || !m_editor.FileList()) {
        EditIPLInstValidation->clear();
        return;
    }
    const TGTASObjsObj* definition = findDefinition(*m_editor.FileList(), *inst, file->FileName);
    const TGTAImg* archive = m_editor.ArchiveSet();
    setDefinitionRows(definition != nullptr, definition && equalsIgnoringCase(definition->ModelName, inst->ModelName),
                      archive && archive->DffExists(inst->ModelName),
                      definition && archive && archive->TxdExists(definition->TextureName));
}

void InstancePanel::EditIPLInstIDChange()
{
    TGTASInstObj* inst = m_editor.SelectedInst();
    if (!m_editor.EditsEnabled || !inst)
        return;
    inst->ID = intFromBox(EditIPLInstID->text(), 0);
    m_editor.RefreshRecord(RecordRefresh::EditShownInLists);
    UpdateInstanceValidation();
}

void InstancePanel::EditIPLInstModelChange()
{
    TGTASInstObj* inst = m_editor.SelectedInst();
    if (!m_editor.EditsEnabled || !inst)
        return;
    inst->ModelName = EditIPLInstModel->text().toStdString();
    m_editor.RefreshRecord(RecordRefresh::EditShownInLists);
    UpdateInstanceValidation();
}

void InstancePanel::EditIPLInstInteriorChange()
{
    TGTASInstObj* inst = m_editor.SelectedInst();
    if (!m_editor.EditsEnabled || !inst)
        return;
    inst->Interior = intFromBox(EditIPLInstInterior->text(), 0);
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void InstancePanel::EditIPLInstHasInteriorClick()
{
    TGTASInstObj* inst = m_editor.SelectedInst();
    if (!m_editor.EditsEnabled || !inst)
        return;
    inst->HasInterior = EditIPLInstHasInterior->isChecked();
    m_editor.RefreshRecord(RecordRefresh::Edit);
    EditIPLInstInterior->setEnabled(inst->HasInterior);
}

void InstancePanel::EditIPLInstFloatChange(QLineEdit* box, float TGTASInstObj::*field)
{
    TGTASInstObj* inst = m_editor.SelectedInst();
    if (!m_editor.EditsEnabled || !inst)
        return;
    inst->*field = floatFromBox(box->text(), 0);
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void InstancePanel::EditIPLInstRotChange(QLineEdit* box, float TGTASInstObj::*field)
{
    TGTASInstObj* inst = m_editor.SelectedInst();
    if (!m_editor.EditsEnabled || !inst)
        return;
    inst->*field = field == &TGTASInstObj::RotW ? cosOfDegreesBox(box->text()) : sinOfDegreesBox(box->text());
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void InstancePanel::BitBtn1Click()
{
    const TGTASInstObj* inst = m_editor.SelectedInst();
    if (inst && m_editor.View())
        m_editor.View()->CentreOn(inst->PosX, inst->PosY, inst->PosZ);
}

void InstancePanel::BtnFindDefinitionClick()
{
    if (m_editor.SelectedInst())
        emit m_editor.definitionRequested(m_editor.SelFile(), m_editor.SelRecord());
}

void InstancePanel::BitBtn2Click()
{
    TGTASInstObj* inst = m_editor.SelectedInst();
    if (!inst)
        return;
    inst->RotX = 0;
    inst->RotY = 0;
    inst->RotZ = 0;
    inst->RotW = 1;
    showRotation();
    m_editor.RefreshRecord(RecordRefresh::Edit);
}
