#pragma once

#include "ItemPanel.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QString;
class QToolButton;
class QTreeWidget;
struct TGTASInstObj;

// The page of one placed instance: its fields, the nudge buttons, and whether its definition, model and dictionary can be found.
class InstancePanel : public ItemPanel {
    Q_OBJECT
public:
    explicit InstancePanel(TFormEditorItem& editor);
    void load() override;
    // The validation list's four rows for the selected instance.
    void UpdateInstanceValidation();
    // The position and rotation boxes show the record again (edits are off meanwhile).
    void showPosition();
    void showRotation();

    // Handlers, named after their controls.
    void EditIPLInstIDChange();
    void EditIPLInstModelChange();
    void EditIPLInstInteriorChange();
    void EditIPLInstHasInteriorClick();
    // A position or scale box: the float typed, 0 for text that is not a number.
    void EditIPLInstFloatChange(QLineEdit* box, float TGTASInstObj::*field);
    // A rotation box: the sine (x, y, z) or cosine (w) of the angle typed in degrees.
    void EditIPLInstRotChange(QLineEdit* box, float TGTASInstObj::*field);
    void BitBtn1Click();
    void BitBtn2Click();
    void BtnFindDefinitionClick();

    QLineEdit* EditIPLInstID = nullptr;
    QLineEdit* EditIPLInstModel = nullptr;
    QCheckBox* EditIPLInstHasInterior = nullptr;
    QLineEdit* EditIPLInstInterior = nullptr;
    QLineEdit* EditIPLInstPosX = nullptr;
    QLineEdit* EditIPLInstPosY = nullptr;
    QLineEdit* EditIPLInstPosZ = nullptr;
    QLineEdit* EditIPLInstScaleX = nullptr;
    QLineEdit* EditIPLInstScaleY = nullptr;
    QLineEdit* EditIPLInstScaleZ = nullptr;
    QLineEdit* EditIPLInstRotX = nullptr;
    QLineEdit* EditIPLInstRotY = nullptr;
    QLineEdit* EditIPLInstRotZ = nullptr;
    QLineEdit* EditIPLInstRotW = nullptr;
    QPushButton* BitBtn1 = nullptr; // centre the view on the instance
    QPushButton* BitBtn2 = nullptr; // reset the rotation
    QPushButton* BtnFindDefinition = nullptr; // open the definition the instance uses
    // Rows of the checks; column 1 holds "Found" or "Not Found" with its picture.
    QTreeWidget* EditIPLInstValidation = nullptr;

    // Nudge buttons per axis X, Y, Z, in the order L1, L2, R2, R1.
    std::array<std::array<QToolButton*, 4>, 3> PosButtons{};
    std::array<std::array<QToolButton*, 4>, 3> RotButtons{};

private:
    void setDefinitionRows(bool definitionFound, bool modelMatches, bool modelInArchive, bool textureInArchive);
};

// The four nudge buttons of one axis, "<<", "<", ">", ">>", named stem + axis + L1, L2, R2, R1:
// held down, they run the editor's nudge timer in `mode`.
std::array<QToolButton*, 4> makeNudgeButtons(TFormEditorItem& editor, const QString& stem, char axis, int mode);
