// The entry pane of the translation window, driven as a translator drives
// it: an Outdated entry shows its old source beside the new with the changed
// word marked, a suggestion taken with its key is an undoable change saved
// byte for byte, a note typed is kept in the record, a term left out warns.
#include "core/save/drafts.h"
#include "core/mission/translation/memory.h"
#include "core/mission/translation/translationrecord.h"
#include "gui/translation/entrypane.h"
#include "gui/translation/termeditor.h"
#include "gui/translation/translationwindow.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

const QString Objects = u"strings/english/objnames.str"_s;
const QString PolishObjects = u"strings/polish/objnames.str"_s;

// The words a source box shows marked (on a background of their own).
QStringList markedWords(const QTextBrowser *box)
{
    QStringList marked;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().background().style() != Qt::NoBrush)
                marked.append(it.fragment().text());
        }
    }
    return marked;
}

} // namespace

class TestEntryPane : public QObject
{
    Q_OBJECT

private:
    // A mission of one file of objects, translated into Polish as `polish`
    // says, with the record of obj_gate translated from "The old gate".
    TranslationWindow *open(Harness &h, const QByteArray &polish, const QByteArray &terms = R"({"terms": {"door": "drzwi"}})")
    {
        m_root = h.path(u"mission"_s);
        QDir(m_root).mkpath(u"strings/english"_s);
        QDir(m_root).mkpath(u"strings/polish"_s);
        Testing::writeAll(QDir(m_root).filePath(Objects),
                          "// Objects of the keep\r\n\r\n// The west gate\r\nobj_gate:\"The new gate\"\r\n"
                          "obj_door:\"Open the red door\"\r\nobj_hall:\"Open the door\"\r\n");
        Testing::writeAll(QDir(m_root).filePath(PolishObjects), polish);
        TranslationRecord::Record record{u"mission"_s, u"polish"_s, {}};
        record.files[Objects][u"obj_gate"_s] = {TranslationRecord::EntryState::Translated,
                                                TranslationRecord::hashOf(u"The old gate"_s), u"The old gate"_s, {}};
        [&] { QCOMPARE(TranslationRecord::save(recordPath(), record), std::nullopt); }();
        Testing::writeAll(QDir(m_root).filePath(TermList::fileName(u"polish"_s)), terms);
        return show(h);
    }
    // The mission's translation into Polish, shown in `h`'s window.
    TranslationWindow *show(Harness &h)
    {
        h.window().openFolder(m_root);
        h.window().translateMission(u"english"_s, u"polish"_s);
        TranslationWindow *view = nullptr;
        if (!QTest::qWaitFor([&] { return (view = h.window().findChild<TranslationWindow *>(u"translationView"_s)) && view->isVisible(); }, 30000))
            return nullptr;
        view->activateWindow();
        return QTest::qWaitForWindowActive(view) ? view : nullptr;
    }
    // The mission opened with a note typed for obj_door, then obj_gate chosen.
    TranslationWindow *openWithNote(Harness &h)
    {
        TranslationWindow *view = open(h, "obj_gate: \"Stara brama\"\r\n");
        if (!view)
            return nullptr;
        choose(view, 1);
        view->entryPane->translatorNote->setFocus();
        QTest::keyClicks(view->entryPane->translatorNote, u"A cellar door"_s);
        choose(view, 0);
        return view;
    }
    QString recordPath() const { return QDir(m_root).filePath(TranslationRecord::fileName(u"polish"_s)); }
    static void choose(TranslationWindow *view, int row)
    {
        view->translationTable->setFocus();
        view->translationTable->setCurrentIndex(view->translationTable->model()->index(row, 2));
    }

    QString m_root;

private Q_SLOTS:
    void anOutdatedEntryShowsBothSources()
    {
        Harness h;
        TranslationWindow *view = open(h, "obj_gate: \"Stara brama\"\r\n");
        QVERIFY(view);
        choose(view, 0);
        QVERIFY(view->entryPane->sourceChange->isVisible());
        QCOMPARE(view->entryPane->oldSource->toPlainText(), u"The old gate"_s);
        QCOMPARE(view->entryPane->newSource->toPlainText(), u"The new gate"_s);
        QCOMPARE(markedWords(view->entryPane->oldSource), QStringList{u"old"_s});
        QCOMPARE(markedWords(view->entryPane->newSource), QStringList{u"new"_s});
        QCOMPARE(view->entryPane->sourceNotes->text(), u"<i>The file:</i> Objects of the keep<br><i>This entry:</i> The west gate"_s);
        choose(view, 1);   // not outdated
        QVERIFY(!view->entryPane->sourceChange->isVisible());
    }

