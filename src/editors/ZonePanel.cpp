#include "ZonePanel.h"

#include "FieldText.h"
#include "TFormEditorItem.h"
#include "TGTASZone.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include <utility>

ZonePanel::ZonePanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplzone")
{
    auto* layout = new QFormLayout(this);
    auto box = [&](QLineEdit*& edit, const char* name, const QString& caption) {
        edit = new QLineEdit;
        edit->setObjectName(name);
        layout->addRow(caption, edit);
    };
    box(EditIPLZoneName, "EditIPLZoneName", "Name:");
    keepToOneColumn(EditIPLZoneName);
    box_zonetypes = new QComboBox;
    box_zonetypes->setObjectName("box_zonetypes");
    box_zonetypes->addItems({"0= Visual Navigation", "1= Unknown", "2= Traffic Ped Types", "3= island_split"});
    layout->addRow("Type:", box_zonetypes);
    box(EditIPLZonePos1X, "EditIPLZonePos1X", "Corner 1 X:");
    box(EditIPLZonePos1Y, "EditIPLZonePos1Y", "Corner 1 Y:");
    box(EditIPLZonePos1Z, "EditIPLZonePos1Z", "Corner 1 Z:");
    box(EditIPLZonePos2X, "EditIPLZonePos2X", "Corner 2 X:");
    box(EditIPLZonePos2Y, "EditIPLZonePos2Y", "Corner 2 Y:");
    box(EditIPLZonePos2Z, "EditIPLZonePos2Z", "Corner 2 Z:");
    box(EditIPLZoneU9, "EditIPLZoneU9", "Unknown:");

    connect(EditIPLZoneName, &QLineEdit::textChanged, this, &ZonePanel::EditIPLZoneNameChange);
    connect(box_zonetypes, &QComboBox::currentIndexChanged, this, &ZonePanel::box_zonetypesChange);
    // Each box writes its own coordinate only: the others show rounded text.
    const std::pair<QLineEdit*, float TGTASZoneObj::*> corners[]
        = {{EditIPLZonePos1X, &TGTASZoneObj::Pos1X}, {EditIPLZonePos1Y, &TGTASZoneObj::Pos1Y},
            {EditIPLZonePos1Z, &TGTASZoneObj::Pos1Z}, {EditIPLZonePos2X, &TGTASZoneObj::Pos2X},
            {EditIPLZonePos2Y, &TGTASZoneObj::Pos2Y}, {EditIPLZonePos2Z, &TGTASZoneObj::Pos2Z}};
    for (auto [corner, field] : corners)
        connect(corner, &QLineEdit::textChanged, this, [this, corner, field] { EditIPLZonePosChange(corner, field); });
    connect(EditIPLZoneU9, &QLineEdit::textChanged, this, &ZonePanel::EditIPLZoneU9Change);
}

void ZonePanel::load()
{
    const TGTASZoneObj* zone = m_editor.SelectedZone();
    if (!zone)
        return;
    EditIPLZoneName->setText(QString::fromStdString(zone->Name));
    if (zone->ZoneType >= 0 && zone->ZoneType < box_zonetypes->count())
        box_zonetypes->setCurrentIndex(zone->ZoneType);
    EditIPLZonePos1X->setText(shortFloatBox(zone->Pos1X));
    EditIPLZonePos1Y->setText(shortFloatBox(zone->Pos1Y));
    EditIPLZonePos1Z->setText(shortFloatBox(zone->Pos1Z));
    EditIPLZonePos2X->setText(shortFloatBox(zone->Pos2X));
    EditIPLZonePos2Y->setText(shortFloatBox(zone->Pos2Y));
    EditIPLZonePos2Z->setText(shortFloatBox(zone->Pos2Z));
    EditIPLZoneU9->setText(intBox(zone->U9));
}

void ZonePanel::EditIPLZoneNameChange()
{
    TGTASZoneObj* zone = m_editor.SelectedZone();
    if (!m_editor.EditsEnabled || !zone)
        return;
    zone->Name = EditIPLZoneName->text().toStdString();
    m_editor.RefreshRecord(RecordRefresh::EditShownInLists); // the IPL editor's list shows the name
}

void ZonePanel::box_zonetypesChange()
{
    TGTASZoneObj* zone = m_editor.SelectedZone();
    if (!m_editor.EditsEnabled || !zone || box_zonetypes->currentIndex() < 0)
        return;
    zone->ZoneType = box_zonetypes->currentIndex();
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void ZonePanel::EditIPLZonePosChange(QLineEdit* box, float TGTASZoneObj::*field)
{
    TGTASZoneObj* zone = m_editor.SelectedZone();
    if (!m_editor.EditsEnabled || !zone)
        return;
    zone->*field = floatFromBox(box->text(), 0);
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void ZonePanel::EditIPLZoneU9Change()
{
    TGTASZoneObj* zone = m_editor.SelectedZone();
    if (!m_editor.EditsEnabled || !zone)
        return;
    zone->U9 = intFromBox(EditIPLZoneU9->text(), 0);
    m_editor.RefreshRecord(RecordRefresh::Edit);
}
