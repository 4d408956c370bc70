#include "Twnd_setup.h"

#include "ColourBox.h"
#include "DialogService.h"
#include "DrawSettings.h"
#include "NumberText.h"
#include "UpDownControl.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

QLineEdit* newEdit(const QString& name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFixedWidth(70);
    return edit;
}

// An edit box with its arrows on the right, as one row of a form.
QWidget* editWithArrows(QLineEdit* edit, UpDownControl* arrows, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(edit);
    layout->addWidget(arrows);
    layout->addStretch(1);
    return row;
}

int wholeNumber(float value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

Twnd_setup::Twnd_setup(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("wnd_setup"));
    setWindowTitle(QStringLiteral("Settings"));

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->addTab(radarPage(), QStringLiteral("Radar Calibration"));
    PageControl->addTab(pathsPage(), QStringLiteral("Paths"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    resize(360, 250);

    connect(UpDown1, &UpDownControl::clicked, this, &Twnd_setup::UpDown1Click);
    connect(UpDown2, &UpDownControl::clicked, this, &Twnd_setup::UpDown2Click);
    connect(UpDown3, &UpDownControl::clicked, this, &Twnd_setup::UpDown3Click);
    for (ColourBox* box : {BoxColour, ColorBox1, ColorBox2})
        connect(box, &QComboBox::currentIndexChanged, this, &Twnd_setup::BoxColourChange);
    connect(Edit4, &QLineEdit::textChanged, this, &Twnd_setup::Edit4Change);
}

QWidget* Twnd_setup::radarPage()
{
    const DrawSettings& settings = drawSettings();
    auto* page = new QWidget;
    auto* explanation = new QLabel(
        QStringLiteral("As the radar background pictures seem to be stretched a bit over the whole game area you can "
                       "edit the fix-up numbers here to do fine-calibration of the radar."),
        page);
    explanation->setWordWrap(true);

    Edit1 = newEdit(QStringLiteral("Edit1"), page);
    UpDown1 = new UpDownControl(0, 1000, wholeNumber(settings.RadarTileSizeX), Edit1, page);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    Edit2 = newEdit(QStringLiteral("Edit2"), page);
    UpDown2 = new UpDownControl(0, 1000, wholeNumber(settings.RadarTileSizeY), Edit2, page);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Radar pic size X"), editWithArrows(Edit1, UpDown1, page));
    form->addRow(QStringLiteral("Radar pic size Y"), editWithArrows(Edit2, UpDown2, page));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(explanation);
    layout->addLayout(form);
    layout->addStretch(1);
    return page;
}

QWidget* Twnd_setup::pathsPage()
{
    const DrawSettings& settings = drawSettings();
    auto* page = new QWidget;
    Edit3 = newEdit(QStringLiteral("Edit3"), page);
    UpDown3 = new UpDownControl(0, 100, wholeNumber(settings.PathLineWidth), Edit3, page);
    UpDown3->setObjectName(QStringLiteral("UpDown3"));

    BoxColour = new ColourBox(page);
    BoxColour->setObjectName(QStringLiteral("BoxColour"));
    BoxColour->setSelectedColour(settings.PeoplePathColour);
    ColorBox1 = new ColourBox(page);
    ColorBox1->setObjectName(QStringLiteral("ColorBox1"));
    ColorBox1->setSelectedColour(settings.CarPathColour);
    ColorBox2 = new ColourBox(page);
    ColorBox2->setObjectName(QStringLiteral("ColorBox2"));
    ColorBox2->setSelectedColour(settings.BoatPathColour);

    Edit4 = newEdit(QStringLiteral("Edit4"), page);
    Edit4->setText(QString::fromStdString(shortFloatText(settings.PathCoordinateScale)));

    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("Path Line Width"), editWithArrows(Edit3, UpDown3, page));
    form->addRow(QStringLiteral("People"), BoxColour);
    form->addRow(QStringLiteral("Cars"), ColorBox1);
    form->addRow(QStringLiteral("Boats"), ColorBox2);
    form->addRow(QStringLiteral("Multiply by to get real coords"), Edit4);
    return page;
}

void Twnd_setup::UpDown1Click(int position)
{
    drawSettings().RadarTileSizeX = static_cast<float>(position);
}

void Twnd_setup::UpDown2Click(int position)
{
    drawSettings().RadarTileSizeY = static_cast<float>(position);
}

void Twnd_setup::UpDown3Click(int position)
{
    drawSettings().PathLineWidth = static_cast<float>(position);
}

void Twnd_setup::BoxColourChange()
{
    DrawSettings& settings = drawSettings();
    settings.PeoplePathColour = BoxColour->selectedColour();
    settings.CarPathColour = ColorBox1->selectedColour();
    settings.BoatPathColour = ColorBox2->selectedColour();
}

void Twnd_setup::Edit4Change()
{
    const QString text = Edit4->text();
    const QByteArray number = text.trimmed().toUtf8();
    if (const auto scale = strictFloat(std::string_view(number.constData(), static_cast<size_t>(number.size())))) {
        drawSettings().PathCoordinateScale = *scale;
        return;
    }
    dialogs().showMessage(MessageKind::Error, QString(),
                          QStringLiteral("'%1' is not a valid floating point value").arg(text));
}
