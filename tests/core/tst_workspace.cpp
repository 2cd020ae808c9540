#include "core/save/drafts.h"
#include "core/mission/diskchange.h"
#include "core/mission/replacement.h"
#include "core/mission/workspace.h"
#include "support/scriptedprompts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// A save file that fails after `limit` bytes, as a full disk does.
class FailingSaveFile : public QSaveFile
{
public:
    FailingSaveFile(const QString &path, qint64 limit)
        : QSaveFile(path)
        , m_limit(limit)
    {
    }

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_written + length > m_limit) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_written += length;
        return QSaveFile::writeData(data, length);
    }

private:
    qint64 m_limit;
    qint64 m_written = 0;
};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The document with entry `key`'s text replaced by `text`.
StrDocument withText(const StrDocument &document, const char *key, const QString &text)
{
    StrDocument changed = document;
    changed.setText(document.find(QLatin1String(key)), text, oneLine(text, QStringLiteral("a test")));
    return changed;
}

const QByteArray Book = "// Book Location - Tower\r\nPage_0:\"The fountain\"\r\n  page_1: \"was dry.\" // kept\r\n";

// Writes `bytes` to `path` as editors and version control do: a new file
// renamed over the old one.
void replaceByRename(const QString &path, const QByteArray &bytes)
{
    writeBytes(path + QStringLiteral(".new"), bytes);
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::rename(path + QStringLiteral(".new"), path));
}

} // namespace

