#include "EffectPanel.h"

#include "ColourChooser.h"
#include "FieldText.h"
#include "TFormEditorItem.h"
#include "TGTAS2dfx.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <iterator>
#include <utility>

namespace {

QLineEdit* newBox(QLineEdit*& edit, const char* name)
{
    edit = new QLineEdit;
    edit->setObjectName(name);
    return edit;
}

QComboBox* newList(QComboBox*& list, const char* name, const QStringList& items)
{
    list = new QComboBox;
    list->setObjectName(name);
    list->addItems(items);
    return list;
}

QWidget* newPanel(QWidget*& panel, const char* name)
{
    panel = new QWidget;
    panel->setObjectName(name);
    return panel;
}

// A stored value beyond the list leaves the list's selection as it was.
void setListItem(QComboBox* list, int value)
{
    if (value >= 0 && value < list->count())
        list->setCurrentIndex(value);
}

int colourValueOf(const TGTAS2dfxObj& effect)
{
    return effect.ColR + effect.ColG * 256 + effect.ColB * 65536;
}

}

EffectPanel::EffectPanel(TFormEditorItem& editor)
    : ItemPanel(editor, "panelide2dfx")
{
    auto* layout = new QVBoxLayout(this);
    auto* common = new QFormLayout;
    common->addRow("ID:", newBox(EditIDE2dfxID, "EditIDE2dfxID"));
    common->addRow("X:", newBox(EditIDE2dfxPosX, "EditIDE2dfxPosX"));
    common->addRow("Y:", newBox(EditIDE2dfxPosY, "EditIDE2dfxPosY"));
    common->addRow("Z:", newBox(EditIDE2dfxPosZ, "EditIDE2dfxPosZ"));
    common->addRow("View distance:", newBox(EditIDE2dfxViewDistance, "EditIDE2dfxViewDistance"));
    auto* colour = new QHBoxLayout;
    colour->addWidget(newBox(EditIDE2dfxColR, "EditIDE2dfxColR"));
    colour->addWidget(newBox(EditIDE2dfxColG, "EditIDE2dfxColG"));
    colour->addWidget(newBox(EditIDE2dfxColB, "EditIDE2dfxColB"));
    EditIDE2dfxColChooser = new ColourChooser;
    EditIDE2dfxColChooser->setObjectName("EditIDE2dfxColChooser");
    colour->addWidget(EditIDE2dfxColChooser, 1);
    common->addRow("Colour (R, G, B):", colour);
    layout->addLayout(common);

    auto* typeBox = new QGroupBox("Effect Type");
    auto* typeLayout = new QGridLayout(typeBox);
    m_effectTypes = new QButtonGroup(this);
    auto radio = [&](QRadioButton*& button, const char* name, const QString& caption, int type) {
        button = new QRadioButton(caption);
        button->setObjectName(name);
        m_effectTypes->addButton(button, type);
        typeLayout->addWidget(button, type / 3, type % 3);
    };
    radio(EditIDE2dfxRadioLight, "EditIDE2dfxRadioLight", "Light", TGTAS2dfxObj::Light);
    radio(EditIDE2dfxRadioParticle, "EditIDE2dfxRadioParticle", "Particle", TGTAS2dfxObj::Particle);
    radio(EditIDE2dfxRadioUnknown, "EditIDE2dfxRadioUnknown", "N/A", TGTAS2dfxObj::Unknown);
    radio(EditIDE2dfxRadioAnimation, "EditIDE2dfxRadioAnimation", "Animation", TGTAS2dfxObj::Animation);
    radio(EditIDE2dfxRadioReflection, "EditIDE2dfxRadioReflection", "Reflection", TGTAS2dfxObj::Reflection);
    EditIDE2dfxRadioUnknown->setEnabled(false);
    layout->addWidget(typeBox);

    auto* light = new QFormLayout(newPanel(PanelIDE2dfxLight, "PanelIDE2dfxLight"));
    light->addRow("Corona texture:", newBox(EditIDE2dfxAEffect1, "EditIDE2dfxAEffect1"));
    light->addRow("Shadow texture:", newBox(EditIDE2dfxAEffect2, "EditIDE2dfxAEffect2"));
    keepToOneColumn(EditIDE2dfxAEffect1);
    keepToOneColumn(EditIDE2dfxAEffect2);
    light->addRow("Distance:", newBox(EditIDE2dfxADistance, "EditIDE2dfxADistance"));
    light->addRow("Lamp size:", newBox(EditIDE2dfxASizeLamp, "EditIDE2dfxASizeLamp"));
    light->addRow("Corona size:", newBox(EditIDE2dfxASizeCorona, "EditIDE2dfxASizeCorona"));
    light->addRow("Outer range:", newBox(EditIDE2dfxARangeOuter, "EditIDE2dfxARangeOuter"));
    light->addRow("Inner range:", newBox(EditIDE2dfxARangeInner, "EditIDE2dfxARangeInner"));
    light->addRow("Control:",
        newList(EditIDE2dfxAControl, "EditIDE2dfxAControl",
            {"Light: Day & Night", "Light: Night Only", "Flicker: Day & Night", "Flicker: Night Only",
                "Blink (1 sec): Day & Night", "Blink (1 sec): Night Only", "Blink (2 sec): Day & Night",
                "Blink (2 sec): Night Only", "Light: Day Only", "Blink (3 sec): Night Only",
                "Blink (3 sec): Day & Night", "Random Flicker: Night", "Unknown", "Unknown", "Unknown", "Unknown"}));
    light->addRow("Wet reflection:", newBox(EditIDE2dfxAReflectionWet, "EditIDE2dfxAReflectionWet"));
    light->addRow("Lens flare:", newBox(EditIDE2dfxALensFlare, "EditIDE2dfxALensFlare"));
    light->addRow("Dust:", newBox(EditIDE2dfxADust, "EditIDE2dfxADust"));

    auto* particle = new QFormLayout(newPanel(PanelIDE2dfxParticle, "PanelIDE2dfxParticle"));
    particle->addRow("Type:",
        newList(EditIDE2dfxBType, "EditIDE2dfxBType",
            {"Steam: Medium", "Steam: Small", "Steam: Large", "Fire", "Smoke", "Water: Spray Up",
                "Water: Spray Down"}));
    particle->addRow("Rotation X:", newBox(EditIDE2dfxBRotX, "EditIDE2dfxBRotX"));
    particle->addRow("Rotation Y:", newBox(EditIDE2dfxBRotY, "EditIDE2dfxBRotY"));
    particle->addRow("Rotation Z:", newBox(EditIDE2dfxBRotZ, "EditIDE2dfxBRotZ"));
    particle->addRow("Rotation W:", newBox(EditIDE2dfxBRotW, "EditIDE2dfxBRotW"));

    auto* unknown = new QVBoxLayout(newPanel(PanelIDE2dfxUnknown, "PanelIDE2dfxUnknown"));
    unknown->addWidget(new QLabel("Not Available"));

    auto* animation = new QFormLayout(newPanel(PanelIDE2dfxAnimation, "PanelIDE2dfxAnimation"));
    animation->addRow("Type:",
        newList(EditIDE2dfxDType, "EditIDE2dfxDType",
            {"Automat (Handle With Object)", "Seat Place ", "Bus Stop", "Display Window", "Unknown"}));
    animation->addRow("Direction 1 X:", newBox(EditIDE2dfxDDir1X, "EditIDE2dfxDDir1X"));
    animation->addRow("Direction 1 Y:", newBox(EditIDE2dfxDDir1Y, "EditIDE2dfxDDir1Y"));
    animation->addRow("Direction 1 Z:", newBox(EditIDE2dfxDDir1Z, "EditIDE2dfxDDir1Z"));
    animation->addRow("Direction 2 X:", newBox(EditIDE2dfxDDir2X, "EditIDE2dfxDDir2X"));
    animation->addRow("Direction 2 Y:", newBox(EditIDE2dfxDDir2Y, "EditIDE2dfxDDir2Y"));
    animation->addRow("Direction 2 Z:", newBox(EditIDE2dfxDDir2Z, "EditIDE2dfxDDir2Z"));

    auto* reflection = new QVBoxLayout(newPanel(PanelIDE2dfxReflection, "PanelIDE2dfxReflection"));
    reflection->addWidget(new QLabel("Not Available"));

    for (QWidget* panel :
        {PanelIDE2dfxLight, PanelIDE2dfxParticle, PanelIDE2dfxUnknown, PanelIDE2dfxAnimation, PanelIDE2dfxReflection}) {
        layout->addWidget(panel);
        panel->hide();
    }
    layout->addStretch(1);

    connect(EditIDE2dfxID, &QLineEdit::textChanged, this, &EffectPanel::EditIDE2dfxIDChange);
    for (auto [box, component] : {std::pair{EditIDE2dfxColR, &TGTAS2dfxObj::ColR},
             std::pair{EditIDE2dfxColG, &TGTAS2dfxObj::ColG}, std::pair{EditIDE2dfxColB, &TGTAS2dfxObj::ColB}}) {
        connect(box, &QLineEdit::textChanged, this, [this, box, component] { EditIDE2dfxColChange(box, component); });
    }
    connect(EditIDE2dfxColChooser, &ColourChooser::colourChosen, this, &EffectPanel::EditIDE2dfxColChooserChange);
    connect(m_effectTypes, &QButtonGroup::idClicked, this, &EffectPanel::EditIDE2dfxRadioClick);
    connect(EditIDE2dfxAControl, &QComboBox::currentIndexChanged, this, &EffectPanel::EditIDE2dfxAControlChange);
    connect(EditIDE2dfxBType, &QComboBox::currentIndexChanged, this, &EffectPanel::EditIDE2dfxBTypeChange);
    connect(EditIDE2dfxDType, &QComboBox::currentIndexChanged, this, &EffectPanel::EditIDE2dfxDTypeChange);

    const auto decimal = [](const QString& text) { return floatFromBox(text, 0); };
    const auto integer = [](const QString& text) { return intFromBox(text, 0); };
    const auto word = [](const QString& text) { return text.toStdString(); };
    bindBox(EditIDE2dfxPosX, &TGTAS2dfxObj::PosX, decimal);
    bindBox(EditIDE2dfxPosY, &TGTAS2dfxObj::PosY, decimal);
    bindBox(EditIDE2dfxPosZ, &TGTAS2dfxObj::PosZ, decimal);
    // A whole number in the file: "2.5" is no number there and stores 0.
    bindBox(EditIDE2dfxViewDistance, &TGTAS2dfxObj::ViewDistance, integer);
    bindBox(EditIDE2dfxAEffect1, &TGTAS2dfxObj::CoronaTexture, word);
    bindBox(EditIDE2dfxAEffect2, &TGTAS2dfxObj::ShadowTexture, word);
    bindBox(EditIDE2dfxADistance, &TGTAS2dfxObj::Distance, integer);
    bindBox(EditIDE2dfxASizeLamp, &TGTAS2dfxObj::SizeLamp, decimal);
    bindBox(EditIDE2dfxASizeCorona, &TGTAS2dfxObj::SizeCorona, decimal);
    bindBox(EditIDE2dfxARangeOuter, &TGTAS2dfxObj::RangeOuter, decimal);
    bindBox(EditIDE2dfxARangeInner, &TGTAS2dfxObj::RangeInner, decimal);
    bindBox(EditIDE2dfxAReflectionWet, &TGTAS2dfxObj::ReflectionWet, integer);
    bindBox(EditIDE2dfxALensFlare, &TGTAS2dfxObj::LensFlare, integer);
    bindBox(EditIDE2dfxADust, &TGTAS2dfxObj::Dust, integer);
    bindBox(EditIDE2dfxBRotX, &TGTAS2dfxObj::RotX, sinOfDegreesBox);
    bindBox(EditIDE2dfxBRotY, &TGTAS2dfxObj::RotY, sinOfDegreesBox);
    bindBox(EditIDE2dfxBRotZ, &TGTAS2dfxObj::RotZ, sinOfDegreesBox);
    bindBox(EditIDE2dfxBRotW, &TGTAS2dfxObj::RotW, cosOfDegreesBox);
    bindBox(EditIDE2dfxDDir1X, &TGTAS2dfxObj::Dir1X, decimal);
    bindBox(EditIDE2dfxDDir1Y, &TGTAS2dfxObj::Dir1Y, decimal);
    bindBox(EditIDE2dfxDDir1Z, &TGTAS2dfxObj::Dir1Z, decimal);
    bindBox(EditIDE2dfxDDir2X, &TGTAS2dfxObj::Dir2X, decimal);
    bindBox(EditIDE2dfxDDir2Y, &TGTAS2dfxObj::Dir2Y, decimal);
    bindBox(EditIDE2dfxDDir2Z, &TGTAS2dfxObj::Dir2Z, decimal);
}

