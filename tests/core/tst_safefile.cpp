// Every kind of file the program reads or writes, each through the function
// the program itself calls, against what may stand in its place: a pipe
// (which would make a plain open wait for ever), a link to /dev/zero (which a
// plain read would read without end), a file beyond its kind's cap, a link
// out of the mission (which a plain write would follow) and one inside it.
#include "core/document/safefile.h"
#include "core/kinds/strreader.h"
#include "core/mission/folder.h"
#include "core/mission/missionsettings.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/translation/memory.h"
#include "core/mission/translation/personalmemory.h"
#include "core/mission/translation/translationrecord.h"
#include "core/mission/workspace.h"
#include "core/save/drafts.h"
#include "support/scriptedprompts.h"
#include "support/testing.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

enum class Hazard { Fifo, Zero, Large, OutsideLink, InsideLink, NamedLink };

const QByteArray Book = "Page_0:\"It was dark.\"\r\n";

// What the program made of a file: "read", "written", or its message.
QString said(const std::optional<Error> &error, const QString &done)
{
    return error ? error->message : done;
}

// A file of a kind: where it stands in the mission, its cap, a file of the
// kind as it may be, and how the program reads and writes it.
struct Kind {
    QString path;   // in the mission's folder
    qint64 cap = 0;
    QByteArray sample;
    std::function<QString(const QString &mission, const QString &path)> read;
    std::function<QString(const QString &mission, const QString &path)> write;   // none: only read
};

QString readStr(const QString &, const QString &path)
{
    const auto read = StrReader::readFile(path, 1252);
    return std::holds_alternative<Error>(read) ? std::get<Error>(read).message : u"read"_s;
}

// A file of the mission as Save All writes it in place.
QString saveInPlace(const QString &mission, const QString &path, bool named)
{
    MissionWorkspace workspace;
    workspace.setMissionFolder(mission);
    ScriptedPrompts prompts;
    Error error;
    WorkspaceDocument *document = workspace.open(path, 1252, &error);
    if (!document)
        return error.message;
    StrDocument changed = document->document();
    changed.setText(0, u"It was light."_s, {});
    if (named)
        return workspace.saveAs(path, 1252, changed, u"Save"_s, prompts, nullptr, true) ? u"written"_s
                                                                                        : prompts.lastMessage().text;
    document->change(changed, u"Edit"_s);
    return workspace.save({document}, prompts) ? u"written"_s : prompts.lastMessage().text;
}

