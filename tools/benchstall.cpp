// How long the window stops answering while a large mission is read,
// searched, replaced in and saved: 10,000 generated files (four languages of
// 2,490 books of 12 pages, a newgame.str and nine goals.str each) in a
// temporary folder, opened in the real window on the offscreen platform, then
// a second mission of 4,000 string tables holding 15,000 matches of one word,
// replaced in all of them and saved. A 5 ms timer on the GUI thread notes the
// longest gap between its ticks from the moment the work starts until 300 ms
// after it is done; each figure is printed beside its aim, with how much of
// that gap the GUI thread itself ran (on a loaded machine the rest is time
// other threads had the cores) and the longest single event handled. Linux
// (the thread's CPU clock). scripts/bench-stall.sh runs it.
#include "core/save/prompts.h"
#include "gui/mainwindow.h"
#include "gui/mission/missionpanel.h"
#include "gui/mission/missionreplace.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

class SilentPrompts : public Prompts
{
public:
    QString savePath(const QString &) override { return {}; }
    QString openPath(const QString &) override { return {}; }
    QString folderPath(const QString &) override { return {}; }
    Button show(const Message &message) override
    {
        return message.defaultButton != Button::None ? message.defaultButton : Button::Ok;
    }
};

const char *const Words[] = {"the", "door", "was", "locked", "and", "dark", "night", "came", "over", "tower",
                             "river", "key", "of", "old", "stone", "with", "lanterns", "guards", "slept", "north"};

QByteArray sentence(int seed, int words)
{
    QByteArray text;
    for (int i = 0; i < words; ++i) {
        text += Words[static_cast<unsigned>(seed * 7 + i * 13 + i * i) % std::size(Words)];
        text += i % 11 == 10 ? "\\n" : " ";
    }
    return text;
}

int generate(const QString &root)
{
    int files = 0;
    const auto add = [&](const QString &path, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(root + u'/' + path).path());
        QFile file(root + u'/' + path);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
            ++files;
    };
    for (const char *language : {"english", "german", "french", "polish"}) {
        const QString lang = QString::fromLatin1(language);
        for (int book = 0; book < 2490; ++book) {
            QByteArray bytes = "// Book Location - Library\r\n";
            for (int page = 0; page < 12; ++page)
                bytes += "Page_" + QByteArray::number(page) + ":\"" + sentence(book * 12 + page, 40) + "\"\r\n";
            add(u"books/%1/book%2.str"_qs.arg(lang).arg(book), bytes);
        }
        add(u"intrface/%1/newgame.str"_qs.arg(lang),
            "difficulty:\"Level\"\r\nskip_training:\"The Tower\"\r\ndiff_0:\"Easy\"\r\ndiff_1:\"Fair\"\r\ndiff_2:\"Hard\"\r\n");
        for (int mission = 1; mission <= 9; ++mission) {
            QByteArray bytes;
            for (int goal = 0; goal < 8; ++goal) {
                bytes += "fiction_" + QByteArray::number(goal) + ":\"" + sentence(goal, 20) + "\"\r\ntext_"
                    + QByteArray::number(goal) + ":\"" + sentence(goal + 5, 12) + "\"\r\n";
            }
            add(u"intrface/miss0%1/%2/goals.str"_qs.arg(mission).arg(lang), bytes);
        }
    }
    return files;
}

// A market's stalls and the weather over them: 4,000 string tables of six
// entries in four language folders, 15,000 of their texts' words "stall"
// (four in three files of four, three in the fourth).
int generateMarket(const QString &root)
{
    int files = 0;
    const char *const languages[] = {"english", "german", "french", "polish"};
    for (int i = 0; i < 4000; ++i) {
        const QByteArray stalls = i % 4 == 0 ? "Three stalls sell fish." : "The stall by the well sells fish.";
        const QByteArray bytes = "market_open: \"The stall opens at dawn when it is dry.\"\r\n"
                                 "market_rain: \"Rain drives the buyers from stall to stall.\"\r\n"
                                 "market_fish: \"" + stalls + "\"\r\n"
                                 "market_wind: \"Wind from the north, cold by evening.\"\r\n"
                                 "market_sun: \"Sun over the square until noon.\"\r\n"
                                 "market_close: \"The square empties at dusk.\"\r\n";
        const QString path = u"%1/strings/%2/market%3.str"_qs.arg(root, QLatin1String(languages[i % 4])).arg(i);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
            ++files;
    }
    return files;
}

// Notes the longest event handled on the GUI thread, to tell where a stall comes from.
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;
    double longestMs = 0;
    QString longest;
    bool notify(QObject *receiver, QEvent *event) override
    {
        if (QThread::currentThread() != thread())   // the window's own thread alone
            return QApplication::notify(receiver, event);
        if (m_depth++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --m_depth;
            return handled;
        }
        const QString what = QString::fromLatin1(receiver->metaObject()->className()) + u' ' + receiver->objectName()
            + QStringLiteral(" event ") + QString::number(int(event->type()));
        QElapsedTimer timer;
        timer.start();
        const bool handled = QApplication::notify(receiver, event);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (ms > longestMs) {
            longestMs = ms;
            longest = what;
        }
        --m_depth;
        return handled;
    }

