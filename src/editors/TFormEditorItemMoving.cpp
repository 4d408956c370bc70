// Instance moving: the nudge buttons of the instance panels run `MoveTimer`, each tick
// moving or turning the selected instance, or moving every instance of the several-instance
// selection, by one step; Enter in a move-by box moves the several instances by its offset.
// With snapping on, a step moves the selection's centre to the grid and a turn is a whole
// number of angle steps.
#include "TFormEditorItem.h"

#include "FieldText.h"
#include "InstancePanel.h"
#include "Quaternion.h"
#include "SeveralInstancePanel.h"
#include "Snapping.h"
#include "TGLView.h"
#include "TIPLFile.h"

#include <QLineEdit>
#include <QTimer>

void TFormEditorItem::MoveButtonDown(int mode, float step)
{
    MoveMode = static_cast<int16_t>(mode);
    MoveStep = step;
    MoveTimer->start();
    // A click moves exactly one step.
    MoveTimerTimer();
}

void TFormEditorItem::MoveButtonUp()
{
    MoveTimer->stop();
    // A held button is one step.
    MoveFinished();
}

void TFormEditorItem::MoveTimerTimer()
{
    const bool oneInstance = HasSelection() && SelKind() == FileKind::IPL && SelSection() == SectionCode::Inst;
    const bool severalInstances = HasSelection() && SelKind() == FileKind::IPL && SelSection() == SectionCode::SeveralInst;
    TGTASInstObj* inst = oneInstance ? SelectedInst() : nullptr;
    switch (MoveMode) {
    case 1:
    case 2:
    case 3: {
        if (!inst) {
            MoveTimer->stop();
            break;
        }
        float TGTASInstObj::*const axes[] = {&TGTASInstObj::PosX, &TGTASInstObj::PosY, &TGTASInstObj::PosZ};
        float& coordinate = inst->*axes[MoveMode - 1];
        const SnapSettings& snap = snapSettings();
        coordinate = snap.Enabled ? nudgeOnGrid(coordinate, MoveStep, snap.GridStep) : coordinate + MoveStep;
        m_stepText = QStringLiteral("Move Instance");
        m_stepMerge = MapDocument::Merge::Move;
        paneliplinst->showPosition();
        RefreshRecord(RecordRefresh::Edit);
        break;
    }
    case 4:
    case 5:
    case 6: {
        if (!inst) {
            MoveTimer->stop();
            break;
        }
        const SnapSettings& snap = snapSettings();
        const float degrees = snap.Enabled ? snapTurn(MoveStep, snap.AngleStep) : MoveStep;
        const float angle = static_cast<float>(degrees * Pi / 180);
        const TQuaternion step = MoveMode == 4 ? QuatRotationX(angle)
            : MoveMode == 5                    ? QuatRotationY(angle)
                                               : QuatRotationZ(angle);
        // The step is the left factor: the instance turns about the world's axis.
        const TQuaternion turned = QuatMultiply(step, TQuaternion{inst->RotX, inst->RotY, inst->RotZ, inst->RotW});
        inst->RotX = turned.x;
        inst->RotY = turned.y;
        inst->RotZ = turned.z;
        inst->RotW = turned.w;
        m_stepText = QStringLiteral("Rotate Instance");
        m_stepMerge = MapDocument::Merge::Move;
        paneliplinst->showRotation();
        RefreshRecord(RecordRefresh::Edit);
        break;
    }
    case 7:
    case 8:
    case 9: {
        if (!severalInstances) {
            MoveTimer->stop();
            break;
        }
        std::array<float, 3> offset{0, 0, 0};
        const auto axis = static_cast<std::size_t>(MoveMode - 7);
        offset[axis] = MoveStep;
        if (const SnapSettings& snap = snapSettings(); snap.Enabled) {
            const float centre = GetSelectionCentre()[axis];
            offset[axis] = nudgeOnGrid(centre, MoveStep, snap.GridStep) - centre;
        }
        MoveSelection(offset[0], offset[1], offset[2]);
        break;
    }
    default:
        MoveTimer->stop();
        break;
    }
    if (!MoveTimer->isActive())
        MoveMode = 0;
}

void TFormEditorItem::MultInstOffsetEnter(QLineEdit* box)
{
    if (!EditsEnabled)
        return;
    SeveralInstancePanel& panel = *paneliplmultinst;
    MoveSelection(floatFromBox(panel.EditIPLMultInstPosX->text(), 0), floatFromBox(panel.EditIPLMultInstPosY->text(), 0),
                  floatFromBox(panel.EditIPLMultInstPosZ->text(), 0));
    box->setText("0");
}