template <typename Write>
void EffectPanel::writeEffect(Write write, bool repaintLists)
{
    TGTAS2dfxObj* effect = m_editor.SelectedEffect();
    if (!m_editor.EditsEnabled || !effect)
        return;
    write(*effect);
    m_editor.RefreshRecord(repaintLists ? RecordRefresh::EditShownInLists : RecordRefresh::Edit);
}

template <typename Field, typename Convert>
void EffectPanel::bindBox(QLineEdit* box, Field TGTAS2dfxObj::*field, Convert convert)
{
    connect(box, &QLineEdit::textChanged, this, [this, box, field, convert] {
        // Whole-number fields keep the low bits of the number typed.
        writeEffect([&](TGTAS2dfxObj& effect) { effect.*field = static_cast<Field>(convert(box->text())); });
    });
}

void EffectPanel::load()
{
    const TGTAS2dfxObj* effect = m_editor.SelectedEffect();
    if (!effect)
        return;
    EditIDE2dfxID->setText(intBox(effect->ID));
    EditIDE2dfxPosX->setText(shortFloatBox(effect->PosX));
    EditIDE2dfxPosY->setText(shortFloatBox(effect->PosY));
    EditIDE2dfxPosZ->setText(shortFloatBox(effect->PosZ));
    EditIDE2dfxViewDistance->setText(longFloatBox(effect->ViewDistance));
    EditIDE2dfxColR->setText(intBox(effect->ColR));
    EditIDE2dfxColG->setText(intBox(effect->ColG));
    EditIDE2dfxColB->setText(intBox(effect->ColB));
    EditIDE2dfxColChooser->setColourValue(colourValueOf(*effect));

    switch (effect->EffectType) {
    case TGTAS2dfxObj::Light:
        EditIDE2dfxAEffect1->setText(QString::fromStdString(effect->CoronaTexture));
        EditIDE2dfxAEffect2->setText(QString::fromStdString(effect->ShadowTexture));
        EditIDE2dfxADistance->setText(intBox(effect->Distance));
        EditIDE2dfxASizeLamp->setText(shortFloatBox(effect->SizeLamp));
        EditIDE2dfxASizeCorona->setText(shortFloatBox(effect->SizeCorona));
        EditIDE2dfxARangeOuter->setText(shortFloatBox(effect->RangeOuter));
        EditIDE2dfxARangeInner->setText(shortFloatBox(effect->RangeInner));
        setListItem(EditIDE2dfxAControl, effect->Control);
        EditIDE2dfxAReflectionWet->setText(intBox(effect->ReflectionWet));
        EditIDE2dfxALensFlare->setText(intBox(effect->LensFlare));
        EditIDE2dfxADust->setText(intBox(effect->Dust));
        break;
    case TGTAS2dfxObj::Particle:
        setListItem(EditIDE2dfxBType, effect->ParticleType);
        EditIDE2dfxBRotX->setText(degreesOfSinBox(effect->RotX));
        EditIDE2dfxBRotY->setText(degreesOfSinBox(effect->RotY));
        EditIDE2dfxBRotZ->setText(degreesOfSinBox(effect->RotZ));
        EditIDE2dfxBRotW->setText(degreesOfCosBox(effect->RotW));
        break;
    case TGTAS2dfxObj::Animation:
        setListItem(EditIDE2dfxDType, effect->AnimType);
        EditIDE2dfxDDir1X->setText(shortFloatBox(effect->Dir1X));
        EditIDE2dfxDDir1Y->setText(shortFloatBox(effect->Dir1Y));
        EditIDE2dfxDDir1Z->setText(shortFloatBox(effect->Dir1Z));
        EditIDE2dfxDDir2X->setText(shortFloatBox(effect->Dir2X));
        EditIDE2dfxDDir2Y->setText(shortFloatBox(effect->Dir2Y));
        EditIDE2dfxDDir2Z->setText(shortFloatBox(effect->Dir2Z));
        break;
    default: break;
    }
    showEffectType(effect->EffectType);
}