    void aSuggestionTakenByItsKeyIsSaved()
    {
        Harness h;
        TranslationWindow *view = open(h, "obj_door: \"Otw\xF3rz czerwone wrota\"\r\n");
        QVERIFY(view);
        choose(view, 1);   // its translation lacks the term's rendering
        QVERIFY2(view->entryPane->termList->text().contains(u"the translation does not hold \u201Cdrzwi\u201D"_s),
                 qPrintable(view->entryPane->termList->text()));
        choose(view, 2);   // untranslated: nothing to warn of, one suggestion
        QCOMPARE(view->entryPane->termList->text(), u"door \u2192 drzwi"_s);
        QTRY_VERIFY2(view->entryPane->suggestionList->text().startsWith(u"<b>Ctrl+1</b> &nbsp;75&nbsp;%"_s),
                 qPrintable(view->entryPane->suggestionList->text()));
        QTest::keyClicks(view->translationTable, u"x"_s);   // an editor opens on the row, holding "x"
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && editor != view->translationTable);
        QTest::keyClick(editor, Qt::Key_1, Qt::ControlModifier);
        choose(view, 0);   // leaving the row would write what an editor left open holds
        choose(view, 2);
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(2).data().toString(), u"Otw\u00F3rz czerwone wrota"_s);
        // Not the same source's: it waits for a review, never Done by itself.
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(3).data().toString(), u"Needs review"_s);
        QTest::keyClick(view->translationTable, Qt::Key_Z, Qt::ControlModifier);   // one step of undo
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(2).data().toString(), QString());
        QTest::keyClick(view->translationTable, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Testing::readAll(QDir(m_root).filePath(PolishObjects)),
                 "obj_gate: \"The new gate\"\r\nobj_door: \"Otw\xF3rz czerwone wrota\"\r\nobj_hall: \"Otw\xF3rz czerwone wrota\"\r\n");
    }

    // A term added from the words chosen in the source and the translation,
    // its rendering edited in the list, then removed: the list's file each time.
    void termsAreEditedInTheWindow()
    {
        Harness h;
        TranslationWindow *view = open(h, "obj_gate: \"Stara brama\"\r\n");
        QVERIFY(view);
        choose(view, 0);
        TermEditor *terms = view->entryPane->termEditor;
        const auto choose = [](QPlainTextEdit *box, const QString &word) {
            QTextCursor cursor = box->document()->find(word);
            QVERIFY2(!cursor.isNull(), qPrintable(word));
            box->setTextCursor(cursor);
        };
        choose(terms->entrySource, u"gate"_s);
        choose(terms->entryTranslation, u"brama"_s);
        terms->addTerm->click();
        const QString list = QDir(m_root).filePath(TermList::fileName(u"polish"_s));
        QCOMPARE(TermList::load(list), (TermList::Terms{{u"door"_s, u"drzwi"_s}, {u"gate"_s, u"brama"_s}}));
        QCOMPARE(view->entryPane->termList->text(), u"gate \u2192 brama"_s);
        QCOMPARE(terms->termTable->item(1, 0)->text(), u"gate"_s);
        terms->termTable->item(1, 1)->setText(u"wrota"_s);   // as typed into the cell
        QCOMPARE(TermList::load(list), (TermList::Terms{{u"door"_s, u"drzwi"_s}, {u"gate"_s, u"wrota"_s}}));
        QVERIFY2(view->entryPane->termList->text().contains(u"the translation does not hold \u201Cwrota\u201D"_s),
                 qPrintable(view->entryPane->termList->text()));
        terms->termTable->setCurrentCell(0, 0);
        terms->removeTerm->click();
        QCOMPARE(TermList::load(list), (TermList::Terms{{u"gate"_s, u"wrota"_s}}));
    }

    // A rendering inflected ("starą bramą" for "stara brama") is held: no warning.
    void anInflectedRenderingIsHeld()
    {
        Harness h;
        TranslationWindow *view = open(h, "obj_gate: \"Przed star\xB9 bram\xB9\"\r\n", R"({"terms": {"new gate": "stara brama"}})");
        QVERIFY(view);
        choose(view, 0);
        QCOMPARE(view->entryPane->termList->text(), u"new gate \u2192 stara brama"_s);
        QVERIFY(!view->entryPane->termList->text().contains(u"\u26A0"_s));
    }

    void aNoteTypedIsKeptInTheRecord()
    {
        Harness h;
        TranslationWindow *view = openWithNote(h);
        QVERIFY(view);
        QCOMPARE(view->entryPane->translatorNote->toPlainText(), QString());
        QCOMPARE(view->unsavedWork(), QStringList{u"the done marks and notes of the polish translation"_s});
        view->translationSave->click();
        QCOMPARE(view->unsavedWork(), QStringList());
        const TranslationRecord::Loaded saved = TranslationRecord::load(recordPath(), u"mission"_s, u"polish"_s);
        QCOMPARE(saved.record.files.value(Objects).value(u"obj_door"_s).note, u"A cellar door"_s);
        QCOMPARE(saved.record.files.value(Objects).value(u"obj_gate"_s).source, u"The old gate"_s);   // still outdated
    }

    // A crash keeps the done marks and notes not yet saved: the draft holds
    // them, and the mission's translation opened after restoring shows them,
    // unsaved, until Save writes them to the record.
    void aDraftKeepsMarksAndNotes()
    {
        Harness h;
        TranslationWindow *view = openWithNote(h);
        QVERIFY(view);
        view->markDone->click();
        const QJsonObject draft = h.window().draftState();
        QVERIFY2(Drafts::describe(draft).contains(u"done marks and notes of the polish translation"_s),
                 qPrintable(Drafts::describe(draft)));

        Harness again;
        again.window().restoreDraft(draft);
        QVERIFY2(again.closeQuestion().contains(u"the done marks and notes of the polish translation"_s),
                 qPrintable(again.closeQuestion()));
        TranslationWindow *restored = show(again);
        QVERIFY(restored);
        QCOMPARE(restored->translationTable->model()->index(0, TranslationTableModel::StateColumn).data().toString(), u"Done"_s);
        choose(restored, 1);
        QCOMPARE(restored->entryPane->translatorNote->toPlainText(), u"A cellar door"_s);
        QCOMPARE(restored->unsavedWork(), QStringList{u"the done marks and notes of the polish translation"_s});
        restored->translationSave->click();
        const TranslationRecord::Loaded saved = TranslationRecord::load(recordPath(), u"mission"_s, u"polish"_s);
        QCOMPARE(saved.record.files.value(Objects).value(u"obj_door"_s).note, u"A cellar door"_s);
        QCOMPARE(saved.record.files.value(Objects).value(u"obj_gate"_s).state, TranslationRecord::EntryState::Done);
    }
};

QTEST_MAIN(TestEntryPane)
#include "tst_entrypane.moc"
