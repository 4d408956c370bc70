#include "SeveralInstancePanel.h"

#include "InstancePanel.h"
#include "TFormEditorItem.h"
#include "TGLView.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

SeveralInstancePanel::SeveralInstancePanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplmultinst")
{
    EditIPLMultInstList = new QListWidget;
    EditIPLMultInstList->setObjectName("EditIPLMultInstList");
    EditIPLMultInstItemCount = new QLabel;
    EditIPLMultInstItemCount->setObjectName("EditIPLMultInstItemCount");
    EditIPLMultInstItemCenter = new QLabel;
    EditIPLMultInstItemCenter->setObjectName("EditIPLMultInstItemCenter");
    EditIPLMultInstPosCenter = new QPushButton("Center On Objects");
    EditIPLMultInstPosCenter->setObjectName("EditIPLMultInstPosCenter");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(EditIPLMultInstList, 1);
    auto* summary = new QGridLayout;
    summary->addWidget(new QLabel("Count:"), 0, 0);
    summary->addWidget(EditIPLMultInstItemCount, 0, 1);
    summary->addWidget(new QLabel("Centre:"), 1, 0);
    summary->addWidget(EditIPLMultInstItemCenter, 1, 1);
    summary->setColumnStretch(1, 1);
    layout->addLayout(summary);

    auto* move = new QGroupBox("Move By");
    auto* grid = new QGridLayout(move);
    const char axes[] = {'X', 'Y', 'Z'};
    const std::pair<QLineEdit**, const char*> boxes[] = {{&EditIPLMultInstPosX, "EditIPLMultInstPosX"},
                                                         {&EditIPLMultInstPosY, "EditIPLMultInstPosY"},
                                                         {&EditIPLMultInstPosZ, "EditIPLMultInstPosZ"}};
    for (int axis = 0; axis < 3; ++axis) {
        QLineEdit* edit = *boxes[axis].first = new QLineEdit("0");
        edit->setObjectName(boxes[axis].second);
        connect(edit, &QLineEdit::returnPressed, this, [this, edit] { m_editor.MultInstOffsetEnter(edit); });
        PosButtons[axis] = makeNudgeButtons(editor, "EditIPLMultInstPos", axes[axis], 7 + axis);
        grid->addWidget(new QLabel(QString(QChar(axes[axis])) + ":"), axis, 0);
        grid->addWidget(edit, axis, 1);
        for (int i = 0; i < 4; ++i)
            grid->addWidget(PosButtons[axis][i], axis, 2 + i);
    }
    layout->addWidget(move);
    layout->addWidget(EditIPLMultInstPosCenter);
    connect(EditIPLMultInstPosCenter, &QPushButton::clicked, this, &SeveralInstancePanel::EditIPLMultInstPosCenterClick);
}

void SeveralInstancePanel::load()
{
    EditIPLMultInstPosX->setText("0");
    EditIPLMultInstPosY->setText("0");
    EditIPLMultInstPosZ->setText("0");
}

void SeveralInstancePanel::EditIPLMultInstPosCenterClick()
{
    if (TGLView* view = m_editor.View()) {
        const std::array<float, 3> centre = m_editor.GetSelectionCentre();
        view->CentreOn(centre[0], centre[1], centre[2]);
    }
}
