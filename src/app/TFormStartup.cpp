#include "TFormStartup.h"

#include "DialogService.h"
#include "GameList.h"
#include "GamePaths.h"
#include "HelpWindow.h"
#include "Log.h"
#include "ProgramSettings.h"
#include "TDirDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHideEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace {

constexpr qreal CornerRadius = 12;

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// What a row shows: the entry's description, empty when the line has none.
QString descriptionOf(const std::string& line)
{
    const std::vector<std::string> fields = splitCommaText(line);
    return fields.size() >= 2 ? fromStd(fields[1]) : QString();
}

QPainterPath outline(const QRect& rect)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), CornerRadius, CornerRadius);
    return path;
}

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

QString memoryEstimateText(bool viceCity, bool models, bool textures)
{
    const int low = viceCity ? 30 : 60;
    int high = models ? (viceCity ? 180 : 210) : low;
    if (textures)
        high += viceCity ? 200 : 150;
    if (high == low)
        return QStringLiteral("%1 Mb").arg(low);
    return QStringLiteral("%1 - %2 Mb").arg(low).arg(high);
}

std::string gameDirectoryOf(std::string_view field)
{
    std::string dir(field);
#ifndef Q_OS_WIN
    // Entries written on Windows end in a backslash, which is no separator here.
    if (!dir.empty() && dir.back() == '\\')
        dir.pop_back();
#endif
    return withTrailingSeparator(std::move(dir));
}

