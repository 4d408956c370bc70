#include "SeveralInstancePanel.h"

#include "TFormEditorItem.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(EditIPLMultInstList);
    layout->addWidget(EditIPLMultInstItemCount);
    layout->addWidget(EditIPLMultInstItemCenter);
    for (auto [box, name] : {std::pair{&EditIPLMultInstPosX, "EditIPLMultInstPosX"},
                             std::pair{&EditIPLMultInstPosY, "EditIPLMultInstPosY"},
                             std::pair{&EditIPLMultInstPosZ, "EditIPLMultInstPosZ"}}) {
        QLineEdit* edit = *box = new QLineEdit("0");
        edit->setObjectName(name);
        connect(edit, &QLineEdit::returnPressed, this, [this, edit] { m_editor.MultInstOffsetEnter(edit); });
        layout->addWidget(edit);
    }
}

void SeveralInstancePanel::load()
{
    EditIPLMultInstPosX->setText("0");
    EditIPLMultInstPosY->setText("0");
    EditIPLMultInstPosZ->setText("0");
}
