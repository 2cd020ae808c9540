// The source view and Review Changes, driven as an author drives them: lines
// typed into a book become steps of its document's undo and are saved byte
// for byte, a character the code page lacks is refused at its line and
// column, Ctrl+G and Ctrl+F go where they are asked, a change made elsewhere
// shows at once beside typing not yet handed over, the check's findings are
// underlined with their message, and Review Changes shows, reverts and saves
// exactly what changed.
#include "core/mission/workspace.h"
#include "gui/source/reviewchanges.h"
#include "gui/source/sourcebars.h"
#include "gui/source/sourcehighlighter.h"
#include "gui/source/sourcepane.h"
#include "gui/source/sourceview.h"
#include "support/scriptedprompts.h"
#include "support/testing.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Diary = "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Goals = "fiction_0:\"Open the door\"\ntext_0:\"Quietly\"\n";

// Types `text` as the keyboard sends it, each character with its own text.
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// What the view shows, its lines joined by LF.
QString shown(const SourceView *view)
{
    QStringList lines;
    for (QTextBlock block = view->QPlainTextEdit::document()->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines.join(u'\n');
}

// The format the highlighter gave the character at `column` (from 0) of `line` (from 0).
QTextCharFormat formatAt(const SourceView *view, int line, int column)
{
    const QTextBlock block = view->QPlainTextEdit::document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (column >= range.start && column < range.start + range.length)
            return range.format;
    }
    return {};
}

} // namespace

class TestSourceView : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_book;
    QString m_goals;
    std::unique_ptr<MissionWorkspace> m_workspace;
    std::unique_ptr<SourcePane> m_pane;
    ScriptedPrompts m_prompts;

    SourceView *view() const { return m_pane->findChild<SourceView *>(u"sourceView"_s); }

    // The book `bytes` open in the workspace and shown in an active window,
    // whose Ctrl+S saves it as the window's File › Save does.
    WorkspaceDocument *open(const QByteArray &bytes)
    {
        m_book = m_dir.filePath(u"books/english/Diary.str"_s);
        QDir().mkpath(QFileInfo(m_book).path());
        Testing::writeAll(m_book, bytes);
        m_workspace = std::make_unique<MissionWorkspace>();
        Error error;
        WorkspaceDocument *document = m_workspace->open(m_book, 1252, &error);
        m_pane = std::make_unique<SourcePane>();
        m_pane->setWorkspaceDocument(document);
        auto *save = new QAction(m_pane.get());
        save->setShortcut(QKeySequence::Save);
        m_pane->addAction(save);
        connect(save, &QAction::triggered, this, [this, document] { m_workspace->save({document}, m_prompts); });
        m_pane->resize(640, 400);
        m_pane->show();
        m_pane->activateWindow();
        view()->setFocus();
        return QTest::qWaitForWindowActive(m_pane.get()) && view()->hasFocus() ? document : nullptr;
    }

