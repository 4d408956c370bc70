// Instance moving: the nudge buttons of the instance panels run `MoveTimer`, each tick
// moving or turning the selected instance, or moving every instance of the several-instance
// selection, by one step; Enter in a move-by box moves the several instances by its offset.
#include "TFormEditorItem.h"

#include "FieldText.h"
#include "InstancePanel.h"
#include "Quaternion.h"
#include "SeveralInstancePanel.h"
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
        inst->*axes[MoveMode - 1] += MoveStep;
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
        const float angle = static_cast<float>(MoveStep * Pi / 180);
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
    case 9:
        if (!severalInstances) {
            MoveTimer->stop();
            break;
        }
        MoveSelection(MoveMode == 7 ? MoveStep : 0, MoveMode == 8 ? MoveStep : 0, MoveMode == 9 ? MoveStep : 0);
        break;
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
