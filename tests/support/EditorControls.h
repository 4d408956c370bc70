#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

// Finding a window's controls by their object names and driving them as a user does.

template <typename Widget = QLineEdit>
Widget* namedControl(const QWidget& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Selects the box's text and types over it, one key at a time.
inline void retypeBox(QLineEdit* box, const QString& text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
}

// A click near the left edge: a radio button's or check box's click area ends with its caption.
inline void clickAtLeft(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
}
