// How long find takes over a large mission: 400 generated files (four
// languages of 88 books of 40 pages, a newgame.str, goals.str of nine
// missions and Titles.str each; missflag.str and string tables beside them)
// in a temporary folder, read once, then each search run seven times; the
// median of each is printed in milliseconds. scripts/bench-find.sh runs it.
#include "core/mission/folder.h"
#include "core/mission/find.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

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

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int generate(const QString &root)
{
    int files = 0;
    const auto add = [&](const QString &path, const QByteArray &bytes) { files += write(root + u'/' + path, bytes) ? 1 : 0; };
    for (const char *language : {"english", "german", "french", "polish"}) {
        const QString lang = QString::fromLatin1(language);
        for (int book = 0; book < 88; ++book) {
            QByteArray bytes = "// Book Location - Library\r\n";
            for (int page = 0; page < 40; ++page)
                bytes += "Page_" + QByteArray::number(page) + ":\"" + sentence(book * 40 + page, 60) + "\"\r\n";
            add(u"books/%1/book%2.str"_qs.arg(lang).arg(book), bytes);
        }
        add(u"intrface/%1/newgame.str"_qs.arg(lang),
            "difficulty:\"Level\"\r\nskip_training:\"The Tower\"\r\ndiff_0:\"Easy\"\r\ndiff_1:\"Fair\"\r\ndiff_2:\"Hard\"\r\n");
        for (int mission = 1; mission <= 9; ++mission) {
            QByteArray bytes;
            for (int goal = 0; goal < 12; ++goal) {
                bytes += "fiction_" + QByteArray::number(goal) + ":\"" + sentence(goal, 20) + "\"\r\ntext_"
                    + QByteArray::number(goal) + ":\"" + sentence(goal + 5, 12) + "\"\r\n";
            }
            add(u"intrface/miss0%1/%2/goals.str"_qs.arg(mission).arg(lang), bytes);
        }
        add(u"strings/%1/titles.str"_qs.arg(lang), "title_9: \"The Tower\"\r\nshort_9: \"Tower\"\r\n");
    }
    add(u"strings/missflag.str"_qs, "miss_9:\"Go ,no_loadout, end\"\r\n");
    for (int table = 0, tables = 400 - files; table < tables; ++table) {
        QByteArray bytes;
        for (int entry = 0; entry < 100; ++entry)
            bytes += "obj_" + QByteArray::number(entry) + ":\"" + sentence(entry, 4) + "\"\r\n";
        add(u"strings/objects%1.str"_qs.arg(table), bytes);
    }
    return files;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int files = generate(dir.path());
    QElapsedTimer timer;
    timer.start();
    int progressed = 0;
    const MissionFolder::Scan scan = MissionFolder::scan(dir.path(), std::nullopt, [&](int, int) { ++progressed; });
    const qint64 scanned = timer.elapsed();
    qint64 characters = 0;
    for (const MissionFolder::File &file : scan.files)
        characters += file.read.document.bytes().size();
    std::printf("%d files (%lld bytes), read and checked in %lld ms, %d told of\n", files,
                static_cast<long long>(characters), static_cast<long long>(scanned), progressed);

    struct Search {
        const char *name;
        QString pattern;
        MissionFolder::FindOptions options;
    };
    const Search searches[] = {
        {"a word", QStringLiteral("lanterns"), {}},
        {"a word, case", QStringLiteral("Tower"), {false, true, false}},
        {"whole words", QStringLiteral("key"), {true, false, false}},
        {"an expression", QStringLiteral("lock(ed)?\\s+\\w+"), {false, false, true}},
        {"nothing there", QStringLiteral("zebra"), {}},
    };
    for (const Search &search : searches) {
        QList<qint64> times;
        qsizetype found = 0;
        for (int run = 0; run < 7; ++run) {
            timer.restart();
            found = MissionFolder::find(scan, search.pattern, search.options).size();
            times.append(timer.nsecsElapsed());
        }
        std::sort(times.begin(), times.end());
        std::printf("find %-14s %8lld matches  %7.1f ms\n", search.name, static_cast<long long>(found),
                    static_cast<double>(times.at(3)) / 1e6);
    }
    return 0;
}