private Q_SLOTS:
    void init()
    {
        m_prompts.messages.clear();
    }

    void cleanup()
    {
        m_pane.reset();
        m_workspace.reset();
    }

    // A comment line and a page typed, the page undone with Ctrl+Z: each
    // line is one step, and the file saved holds the comment, with the
    // file's CR LF, every other byte as it was.
    void editsABook()
    {
        WorkspaceDocument *document = open(Diary);
        QVERIFY(document);
        view()->showAt(1, 100);
        QTest::keyClick(view(), Qt::Key_Return);
        type(view(), u"// the cellar"_s);
        QTest::keyClick(view(), Qt::Key_End, Qt::ControlModifier);
        type(view(), u"Page_2:\"The cellar was cold.\""_s);
        QTest::keyClick(view(), Qt::Key_Return);
        QCOMPARE(document->undoStack()->count(), 3);
        QCOMPARE(document->undoStack()->undoText(), u"Add line 5 to the source"_s);
        QVERIFY(document->isModified());
        QCOMPARE(document->document().wholeText(),
                 u"// Book Location - Tower\r\n// the cellar\r\nPage_0:\"It was dark.\"\r\n"
                 u"Page_1:\"The door was locked.\"\r\nPage_2:\"The cellar was cold.\"\r\n"_s);

        QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!shown(view()).contains(u"Page_2"_s));
        QCOMPARE(document->undoStack()->undoText(), u"Edit line 2 of the source"_s);

        QTest::keyClick(view(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_prompts.messages.size(), 0);
        QCOMPARE(Testing::readAll(m_book), "// Book Location - Tower\r\n// the cellar\r\nPage_0:\"It was dark.\"\r\n"
                                           "Page_1:\"The door was locked.\"\r\n");
        QVERIFY(!document->isModified());
    }

    // Typing saved by the window's shortcut before any pause, in a file of
    // mixed line ends: the lines typed in, the others' ends as they were.
    void savesTypingWithoutAPause()
    {
        WorkspaceDocument *document = open("Page_0:\"a\"\nPage_1:\"b\"\r\nPage_2:\"c\"");
        QVERIFY(document);
        view()->showAt(2, 10);
        type(view(), u" and more"_s);
        QTest::keyClick(view(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Testing::readAll(m_book), "Page_0:\"a\"\nPage_1:\"b and more\"\r\nPage_2:\"c\"");
        QCOMPARE(document->undoStack()->undoText(), u"Edit line 2 of the source"_s);
    }

    void refusesACharacterTheCodePageLacks()
    {
        WorkspaceDocument *document = open(Diary);
        QVERIFY(document);
        view()->showAt(3, 9);
        type(view(), u"\u0141"_s);
        QTest::keyClick(view(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_prompts.messages.size(), 1);
        const QString message = m_prompts.lastMessage().text;
        QVERIFY2(message.startsWith(u"In the source of Diary.str, line 3, column 9, there is the character"_s),
                 qPrintable(message));
        QVERIFY(message.contains(u"(U+0141)"_s));
        QCOMPARE(Testing::readAll(m_book), Diary);
        QVERIFY(document->isModified());
    }

    void goesToALineAndColumn()
    {
        QVERIFY(open(Diary));
        QTest::keyClick(view(), Qt::Key_G, Qt::ControlModifier);
        auto *place = m_pane->findChild<QLineEdit *>(u"sourceGoToText"_s);
        QVERIFY(m_pane->goToBar()->isVisible());
        QCOMPARE(place->text(), u"1"_s);
        QTest::keyClicks(place, u"3:5"_s);
        QTest::keyClick(place, Qt::Key_Return);
        QVERIFY(!m_pane->goToBar()->isVisible());
        QVERIFY(view()->hasFocus());
        QCOMPARE(view()->textCursor().blockNumber(), 2);
        QCOMPARE(view()->textCursor().positionInBlock(), 4);

        QTest::keyClick(view(), Qt::Key_G, Qt::ControlModifier);
        QTest::keyClicks(place, u"9"_s);
        QTest::keyClick(place, Qt::Key_Return);
        QCOMPARE(m_pane->findChild<QLabel *>(u"sourceGoToStatus"_s)->text(), u"The file has 4 lines."_s);
        QCOMPARE(view()->textCursor().blockNumber(), 2);
        QCOMPARE(SourceGoToBar::place(u" 12 : 5"_s)->column, 5);
        QVERIFY(!SourceGoToBar::place(u"12:"_s));
        QVERIFY(!SourceGoToBar::place(u"0"_s));

        m_pane->showAt(2, 100);   // a finding past the line's end: the line's end
        QCOMPARE(view()->textCursor().blockNumber(), 1);
        QCOMPARE(view()->textCursor().positionInBlock(), 21);
    }

    void findsWithinIt()
    {
        QVERIFY(open(Diary + "// the door\r\n"));
        QTest::keyClick(view(), Qt::Key_F, Qt::ControlModifier);
        auto *what = m_pane->findChild<QLineEdit *>(u"sourceFindText"_s);
        auto *status = m_pane->findChild<QLabel *>(u"sourceFindStatus"_s);
        QVERIFY(m_pane->findBar()->isVisible());
        QTest::keyClicks(what, u"door"_s);
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(view()->textCursor().selectedText(), u"door"_s);
        QCOMPARE(view()->textCursor().blockNumber(), 2);
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(view()->textCursor().blockNumber(), 3);
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(view()->textCursor().blockNumber(), 2);
        QCOMPARE(status->text(), u"From the top"_s);

        m_pane->findChild<QCheckBox *>(u"sourceFindCase"_s)->setChecked(true);
        what->setText(u"DOOR"_s);
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(status->text(), u"Not found"_s);
        QCOMPARE(view()->textCursor().blockNumber(), 2);
        QTest::keyClick(what, Qt::Key_Escape);
        QVERIFY(!m_pane->findBar()->isVisible());
        QVERIFY(view()->hasFocus());
    }

    // A form's change, and undo from the window's menu, show at once; the
    // cursor keeps its line, and typing not yet handed over to other lines stays.
    void showsAChangeMadeElsewhere()
    {
        WorkspaceDocument *document = open(Diary);
        QVERIFY(document);
        view()->showAt(3, 5);
        StrDocument stored = document->document();
        stored.setText(0, u"It was night."_s, multiLine(u"It was night."_s, u"page 1"_s));
        document->change(stored, u"Store page 1"_s, this);
        QCOMPARE(shown(view()).split(u'\n').at(1), u"Page_0:\"It was night.\""_s);
        QCOMPARE(view()->textCursor().blockNumber(), 2);
        QCOMPARE(view()->textCursor().positionInBlock(), 4);

        type(view(), u"X"_s);
        StrDocument again = document->document();
        again.setText(0, u"Night fell."_s, multiLine(u"Night fell."_s, u"page 1"_s));
        document->change(again, u"Store page 1"_s, this);
        QCOMPARE(shown(view()).split(u'\n').mid(1, 2),
                 (QStringList{u"Page_0:\"Night fell.\""_s, u"PageX_1:\"The door was locked.\""_s}));
        view()->commitTyping();
        QCOMPARE(document->document().write(1252).value_or("<not written>"),
                 "// Book Location - Tower\r\nPage_0:\"Night fell.\"\r\nPageX_1:\"The door was locked.\"\r\n");

        document->undoStack()->undo();   // Edit › Undo
        QCOMPARE(shown(view()).split(u'\n').at(2), u"Page_1:\"The door was locked.\""_s);
        document->undoStack()->undo();
        document->undoStack()->undo();
        QCOMPARE(shown(view()), QString::fromLatin1(Diary).replace(u"\r\n"_s, u"\n"_s));

        m_workspace->release(document);   // no view of the workspace needs it: nothing left to edit
        QTRY_VERIFY(view()->isReadOnly());
        QCOMPARE(shown(view()), QString());
    }

    // Two blanks in a row are underlined a moment after the file is shown,
    // with the message and its rule on hover, and gone once one is taken out.
    void underlinesFindings()
    {
        QVERIFY(open("Page_0:\"It was dark.\"\r\nPage_1:\"The door  was locked.\"\r\n"));
        m_pane->setFindingsProvider(SourceFindings::kindCheck(m_book));
        QTRY_COMPARE(view()->findings().size(), 1);
        const SourceFinding finding = view()->findings().constFirst();
        QCOMPARE(finding.line, 2);
        QCOMPARE(finding.column, 17);
        QCOMPARE(view()->extraSelections().size(), 1);
        QCOMPARE(view()->extraSelections().constFirst().cursor.blockNumber(), 1);
        QCOMPARE(view()->extraSelections().constFirst().format.underlineStyle(), QTextCharFormat::WaveUnderline);

        QTextCursor at(view()->QPlainTextEdit::document()->findBlockByNumber(1));
        at.setPosition(at.position() + 17);
        const QPoint point = view()->cursorRect(at).center();
        QHelpEvent hover(QEvent::ToolTip, point, view()->viewport()->mapToGlobal(point));
        QApplication::sendEvent(view()->viewport(), &hover);
        QTRY_COMPARE(QToolTip::text(),
                     u"The text of Page_1 has 2 blanks in a row.\n(the check of a book file)"_s);

        view()->setTextCursor(at);
        QTest::keyClick(view(), Qt::Key_Backspace);
        QTRY_VERIFY(view()->findings().isEmpty());
        QVERIFY(view()->extraSelections().isEmpty());
    }

    // The colours follow the game's reading: a key whose quote stands on the
    // next line, an escaped quote, a text that goes on over lines, what
    // follows its closing quote, and a line that is no entry.
    void coloursAsTheGameReads()
    {
        QVERIFY(open("// notes\r\nPage_0:\r\n  \"It said \\\"go\\\" and\r\nwent: on\\\r\n here\" after\r\nstray line\r\n"));
        const auto *colours = view()->QPlainTextEdit::document()->findChild<SourceHighlighter *>();
        QVERIFY(colours);
        const auto colourOf = [&](SourceHighlighter::Part part) { return colours->format(part).foreground(); };
        QTRY_COMPARE(formatAt(view(), 1, 0).foreground(), colourOf(SourceHighlighter::Key));
        QCOMPARE(formatAt(view(), 0, 3).foreground(), colourOf(SourceHighlighter::Comment));
        QCOMPARE(formatAt(view(), 2, 2).foreground(), colourOf(SourceHighlighter::Quote));
        QCOMPARE(formatAt(view(), 2, 11).foreground(), colourOf(SourceHighlighter::Escape));
        QCOMPARE(formatAt(view(), 2, 13).foreground(), QBrush());   // the text itself
        QCOMPARE(formatAt(view(), 3, 0).foreground(), QBrush());    // "went:" is text, no key
        QCOMPARE(formatAt(view(), 3, 8).foreground(), colourOf(SourceHighlighter::Escape));
        QCOMPARE(formatAt(view(), 4, 5).foreground(), colourOf(SourceHighlighter::Quote));
        QCOMPARE(formatAt(view(), 4, 8).foreground(), colourOf(SourceHighlighter::Unread));
        QCOMPARE(formatAt(view(), 5, 0).foreground(), colourOf(SourceHighlighter::Unread));
    }

    // Two files changed, one in the source view: Review Changes shows
    // exactly their changed lines; a file reverted is as on the disk again
    // (and in the view), and Save All writes the other.
    void reviewsChanges()
    {
        WorkspaceDocument *book = open(Diary);
        QVERIFY(book);
        m_goals = m_dir.filePath(u"goals.str"_s);
        Testing::writeAll(m_goals, Goals);
        WorkspaceDocument *goals = m_workspace->open(m_goals, 1252, nullptr);
        QVERIFY(goals);
        view()->showAt(2, 21);
        type(view(), u" Cold."_s);
        view()->commitTyping();
        StrDocument quietly = goals->document();
        quietly.setText(1, u"Very quietly"_s, multiLine(u"Very quietly"_s, u"goal 1"_s));
        goals->change(quietly, u"Store goal 1"_s);

        ReviewChanges review(m_workspace.get(), m_prompts);
        review.setRoot(m_dir.path());
        QSignalSpy saved(&review, &ReviewChanges::saved);
        review.show();
        auto *files = review.findChild<QListWidget *>(u"reviewFiles"_s);
        auto *diff = review.findChild<QPlainTextEdit *>(u"reviewDiff"_s);
        auto *summary = review.findChild<QLabel *>(u"reviewSummary"_s);
        const auto listed = [files] {
            QStringList texts;
            for (int row = 0; row < files->count(); ++row)
                texts.append(files->item(row)->text());
            return texts;
        };
        const QString diaryHeading = QDir::toNativeSeparators(u"books/english/Diary.str"_s) + u" \u2014 1 line changed"_s;
        QTRY_COMPARE(listed(), (QStringList{diaryHeading, u"goals.str \u2014 1 line changed"_s}));
        QCOMPARE(diff->toPlainText(),
                 diaryHeading + u"\n@@ -1,3 +1,3 @@\n // Book Location - Tower\n-Page_0:\"It was dark.\"\n"
                                u"+Page_0:\"It was dark. Cold.\"\n Page_1:\"The door was locked.\"\n\n"
                                u"goals.str \u2014 1 line changed\n@@ -1,2 +1,2 @@\n fiction_0:\"Open the door\"\n"
                                u"-text_0:\"Quietly\"\n+text_0:\"Very quietly\"\n\n"_s);
        QCOMPARE(summary->text(), u"2 files with unsaved changes, 2 lines changed."_s);
        files->setCurrentRow(1);
        QCOMPARE(diff->textCursor().blockNumber(), 7);   // the section of goals.str

        files->setCurrentRow(0);
        review.findChild<QPushButton *>(u"reviewRevert"_s)->click();
        QVERIFY(!book->isModified());
        QCOMPARE(book->document().write(1252).value_or("<not written>"), Diary);
        QCOMPARE(shown(view()).split(u'\n').at(1), u"Page_0:\"It was dark.\""_s);
        QTRY_COMPARE(listed(), QStringList{u"goals.str \u2014 1 line changed"_s});

        review.findChild<QPushButton *>(u"reviewSaveAll"_s)->click();
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.constFirst(), (QVariantList{1, 1}));
        QCOMPARE(Testing::readAll(m_goals), "fiction_0:\"Open the door\"\ntext_0:\"Very quietly\"\n");
        QCOMPARE(Testing::readAll(m_book), Diary);
        QTRY_COMPARE(summary->text(), u"Nothing is unsaved."_s);

        book->undoStack()->undo();   // the revert undone: the typing is unsaved again
        QVERIFY(book->isModified());
        QTRY_COMPARE(listed().size(), 1);
    }
};

QTEST_MAIN(TestSourceView)
#include "tst_sourceview.moc"
