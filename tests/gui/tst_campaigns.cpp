// The mission tables of the Missflag and Titles tabs, driven with the keyboard
// as an author drives them; the files compared byte for byte.
#include "core/save/drafts.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QTableView>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Flags = "// flags\r\nmiss_1: \"skip\"\r\nmiss_2: \"no_loadout\"\r\nmiss_3: \"skip\"\r\n"
                         "miss_4: \"no_briefing,no_loadout\"\r\nmiss_5: \"no_briefing,no_loadout,cutscene,end\"\r\n"
                         "miss_6: \"skip\"\r\n";
const QByteArray Titles = "title_2: \"Prolog (Gellert)\"\nshort_2: \"prologue\"\ntitle_4: \"Ford\"\nshort_4: \"ford\"\n"
                          "title_7: \"Home\"\nshort_7: \"home\"\n";

// The campaign box ticked on the Missflag or Titles tab, then `file` opened into it.
void openCampaign(Harness &h, bool flags, const QByteArray &file = {})
{
    h.window().Tab1->setCurrentWidget(h.find(flags ? "MissflagTab" : "TitlesTab"));
    h.click(flags ? "flagsCampaign" : "titlesCampaign");
    if (file.isEmpty())
        return;
    const QString name = flags ? u"missflag.str"_s : u"Titles.str"_s;
    Testing::writeAll(h.path(name), file);
    h.prompts.setNextPath(h.path(name));
    h.window().openAction->trigger();
}

// Keys pressed where the focus is, separated by '|': a key's name ("Insert",
// "Right*3" three times) or ":text" typed.
void press(const QString &keys)
{
    const QHash<QString, Qt::Key> named{{u"Insert"_s, Qt::Key_Insert}, {u"Delete"_s, Qt::Key_Delete},
        {u"Down"_s, Qt::Key_Down}, {u"Right"_s, Qt::Key_Right}, {u"Space"_s, Qt::Key_Space},
        {u"Return"_s, Qt::Key_Return}, {u"F2"_s, Qt::Key_F2}};
    for (const QString &step : keys.split(u'|', Qt::SkipEmptyParts)) {
        const QString key = step.section(u'*', 0, 0);
        QVERIFY2(step.startsWith(u':') || named.contains(key), qPrintable(step));
        const QStringList clicks = step.startsWith(u':') ? step.mid(1).split(QString(), Qt::SkipEmptyParts)
                                                         : QStringList(std::max(1, step.section(u'*', 1).toInt()), key);
        for (const QString &click : clicks) {
            if (named.contains(click))
                QTest::keyClick(QApplication::focusWidget(), named.value(click));
            else
                QTest::keyClicks(QApplication::focusWidget(), click);
            QCoreApplication::processEvents();   // an edited cell is closed after Return, from the event loop
        }
    }
}

// Every marked cell of the tables shown, as "table row,column: tooltip".
QString marks(Harness &h)
{
    QStringList found;
    for (const QTableView *view : h.window().findChildren<QTableView *>()) {
        const QAbstractItemModel *model = view->model();
        for (int cell = 0; cell < model->rowCount() * model->columnCount(); ++cell) {
            const QModelIndex at = model->index(cell / model->columnCount(), cell % model->columnCount());
            if (at.data(Qt::BackgroundRole).isValid())
                found.append(u"%1 %2,%3: %4"_s.arg(view->objectName()).arg(at.row()).arg(at.column())
                                 .arg(at.data(Qt::ToolTipRole).toString()));
        }
    }
    return found.join(u'\n');
}

} // namespace

