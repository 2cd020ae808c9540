#include "gui/windowplacement.h"

#include "core/app/centring.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

void centre(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        window->move(Centring::centredTopLeft(screen->availableGeometry(), window->frameGeometry().size()));
}

} // namespace

void SubFrmCntr(QWidget *window)
{
    // The frame is known once the window exists on the screen; on some
    // systems only once it is shown. Centre by what is known, show, and centre
    // again if the frame turned out larger.
    window->winId();
    centre(window);
    const QSize before = window->frameGeometry().size();
    window->show();
    if (window->frameGeometry().size() != before)
        centre(window);
}
