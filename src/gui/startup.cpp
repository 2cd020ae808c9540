#include "gui/startup.h"

Startup::Startup(const QStringList &files)
    : loader([this, files] {
        window = std::make_unique<Qwr>();
        window->Form_Load();
        for (const QString &file : files)
            window->openFile(file);
    })
{
}
