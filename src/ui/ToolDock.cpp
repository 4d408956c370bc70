#include "ToolDock.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QLayout>

ToolDock::ToolDock(QWidget* window, const QString& name, DockPlace place,
                   std::function<QPoint(DockPlace, QSize)> placeFirst, QWidget* parent)
    : QDockWidget(window->windowTitle(), parent), m_place(place), m_placeFirst(std::move(placeFirst))
{
    setObjectName(name);
    // A window made as a top-level tool window becomes a plain child of the dock.
    window->setWindowFlags(Qt::Widget);
    setWidget(window);
    // Hidden on purpose, so that it shows only with its dock and its own show() is seen.
    window->hide();
    window->installEventFilter(this);
    hide();
}


void ToolDock::setActionCaption(const QString& caption)
{
    m_caption = caption;
    toggleViewAction()->setText(caption);
}

bool ToolDock::event(QEvent* event)
{
    const bool result = QDockWidget::event(event);
    // The dock names its action after its title; the menus keep the window's caption.
    if (event->type() == QEvent::WindowTitleChange && !m_caption.isEmpty())
        toggleViewAction()->setText(m_caption);
    return result;
}

bool ToolDock::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget()) {
        switch (event->type()) {
        case QEvent::ShowToParent:
            // Shown by another window (a pick shows the item editor): the dock comes too.
            if (m_syncing)
                break;
            if (isHidden())
                show();
            bringToFront();
            break;
        case QEvent::ZOrderChange:
            // Raised by itself: its tab comes to the front, its floating dock to the top.
            if (!m_syncing && !isHidden())
                bringToFront();
            break;
        case QEvent::HideToParent:
            if (!m_syncing && !isHidden())
                hide();
            break;
        case QEvent::WindowTitleChange:
            setWindowTitle(widget()->windowTitle());
            break;
        default:
            break;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void ToolDock::bringToFront()
{
    // The main window shows a tab when its dock is raised to the top of its siblings; a
    // dock already on top (the last one docked) would not be raised again.
    lower();
    raise();
}

void ToolDock::hideEvent(QHideEvent* event)
{
    // Hidden by itself (not with the main window): its window goes too, so that the
    // window's own show() brings it back.
    if (isHidden() && widget() && !widget()->isHidden()) {
        m_syncing = true;
        widget()->hide();
        m_syncing = false;
    }
    QDockWidget::hideEvent(event);
}

void ToolDock::showEvent(QShowEvent* event)
{
    if (widget() && widget()->isHidden()) {
        m_syncing = true;
        widget()->show();
        m_syncing = false;
    }
    if (!m_placed && isFloating() && m_placeFirst) {
        // Sized for the window it now shows (it was hidden while the dock was made), so
        // that the corner it is placed by is its real corner.
        if (layout())
            layout()->activate();
        resize(size().expandedTo(sizeHint()));
        move(m_placeFirst(m_place, frameGeometry().size()));
    }
    m_placed = true;
    QDockWidget::showEvent(event);
}

void ToolDock::closeEvent(QCloseEvent* event)
{
    // The window decides: it may ask to save first, and refuse.
    if (QWidget* inside = widget()) {
        QCloseEvent asked;
        QCoreApplication::sendEvent(inside, &asked);
        if (!asked.isAccepted()) {
            event->ignore();
            return;
        }
        m_syncing = true;
        inside->hide();
        m_syncing = false;
    }
    QDockWidget::closeEvent(event);
}
