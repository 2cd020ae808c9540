#include "gui/windowplacement.h"

#include "core/app/centring.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

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

void showDockWidened(QMainWindow &window, QDockWidget &panel)
{
    const bool widen = window.isVisible() && !panel.isVisible() && !panel.isFloating()
                       && !(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    const int before = window.width();
    const int panelWidth =
        panel.sizeHint().width() + window.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, &window);
    panel.show();
    if (!widen || !window.screen())
        return;
    window.layout()->activate();   // the window as its layout makes it with the panel
    const QRect available = window.screen()->availableGeometry();
    const QRect outer = window.frameGeometry();
    const QSize frame = outer.size() - window.size();
    const QSize fitting = (QSize(before + panelWidth, window.height()).boundedTo(available.size() - frame))
                              .expandedTo(window.minimumSize());
    window.resize(fitting);
    // An edge stays where it was unless the far edge would leave the screen.
    const auto within = [](int edge, int first, int last, int extent) {
        return std::clamp(edge, first, std::max(first, last + 1 - extent));
    };
    window.move(within(outer.left(), available.left(), available.right(), fitting.width() + frame.width()),
                within(outer.top(), available.top(), available.bottom(), fitting.height() + frame.height()));
}
