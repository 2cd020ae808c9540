#pragma once

// The steps of the translation window's tests: the window opened on a
// mission, a translation typed into a row as a translator types it, what
// the table and the list show.

#include "gui/translation/translationwindow.h"
#include "support/harness.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <algorithm>

using namespace Qt::StringLiterals;

// The translation window of the mission open, from `source` into `target`.
inline TranslationWindow *showTranslation(Harness &h, const QString &source, const QString &target)
{
    h.window().translateMission(source, target);
    TranslationWindow *view = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        view = h.window().findChild<TranslationWindow *>(u"translationView"_s);
        return view && view->isVisible();
    }, 30000);
    if (!shown)
        return nullptr;
    view->activateWindow();   // the keys typed go to the window
    return QTest::qWaitForWindowActive(view) ? view : nullptr;
}

inline TranslationWindow *openTranslation(Harness &h, const QString &root, const QString &source, const QString &target)
{
    h.window().openFolder(root);
    return showTranslation(h, source, target);
}

// The keys the table shows, '|' between them.
inline QString shownKeys(const QTableView *table)
{
    QStringList keys;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        keys.append(table->model()->index(row, 0).data().toString());
    return keys.join(u'|');
}

// Types `text` into the current cell of the table as a one-line edit: F2, the
// text, Return (the cell is closed from the event loop).
inline void typeLine(QTableView *table, const QString &text)
{
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClicks(QApplication::focusWidget(), text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
}

// Goes to the key's row of the table and types `text` into its translation:
// F2, the text into the cell's editor (what no key of a test sends, beyond
// ASCII, as a paste puts it in), Return.
inline void translate(TranslationWindow *view, const QString &key, const QString &text)
{
    QTableView *table = view->translationTable;
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view));
    table->setFocus();
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        if (table->model()->index(row, 0).data().toString() == key)
            table->setCurrentIndex(table->model()->index(row, 2));
    }
    QCOMPARE(table->currentIndex().siblingAtColumn(0).data().toString(), key);
    QTest::keyClick(table, Qt::Key_F2);
    QLineEdit *editor = nullptr;   // the cell's, not one closed before
    for (QLineEdit *open : table->findChildren<QLineEdit *>(u"translationEditor"_s))
        editor = open->isVisible() ? open : editor;
    QVERIFY(editor);
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        QTest::keyClicks(editor, text);
    else
        editor->insert(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// The file the list shows as current, without the mark of unsaved work.
inline QString currentFile(const TranslationWindow *view)
{
    return view->translationFiles->currentIndex().data().toString().remove(u" *"_s);
}

// The translation of the key's row, as the table shows it.
inline QString shownTranslation(const TranslationWindow *view, const QString &key)
{
    const QAbstractItemModel *rows = view->translationTable->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        if (rows->index(row, 0).data().toString() == key)
            return rows->index(row, 2).data().toString();
    }
    return u"<no row>"_s;
}

// A key event as the keyboard sends it while the key is held down.
inline void sendHeld(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text = {})
{
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, text, /*autorep=*/true);
        QApplication::sendEvent(widget, &event);
    }
}

