#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `act` on the next modal dialog once it is open, from inside its event loop, so a
// test can drive a real dialog that blocks the code under test. Gives up after five
// seconds; `act` then never runs and the dialog stays for the test's own timeout to end.
inline void whenModalOpens(std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && clock->elapsed() < 5000)
            return;
        poll->stop();
        poll->deleteLater();
        delete clock;
        if (modal)
            act(modal);
    });
    poll->start(10);
}
