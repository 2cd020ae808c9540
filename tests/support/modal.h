#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `handle` on the next modal window the program opens (a message box, the
// save dialog), from inside its event loop. Arm it before the click that opens
// the window; `handle` may arm the next one.
inline void onNextModal(std::function<void(QWidget *)> handle, int triesLeft = 200)
{
    QTimer::singleShot(triesLeft == 200 ? 0 : 10, qApp, [handle, triesLeft] {
        if (QWidget *modal = QApplication::activeModalWidget())
            handle(modal);
        else if (triesLeft > 0)
            onNextModal(handle, triesLeft - 1);
    });
}
