#include "gui/loader.h"
#include "gui/mainwindow.h"
#include "core/version.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillwright"));
    QApplication::setApplicationVersion(Version::buildVersion());
    QApplication::setDesktopFileName(QStringLiteral("quillwright"));

    std::unique_ptr<Qwr> window;
    Loader loader([&window] {
        window = std::make_unique<Qwr>();
        window->Form_Load();
    });
    loader.Form_Load();
    return QApplication::exec();
}
