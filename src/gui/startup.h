#pragma once

#include "gui/loader.h"
#include "gui/mainwindow.h"

#include <QStringList>

#include <memory>

// The program's start: the splash, and after its second the main window,
// which then opens the files named on the command line.
class Startup
{
public:
    explicit Startup(const QStringList &files);

    // Shows the splash; the rest follows from its timer.
    void start() { loader.Form_Load(); }

    Loader loader;
    std::unique_ptr<Qwr> window;   // once the splash has opened it
};