void EffectPanel::showEffectType(int effectType)
{
    QWidget* const panels[]
        = {PanelIDE2dfxLight, PanelIDE2dfxParticle, PanelIDE2dfxUnknown, PanelIDE2dfxAnimation, PanelIDE2dfxReflection};
    if (effectType < 0 || effectType >= static_cast<int>(std::size(panels)))
        return;
    m_effectTypes->button(effectType)->setChecked(true);
    for (int type = 0; type < static_cast<int>(std::size(panels)); ++type)
        panels[type]->setVisible(type == effectType);
}

void EffectPanel::EditIDE2dfxIDChange()
{
    writeEffect(
        [&](TGTAS2dfxObj& effect) { effect.ID = static_cast<uint16_t>(intFromBox(EditIDE2dfxID->text(), 0)); }, true);
}

void EffectPanel::EditIDE2dfxColChange(QLineEdit* box, uint8_t TGTAS2dfxObj::*component)
{
    writeEffect(
        [&](TGTAS2dfxObj& effect) {
            effect.*component = static_cast<uint8_t>(intFromBox(box->text(), 0));
            const QSignalBlocker quiet(EditIDE2dfxColChooser);
            EditIDE2dfxColChooser->setColourValue(colourValueOf(effect));
        },
        true);
}

void EffectPanel::EditIDE2dfxColChooserChange(int value)
{
    writeEffect(
        [&](TGTAS2dfxObj& effect) {
            effect.ColR = static_cast<uint8_t>(value & 255);
            effect.ColG = static_cast<uint8_t>((value >> 8) & 255);
            effect.ColB = static_cast<uint8_t>((value >> 16) & 255);
            for (auto [box, component] : {std::pair{EditIDE2dfxColR, effect.ColR},
                     std::pair{EditIDE2dfxColG, effect.ColG}, std::pair{EditIDE2dfxColB, effect.ColB}}) {
                const QSignalBlocker quiet(box);
                box->setText(intBox(component));
            }
        },
        true);
}

