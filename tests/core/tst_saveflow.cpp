// The one save flow, against a scripted dialog seam and save files that fail
// the way disks do: refuse, ask, write, report, and never leave half a file.
#include "core/document/codepages.h"
#include "core/mission/workspace.h"
#include "core/save/fileoutput.h"
#include "core/save/saveflow.h"
#include "support/scriptedprompts.h"
#include "support/testing.h"

#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;
using Testing::readAll;

namespace {

// A save file whose disk fails part-way: after 10 bytes it takes no more (a
// full disk, a size limit), either quietly or with an error; or, once all is
// written, its target turns into a folder so that the final rename fails.
class FailingSaveFile : public QSaveFile
{
public:
    enum Failure { ShortWrite, WriteError, TargetTaken };
    FailingSaveFile(const QString &path, Failure failure) : QSaveFile(path), m_failure(failure) {}

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_failure == WriteError) {
            setErrorString(u"No space left on device"_s);
            return -1;
        }
        const qint64 written = QSaveFile::writeData(data, m_failure == ShortWrite ? qMin(length, 10) : length);
        if (m_failure == TargetTaken)
            QDir().mkpath(fileName());
        return written;
    }

private:
    Failure m_failure;
};

const QByteArray Old = "the author's old file\r\n";

} // namespace

class TestSaveFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Whatever is refused or fails leaves the old file and says why; a
    // cancelled dialog says nothing. (Files written, and texts refused before
    // the dialog, are tested through each tab.)
    void writesOnlyWhatCanBeWritten_data()
    {
        QTest::addColumn<QString>("chosen");    // the name typed in the dialog; "" cancels
        QTest::addColumn<QString>("message");   // the start of the message shown; %1 is the path
        QTest::newRow("cancelled") << QString() << QString();
        QTest::newRow("a name Windows cannot use") << u"aux.str"_s
                                                   << u"\u201Caux.str\u201D cannot be used as a file name"_s;
        QTest::newRow("a folder in the way") << u"folder"_s << u"The file could not be saved:\n%1"_s;
    }
    void writesOnlyWhatCanBeWritten()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
        Testing::writeAll(dir.filePath(u"out.str"_s), Old);   // (Windows allows no file named aux.str)
        ScriptedPrompts prompts;
        MissionWorkspace workspace;
        SaveFlow flow(prompts, workspace);
        WorkspaceDocument *document = workspace.createUnnamed(1252, StrDocument::fromTemplate("title_20: \"ok\"\r\n"_L1));
        prompts.setNextPath(chosen.isEmpty() ? QString() : dir.filePath(chosen));
        const QString path = flow.askPath(u"Titles.str"_s);
        QVERIFY(path.isEmpty() || !flow.writeCopy(document, path));
        QCOMPARE(prompts.suggestedNames, QStringList{u"Titles.str"_s});
        const QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QCOMPARE(entries, QStringList({u"folder"_s, u"out.str"_s}));   // nothing else written
        QCOMPARE(readAll(dir.filePath(u"out.str"_s)), Old);
        QCOMPARE(prompts.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            const Prompts::Message shown = prompts.lastMessage();
            const QString at = QDir::toNativeSeparators(dir.filePath(chosen));
            QVERIFY2(shown.text.startsWith(message.contains(u"%1"_s) ? message.arg(at) : message),
                     qPrintable(shown.text));
            QCOMPARE(shown.title + QString::number(int(shown.icon)), u"Qwr2"_s);   // a warning
        }
    }

    // A text a file's code page lacks that nobody typed into a box (a file
    // read as UTF-8, kept for a code page) is refused before anything is
    // asked or written, in one message: the file, the entry's key, its text
    // and the U+ code of each character the code page lacks.
    void refusesATextTheCodePageLacks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"objnames.str"_s);
        Testing::writeAll(path, Old);
        ScriptedPrompts prompts;
        MissionWorkspace workspace;
        SaveFlow flow(prompts, workspace);
        const StrDocument utf8("name_box: \"Box\"\r\nname_apple: \"Jab\xC5\x82ko \xE2\x80\x9Ez\xC5\x82ote\xE2\x80\x9D\"\r\n", {1252, true});
        WorkspaceDocument *document = workspace.saveUnnamedAs(workspace.createUnnamed(1252, utf8), path, prompts);
        QVERIFY(!document);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastMessage().text,
                 QDir::toNativeSeparators(path) + u" cannot be written in "_s + CodePages::description(1252)
                     + u": the text of name_apple, \u201CJab\u0142ko \u201Ez\u0142ote\u201D\u201D, holds U+0142, "
                       "which the code page lacks.\n\nReplace or remove it, then save again. Nothing was saved."_s);
        QCOMPARE(readAll(path), Old);
        QVERIFY(flow.refuse(*workspace.createUnnamed(1250, utf8)) == false);   // 1250 has every one of them
    }

    void aFailedWriteLeavesTheOldFile_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full after 10 bytes") << int(FailingSaveFile::ShortWrite)
                                                  << u"Only 10 of 4000 bytes could be written. The disk may be full."_s;
        QTest::newRow("write error") << int(FailingSaveFile::WriteError) << u"No space left on device"_s;
        QTest::newRow("rename fails at the end") << int(FailingSaveFile::TargetTaken) << QString();
    }
    void aFailedWriteLeavesTheOldFile()
    {
        QFETCH(int, failure);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"book.str"_s);
        if (failure != FailingSaveFile::TargetTaken)
            Testing::writeAll(path, Old);
        std::optional<Error> result;
        {   // on Windows the temporary file has a name until the save file is gone
            FailingSaveFile file(path, FailingSaveFile::Failure(failure));
            result = FileOutput::writeFile(file, QByteArray(4000, 'x'));
        }
        QVERIFY(result && !result->message.isEmpty());
        QCOMPARE(result->kind, Error::Kind::NotWritten);
        QCOMPARE(reason.isEmpty() ? reason : result->message, reason);   // the system's own words for a failed rename
        if (failure != FailingSaveFile::TargetTaken)
            QCOMPARE(readAll(path), Old);
        QCOMPARE(QDir(dir.path()).count(), 3u);   // ".", "..", the file or folder: no temporary file left
    }

    // A file another program reads at the moment of saving (a virus scanner,
    // an indexer) is replaced once it lets go: Windows refuses to replace an
    // open file, and the save waits a little for it rather than fail.
    void aFileHeldOpenForAMomentIsSaved()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"book.str"_s);
        Testing::writeAll(path, Old);
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        std::thread letGo([&reader] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            reader.close();
        });
        const std::optional<Error> result = FileOutput::writeFile(path, "the new file\r\n");
        letGo.join();
        QVERIFY2(!result, qPrintable(result ? result->message : QString()));
        QCOMPARE(readAll(path), "the new file\r\n");
        QCOMPARE(QDir(dir.path()).count(), 3u);   // no temporary file left
    }
};

QTEST_GUILESS_MAIN(TestSaveFlow)
#include "tst_saveflow.moc"
