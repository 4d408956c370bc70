#pragma once

#include "ItemPanel.h"

#include <cstdint>

class ColourChooser;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;
struct TGTAS2dfxObj;

// The page of a 2D effect of an IDE file: the common fields, the effect type, and one
// sub-panel per type of which only the record's own is shown. Switching the type keeps
// the fields of the other types in the record.
class EffectPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit EffectPanel(TFormEditorItem& editor);
    void load() override;

    QLineEdit* EditIDE2dfxID = nullptr;
    QLineEdit* EditIDE2dfxPosX = nullptr;
    QLineEdit* EditIDE2dfxPosY = nullptr;
    QLineEdit* EditIDE2dfxPosZ = nullptr;
    QLineEdit* EditIDE2dfxViewDistance = nullptr;
    QLineEdit* EditIDE2dfxColR = nullptr;
    QLineEdit* EditIDE2dfxColG = nullptr;
    QLineEdit* EditIDE2dfxColB = nullptr;
    ColourChooser* EditIDE2dfxColChooser = nullptr;
    QRadioButton* EditIDE2dfxRadioLight = nullptr;
    QRadioButton* EditIDE2dfxRadioParticle = nullptr;
    QRadioButton* EditIDE2dfxRadioUnknown = nullptr; // "N/A": never enabled
    QRadioButton* EditIDE2dfxRadioAnimation = nullptr;
    QRadioButton* EditIDE2dfxRadioReflection = nullptr;

    QWidget* PanelIDE2dfxLight = nullptr;
    QLineEdit* EditIDE2dfxAEffect1 = nullptr;
    QLineEdit* EditIDE2dfxAEffect2 = nullptr;
    QLineEdit* EditIDE2dfxADistance = nullptr;
    QLineEdit* EditIDE2dfxASizeLamp = nullptr;
    QLineEdit* EditIDE2dfxASizeCorona = nullptr;
    QLineEdit* EditIDE2dfxARangeOuter = nullptr;
    QLineEdit* EditIDE2dfxARangeInner = nullptr;
    QComboBox* EditIDE2dfxAControl = nullptr;
    QLineEdit* EditIDE2dfxAReflectionWet = nullptr;
    QLineEdit* EditIDE2dfxALensFlare = nullptr;
    QLineEdit* EditIDE2dfxADust = nullptr;

    QWidget* PanelIDE2dfxParticle = nullptr;
    QComboBox* EditIDE2dfxBType = nullptr;
    QLineEdit* EditIDE2dfxBRotX = nullptr;
    QLineEdit* EditIDE2dfxBRotY = nullptr;
    QLineEdit* EditIDE2dfxBRotZ = nullptr;
    QLineEdit* EditIDE2dfxBRotW = nullptr;

    QWidget* PanelIDE2dfxUnknown = nullptr;

    QWidget* PanelIDE2dfxAnimation = nullptr;
    QComboBox* EditIDE2dfxDType = nullptr;
    QLineEdit* EditIDE2dfxDDir1X = nullptr;
    QLineEdit* EditIDE2dfxDDir1Y = nullptr;
    QLineEdit* EditIDE2dfxDDir1Z = nullptr;
    QLineEdit* EditIDE2dfxDDir2X = nullptr;
    QLineEdit* EditIDE2dfxDDir2Y = nullptr;
    QLineEdit* EditIDE2dfxDDir2Z = nullptr;

    QWidget* PanelIDE2dfxReflection = nullptr;

    void EditIDE2dfxIDChange();
    // One of the three colour boxes and the component it holds.
    void EditIDE2dfxColChange(QLineEdit* box, uint8_t TGTAS2dfxObj::*component);
    void EditIDE2dfxColChooserChange(int value);
    // The radio buttons pass the effect type they stand for.
    void EditIDE2dfxRadioClick(int effectType);
    void EditIDE2dfxAControlChange();
    void EditIDE2dfxBTypeChange();
    void EditIDE2dfxDTypeChange();

private:
    void showEffectType(int effectType);
    // Writes into the selected effect, then shows its line again; `repaintLists` as for
    // `RefreshRecord`.
    template <typename Write>
    void writeEffect(Write write, bool repaintLists = false);
    // A box whose text is stored into one field with `convert`.
    template <typename Field, typename Convert>
    void bindBox(QLineEdit* box, Field TGTAS2dfxObj::*field, Convert convert);

    QButtonGroup* m_effectTypes = nullptr;
};
