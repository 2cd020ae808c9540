// Renders the splash and every tab of the main window to PNG files, for the
// README. Run with QT_QPA_PLATFORM=offscreen; the first argument is the folder.
#include "gui/loader.h"
#include "gui/mainwindow.h"
#include "gui/mission/missionpanel.h"
#include "gui/translation/translationwindow.h"
#include "core/app/version.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

// A small mission in English and Polish (Windows-1250), with a fault or two for the check.
void writeMission(const QDir &root)
{
    const QList<std::pair<const char *, QByteArray>> files = {
        {"books/english/Diary.str", "// Book Location - Tower\r\nPage_0:\"It was dark when the door opened.\"\r\n"
                                    "Page_1:\"The door was locked.\"\r\nPage_3:\"%d coins\"\r\n"},
        {"books/polish/Diary.str", "Page_0:\"By\xB3o ciemno, gdy drzwi si\xEA otworzy\xB3y.\"\r\n"},
        {"books/english/Letter.str", "Page_0:\"Meet me at the door\" at dawn\r\n"},
        {"intrface/english/newgame.str", "difficulty:\"Level\"\r\nskip_training:\"The Door\"\r\n"
                                         "diff_0:\"Easy\"\r\ndiff_1:\"Fair\"\r\ndiff_2:\"Hard\"\r\n"},
        {"intrface/miss20/english/goals.str", "fiction_0:\"Open the door\"\r\ntext_0:\"Quietly\"\r\n"},
        {"strings/missflag.str", "miss_19:\"skip\"\r\nmiss_20:\"no_briefing,no_loadout\"\r\n"},
        {"strings/english/titles.str", "title_20:\"The Door\"\r\nshort_20:\"door\"\r\n"},
        {"strings/english/objnames.str", "obj_door:\"Door\"\r\nobj_key:\"Key\"\r\n"},
    };
    for (const auto &[name, bytes] : files) {
        const QString path = root.filePath(QString::fromLatin1(name));
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
}

void waitFor(const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

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

    // The mission folder: its tree, a find and the check.
    QTemporaryDir mission;
    writeMission(QDir(mission.path()));
    window.openFolder(mission.path());
    waitFor([&] { return window.missionPanel && !window.missionPanel->isReading(); });
    window.missionPanel->missionTree->expandAll();
    window.missionPanel->findText->setText(QStringLiteral("door"));
    window.missionPanel->findButton->click();
    QApplication::processEvents();
    window.grab().save(folder.filePath(QStringLiteral("mission-find.png")));
    window.missionPanel->checkButton->click();
    QApplication::processEvents();
    window.grab().save(folder.filePath(QStringLiteral("mission-check.png")));

    // The translation window, English into Polish, with a search of the whole mission.
    window.translateMission(QStringLiteral("english"), QStringLiteral("polish"));
    waitFor([&] { return window.translation && window.translation->isVisible(); });
    window.translation->resize(1100, 560);
    window.translation->translationSearch->setText(QStringLiteral("door"));
    waitFor([&] { return window.translation->searchResults->isVisible(); });
    window.translation->translationTable->resizeRowsToContents();
    QApplication::processEvents();
    window.translation->grab().save(folder.filePath(QStringLiteral("translation.png")));
    return 0;
}
