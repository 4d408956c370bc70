#include "UpDownControl.h"

#include "NumberText.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QToolButton* newArrow(Qt::ArrowType arrow, const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 12);
    return button;
}

} // namespace

UpDownControl::UpDownControl(int minimum, int maximum, int position, QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), m_minimum(minimum), m_maximum(maximum), m_position(std::clamp(position, minimum, maximum)),
      m_buddy(buddy)
{
    m_up = newArrow(Qt::UpArrow, QStringLiteral("up"), this);
    m_down = newArrow(Qt::DownArrow, QStringLiteral("down"), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    if (m_buddy)
        m_buddy->setText(QString::number(m_position));
}

void UpDownControl::step(int delta)
{
    if (m_buddy) {
        const QByteArray typed = m_buddy->text().trimmed().toLatin1();
        if (const auto number = strictInt(std::string_view(typed.constData(), static_cast<size_t>(typed.size()))))
            m_position = std::clamp(*number, m_minimum, m_maximum);
    }
    m_position = std::clamp(m_position + delta, m_minimum, m_maximum);
    if (m_buddy)
        m_buddy->setText(QString::number(m_position));
    emit clicked(m_position);
}
