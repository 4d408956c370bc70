#include "TFormLoading.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace {

QPointer<TFormLoading>& theLoadingWindow()
{
    static QPointer<TFormLoading> window;
    return window;
}

QString labelText(std::string_view text)
{
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
    return shown;
}

QProgressBar* newBar(const QString& name, QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

void stepBar(QProgressBar* bar)
{
    bar->setValue(std::min(bar->value() + 1, bar->maximum()));
}

} // namespace

TFormLoading::TFormLoading(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TFormLoading"));
    setWindowTitle(QStringLiteral("Loading"));

    LblCurrent = new QLabel(this);
    LblCurrent->setObjectName(QStringLiteral("LblCurrent"));
    LblCurrent->setTextFormat(Qt::PlainText);
    LoadingProgress = newBar(QStringLiteral("LoadingProgress"), this);
    LblPart = new QLabel(this);
    LblPart->setObjectName(QStringLiteral("LblPart"));
    LblPart->setTextFormat(Qt::PlainText);
    PartProgress = newBar(QStringLiteral("PartProgress"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblCurrent);
    layout->addWidget(LoadingProgress);
    layout->addSpacing(6);
    layout->addWidget(LblPart);
    layout->addWidget(PartProgress);
    setFixedWidth(380);
    adjustSize();
}

void TFormLoading::showEvent(QShowEvent* event)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QWidget::showEvent(event);
}

void TFormLoading::SetProcessEvents(bool on)
{
    m_processEvents = on;
}

void TFormLoading::showChange(std::initializer_list<QWidget*> changed, ChangeKind kind)
{
    constexpr qint64 PartInterval = 30;
    if (kind == ChangeKind::Part && m_sinceShown.isValid() && m_sinceShown.elapsed() < PartInterval)
        return;
    m_sinceShown.start();
    if (m_processEvents) {
        QCoreApplication::processEvents();
        return;
    }
    for (QWidget* widget : changed) {
        if (widget->isVisible())
            widget->repaint();
    }
}

void TFormLoading::SetOverallMax(int n)
{
    LoadingProgress->setMaximum(n);
    showChange({LoadingProgress});
}

void TFormLoading::SetPartMax(int n)
{
    PartProgress->setMaximum(n);
    showChange({PartProgress}, ChangeKind::Part);
}

void TFormLoading::StepOverall()
{
    stepBar(LoadingProgress);
    PartProgress->setValue(0);
    showChange({LoadingProgress, PartProgress});
}

void TFormLoading::StepPart()
{
    stepBar(PartProgress);
    showChange({PartProgress}, ChangeKind::Part);
}

void TFormLoading::SetCurrentText(std::string_view text)
{
    LblCurrent->setText(labelText(text));
    showChange({LblCurrent});
}

void TFormLoading::SetPartText(std::string_view text)
{
    LblPart->setText(labelText(text));
    showChange({LblPart}, ChangeKind::Part);
}

void TFormLoading::ResetPart()
{
    PartProgress->setValue(0);
    LblPart->clear();
    showChange({PartProgress, LblPart});
}

void TFormLoading::ResetOverall()
{
    LoadingProgress->setValue(0);
    LblCurrent->clear();
    showChange({LoadingProgress, LblCurrent});
}

TFormLoading* loadingWindow()
{
    return theLoadingWindow().data();
}

void setLoadingWindow(TFormLoading* window)
{
    theLoadingWindow() = window;
}