class TestWorkspace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_book = m_dir.filePath(QStringLiteral("Diary.str"));
        QFile::remove(m_book);   // a pipe left by the test before
        writeBytes(m_book, Book);
    }

    void aFileIsHeldOnce()
    {
        MissionWorkspace workspace;
        Error error;
        WorkspaceDocument *first = workspace.open(m_book, 1252, &error);
        QVERIFY2(first, qPrintable(error.message));
        QCOMPARE(workspace.open(m_dir.filePath(QStringLiteral("./sub/../Diary.str")), 1252, &error), first);
#ifdef Q_OS_UNIX
        const QString link = m_dir.filePath(QStringLiteral("link.str"));
        QVERIFY(QFile::link(m_book, link));
        QCOMPARE(workspace.open(link, 1252, &error), first);
#endif
#ifdef Q_OS_WIN   // names differing in case name one file there
        QCOMPARE(workspace.open(m_dir.filePath(QStringLiteral("DIARY.STR")), 1252, &error), first);
#endif
        QCOMPARE(workspace.documents().size(), 1);
    }

    // Two views change the one document: each change is seen by the other,
    // and saving writes both, every other byte as it was.
    void oneDocumentEditedFromTwoViews()
    {
        MissionWorkspace workspace;
        ScriptedPrompts prompts;
        WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
        QVERIFY(document);
        QObject tab, replace;
        QSignalSpy changed(document, &WorkspaceDocument::changed);
        document->change(withText(document->document(), "Page_0", QStringLiteral("The well")), QStringLiteral("Edit"), &tab);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).value<const QObject *>(), static_cast<const QObject *>(&tab));
        // The second view works on what the first left.
        document->change(withText(document->document(), "page_1", QStringLiteral("was full.")), QStringLiteral("Replace"),
                         &replace);
        QVERIFY(document->isModified());
        QVERIFY(workspace.save(workspace.modified(), prompts));
        QCOMPARE(prompts.messages.size(), 0);
        QCOMPARE(readBytes(m_book),
                 QByteArray("// Book Location - Tower\r\nPage_0:\"The well\"\r\n  page_1: \"was full.\" // kept\r\n"));
        QVERIFY(!document->isModified());
        QCOMPARE(document->diskBytes(), readBytes(m_book));
    }

    void undoAndRedoAcrossAReplacement()
    {
        MissionWorkspace workspace;
        WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
        QVERIFY(document);
        document->change(withText(document->document(), "Page_0", QStringLiteral("The well")), QStringLiteral("Edit"));
        document->change(withText(document->document(), "page_1", QStringLiteral("was full.")),
                         QStringLiteral("Replace \u201Cdry\u201D"));
        const QByteArray both = *document->document().write(1252);
        QSignalSpy changed(document, &WorkspaceDocument::changed);
        document->undoStack()->undo();
        QCOMPARE(*document->document().write(1252),
                 QByteArray("// Book Location - Tower\r\nPage_0:\"The well\"\r\n  page_1: \"was dry.\" // kept\r\n"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).value<const QObject *>(), nullptr);   // every view shows it
        document->undoStack()->undo();
        QCOMPARE(*document->document().write(1252), Book);
        QVERIFY(!document->isModified());
        document->undoStack()->redo();
        document->undoStack()->redo();
        QCOMPARE(*document->document().write(1252), both);
        QVERIFY(document->isModified());
    }

    // Nothing is written while one text cannot be; a file that fails keeps
    // its changes, and so does every file after it.
    void saveAllChecksFirst()
    {
        MissionWorkspace workspace;
        ScriptedPrompts prompts;
        WorkspaceDocument *document = workspace.open(m_book, 1250, nullptr);
        QVERIFY(document);
        document->change(withText(document->document(), "Page_0", QStringLiteral("Tak\u0142")), QStringLiteral("Edit"));
        const QString other = m_dir.filePath(QStringLiteral("Other.str"));
        writeBytes(other, "Page_0:\"a\"\r\n");
        WorkspaceDocument *second = workspace.open(other, 1252, nullptr);
        second->change(withText(second->document(), "Page_0", QStringLiteral("\u0142")), QStringLiteral("Edit"));
        QVERIFY(!workspace.save({document, second}, prompts));
        QCOMPARE(readBytes(m_book), Book);
        QVERIFY(prompts.lastMessage().text.contains(QLatin1String("Nothing was saved.")));
        QVERIFY(document->isModified() && second->isModified());
    }

    void saveAllWithOneFailingFile()
    {
        MissionWorkspace workspace;
        ScriptedPrompts prompts;
        QList<WorkspaceDocument *> documents;
        for (const char *name : {"a.str", "b.str", "c.str"}) {
            const QString path = m_dir.filePath(QLatin1String(name));
            writeBytes(path, "Page_0:\"dry\"\r\n");
            WorkspaceDocument *document = workspace.open(path, 1252, nullptr);
            document->change(withText(document->document(), "Page_0", QStringLiteral("wet")), QStringLiteral("Replace"));
            documents.append(document);
        }
        workspace.saveFileFor = [](const QString &path) -> std::unique_ptr<QSaveFile> {
            if (path.endsWith(QLatin1String("b.str")))
                return std::make_unique<FailingSaveFile>(path, 4);
            return std::make_unique<QSaveFile>(path);
        };
        QVERIFY(!workspace.save(documents, prompts));
        QCOMPARE(readBytes(m_dir.filePath(QStringLiteral("a.str"))), QByteArray("Page_0:\"wet\"\r\n"));
        QCOMPARE(readBytes(m_dir.filePath(QStringLiteral("b.str"))), QByteArray("Page_0:\"dry\"\r\n"));
        QCOMPARE(readBytes(m_dir.filePath(QStringLiteral("c.str"))), QByteArray("Page_0:\"dry\"\r\n"));
        QVERIFY(!documents.at(0)->isModified());
        QVERIFY(documents.at(1)->isModified());
        QVERIFY(documents.at(2)->isModified());
        const QString message = prompts.lastMessage().text;
        QVERIFY2(message.contains(QLatin1String("No space left on device")), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String("Saved: ") + QDir::toNativeSeparators(documents.at(0)->path())),
                 qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(documents.at(1)->path()) + QLatin1String(", ")
                                  + QDir::toNativeSeparators(documents.at(2)->path())),
                 qPrintable(message));
        // Saved again once the disk has room, the rest is written.
        workspace.saveFileFor = nullptr;
        QVERIFY(workspace.save(workspace.modified(), prompts));
        QCOMPARE(readBytes(m_dir.filePath(QStringLiteral("c.str"))), QByteArray("Page_0:\"wet\"\r\n"));
    }

    void aChangeOnTheDiskAsksAndKeepsTheChanges()
    {
        MissionWorkspace workspace;
        ScriptedPrompts prompts;
        WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
        document->change(withText(document->document(), "Page_0", QStringLiteral("The well")), QStringLiteral("Edit"));
        QSignalSpy onDisk(&workspace, &MissionWorkspace::changedOnDisk);
        const QByteArray outside = "Page_0:\"Changed outside\"\r\n";
        writeBytes(m_book, outside);
        QVERIFY(onDisk.wait(5000));
        QCOMPARE(onDisk.at(0).at(1).toByteArray(), outside);
        // Kept: still unsaved, and saving replaces the file as it is now.
        document->keepAfterDiskChange(outside);
        QVERIFY(document->isModified());
        QCOMPARE(*document->document().write(1252),
                 QByteArray("// Book Location - Tower\r\nPage_0:\"The well\"\r\n  page_1: \"was dry.\" // kept\r\n"));
        // Reloaded: the file as it is, and undo brings the changes back.
        document->reload(outside);
        QVERIFY(!document->isModified());
        QCOMPARE(*document->document().write(1252), outside);
        document->undoStack()->undo();
        QVERIFY(document->isModified());
        QVERIFY(document->document().write(1252)->contains("The well"));
    }

    // What takes a file's place and is no file is never read, never waited
    // on, and offers nothing for reloading; the document keeps what it holds.
    void aFileReplacedByWhatIsNoFile_data()
    {
        QTest::addColumn<QString>("replacement");
        QTest::newRow("a folder") << u"folder"_s;
        QTest::newRow("a file of 1 GB") << u"large"_s;
#ifdef Q_OS_UNIX
        QTest::newRow("a device") << u"device"_s;
        QTest::newRow("a pipe") << u"pipe"_s;
#endif
    }

    void aFileReplacedByWhatIsNoFile()
    {
        QFETCH(QString, replacement);
        MissionWorkspace workspace;
        WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
        QVERIFY(document);
        QSignalSpy onDisk(&workspace, &MissionWorkspace::changedOnDisk);
        QVERIFY(QFile::remove(m_book));
        if (replacement == u"folder"_s) {
            QVERIFY(QDir().mkpath(m_book));
        } else if (replacement == u"large"_s) {
            QFile large(m_book);
            QVERIFY(large.open(QIODevice::WriteOnly));
            QVERIFY(large.resize(qint64(1) << 30));
        }
#ifdef Q_OS_UNIX
        else if (replacement == u"device"_s) {
            QVERIFY(QFile::link(u"/dev/zero"_s, m_book));
        } else {
            QCOMPARE(mkfifo(QFile::encodeName(m_book).constData(), 0600), 0);
        }
#endif
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!onDisk.wait(1500));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(document->diskBytes(), Book);
        QCOMPARE(*document->document().write(1252), Book);
        if (replacement == u"folder"_s)
            QVERIFY(QDir(m_book).removeRecursively());
        else
            QFile::remove(m_book);
    }

    // The mission's folder deleted while a file of it is open: saving says
    // why it cannot, and the changes are kept.
    void aFolderDeletedWhileOpen()
    {
        QTemporaryDir mission;
        const QString path = mission.filePath(u"books/Diary.str"_s);
        QVERIFY(QDir().mkpath(mission.filePath(u"books"_s)));
        writeBytes(path, Book);
        MissionWorkspace workspace;
        ScriptedPrompts prompts;
        WorkspaceDocument *document = workspace.open(path, 1252, nullptr);
        document->change(withText(document->document(), "Page_0", u"The well"_s), u"Edit"_s);
        QVERIFY(QDir(mission.filePath(u"books"_s)).removeRecursively());
        if (QFileInfo::exists(mission.filePath(u"books"_s)))
            QSKIP("The folder is still there: on Windows a folder being watched is removed only when the watch ends.");
        QVERIFY(!workspace.save({document}, prompts));
        QVERIFY(prompts.lastMessage().text.contains(QDir::toNativeSeparators(path)));
        QVERIFY(document->isModified());
        QVERIFY(document->document().write(1252)->contains("The well"));
    }


    // A draft holds every unsaved document, a file not yet on the disk too,
    // and brings them back as unsaved changes over the files as they are.
    void aDraftRestoresEveryDocument()
    {
        QJsonArray kept;
        {
            MissionWorkspace workspace;
            WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
            document->change(withText(document->document(), "page_1", QStringLiteral("was full.")),
                             QStringLiteral("Replace"));
            workspace.create(m_dir.filePath(QStringLiteral("russian/Diary.str")), 1251,
                             StrDocument(QByteArray("Page_0:\"\xD4\xEE\xED\xF2\xE0\xED\"\r\n"), {1251, false}));
            kept = Drafts::toJson({{QStringLiteral("documents"), workspace.draft()}})
                       .value(QStringLiteral("documents"))
                       .toArray();
        }
        QCOMPARE(kept.size(), 2);
        MissionWorkspace workspace;
        QCOMPARE(workspace.restore(kept), QStringList());
        WorkspaceDocument *book = workspace.find(m_book);
        QVERIFY(book && book->isModified());
        QCOMPARE(book->diskBytes(), Book);
        QVERIFY(book->document().write(1252)->contains("was full."));
        WorkspaceDocument *translation = workspace.find(m_dir.filePath(QStringLiteral("russian/Diary.str")));
        QVERIFY(translation && translation->isModified() && !translation->existsOnDisk());
        QCOMPARE(translation->document().text(0), QStringLiteral("\u0424\u043E\u043D\u0442\u0430\u043D"));
    }

    // A file replaced by another (renamed over it, or removed and written
    // anew) is watched as it is now: each later change is seen too.
    void aFileReplacedByRenameIsStillWatched()
    {
        MissionWorkspace workspace;
        WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
        QVERIFY(document);
        QSignalSpy onDisk(&workspace, &MissionWorkspace::changedOnDisk);
        const QByteArray first = QByteArray(Book).replace("fountain", "well");
        replaceByRename(m_book, first);
        QTRY_COMPARE_WITH_TIMEOUT(onDisk.size(), 1, 5000);
        QCOMPARE(onDisk.at(0).at(1).toByteArray(), first);
        document->reload(first);
        const QByteArray second = QByteArray(first).replace("dry", "full");
        replaceByRename(m_book, second);
        QTRY_COMPARE_WITH_TIMEOUT(onDisk.size(), 2, 5000);
        QCOMPARE(onDisk.at(1).at(1).toByteArray(), second);
        document->reload(second);
        QVERIFY(QFile::remove(m_book));   // as a version control update does
        QTest::qWait(100);
        writeBytes(m_book, Book);
        QTRY_COMPARE_WITH_TIMEOUT(onDisk.size(), 3, 5000);
        QCOMPARE(onDisk.at(2).at(1).toByteArray(), Book);
        QCOMPARE(document, workspace.find(m_book));   // the same document all along
    }

    // A change outside to another entry than the unsaved one is merged with
    // it: both kept, as one step of undo, unsaved.
    void aReloadIsMergedWithUnsavedEdits()
    {
        MissionWorkspace workspace;
        ScriptedPrompts prompts;
        WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
        document->change(withText(document->document(), "Page_0", u"The well"_s), u"Edit"_s);
        const StrDocument mine = document->document();
        QSignalSpy onDisk(&workspace, &MissionWorkspace::changedOnDisk);
        const QByteArray outside = QByteArray(Book).replace("was dry.", "was full.");
        writeBytes(m_book, outside);
        QVERIFY(onDisk.wait(5000));
        const int steps = document->undoStack()->count();
        const DiskChange::Outcome outcome = DiskChange::resolve(*document, onDisk.at(0).at(1).toByteArray(), prompts);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastMessage().defaultButton, Prompts::Button::Merge);
        QCOMPARE(outcome.kind, DiskChange::Outcome::Kind::Merged);
        QVERIFY2(outcome.announcement.contains(u"merged"_s), qPrintable(outcome.announcement));
        QCOMPARE(*document->document().write(1252), QByteArray(outside).replace("fountain", "well"));
        QCOMPARE(document->undoStack()->count(), steps + 1);
        QVERIFY(document->isModified());
        QVERIFY(workspace.save({document}, prompts));
        QCOMPARE(readBytes(m_book), QByteArray(outside).replace("fountain", "well"));
        QCOMPARE(prompts.messages.size(), 1);
        document->undoStack()->undo();   // the merge
        QCOMPARE(document->document().write(1252), mine.write(1252));
    }

    // An entry both sides changed is asked about, and only that one: the
    // author's text or the one from outside.
    void aConflictOnOneEntryIsAsked_data()
    {
        QTest::addColumn<QList<Prompts::Button>>("answers");
        QTest::addColumn<QByteArray>("page0");
        QTest::addColumn<int>("asked");
        QTest::newRow("merge, theirs") << QList<Prompts::Button>{Prompts::Button::Merge, Prompts::Button::No}
                                       << QByteArray("The spring") << 2;
        QTest::newRow("merge, ours") << QList<Prompts::Button>{Prompts::Button::Merge, Prompts::Button::Yes}
                                     << QByteArray("The well") << 2;
        QTest::newRow("keep mine") << QList<Prompts::Button>{Prompts::Button::Keep} << QByteArray("The well") << 1;
    }

    void aConflictOnOneEntryIsAsked()
    {
        QFETCH(QList<Prompts::Button>, answers);
        QFETCH(QByteArray, page0);
        QFETCH(int, asked);
        MissionWorkspace workspace;
        ScriptedPrompts prompts;
        for (const Prompts::Button answer : answers)
            prompts.setNextAnswer(answer);
        WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
        document->change(withText(document->document(), "Page_0", u"The well"_s), u"Edit"_s);
        const QByteArray outside = QByteArray(Book).replace("fountain", "spring").replace("dry", "full");
        DiskChange::resolve(*document, outside, prompts);
        QCOMPARE(prompts.messages.size(), asked);
        if (asked == 2) {
            const QString question = prompts.lastMessage().text;
            QVERIFY2(question.startsWith(u"Page_0 was changed both here and outside Quillwright"_s), qPrintable(question));
            QVERIFY(question.contains(u"Page_0:\"The well\""_s) && question.contains(u"Page_0:\"The spring\""_s));
        }
        QCOMPARE(*document->document().write(1252),
                 QByteArray(outside).replace("The spring", page0));   // the other entry from outside, whatever the answer
    }

    // Saving compares each file with the disk first: a change outside not
    // yet seen (the watch is slower) is asked about and merged, never
    // written over; after a save too.
    void aSaveNeverWritesOverAChangeOutside()
    {
        MissionWorkspace workspace;
        ScriptedPrompts prompts;
        WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
        document->change(withText(document->document(), "Page_0", u"The well"_s), u"Edit"_s);
        QVERIFY(workspace.save({document}, prompts));
        QCOMPARE(prompts.messages.size(), 0);
        const QByteArray outside = QByteArray(readBytes(m_book)).replace("dry", "full");
        writeBytes(m_book, outside);
        document->change(withText(document->document(), "Page_0", u"The pond"_s), u"Edit"_s);
        QVERIFY(workspace.save({document}, prompts));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().text.contains(u"was changed outside Quillwright"_s));
        QCOMPARE(readBytes(m_book), QByteArray(outside).replace("The well", "The pond"));
        QVERIFY(!document->isModified());
        // Reloaded instead: nothing of the author's is written.
        document->change(withText(document->document(), "Page_0", u"The lake"_s), u"Edit"_s);
        writeBytes(m_book, Book);
        prompts.setNextAnswer(Prompts::Button::Reload);
        QVERIFY(!workspace.save({document}, prompts));
        QCOMPARE(readBytes(m_book), Book);
        QCOMPARE(*document->document().write(1252), Book);
    }

    // Undo Replace after a file was edited: the original text comes back
    // wherever the replacement still stands; what was typed since stays,
    // also over a replaced text. One step of each file's undo.
    void aReplaceAllUndoneAfterAnEditKeepsTheEdit()
    {
        QTemporaryDir mission;
        QVERIFY(QDir(mission.path()).mkpath(u"books"_s));
        const QString a = mission.filePath(u"books/a.str"_s), b = mission.filePath(u"books/b.str"_s);
        const QByteArray bookA = "Page_0:\"The door\"\r\nPage_1:\"A door\"\r\nPage_2:\"Nothing\"\r\n";
        writeBytes(a, bookA);
        writeBytes(b, "Page_0:\"door\"\r\n");
        const MissionFolder::Scan scan = MissionFolder::scan(mission.path());
        QCOMPARE(scan.files.size(), 2);
        const Replacement::Found found = Replacement::replaceAll(scan, {}, u"door"_s, u"gate"_s, {});
        QCOMPARE(found.matches, 3);
        QCOMPARE(found.files.size(), 2);
        MissionWorkspace workspace;
        QList<WorkspaceDocument *> documents;
        for (const Replacement::File &file : found.files) {
            const MissionFolder::File &scanned = scan.files.at(file.file);
            WorkspaceDocument *document = workspace.adopt(scanned.path, scanned.codePage, scanned.read.document);
            document->change(file.document, u"Replace"_s);
            documents.append(document);
        }
        WorkspaceDocument *first = documents.at(0);
        QCOMPARE(*first->document().write(1252), QByteArray(bookA).replace("door", "gate"));
        // Typed afterwards: another entry, and a replaced one.
        StrDocument typed = withText(first->document(), "Page_2", u"Something typed"_s);
        typed.setText(1, u"A gate, open"_s, oneLine(u"A gate, open"_s, u"a test"_s));
        first->change(typed, u"Edit"_s);
        const Replacement::Restored restored = Replacement::restore(
            first->document(), first->diskBytes(), 1252, found.files.at(0).texts);
        QCOMPARE(restored.texts, 1);
        QCOMPARE(restored.leftTexts, 1);
        QCOMPARE(restored.leftMatches, 1);
        first->change(restored.document, u"Undo Replace"_s);
        first->markSavedIfAsOnDisk();
        QCOMPARE(*first->document().write(1252),
                 QByteArray("Page_0:\"The door\"\r\nPage_1:\"A gate, open\"\r\nPage_2:\"Something typed\"\r\n"));
        QVERIFY(first->isModified());
        // The file no one typed in is as on the disk again: saved.
        WorkspaceDocument *second = documents.at(1);
        const Replacement::Restored back =
            Replacement::restore(second->document(), second->diskBytes(), 1252, found.files.at(1).texts);
        second->change(back.document, u"Undo Replace"_s);
        second->markSavedIfAsOnDisk();
        QVERIFY(!second->isModified());
        // Undo of the first file's last step brings the replacement back, with the edits.
        first->undoStack()->undo();
        QCOMPARE(*first->document().write(1252),
                 QByteArray("Page_0:\"The gate\"\r\nPage_1:\"A gate, open\"\r\nPage_2:\"Something typed\"\r\n"));
    }

    // A file whose bytes its code page lacks (CP850 letters in a folder read
    // in 1252) comes back from a draft whole: its bytes as they were, and
    // its changes, also one the code page cannot write yet.
    void aDraftKeepsWhatTheCodePageLacks()
    {
        const QByteArray german = "Page_0:\"Gr\x81\xE1" "e\"\r\nPage_1:\"T\x81r\"\r\nPage_2:\"Haus\"\r\n";   // Grüße, Tür in CP850
        writeBytes(m_book, german);
        const QString other = m_dir.filePath(u"Other.str"_s);
        writeBytes(other, german);
        QJsonArray kept;
        QByteArray before;
        QString unwritable;
        {
            MissionWorkspace workspace;
            WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
            document->change(withText(document->document(), "Page_2", u"Hof"_s), u"Edit"_s);
            before = *document->document().write(1252);
            // A replacement in a text holding a byte 1252 lacks cannot be written in it.
            WorkspaceDocument *replaced = workspace.open(other, 1252, nullptr);
            const QString text = replaced->document().text(1).replace(u"T"_s, u"D"_s);
            replaced->change(withText(replaced->document(), "Page_1", text), u"Replace"_s);
            QVERIFY(!replaced->document().write(1252));
            unwritable = replaced->document().wholeText();
            kept = Drafts::toJson({{u"documents"_s, workspace.draft()}}).value(u"documents"_s).toArray();
        }
        QCOMPARE(kept.size(), 2);
        MissionWorkspace workspace;
        QCOMPARE(workspace.restore(kept), QStringList());
        WorkspaceDocument *book = workspace.find(m_book);
        QVERIFY(book && book->isModified());
        QCOMPARE(*book->document().write(1252), before);
        QVERIFY(before.startsWith("Page_0:\"Gr\x81\xE1" "e\""));
        WorkspaceDocument *replaced = workspace.find(other);
        QVERIFY(replaced && replaced->isModified());
        QCOMPARE(replaced->document().bytes(), german);
        QCOMPARE(replaced->document().wholeText(), unwritable);
    }

    // A draft of a file saved since (after the draft was written, before the
    // crash) restores nothing: the file is saved as it stands.
    void aDraftOfWhatWasSavedSinceMarksItSaved()
    {
        QJsonArray kept;
        {
            MissionWorkspace workspace;
            ScriptedPrompts prompts;
            WorkspaceDocument *document = workspace.open(m_book, 1252, nullptr);
            document->change(withText(document->document(), "Page_0", u"The well"_s), u"Edit"_s);
            kept = Drafts::toJson({{u"documents"_s, workspace.draft()}}).value(u"documents"_s).toArray();
            QVERIFY(workspace.save({document}, prompts));
        }
        MissionWorkspace workspace;
        QCOMPARE(workspace.restore(kept), QStringList());
        WorkspaceDocument *book = workspace.find(m_book);
        QVERIFY(book && !book->isModified());
        QCOMPARE(workspace.modified().size(), 0);
    }

private:
    QTemporaryDir m_dir;
    QString m_book;
};

QTEST_GUILESS_MAIN(TestWorkspace)
#include "tst_workspace.moc"
