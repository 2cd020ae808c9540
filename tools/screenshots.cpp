// Renders the splash and every tab of the main window to PNG files, for the
// README. Run with QT_QPA_PLATFORM=offscreen; the first argument is the folder.
#include "gui/loader.h"
#include "gui/mainwindow.h"
#include "core/version.h"

#include <QApplication>
#include <QDir>
#include <QTabBar>
#include <QTabWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(Version::buildVersion());
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(folder.path());

    Loader loader({});
    loader.show();
    QApplication::processEvents();
    loader.grab().save(folder.filePath(QStringLiteral("splash.png")));
    loader.hide();

    Qwr window;
    window.Form_Load();
    for (int i = 0; i < window.Tab1->count(); ++i) {
        window.Tab1->setCurrentIndex(i);
        QApplication::processEvents();
        const QString name = window.Tab1->tabText(i).toLower();
        window.grab().save(folder.filePath(QStringLiteral("tab-%1.png").arg(name)));
    }
    return 0;
}
