// One file of the workspace edited from three views at once: a tab's store
// (the Books tab's pages laid over the file), the Strings table and a change
// made directly (a replacement). Each is one step of the file's undo; each
// view shows the others' steps; undo and redo run across all of them and
// the bytes written follow.
#include "core/kinds/book.h"
#include "core/kinds/stringtable.h"
#include "core/mission/workspace.h"
#include "support/scriptedprompts.h"
#include "support/testing.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Book = "// Book Location - Tower\nPage_0:\"It was dark.\"\nPage_1:\"The door was locked.\"\n";

// The tab: its book laid over the file as it last showed it.
struct TabView : QObject {
    WorkspaceDocument &document;
    BookState book;
    explicit TabView(WorkspaceDocument &file) : document(file)
    {
        BookFile::load(book, file.document());
        connect(&document, &WorkspaceDocument::changed, this, [this](const QObject *origin) {
            if (origin != this)
                BookFile::show(book, document.document().merged(document.codePage()));
        });
    }
    void correct(int slot, const QString &entry)
    {
        book.Pg.store(slot, entry);
        const auto file = BookFile::document(book, u"Tower"_s, document.codePage());
        document.change(std::get<StrDocument>(file), u"Correct page %1"_s.arg(slot + 1), this);
    }
};

// The Strings table: its model over the file as it last showed it.
struct TableView : QObject {
    WorkspaceDocument &document;
    StringTableModel model;
    explicit TableView(WorkspaceDocument &file) : document(file)
    {
        model.setDocument(file.document());
        connect(&document, &WorkspaceDocument::changed, this, [this](const QObject *origin) {
            if (origin != this)
                model.setDocument(document.document().merged(document.codePage()));
        });
    }
    void edit(int row, const QString &text)
    {
        model.setData(model.index(row, StringTableModel::TextColumn), text);
        document.change(model.document(), u"Edit %1"_s.arg(model.index(row, 0).data().toString()), this);
    }
};

QByteArray written(const WorkspaceDocument &document)
{
    return document.document().write(document.codePage()).value_or("<not written>");
}

} // namespace

class TestDocumentViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void threeViewsOneUndo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Diary.str"_s);
        Testing::writeAll(path, Book);
        MissionWorkspace workspace;
        WorkspaceDocument *document = workspace.open(path, 1252, nullptr);
        QVERIFY(document);
        TabView tab(*document);
        TableView table(*document);

        tab.correct(1, u"Page_1:\"The door was open.\""_s);
        const QByteArray first = QByteArray(Book).replace("locked", "open");
        QCOMPARE(written(*document), first);
        QCOMPARE(table.model.index(1, 1).data().toString(), u"The door was open."_s);   // the table shows the tab's step

        table.edit(0, u"It was night."_s);
        const QByteArray second = QByteArray(first).replace("dark", "night");
        QCOMPARE(written(*document), second);
        QCOMPARE(tab.book.Pg.at(0), u"Page_0:\"It was night.\""_s);   // the tab shows the table's

        StrDocument replaced = document->document().merged(1252);
        replaced.setText(1, u"The gate was open."_s, {});
        document->change(replaced, u"Replace \u201Cdoor\u201D with \u201Cgate\u201D"_s);
        const QByteArray third = QByteArray(second).replace("door", "gate");
        QCOMPARE(written(*document), third);
        QCOMPARE(tab.book.Pg.at(1), u"Page_1:\"The gate was open.\""_s);
        QCOMPARE(table.model.index(1, 1).data().toString(), u"The gate was open."_s);

        // The tab corrects again over what the others did: nothing of theirs is lost.
        tab.correct(0, u"Page_0:\"It was late.\""_s);
        QCOMPARE(written(*document), QByteArray(third).replace("night", "late"));

        QUndoStack &undo = *document->undoStack();
        QCOMPARE(undo.count(), 4);
        QCOMPARE(undo.undoText(), u"Correct page 1"_s);
        const QList<QByteArray> steps{Book, first, second, third};
        for (qsizetype step = steps.size() - 1; step >= 0; --step) {
            undo.undo();
            QCOMPARE(written(*document), steps.at(step));
            // Both views show each step as the file now holds it.
            const StrDocument shown = document->document().merged(1252);
            QCOMPARE(tab.book.Pg.entries(), (QStringList{shown.entryLine(0), shown.entryLine(1)}));
            QCOMPARE(table.model.index(1, 1).data().toString(), shown.text(1));
        }
        QVERIFY(!document->isModified());
        undo.redo();
        undo.redo();
        QCOMPARE(written(*document), second);
        QCOMPARE(undo.undoText(), u"Edit Page_0"_s);
        QVERIFY(document->isModified());
    }

    // A document of no file (what a tab edits with nothing opened) counts
    // as unsaved only while it differs from what was last written of it;
    // saved under a name, it becomes that file's document, its undo kept.
    void aDocumentOfNoFileBecomesTheFileSaved()
    {
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        MissionWorkspace workspace;
        WorkspaceDocument *document = workspace.createUnnamed(1252, StrDocument());
        QVERIFY(document->isUnnamed() && !document->isModified() && workspace.documents().isEmpty());
        BookState book;
        book.Pg.append(u"Page_0:\"One\""_s);
        document->change(std::get<StrDocument>(BookFile::document(book, {}, 1252)), u"Add page 1"_s);
        QVERIFY(document->isModified());
        QVERIFY(workspace.writeCopy(document, dir.filePath(u"copy.str"_s), prompts));
        QCOMPARE(Testing::readAll(dir.filePath(u"copy.str"_s)), "Page_0:\"One\"\r\n");
        QVERIFY(document->isUnnamed() && !document->isModified());
        document->undoStack()->undo();
        QVERIFY(document->isModified());
        document->undoStack()->redo();
        const QString path = dir.filePath(u"named.str"_s);
        QCOMPARE(workspace.saveUnnamedAs(document, path, prompts), document);
        QCOMPARE(document->path(), QDir::cleanPath(path));
        QCOMPARE(workspace.find(path), document);
        QCOMPARE(document->undoStack()->count(), 1);
        QVERIFY(!document->isModified() && prompts.messages.isEmpty());
        QCOMPARE(Testing::readAll(path), "Page_0:\"One\"\r\n");
    }
};

QTEST_GUILESS_MAIN(TestDocumentViews)
#include "tst_documentviews.moc"
