#include "TFormAbout.h"

#include "ProgramVersion.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString programVersionText()
{
    return QStringLiteral("Version ") + QString::fromLatin1(ProgramVersionText);
}

TFormAbout::TFormAbout(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About Quox Mapper"));

    ProgramName = new QLabel(QStringLiteral("Quox Mapper"), this);
    ProgramName->setObjectName(QStringLiteral("ProgramName"));
    QFont nameFont = ProgramName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.8);
    nameFont.setBold(true);
    ProgramName->setFont(nameFont);
    ProgramName->setAlignment(Qt::AlignCenter);

    Version = new QLabel(programVersionText(), this);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setAlignment(Qt::AlignCenter);

    Credits = new QLabel(this);
    Credits->setObjectName(QStringLiteral("Credits"));
    Credits->setTextFormat(Qt::PlainText);
    Credits->setAlignment(Qt::AlignCenter);
    Credits->setText(QStringLiteral("A map editor for GTA III and Vice City.\n\n"
                                    "Written by the Quox Mapper developers.\n\n"
                                    "Built with Qt %1, OpenGL (Mesa on Linux)\n"
                                    "and libsquish.")
                         .arg(QString::fromLatin1(qVersion())));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgramName);
    layout->addWidget(Version);
    layout->addSpacing(8);
    layout->addWidget(Credits);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