void EffectPanel::EditIDE2dfxRadioClick(int effectType)
{
    TGTAS2dfxObj* effect = m_editor.SelectedEffect();
    if (!m_editor.EditsEnabled || !effect)
        return;
    effect->EffectType = effectType;
    // A reload alone would not mark the file, and the new type would not be saved.
    m_editor.MarkModified();
    m_editor.RefreshRecord(RecordRefresh::Reload); // shows the sub-panel of the new type
}

void EffectPanel::EditIDE2dfxAControlChange()
{
    if (EditIDE2dfxAControl->currentIndex() >= 0)
        writeEffect(
            [&](TGTAS2dfxObj& effect) { effect.Control = static_cast<uint16_t>(EditIDE2dfxAControl->currentIndex()); });
}

void EffectPanel::EditIDE2dfxBTypeChange()
{
    if (EditIDE2dfxBType->currentIndex() >= 0)
        writeEffect([&](TGTAS2dfxObj& effect) {
            effect.ParticleType = static_cast<uint16_t>(EditIDE2dfxBType->currentIndex());
        });
}

void EffectPanel::EditIDE2dfxDTypeChange()
{
    if (EditIDE2dfxDType->currentIndex() >= 0)
        writeEffect(
            [&](TGTAS2dfxObj& effect) { effect.AnimType = static_cast<uint16_t>(EditIDE2dfxDType->currentIndex()); });
}