private:
    int m_depth = 0;
};

// The longest gap between the ticks of a 5 ms timer on the GUI thread while
// `start` runs and the event loop goes on until `done` has held for 300 ms.
struct Stall {
    double longestMs = 0;
    double busyMs = 0;   // of the longest gap, how long the GUI thread ran (the rest: other threads had the cores)
    double totalMs = 0;
};

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}
Stall measure(const std::function<void()> &start, const std::function<bool()> &done)
{
    static_cast<TimedApplication *>(QCoreApplication::instance())->longestMs = 0;
    Stall stall;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(5);
    QElapsedTimer clock, since;
    qint64 last = 0, doneAt = -1;
    double lastCpu = threadCpuMs();
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        const double cpu = threadCpuMs();
        if (static_cast<double>(now - last) / 1e6 > stall.longestMs) {
            stall.longestMs = static_cast<double>(now - last) / 1e6;
            stall.busyMs = cpu - lastCpu;
        }
        last = now;
        lastCpu = cpu;
        if (doneAt < 0 && done())
            doneAt = now;
        if (doneAt >= 0 && now - doneAt > 300'000'000)
            loop.quit();
    });
    clock.start();
    tick.start();
    start();   // counted: the first gap includes what it does on the GUI thread
    loop.exec();
    stall.totalMs = static_cast<double>(doneAt) / 1e6;
    return stall;
}

void report(const char *what, const Stall &stall, double aim)
{
    const double value = stall.longestMs;
    std::printf("%-44s %8.1f ms  (aim: at most %g ms)%s\n", what, value, aim, value <= aim ? "" : "  MISSED");
    std::printf("    the GUI thread ran %.1f ms of it\n", stall.busyMs);
    auto *app = static_cast<TimedApplication *>(QCoreApplication::instance());
    std::printf("    the longest event handled: %.1f ms, %s\n", app->longestMs, qPrintable(app->longest));
    app->longestMs = 0;
}

} // namespace

int main(int argc, char *argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QStandardPaths::setTestModeEnabled(true);   // no settings of the author's touched
    TimedApplication app(argc, argv);
    QTemporaryDir dir;
    const int files = generate(dir.path());
    std::printf("%d files generated\n", files);

    SilentPrompts prompts;
    Qwr window(&prompts);
    window.setWindowTitle(QStringLiteral("Quillwright[*]"));
    window.resize(1000, 700);
    window.show();
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();

    const Stall read = measure([&] { window.openFolder(dir.path()); },
                               [&] { return window.missionPanel && !window.missionPanel->isReading(); });
    std::printf("read in %.0f ms: %s\n", read.totalMs, qPrintable(window.missionPanel->resultsLabel->text()));
    report("longest stall while the folder is read", read, 50);

    const Stall again = measure([&] { window.openFolder(dir.path()); }, [&] { return !window.missionPanel->isReading(); });
    std::printf("read again in %.0f ms\n", again.totalMs);
    report("longest stall while it is read again", again, 50);

    MissionPanel *panel = window.missionPanel;
    for (const QString &pattern : {QStringLiteral("lanterns"), QStringLiteral("zebra")}) {
        panel->findText->setText(pattern);
        const Stall search = measure([&] { panel->findButton->click(); },
                                     [&] { return !panel->resultsLabel->text().startsWith(QLatin1String("Searching")); });
        std::printf("\"%s\" searched in %.0f ms: %s\n", qPrintable(pattern), search.totalMs,
                    qPrintable(panel->resultsLabel->text()));
        report(qPrintable(u"longest stall while \"%1\" is searched"_qs.arg(pattern)), search, 50);
    }

    // Replace All over 4,000 files holding 15,000 matches, then Save Replaced Files.
    QTemporaryDir market;
    std::printf("%d files of a market generated\n", generateMarket(market.path()));
    const Stall marketRead = measure([&] { window.openFolder(market.path()); }, [&] { return !panel->isReading(); });
    std::printf("read in %.0f ms: %s\n", marketRead.totalMs, qPrintable(panel->resultsLabel->text()));
    panel->findText->setText(QStringLiteral("stall"));
    panel->findWholeWords->setChecked(true);
    panel->replaceText->setText(QStringLiteral("booth"));
    const Stall replaced = measure([&] { panel->replaceButton->click(); },
                                   [&] { return !window.isReplacing() && panel->saveReplaced->isVisible(); });
    std::printf("replaced in %.0f ms: %s\n", replaced.totalMs, qPrintable(panel->resultsLabel->text()));
    report("longest stall while 15,000 matches in 4,000 files are replaced", replaced, 50);
    bool saved = false;
    const Stall written = measure([&] {
        panel->saveReplaced->click();   // returns once saved; the event loop goes on meanwhile
        saved = true;
    }, [&] { return saved; });
    std::printf("saved in %.0f ms: %s\n", written.totalMs, qPrintable(panel->resultsLabel->text()));
    report("longest stall while the 4,000 replaced files are saved", written, 50);
    return 0;
}
