#include "TFormEditorItem.h"

#include "NumberText.h"
#include "TFormMain.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"
#include "ProgramWindows.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

constexpr int SectionInst = 0;
constexpr int SectionSeveralInst = 10;
constexpr int SectionPickedInst = 11;

QString modeText(FileKind kind, int section)
{
    if (kind == FileKind::IPL) {
        switch (section) {
        case 0: return "IPL - Inst";
        case 3: return "IPL - Path";
        case 5: return "IPL - Cull";
        case 6: return "IPL - Zone";
        case 10: return "IPL - Inst(s)";
        default: return "N/A";
        }
    }
    switch (section) {
    case 1: return "IDE - Objs";
    case 2: return "IDE - TObj";
    case 3: return "IDE - Path";
    case 4: return "IDE - 2dfx";
    default: return "N/A";
    }
}

QString positionText(const std::array<float, 3>& position)
{
    return QString::fromStdString(shortFloatText(position[0]) + ", " + shortFloatText(position[1]) + ", "
                                  + shortFloatText(position[2]));
}

}

TFormEditorItem::TFormEditorItem(TGTAFileList* fileList, TGLView* view, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_fileList(fileList)
    , m_view(view)
{
    setObjectName("TFormEditorItem");
    setWindowTitle("Item Editor");
    auto* layout = new QVBoxLayout(this);
    auto* info = new QGridLayout;
    ModeValue = new QLabel("N/A");
    ModeValue->setObjectName("ModeValue");
    ModeValue->setStyleSheet("color: red");
    FileIndexValue = new QLabel("N/A");
    FileIndexValue->setObjectName("FileIndexValue");
    FileIndexValue->setStyleSheet("color: blue");
    ExpandedEdit = new QLineEdit;
    ExpandedEdit->setObjectName("ExpandedEdit");
    ExpandedEdit->setReadOnly(true);
    info->addWidget(ModeValue, 0, 0);
    info->addWidget(FileIndexValue, 0, 1);
    info->addWidget(ExpandedEdit, 1, 0, 1, 2);
    layout->addLayout(info);

    EditIPLMultInstList = new QListWidget;
    EditIPLMultInstList->setObjectName("EditIPLMultInstList");
    EditIPLMultInstItemCount = new QLabel;
    EditIPLMultInstItemCount->setObjectName("EditIPLMultInstItemCount");
    EditIPLMultInstItemCenter = new QLabel;
    EditIPLMultInstItemCenter->setObjectName("EditIPLMultInstItemCenter");
    layout->addWidget(EditIPLMultInstList);
    layout->addWidget(EditIPLMultInstItemCount);
    layout->addWidget(EditIPLMultInstItemCenter);
    resize(360, 320);
}

TIPLFile* TFormEditorItem::selectedIPLFile() const
{
    if (!HasSelection || SelKind != FileKind::IPL || !m_fileList)
        return nullptr;
    return m_fileList->IPLFile(SelFile);
}

TGTASInstObj* TFormEditorItem::instance(int record) const
{
    TIPLFile* file = selectedIPLFile();
    if (!file || !file->Inst.IsValidIndex(record))
        return nullptr;
    return &file->Inst.Items[record];
}

int TFormEditorItem::rowOf(int record) const
{
    for (int row = 0; row < EditIPLMultInstList->count(); ++row) {
        if (EditIPLMultInstList->item(row)->data(Qt::UserRole).toInt() == record)
            return row;
    }
    return -1;
}

void TFormEditorItem::addInstanceRow(int record)
{
    const TGTASInstObj* inst = instance(record);
    auto* row = new QListWidgetItem(EditIPLMultInstList);
    row->setData(Qt::UserRole, record);
    if (inst)
        row->setText(QString::number(inst->ID) + " - " + QString::fromStdString(inst->ModelName));
}

std::vector<int> TFormEditorItem::MultipleInstances() const
{
    std::vector<int> records;
    for (int row = 0; row < EditIPLMultInstList->count(); ++row)
        records.push_back(EditIPLMultInstList->item(row)->data(Qt::UserRole).toInt());
    return records;
}

void TFormEditorItem::SelectRecord(FileKind kind, int section, int record, int file)
{
    if (section == SectionPickedInst)
        section = SectionInst;
    if (kind == FileKind::IPL && section == SectionSeveralInst) {
        const bool sameFile = HasSelection && SelKind == FileKind::IPL && SelFile == file;
        // A list of the same file keeps its rows: the pick toggles its record below.
        if (SelSection != SectionSeveralInst || !sameFile) {
            EditIPLMultInstList->clear();
            // The first Shift-pick selects one instance; the second starts the list with it.
            // An instance of another file starts a new list: the list holds record indexes
            // of one file only.
            const bool listOfOtherFile = HasSelection && SelSection == SectionSeveralInst;
            if (sameFile && SelSection == SectionInst)
                addInstanceRow(SelRecord);
            else if (!listOfOtherFile)
                section = SectionInst;
        }
    }
    SelKind = kind;
    SelSection = section;
    SelFile = file;
    SelRecord = record;
    HasSelection = true;

    int state = 0;
    if (kind == FileKind::IPL && section == SectionInst) {
        state = 1;
    } else if (kind == FileKind::IPL && section == SectionSeveralInst) {
        const int row = rowOf(record);
        if (row >= 0)
            delete EditIPLMultInstList->takeItem(row);
        else
            addInstanceRow(record);
        showMultipleCount();
        state = 2;
    }
    if (m_view)
        m_view->SetSelectionState(state);
    RefreshRecord(true, false);
    if (!isVisible())
        show();
}

void TFormEditorItem::showMultipleCount()
{
    EditIPLMultInstItemCount->setText(QString::number(EditIPLMultInstList->count()) + " Items");
    EditIPLMultInstItemCenter->setText(positionText(GetSelectionCentre()));
}

void TFormEditorItem::ClearSelection()
{
    HasSelection = false;
    SelKind = FileKind::IPL;
    SelSection = 0;
    SelFile = 0;
    SelRecord = 0;
    if (m_view)
        m_view->SetSelectionState(0);
    RefreshRecord(true, false);
}

std::array<float, 3> TFormEditorItem::GetSelectionCentre() const
{
    if (!selectedIPLFile())
        return {0, 0, 0};
    if (SelSection == SectionInst) {
        if (const TGTASInstObj* inst = instance(SelRecord))
            return {inst->PosX, inst->PosY, inst->PosZ};
        return {0, 0, 0};
    }
    if (SelSection != SectionSeveralInst)
        return {0, 0, 0};
    std::array<float, 3> sum{0, 0, 0};
    const std::vector<int> records = MultipleInstances();
    if (records.empty())
        return sum;
    for (int record : records) {
        if (const TGTASInstObj* inst = instance(record)) {
            sum[0] += inst->PosX;
            sum[1] += inst->PosY;
            sum[2] += inst->PosZ;
        }
    }
    const float count = static_cast<float>(records.size());
    return {sum[0] / count, sum[1] / count, sum[2] / count};
}

void TFormEditorItem::MoveSelection(float dx, float dy, float dz)
{
    if (!selectedIPLFile())
        return;
    std::vector<int> records;
    if (SelSection == SectionInst)
        records.push_back(SelRecord);
    else if (SelSection == SectionSeveralInst)
        records = MultipleInstances();
    else
        return;
    for (int record : records) {
        if (TGTASInstObj* inst = instance(record)) {
            inst->PosX += dx;
            inst->PosY += dy;
            inst->PosZ += dz;
        }
    }
    if (SelSection == SectionSeveralInst)
        showMultipleCount();
    RefreshRecord(false, false);
    if (m_view)
        m_view->update();
}

void TFormEditorItem::MarkModified()
{
    if (!HasSelection || !m_fileList)
        return;
    if (TGTASFile* file = m_fileList->File(SelFile))
        file->Modified = true;
    if (TFormMain* main = programWindows().Main)
        main->ActionSaveModified->setEnabled(true);
}

void TFormEditorItem::RefreshRecord(bool reload, bool /*repaintLists*/)
{
    if (!HasSelection) {
        ModeValue->setText("N/A");
        FileIndexValue->setText("N/A");
        ExpandedEdit->clear();
        return;
    }
    if (!reload)
        MarkModified();
    QString text = "N/A";
    if (SelKind == FileKind::IPL && SelSection == SectionInst) {
        if (TIPLFile* file = selectedIPLFile())
            text = QString::fromStdString(file->Inst.WriteLine(SelRecord));
    }
    const TGTASFile* file = m_fileList ? m_fileList->File(SelFile) : nullptr;
    ModeValue->setText(modeText(SelKind, SelSection));
    FileIndexValue->setText(file ? QString::fromStdString(file->FileName) : QString("N/A"));
    ExpandedEdit->setText(text);
}