TFormStartup::TFormStartup(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormStartup"));
    setWindowTitle(QStringLiteral("Quox Mapper"));

    auto* title = new QLabel(QStringLiteral("Quox Mapper"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    box_games = named(new QListWidget(this), "box_games");
    box_games->setSelectionMode(QAbstractItemView::SingleSelection);
    gamename = named(new QLineEdit(this), "gamename");

    ModelGroup = named(new QGroupBox(QStringLiteral("Level Of Detail"), this), "ModelGroup");
    ModelGroupCubes = named(new QRadioButton(QStringLiteral("Cubes"), ModelGroup), "ModelGroupCubes");
    ModelGroupModels = named(new QRadioButton(QStringLiteral("Models"), ModelGroup), "ModelGroupModels");
    ModelGroupModels->setChecked(true);
    auto* modelLayout = new QVBoxLayout(ModelGroup);
    modelLayout->addWidget(ModelGroupCubes);
    modelLayout->addWidget(ModelGroupModels);

    box_txd = named(new QCheckBox(QStringLiteral("Load Textures"), this), "box_txd");
    box_txd->setChecked(true);
    MemoryLabel = named(new QLabel(QStringLiteral("Approx Mem Usage:"), this), "MemoryLabel");
    MemoryValue = named(new QLabel(this), "MemoryValue");

    BitBtn1 = named(new QPushButton(QStringLiteral("&Add Game..."), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("&Remove Game"), this), "BitBtn2");
    LaunchButton = named(new QPushButton(QStringLiteral("&Launch"), this), "LaunchButton");
    LaunchButton->setDefault(true);
    ExitButton = named(new QPushButton(QStringLiteral("E&xit"), this), "ExitButton");

    auto* options = new QVBoxLayout;
    options->addWidget(ModelGroup);
    options->addWidget(box_txd);
    options->addSpacing(8);
    options->addWidget(MemoryLabel);
    options->addWidget(MemoryValue);
    options->addStretch(1);

    auto* games = new QVBoxLayout;
    games->addWidget(box_games, 1);
    games->addWidget(gamename);

    auto* middle = new QHBoxLayout;
    middle->addLayout(games, 1);
    middle->addLayout(options);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch(1);
    buttons->addWidget(LaunchButton);
    buttons->addWidget(ExitButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(title);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(520, 340);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(box_games, &QListWidget::currentRowChanged, this, &TFormStartup::box_gamesClick);
    connect(ModelGroupCubes, &QRadioButton::clicked, this, &TFormStartup::ModelGroupClick);
    connect(ModelGroupModels, &QRadioButton::clicked, this, &TFormStartup::ModelGroupClick);
    connect(box_txd, &QCheckBox::clicked, this, &TFormStartup::box_txdClick);
    connect(gamename, &QLineEdit::textChanged, this, &TFormStartup::gamenameChange);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormStartup::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormStartup::BitBtn2Click);
    connect(LaunchButton, &QPushButton::clicked, this, &TFormStartup::LaunchButtonClick);
    connect(ExitButton, &QPushButton::clicked, this, &TFormStartup::ExitButtonClick);

    programSettings().LaunchRequested = true;
    ApplySelection();
}

void TFormStartup::addRow(const std::string& line)
{
    m_lines.push_back(line);
    box_games->addItem(descriptionOf(line));
}

void TFormStartup::selectRow(int row)
{
    const QSignalBlocker blocker(box_games);
    box_games->setCurrentRow(row);
}

bool TFormStartup::ApplySelection()
{
    ProgramSettings& settings = programSettings();
    bool applied = true;
    const int row = box_games->currentRow();
    if (row < 0) {
        if (!m_lines.empty())
            selectRow(0);
    } else {
        const std::vector<std::string> fields = splitCommaText(m_lines[static_cast<size_t>(row)]);
        if (fields.size() < 2) {
            applied = false;
        } else {
            settings.GameDir = gameDirectoryOf(fields[0]);
            settings.GameDescription = fields[1];
            {
                const QSignalBlocker blocker(gamename);
                gamename->setText(fromStd(fields[1]));
            }
            std::error_code error;
            settings.IsViceCity = std::filesystem::exists(resolveGamePath(settings.GameDir, "gta-vc.exe"), error);
        }
    }
    // The options count even without a game: launched with an empty list, the load sequence
    // still draws what the window shows.
    settings.LoadModels = ModelGroupModels->isChecked();
    settings.LoadTextures = box_txd->isChecked();
    settings.SkipTextures = !settings.LoadTextures;
    MemoryValue->setText(memoryEstimateText(settings.IsViceCity, settings.LoadModels, settings.LoadTextures));
    return applied;
}

void TFormStartup::FormShow()
{
    m_lines.clear();
    {
        const QSignalBlocker blocker(box_games);
        box_games->clear();
    }
    for (const std::string& line : loadGameList(gameListPath().toStdString()))
        addRow(line);
    if (m_lines.empty())
        return;
    selectRow(0);
    if (!ApplySelection())
        dialogs().showMessage(MessageKind::Plain, QString(), QStringLiteral("NO GAMES FOUND, ADD THEM MANUALLY!"));
}

void TFormStartup::FormHide()
{
    const QString path = gameListPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (const int error = writeGameList(path.toStdString(), m_lines))
        logLine("The game list was not saved to " + path.toStdString() + ": " +
                std::generic_category().message(error));
}

void TFormStartup::box_gamesClick()
{
    ApplySelection();
}

void TFormStartup::ModelGroupClick()
{
    ApplySelection();
}

void TFormStartup::box_txdClick()
{
    ApplySelection();
}

void TFormStartup::gamenameChange()
{
    const int row = box_games->currentRow();
    if (row < 0)
        return;
    std::string& line = m_lines[static_cast<size_t>(row)];
    std::vector<std::string> fields = splitCommaText(line);
    // A line without a description gets one rather than failing.
    if (fields.size() < 2)
        fields.resize(2);
    fields[1] = gamename->text().toStdString();
    line = commaText(fields);
    box_games->item(row)->setText(descriptionOf(line));
}

void TFormStartup::BitBtn1Click()
{
    ProgramSettings& settings = programSettings();
    settings.AddingGame = true;
    TDirDialog picker;
    picker.Title = QStringLiteral("Please Select GTA Vice City Directory:");
    if (!picker.Execute()) {
        settings.AddingGame = false;
        return;
    }
    const auto description = dialogs().inputText(QStringLiteral("Game description"),
                                                 QStringLiteral("Enter this game / mod description"), QString());
    if (!description) {
        // Nothing was added: a later folder picker must ask for the current game again.
        settings.AddingGame = false;
        return;
    }
    addRow(commaText({gameDirectoryOf(picker.DirName.toStdString()), description->toStdString()}));
    selectRow(static_cast<int>(m_lines.size()) - 1);
    ApplySelection();
}

void TFormStartup::BitBtn2Click()
{
    const int row = box_games->currentRow();
    if (row < 0)
        return;
    m_lines.erase(m_lines.begin() + row);
    const QSignalBlocker blocker(box_games);
    delete box_games->takeItem(row);
    box_games->setCurrentRow(-1);
}

void TFormStartup::LaunchButtonClick()
{
    hide();
}

void TFormStartup::ExitButtonClick()
{
    programSettings().LaunchRequested = false;
    hide();
}

void TFormStartup::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormStartup::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    FormHide();
    emit finished();
}

void TFormStartup::closeEvent(QCloseEvent* event)
{
    // Closing is leaving without a game; the window itself stays until the program entry ends it.
    event->ignore();
    ExitButtonClick();
}

void TFormStartup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        LaunchButton->click();
        return;
    case Qt::Key_Escape:
        ExitButton->click();
        return;
    case Qt::Key_F1:
        showProgramHelp();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TFormStartup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(palette().window());
    painter.drawPath(outline(rect()));
}

void TFormStartup::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    setMask(QRegion(outline(rect()).toFillPolygon().toPolygon()));
}

bool runStartupWindow()
{
    TFormStartup form;
    QEventLoop loop;
    QObject::connect(&form, &TFormStartup::finished, &loop, &QEventLoop::quit);
    form.show();
    if (form.isVisible())
        loop.exec();
    return programSettings().LaunchRequested;
}
