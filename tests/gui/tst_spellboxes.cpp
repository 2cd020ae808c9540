// Spelling in the boxes that have no text document: the one-line boxes of the
// Newgame and Titles tabs and the text cells of the Strings table, with small
// dictionaries made here (the user's dictionary folder is searched first).
#include "core/kinds/stringtable.h"
#include "core/kinds/titles.h"
#include "core/save/settings.h"
#include "gui/tabs/newgamepage.h"
#include "gui/spellingboxes.h"
#include "gui/mission/missionpanel.h"
#include "gui/tabs/stringspage.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Newgame = "difficulty: \"Difficulty:\"\r\nskip_training: \"The Rnig\"\r\noptions: \"Options\"\r\n"
                           "cancel: \"Cancel\"\r\n\r\ndiff_0:  \"Easy\"\r\ndiff_1:  \"Hard\"\r\ndiff_2:  \"Expert\"\r\n";

// en_US and de_DE, each knowing a few words.
void writeDictionaries(const QString &folder)
{
    const QByteArray aff = "SET UTF-8\nTRY esianrtolcdugmphbyfvkwzESIANRTOLCDUGMPHBYFVKWZ\n";
    Testing::writeAll(folder + u"/en_US.aff"_s, aff);
    Testing::writeAll(folder + u"/en_US.dic"_s, "5\nthe\nRing\neasy\nhard\nsword\n");
    Testing::writeAll(folder + u"/de_DE.aff"_s, aff);
    Testing::writeAll(folder + u"/de_DE.dic"_s, "5\nder\nRing\nrostiges\nSchwert\nAxt\n");
}

QStringList markedWords(const QString &text, const QList<Spelling::Word> &marks)
{
    QStringList words;
    for (const Spelling::Word &word : marks)
        words.append(text.sliced(word.start, word.length));
    return words;
}

QStringList marked(QLineEdit *box)
{
    const auto *spelling = box->findChild<LineEditSpelling *>();
    return spelling ? markedWords(box->text(), spelling->marked()) : QStringList{u"<not checked>"_s};
}

// Pixels of the wavy line (red) in `area` of `widget` as painted.
int redPixels(QWidget *widget, const QRect &area)
{
    const QImage image = widget->grab(area).toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            red += pixel.red() > 180 && pixel.green() < 110 && pixel.blue() < 110;
        }
    }
    return red;
}

// Where the box shows the character at `position`.
QPoint pointAt(QLineEdit *box, int position)
{
    for (int x = 0; x < box->width(); ++x) {
        if (box->cursorPositionAt(QPoint(x, box->height() / 2)) == position)
            return {x, box->height() / 2};
    }
    return {};
}

// Chooses the dictionary folder as the author does, from the Edit menu.
void chooseDictionaryFolder(Harness &h, const QString &folder)
{
    h.prompts.setNextPath(folder);
    h.window().dictionaryFolderAction->trigger();
    QCOMPARE(Settings::dictionaryFolder(), folder);
}

} // namespace

class TestSpellBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The window at rest loads no dictionary: the first text typed does.
    void loadsNoDictionaryUntilATextIsSpelled()
    {
        Harness h;
        QTest::qWait(300);
        QVERIFY(!h.window().spelling->isReady(u"english"_s));
        QLineEdit *title = h.find<QLineEdit>("Mt");
        h.window().Tab1->setCurrentWidget(h.window().newgame);
        QTest::keyClicks(title, u"The Rnig"_s);
        QTRY_VERIFY(h.window().spelling->isReady(u"english"_s));
    }

    // "Add all unknown words of this file" writes the words no dictionary
    // knows of the file the box edits into the mission's word list, most
    // frequent first, and their marks go.
    void addsAllUnknownWordsOfTheFile()
    {
        Harness h;
        QTemporaryDir dictionaries;
        writeDictionaries(dictionaries.path());
        chooseDictionaryFolder(h, dictionaries.path());
        const QString root = h.path(u"mission"_s);
        QVERIFY(QDir(root).mkpath(u"intrface/english"_s));
        const QString path = root + u"/intrface/english/newgame.str"_s;
        Testing::writeAll(path, "difficulty: \"Difficulty:\"\r\nskip_training: \"The Rnig of Zorg\"\r\n"
                                "options: \"Zorg Zorg\"\r\ncancel: \"1\"\r\ndiff_0:  \"Easy\"\r\n"
                                "diff_1:  \"Hard\"\r\ndiff_2:  \"Sword\"\r\n");
        h.window().openFolder(root);
        QVERIFY(QTest::qWaitFor([&] { return !h.window().missionPanel->isReading(); }, 30000));
        QVERIFY(h.window().openFile(path));
        h.window().Tab1->setCurrentWidget(h.window().newgame);
        QLineEdit *title = h.find<QLineEdit>("Mt");
        QTRY_COMPARE(marked(title), (QStringList{u"Rnig"_s, u"of"_s, u"Zorg"_s}));
        const std::unique_ptr<QMenu> menu(title->findChild<LineEditSpelling *>()->contextMenu(pointAt(title, 1)));
        QAction *addAll = menu->findChild<QAction *>(u"spellingAddAll"_s);
        QVERIFY(addAll && addAll->isEnabled());
        addAll->trigger();
        QFile list(root + u"/dictionary-english.txt"_s);
        QVERIFY(list.open(QIODevice::ReadOnly));
        QCOMPARE(list.readAll(), QByteArray("Zorg\nDifficulty\nRnig\nof\n"));
        QTRY_COMPARE(marked(title), QStringList());
    }

    // A misspelt title is marked in its box; the suggestion chosen from the
    // box's menu replaces it, and the file is saved with the word corrected,
    // every other byte as it was.
    void correctsANewgameBoxFromItsMenu()
    {
        Harness h;
        QTemporaryDir dictionaries;
        writeDictionaries(dictionaries.path());
        chooseDictionaryFolder(h, dictionaries.path());
        const QString path = h.path(u"newgame.str"_s);
        Testing::writeAll(path, Newgame);
        QVERIFY(h.window().openFile(path));
        h.window().Tab1->setCurrentWidget(h.window().newgame);
        QLineEdit *title = h.find<QLineEdit>("Mt");
        QTRY_COMPARE(marked(title), QStringList{u"Rnig"_s});
        QTRY_VERIFY(redPixels(title, title->rect()) > 0);
        const std::unique_ptr<QMenu> menu(title->findChild<LineEditSpelling *>()->contextMenu(pointAt(title, 6)));
        QAction *suggestion = nullptr;
        for (QAction *action : menu->actions())
            suggestion = action->text() == u"Ring" ? action : suggestion;
        QVERIFY(suggestion);
        suggestion->trigger();
        QCOMPARE(title->text(), u"The Ring"_s);
        QCOMPARE(marked(title), QStringList());
        QTRY_COMPARE(redPixels(title, title->rect()), 0);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path), QByteArray(Newgame).replace("Rnig", "Ring"));
    }

    // The Strings table marks the misspelt words of a cell, in the language
    // of the file's folder, and its editor has the same spelling.
    void marksAMisspeltCellOfTheStringsTable()
    {
        Harness h;
        QTemporaryDir dictionaries;
        writeDictionaries(dictionaries.path());
        chooseDictionaryFolder(h, dictionaries.path());
        QVERIFY(QDir(h.dir.path()).mkpath(u"german"_s));
        const QString path = h.path(u"german/objects.str"_s);
        Testing::writeAll(path, "sword_name: \"Rostiges Schwert\"\r\naxe_name: \"Rostiges Axtt\"\r\n");
        QVERIFY(h.window().openFile(path));
        QTableView *table = h.find<QTableView>("stringsTable");
        auto *delegate = qobject_cast<SpellingDelegate *>(table->itemDelegate());
        QVERIFY(delegate);
        const QModelIndex sword = table->model()->index(0, StringTableModel::TextColumn);
        const QModelIndex axe = table->model()->index(1, StringTableModel::TextColumn);
        QTRY_COMPARE(markedWords(axe.data().toString(), delegate->marked(axe)), QStringList{u"Axtt"_s});
        QCOMPARE(delegate->marked(sword), QList<Spelling::Word>());
        QTRY_VERIFY(redPixels(table->viewport(), table->visualRect(axe)) > 0);
        QCOMPARE(redPixels(table->viewport(), table->visualRect(sword)), 0);
        table->edit(axe);
        auto *editor = table->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(marked(editor), QStringList{u"Axtt"_s});
    }

    // The campaign table of titles marks its titles and short titles, and
    // nothing in the numbers.
    void marksAMisspeltTitleOfTheCampaignTable()
    {
        Harness h;
        QTemporaryDir dictionaries;
        writeDictionaries(dictionaries.path());
        chooseDictionaryFolder(h, dictionaries.path());
        h.window().Tab1->setCurrentWidget(h.find("TitlesTab"));
        h.click("titlesCampaign");
        const QString path = h.path(u"Titles.str"_s);
        Testing::writeAll(path, "title_2: \"The Rnig\"\r\nshort_2: \"the sowrd\"\r\ntitle_3: \"The Ring\"\r\n");
        h.prompts.setNextPath(path);
        h.window().openAction->trigger();
        auto *table = h.find<QTableView>("titleTable");
        const auto markedIn = [table](int row, int column) {
            const QModelIndex cell = table->model()->index(row, column);
            auto *delegate = qobject_cast<SpellingDelegate *>(table->itemDelegateForIndex(cell));
            return delegate ? markedWords(cell.data().toString(), delegate->marked(cell)) : QStringList{u"<not checked>"_s};
        };
        QTRY_COMPARE(markedIn(0, TitlesTable::Title), QStringList{u"Rnig"_s});
        QCOMPARE(markedIn(0, TitlesTable::Short), QStringList{u"sowrd"_s});
        QCOMPARE(markedIn(1, TitlesTable::Title), QStringList());
        QCOMPARE(markedIn(0, TitlesTable::Number), QStringList{u"<not checked>"_s});
        const QModelIndex wrong = table->model()->index(0, TitlesTable::Title);
        QTRY_VERIFY(redPixels(table->viewport(), table->visualRect(wrong)) > 0);
    }

    // The language chosen in a box's menu decides what it marks there, and
    // only there; the dictionary folder chosen is searched before the
    // system's (its English knows no "Expert").
    void checksABoxInTheLanguageChosenForIt()
    {
        Harness h;
        QTemporaryDir dictionaries;
        writeDictionaries(dictionaries.path());
        h.window().Tab1->setCurrentWidget(h.window().newgame);
        h.run(u"Mt=Der Ring|diff0=Easy"_s);
        chooseDictionaryFolder(h, dictionaries.path());
        QLineEdit *title = h.find<QLineEdit>("Mt");
        QLineEdit *expert = h.find<QLineEdit>("diff2");
        QTRY_COMPARE(marked(expert), QStringList{u"Expert"_s});
        QCOMPARE(marked(title), QStringList{u"Der"_s});
        const std::unique_ptr<QMenu> menu(title->findChild<LineEditSpelling *>()->contextMenu(pointAt(title, 1)));
        auto *languages = menu->findChild<QMenu *>(u"spellingLanguage"_s);
        QVERIFY(languages);
        QAction *german = nullptr;
        for (QAction *action : languages->actions())
            german = action->text() == u"german" ? action : german;
        QVERIFY(german);
        german->trigger();
        QTRY_COMPARE(marked(title), QStringList());
        h.run(u"Mt=Der Rnig"_s);
        QTRY_COMPARE(marked(title), QStringList{u"Rnig"_s});
        QCOMPARE(marked(h.find<QLineEdit>("diff0")), QStringList());   // still English
        h.run(u"diff0=Der"_s);
        QCOMPARE(marked(h.find<QLineEdit>("diff0")), QStringList{u"Der"_s});
    }
};

QTEST_MAIN(TestSpellBoxes)
#include "tst_spellboxes.moc"