class TestCampaigns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The file saved from the table driven, and what the author sees marked or is told.
    void editsTheTable_data()
    {
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QByteArray>("titles");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const QByteArray &flags, const QByteArray &titles, const QString &keys,
                            const QByteArray &saved, const QString &shown = {}) {
            QTest::newRow(name) << flags << titles << keys << saved << shown;
        };
        QByteArray f = Flags;
        row("add", Flags, {}, u"Insert|:3|Return"_s, QByteArray(f).replace("miss_3: \"skip\"", "miss_3: \"\""));
        row("delete", Flags, {}, u"Down|Delete"_s, QByteArray(f).replace("\"no_briefing,no_loadout\"", "\"skip\""));
        row("flag toggled", Flags, {}, u"Right*4|Space"_s, QByteArray(f).replace("\"no_loadout\"", "\"no_loadout,cutscene\""));
        row("short title marked", {}, Titles, u"Right*2|F2|:Prolog (Gellert)|Return"_s,
            QByteArray(Titles).replace("\"prologue\"", "\"Prolog (Gellert)\""),
            u"titleTable 0,2: The short title has 16 characters; the save dialog shows about 8, so it may be cut off."_s);
        row("consistency marked, nothing changed", Flags, Titles, {}, Titles,
            u"missionTable 2,0: Titles.str has no title for mission 5.\n"
            "titleTable 2,0: missflag.str has no flags for mission 7."_s);
        row("duplicate refused", Flags, {}, u"Insert|:4|Return"_s, "<missing>",
            u"\nRows 2 and 3 both have the mission number 4; each mission has one row.\n\n"
            "Correct the row, then save again. Nothing was written."_s);
    }
    void editsTheTable()
    {
        QFETCH(QByteArray, flags);
        QFETCH(QByteArray, titles);
        QFETCH(QString, keys);
        QFETCH(QByteArray, saved);
        QFETCH(QString, shown);
        Harness h;
        if (!flags.isEmpty())
            openCampaign(h, true, flags);
        if (!titles.isEmpty())
            openCampaign(h, false, titles);
        const bool titlesDriven = !titles.isEmpty();   // the tab opened last; its first cell clicked
        auto *view = h.find<QTableView>(titlesDriven ? "titleTable" : "missionTable");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
        press(keys);
        QCOMPARE(h.save(titlesDriven ? "Titles" : "Cmf", u"out.str"_s), saved);
        QCOMPARE(h.prompts.suggestedNames.size(), saved == "<missing>" ? 0 : 1);   // refused before the dialog
        QVERIFY(h.prompts.messages.size() <= 1);   // the table says nothing on opening
        QCOMPARE(marks(h) + (h.prompts.messages.isEmpty() ? QString() : u'\n' + h.lastMessage().text), shown);
    }

    // The boxes of an opened campaign file edit a row of the table's model: the
    // same edit made in the boxes and in the table writes the same bytes, and
    // what the table refuses the boxes refuse alike.
    void theBoxesEditARowOfTheTable_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("boxes");   // Harness steps, on the mission the boxes show first
        QTest::addColumn<QString>("keys");    // the same in the table, from its first cell
        const QByteArray f = Flags;
        QTest::newRow("missflag renumbered") << f << u"Mnum=8"_s << u"Down*2|F2|:8|Return"_s;
        QTest::newRow("missflag text") << f << u"Bno=cutscene, end"_s << u"Down*2|Right*6|F2|:cutscene, end|Return"_s;
        QTest::newRow("missflag number refused") << f << u"Mnum=1000"_s << u"Down*2|F2|:1000|Return"_s;
        QTest::newRow("titles renumbered") << Titles << u"Mn2=9"_s << u"F2|:9|Return"_s;
        QTest::newRow("titles, the short title its own") << Titles << u"Mt2=Prologue"_s << u"Right|F2|:Prologue|Return"_s;
        QTest::newRow("titles, a number twice") << Titles << u"Mn2=4"_s << u"F2|:4|Return"_s;
    }
    void theBoxesEditARowOfTheTable()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, boxes);
        QFETCH(QString, keys);
        const bool flags = file.startsWith("// flags");
        const char *save = flags ? "Cmf" : "Titles";
        Harness inBoxes;
        openCampaign(inBoxes, flags, file);
        inBoxes.click(flags ? "flagsCampaign" : "titlesCampaign");   // back to the boxes
        inBoxes.run(boxes);
        const QByteArray fromBoxes = inBoxes.save(save, u"out.str"_s);
        Harness inTable;
        openCampaign(inTable, flags, file);
        inTable.find<QTableView>(flags ? "missionTable" : "titleTable")->setFocus();   // on its first cell
        press(keys);
        QCOMPARE(fromBoxes, inTable.save(save, u"out.str"_s));
        QVERIFY(fromBoxes != file);
        const QString told = inTable.prompts.messages.isEmpty() ? QString() : inTable.lastMessage().text.section(u"\n\n"_s, 0, 0);
        QCOMPARE(inBoxes.prompts.messages.isEmpty() ? QString() : inBoxes.lastMessage().text, told);
    }

    // A campaign typed into both tables of a new window, saved; a draft of it
    // restored in another window saves the same.
    void buildsACampaignFromScratch()
    {
        Harness h;
        openCampaign(h, true);
        press(u"Insert|:3|Return|Right*3|Space|Insert|:5|Return|Right*2|Space|Right|Space"
              u"|Insert|:6|Return|Right*2|Space|Right|Space|Right|Space|Right|Space"_s);
        QCOMPARE(h.text("skipLinesLabel"), u"Skip lines: 1\u20132, 4, 7"_s);
        openCampaign(h, false);
        press(u"Insert|:3|Return|Right|:Prolog (Gellert)|Return|Right|:prologue|Return"
              u"|Insert|:5|Return|Right|:Ford|Return|Right|:ford|Return"
              u"|Insert|Return|Right|:Home|Return|Right|:home|Return"_s);
        const QByteArray flags = Testing::MissflagHeader
            + "miss_1: \"skip\"\r\nmiss_2: \"skip\"\r\nmiss_3: \"no_loadout\"\r\nmiss_4: \"skip\"\r\n"
              "miss_5: \"no_briefing,no_loadout\"\r\nmiss_6: \"no_briefing,no_loadout,cutscene,end\"\r\n"
              "miss_7: \"skip\"\r\n";
        const QByteArray titles =
            "// Objectives screen text.\r\ntitle_3: \"Prolog (Gellert)\"\r\n// Save game dialog text.\r\nshort_3: \"prologue\"\r\n"
            "// Objectives screen text.\r\ntitle_5: \"Ford\"\r\n// Save game dialog text.\r\nshort_5: \"ford\"\r\n"
            "// Objectives screen text.\r\ntitle_6: \"Home\"\r\n// Save game dialog text.\r\nshort_6: \"home\"\r\n";
        QCOMPARE(marks(h), QString());
        QCOMPARE(Drafts::describe(h.window().draftState()), u"Flags for 3 missions; Titles for 3 missions"_s);   // not the untouched Newgame tab
        Harness again;
        again.window().restoreDraft(h.window().draftState());
        QCOMPARE(again.closeQuestion(), u"This work has not been saved:\n\n- the missions in the table on the Missflag tab\n"
                                        "- the missions in the table on the Titles tab\n\nClose Quillwright and discard it?"_s);
        for (Harness *window : {&h, &again}) {
            QCOMPARE(window->save("Cmf", u"missflag.str"_s), flags);
            QCOMPARE(window->save("Titles", u"Titles.str"_s), titles);
        }
        QCOMPARE(h.closeQuestion(), QString());
    }
};

QTEST_MAIN(TestCampaigns)
#include "tst_campaigns.moc"