const QMap<QString, Kind> &kinds()
{
    static const QMap<QString, Kind> all = {
        {u"a .str file saved in place"_s,
         {u"books/english/diary.str"_s, SafeFile::StrFileCap, Book, readStr,
          [](const QString &mission, const QString &path) { return saveInPlace(mission, path, false); }}},
        {u"a .str file named in the dialog"_s,
         {u"books/english/diary.str"_s, SafeFile::StrFileCap, Book, readStr,
          [](const QString &mission, const QString &path) { return saveInPlace(mission, path, true); }}},
        {u"a new translation's file"_s,
         {u"books/polish/diary.str"_s, SafeFile::StrFileCap, Book, readStr,
          [](const QString &mission, const QString &path) {
              MissionWorkspace workspace;
              workspace.setMissionFolder(mission);
              ScriptedPrompts prompts;
              WorkspaceDocument *document = workspace.create(path, 1252, StrDocument());
              document->change(StrDocument("Page_0:\"Ciemno.\"\r\n", {1250, false}), u"Translate"_s);
              return workspace.save({document}, prompts) ? u"written"_s : prompts.lastMessage().text;
          }}},
        {u"code-page detection"_s,
         {u"books/english/diary.str"_s, SafeFile::StrFileCap, Book,
          [](const QString &mission, const QString &) {
              const MissionFolder::Scan scan = MissionFolder::scan(mission);
              if (scan.files.size() != 1)
                  return u"no file"_s;
              const std::optional<Error> &failure = scan.files.constFirst().failure;
              return failure ? failure->message : u"read"_s;
          },
          {}}},
        {u"the mission's settings"_s,
         {MissionSettings::FileName, SafeFile::SettingsCap, "[codepages]\nmission=1251\n",
          [](const QString &mission, const QString &) {
              const auto codePage = MissionSettings::read(mission).missionCodePage;
              return codePage ? u"read"_s : u"none"_s;
          },
          [](const QString &mission, const QString &) {
              MissionSettings::Settings settings;
              settings.missionCodePage = 1250;
              return said(MissionSettings::write(mission, settings), u"written"_s);
          }}},
        {u"a word list"_s,
         {u"dictionary-english.txt"_s, SafeFile::WordListCap, "Mirkhold\n",
          [](const QString &, const QString &path) {
              const Spelling::WordList list = Spelling::readWordList(path);
              return list.problem.isEmpty() ? u"read"_s : list.problem;
          },
          [](const QString &, const QString &path) {
              Error error;
              return Spelling::addToWordList(path, u"Krasnov"_s, &error) ? u"written"_s : error.message;
          }}},
        {u"a term list"_s,
         {u"quillwright-terms-polish.json"_s, SafeFile::TermListCap, TermList::toJson({{u"gate"_s, u"brama"_s}}),
          [](const QString &, const QString &path) {
              QString problem;
              const TermList::Terms terms = TermList::load(path, &problem);
              return problem.isEmpty() && !terms.isEmpty() ? u"read"_s : problem;
          },
          [](const QString &, const QString &path) {
              return said(TermList::save(path, {{u"door"_s, u"drzwi"_s}}), u"written"_s);
          }}},
        {u"a translation record"_s,
         {u"quillwright-translation-polish.json"_s, SafeFile::RecordCap,
          TranslationRecord::toJson({u"mission"_s, u"polish"_s, {}}),
          [](const QString &, const QString &path) {
              const TranslationRecord::Loaded loaded = TranslationRecord::load(path, u"mission"_s, u"polish"_s);
              return loaded.unused.isEmpty() ? u"read"_s : loaded.unused.join(u'\n');
          },
          [](const QString &, const QString &path) {
              TranslationRecord::Record record{u"mission"_s, u"polish"_s, {}};
              record.files[u"books/english/diary.str"_s].insert(u"Page_0"_s, {});
              return said(TranslationRecord::save(path, record), u"written"_s);
          }}},
        {u"a translator's memory"_s,
         {u"memory/english-polish.json"_s, SafeFile::MemoryCap,
          PersonalMemory::toJson({{u"m"_s, u"f.str"_s, u"k"_s, u"door"_s, u"drzwi"_s}}, u"english"_s, u"polish"_s),
          [](const QString &, const QString &path) {
              QString problem;
              return PersonalMemory::load(path, &problem).size() == 1 ? u"read"_s : problem;
          },
          {}}},
        {u"an exchange file taken back"_s,   // what the import reads before it parses
         {u"polish.po"_s, SafeFile::ExchangeCap, "msgid \"\"\nmsgstr \"\"\n",
          [](const QString &, const QString &path) {
              const auto read = SafeFile::read(path, SafeFile::ExchangeCap);
              return std::holds_alternative<Error>(read) ? std::get<Error>(read).message : u"read"_s;
          },
          {}}},
        {u"a draft"_s,
         {u"drafts/draft-1.json"_s, SafeFile::DraftCap, "{\"format\": 1, \"pages\": {}}",
          [](const QString &, const QString &path) {
              const std::unique_ptr<DraftFile> draft = DraftFile::adopt(path);
              if (!draft)
                  return u"not adopted"_s;
              const auto read = draft->read();
              draft->release();
              return std::holds_alternative<Error>(read) ? std::get<Error>(read).message : u"read"_s;
          },
          {}}},
        {u"a Hunspell dictionary"_s,
         {u"dictionaries/en_US.dic"_s, SafeFile::DictionaryCap, "1\nhouse\n",
          [](const QString &, const QString &path) {
              const QString aff = QFileInfo(path).absolutePath() + u"/en_US.aff"_s;
              Testing::writeAll(aff, "SET UTF-8\n");
              Error error;
              return Spelling::openHunspell(aff, path, &error) ? u"read"_s : error.message;
          },
          {}}},
    };
    return all;
}

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachKindOfFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<Hazard>("hazard");
        QTest::addColumn<QString>("expected");   // what the program says; "" where it says nothing
        const QString notOrdinary = u" is not an ordinary file."_s;
        const QString tooLarge = u"so it is not read."_s;
        const QString outside = u", outside the mission's folder "_s;
        for (auto it = kinds().cbegin(); it != kinds().cend(); ++it) {
            const QString &name = it.key();
            const bool settings = name == u"the mission's settings"_s;
            const bool dictionary = name == u"a Hunspell dictionary"_s;
            const bool named = name == u"a .str file named in the dialog"_s;
            if (!named) {
                // The settings say nothing of a file they cannot read: the mission has none.
                QTest::addRow("%s, a pipe", qPrintable(name)) << name << Hazard::Fifo << (settings ? u"none"_s : notOrdinary);
                QTest::addRow("%s, /dev/zero", qPrintable(name)) << name << Hazard::Zero << (settings ? u"none"_s : notOrdinary);
                QTest::addRow("%s, too large", qPrintable(name))
                    << name << Hazard::Large
                    << (settings ? u"none"_s : dictionary ? u"is too large to be loaded"_s : tooLarge);
            }
            if (named) {
                QTest::addRow("%s, a link out", qPrintable(name)) << name << Hazard::NamedLink << u"written"_s;
            } else if (it->write) {
                QTest::addRow("%s, a link out", qPrintable(name)) << name << Hazard::OutsideLink << outside;
                QTest::addRow("%s, a link in", qPrintable(name)) << name << Hazard::InsideLink << u"written"_s;
            } else {   // read only: through any link
                QTest::addRow("%s, a link out", qPrintable(name)) << name << Hazard::OutsideLink << u"read"_s;
            }
        }
    }
    void eachKindOfFile()
    {
        QFETCH(QString, kind);
        QFETCH(Hazard, hazard);
        QFETCH(QString, expected);
#ifndef Q_OS_UNIX
        if (hazard != Hazard::Large)
            QSKIP("Pipes, /dev/zero and symbolic links made by a test are Unix's: Windows has no such files to make here.");
#endif
        const Kind &file = kinds().value(kind);
        QTemporaryDir mission, elsewhere;
        const QString path = mission.filePath(file.path);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        const QString target = hazard == Hazard::InsideLink ? mission.filePath(u"shared/"_s + QFileInfo(path).fileName())
                                                            : elsewhere.filePath(QFileInfo(path).fileName());
        const bool languageFolder = kind == u"a new translation's file"_s;   // the link is the folder
        const QString linked = languageFolder ? QFileInfo(path).absolutePath() : path;
        const QString linkTarget = languageFolder ? QFileInfo(target).absolutePath() + u"/polish"_s : target;
        switch (hazard) {
#ifdef Q_OS_UNIX
        case Hazard::Fifo:
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            break;
        case Hazard::Zero:
            QVERIFY(QFile::link(u"/dev/zero"_s, path));
            break;
#endif
        case Hazard::Large: {
            QFile large(path);   // sparse: no disk is spent
            QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(file.cap + 1));
            break;
        }
        default:
            QVERIFY(QDir().mkpath(QFileInfo(languageFolder ? linkTarget + u"/x"_s : target).absolutePath()));
            if (!languageFolder)
                Testing::writeAll(target, file.sample);
            if (languageFolder)
                QDir(linked).removeRecursively();
            QVERIFY(QFile::link(linkTarget, linked));
            break;
        }

        // Run where a wait for ever can be seen, and ended: a pipe's writer
        // lets a blocked reader go.
        QString result;
        const bool writes = file.write && (hazard == Hazard::OutsideLink || hazard == Hazard::InsideLink
                                           || hazard == Hazard::NamedLink);
        std::unique_ptr<QThread> run(QThread::create([&] {
            result = writes ? file.write(mission.path(), path) : file.read(mission.path(), path);
        }));
        run->start();
        if (!run->wait(10000)) {
#ifdef Q_OS_UNIX
            ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK));
#endif
            run->wait();
            QFAIL("The program waited on what stands in the file's place.");
        }
        QVERIFY2(result.contains(expected), qPrintable(result));

        if (hazard == Hazard::OutsideLink && writes) {
            QCOMPARE(Testing::readAll(languageFolder ? linkTarget + u"/diary.str"_s : target),
                     languageFolder ? QByteArray("<missing>") : file.sample);
        } else if (writes) {   // the link's target written, the link kept
            const QString written = languageFolder ? linkTarget + u"/diary.str"_s : target;
            QVERIFY(QFileInfo(linked).isSymLink());
            QVERIFY2(Testing::readAll(written) != file.sample && Testing::readAll(written) != "<missing>",
                     Testing::readAll(written).constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
