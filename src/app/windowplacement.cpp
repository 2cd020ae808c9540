#include "app/windowplacement.h"

#include "app/centring.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void SubFrmCntr(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        const QSize outer = window->frameGeometry().size();
        const int left = Centring::centredEdge(static_cast<float>(area.width()), static_cast<float>(outer.width()));
        const int top = Centring::centredEdge(static_cast<float>(area.height()), static_cast<float>(outer.height()));
        window->move(area.x() + left, area.y() + top);
    }
    window->show();
}
