// How spelling keeps up: a generated Hunspell dictionary of 200,000 words in
// a temporary folder; the longest gap of the event loop while it loads on its
// thread; the time of one key typed into a 100 KB page box with checking on
// (paragraphs, and one 100 KB line); and the spelling of a generated mission
// of 400 files as `--check --spelling` reads it. Each figure is printed
// beside its aim. scripts/bench-spelling.sh runs it.
#include "core/mission/check/spellingcheck.h"
#include "core/mission/spelling/spelling.h"
#include "gui/spellinghighlighter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Made-up words, the same on every run: consonant-vowel syllables.
QString word(int n)
{
    static const char *const Syllables[] = {"ka", "ro", "mi", "te", "lu", "sa", "po", "ne", "di", "va",
                                            "go", "re", "bi", "fo", "tu", "le", "ma", "si", "no", "ze"};
    QString text;
    int rest = n;
    do {
        text += QLatin1String(Syllables[rest % 20]);
        rest /= 20;
    } while (rest > 0);
    return text;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Prose of known words with one unknown word in twenty, drawn from 40
// misspellings and names, as a mission repeats its names.
QString prose(int seed, qsizetype length)
{
    QString text;
    for (int i = 0; text.size() < length; ++i) {
        text += i % 20 == 7 ? word((seed + i) % 40 * 613) + QStringLiteral("x") : word((seed * 31 + i * 17) % 200000);
        text += i % 12 == 11 ? QStringLiteral(". ") : QStringLiteral(" ");
    }
    return text;
}

void show(const char *what, double ms, double aim)
{
    std::printf("%-52s %9.2f ms   (aim <= %g ms)%s\n", what, ms, aim, ms <= aim ? "" : "   MISSED");
}

// The longest gap between ticks of a 1 ms timer until `done()` holds.
double longestGap(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    while (!done() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return static_cast<double>(longest) / 1e6;
}

// The median time of typing one letter in the middle of `box`'s text, the
// highlighter's work included.
double typing(QPlainTextEdit &box)
{
    QList<double> times;
    for (int i = 0; i < 41; ++i) {
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(box.document()->characterCount() / 2 + i * 37);
        box.setTextCursor(cursor);
        QElapsedTimer clock;
        clock.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
        QCoreApplication::sendEvent(&box, &press);
        QCoreApplication::processEvents();
        times.append(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString dictionaries = dir.filePath(QStringLiteral("dictionaries"));
    QByteArray dic = QByteArray::number(200000) + '\n';
    for (int i = 0; i < 200000; ++i)
        dic += word(i).toUtf8() + '\n';
    if (!write(dictionaries + QStringLiteral("/en_US.aff"), "SET UTF-8\nTRY esianrtolcdugmphbyfvkwzESIANRTOLCDUGMPHBYFVKWZ'\n")
        || !write(dictionaries + QStringLiteral("/en_US.dic"), dic))
        return 1;

    Spelling::Service service({dictionaries});
    const QString english = QStringLiteral("english");
    service.request(english);
    show("Longest stall while a 200,000-word dictionary loads", longestGap([&] { return service.isReady(english); }),
         50);
    if (!service.isReady(english)) {
        std::printf("The dictionary did not load.\n");
        return 1;
    }

    QPlainTextEdit box;
    box.resize(600, 400);
    box.show();
    SpellingHighlighter highlighter(&box, &service, [&] { return english; });
    QString paragraphs;
    for (int i = 0; paragraphs.size() < 100 * 1024; ++i)
        paragraphs += prose(i * 1000, 600) + u'\n';
    box.setPlainText(paragraphs);
    QCoreApplication::processEvents();
    show("One key typed in a 100 KB page of paragraphs", typing(box), 16);
    box.setPlainText(prose(7, 100 * 1024));
    QCoreApplication::processEvents();
    const double oneLine = typing(box);
    highlighter.setDocument(nullptr);
    box.setPlainText(prose(7, 100 * 1024));
    QCoreApplication::processEvents();
    const double unchecked = typing(box);
    show("One key typed in a 100 KB page of one line", oneLine, 16);
    std::printf("   (the same box with no checking: %.2f ms, the box's own layout of the line)\n", unchecked);

    const QString mission = dir.filePath(QStringLiteral("mission"));
    for (int file = 0; file < 400; ++file) {
        QByteArray bytes;
        for (int entry = 0; entry < 15; ++entry)
            bytes += "text_" + QByteArray::number(entry) + ": \"" + prose(file * 100 + entry, 120).toUtf8() + "\"\r\n";
        if (!write(QStringLiteral("%1/strings/english/file%2.str").arg(mission).arg(file), bytes))
            return 1;
    }
    QElapsedTimer clock;
    clock.start();
    const MissionFolder::Scan scan = MissionFolder::scan(mission);
    const qsizetype found =
        MissionFolder::SpellingCheck::check(scan, {{dictionaries}, MissionFolder::Severity::Note, true}).problems.size();
    show("Spelling of a 400-file mission (read and checked)", static_cast<double>(clock.nsecsElapsed()) / 1e6, 1000);
    std::printf("   (%lld unknown words found, 40 of them distinct)\n", static_cast<long long>(found));
    QList<double> suggesting;
    for (int i = 0; i < 15; ++i) {
        clock.restart();
        (void)service.suggestions(english, word(i * 7919 + 11) + QStringLiteral("q"));
        suggesting.append(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(suggesting.begin(), suggesting.end());
    std::printf("   (a box's menu, which also suggests words sharing letter groups: %.2f ms a word)\n",
                suggesting.at(suggesting.size() / 2));
    return 0;
}
