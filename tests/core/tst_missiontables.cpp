// The mission tables of a campaign's missflag.str and Titles.str, without a
// window: the rows a file gives and the bytes they give back, what one edit
// changes (skip lines included) or why it is refused.
#include "core/kinds/missflag.h"
#include "core/kinds/titles.h"
#include "support/testing.h"

#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Flags = "// flags\r\nmiss_1: \"skip\"\r\nmiss_2: \"no_loadout\"\r\nmiss_3: \"skip\"\r\n"
                         "miss_4: \"no_briefing,no_loadout\"\r\nmiss_5: \"no_briefing,no_loadout,cutscene,end\"\r\n"
                         "miss_6: \"skip\"\r\n";
const QByteArray HandFlags = "Miss_3:\"end, brief7\"\nmiss_2.5: \"no_loadout\"\nmiss_1:\"skip\"\nmiss_2:\"skip\"\nmiss_4:\"skip\"\n";
const QByteArray Titles = "// Objectives screen text.\r\ntitle_19: \"Prolog (Gellert)\"\r\n// Save game dialog text.\r\n"
                          "short_19: \"prologue\"\r\n// Objectives screen text.\r\ntitle_20: \"The Ring\"\r\n"
                          "// Save game dialog text.\r\nshort_20: \"ring\"\r\n";
const QByteArray HandTitles = "title_ 7: \"Seven\"\ntitle_20: \"The Ring\"\ntitle_22: \"Alone\"\nshort_7: \"7\"\nshort_20: \"ring\"\n";

std::unique_ptr<MissionTable> table(const QByteArray &file)
{
    StrDocument document(file, {1252, false});
    if (file.contains("title_"))
        return std::make_unique<TitlesTable>(document);
    return std::make_unique<MissflagTable>(file.isEmpty() ? MissflagTable::newFile() : document);
}

// Each row: "!" when read-only, the number, then after "|" each text, or a
// run of check boxes as x and -.
QString shown(const MissionTable &model)
{
    QStringList lines;
    for (int row = 0; row < model.rowCount(); ++row) {
        QString line = QLatin1String(model.isReadOnly(row) ? "!" : "") + model.index(row, 0).data().toString();
        for (int column = 1; column < model.columnCount(); ++column) {
            const QVariant check = model.index(row, column).data(Qt::CheckStateRole);
            if (!check.isValid() || !model.index(row, column - 1).data(Qt::CheckStateRole).isValid())
                line += u'|';
            line += check.isValid() ? QString(check.toInt() == Qt::Checked ? u'x' : u'-')
                                    : model.index(row, column).data().toString();
        }
        lines.append(line);
    }
    return lines.join(u'\n');
}

// Steps separated by ';': "+21" adds mission 21, "-2" deletes row 2,
// "2,1=text" sets a cell's text, "2,1:x" or "2,1:-" its check box,
// "after=0" turns the skip line after the last mission off.
void edit(MissionTable &model, const QString &steps)
{
    for (const QString &step : steps.split(u';', Qt::SkipEmptyParts)) {
        if (step == u"after=0")
            static_cast<MissflagTable &>(model).setSkipsAfterLast(false);
        else if (step.startsWith(u'+'))
            model.addRow(step.mid(1));
        else if (step.startsWith(u'-'))
            QVERIFY(model.removeRows(step.mid(1).toInt(), 1));
        else {
            const QRegularExpressionMatch m = QRegularExpression(u"^(\\d+),(\\d+)([=:])(.*)$"_s, QRegularExpression::DotMatchesEverythingOption).match(step);
            QVERIFY2(m.hasMatch(), qPrintable(step));
            const QModelIndex cell = model.index(m.captured(1).toInt(), m.captured(2).toInt());
            QVERIFY(m.captured(3) == u"=" ? model.setData(cell, m.captured(4))
                                          : model.setData(cell, m.captured(4) == u"x" ? Qt::Checked : Qt::Unchecked,
                                                          Qt::CheckStateRole));
        }
    }
}

QByteArray written(const MissionTable &model)
{
    return model.document().write(1252).value_or("<cannot be written>");
}

} // namespace

class TestMissionTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The rows a file gives, and the bytes after `steps`: unchanged rows keep
    // their bytes, a changed row changes its own lines, in the file's style.
    void editsRows_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, const QByteArray &file, const QString &steps, const QByteArray &expected,
                            const QString &rows = {}) { QTest::newRow(name) << file << rows << steps << expected; };
        QByteArray f = Flags;
        row("missflag as published", Flags, {}, Flags, u"2|--x--|\n4|-xx--|\n5|-xxxx|"_s);
        row("missflag by hand", HandFlags, {}, HandFlags, u"!2.5|--x--|\n3|----x|end, brief7"_s);
        row("titles as published", Titles, {}, Titles, u"19|Prolog (Gellert)|prologue\n20|The Ring|ring"_s);
        row("titles by hand", HandTitles, {}, HandTitles, u"! 7|Seven|7\n20|The Ring|ring\n22|Alone|"_s);
        row("flag set among other words", HandFlags, u"1,4:x"_s, QByteArray(HandFlags).replace("end, b", "cutscene, end, b"));
        row("flag cleared", Flags, u"2,2:-"_s, QByteArray(f).replace("no_briefing,no_loadout,cut", "no_loadout,cut"));
        // A new campaign: the header, skip lines below the first mission, between missions and after the last.
        const QByteArray made = Testing::MissflagHeader + "miss_1: \"skip\"\r\nmiss_2: \"skip\"\r\nmiss_3: \"\"\r\n"
                                "miss_4: \"skip\"\r\nmiss_5: \"\"\r\nmiss_6: \"\"\r\nmiss_7: \"skip\"\r\n";
        row("new: gaps and after the last", {}, u"+3;+6;+5"_s, made);
        row("new: not after the last", {}, u"+3;+6;+5;after=0"_s, made.chopped(16));
        row("new: one deleted", {}, u"+3;+6;+5;+4;-1"_s, made);
        row("new: mission 1", {}, u"+1"_s, Testing::MissflagHeader + "miss_1: \"\"\r\nmiss_2: \"skip\"\r\n");
        QByteArray last = Testing::MissflagHeader;   // nothing after 999
        for (int i = 1; i < 999; ++i)
            last += "miss_" + QByteArray::number(i) + ": \"skip\"\r\n";
        row("new: mission 999", {}, u"+999"_s, last + "miss_999: \"\"\r\n");
        row("added: a skip line's place, then after the last", Flags, u"+3;+8;1,3:x"_s,
            QByteArray(f).replace("miss_3: \"skip\"", "miss_3: \"no_loadout\"")
                + "miss_7: \"skip\"\r\nmiss_8: \"\"\r\nmiss_9: \"skip\"\r\n");
        // A published campaign that leaves numbers out: they stay left out.
        const QByteArray sparse = "miss_1: \"skip\"\nmiss_19: \"no_loadout\"\nmiss_23: \"end\"\nmiss_24: \"skip\"\n";
        row("left out: one flag set", sparse, u"1,3:x"_s, QByteArray(sparse).replace("\"end\"", "\"no_loadout,end\""));
        row("left out: the number left skipped", sparse, u"0,0=17"_s,
            QByteArray(sparse).replace("miss_19: \"no_loadout\"", "miss_17: \"no_loadout\"\nmiss_19: \"skip\""));
        // Lines of the flag file that are not missions' stay as they are, and are no rows.
        const QByteArray next = "miss_1: \"skip\"\nmiss_2: \"end\"\nmiss_2_next: \"4\"\nmiss_3: \"skip\"\n"
                                "miss_4: \"no_loadout\"\nmiss_10_endmovie: \"outro\"\n";
        row("lines that are no missions", next, u"1,4:x;+5"_s,
            QByteArray(next).replace("\"no_loadout\"\n", "\"no_loadout,cutscene\"\nmiss_5: \"\"\n"),
            u"2|----x|\n4|--x--|"_s);
        row("added in the hand's style", HandFlags, u"+5"_s, HandFlags + "miss_5:\"\"\nmiss_6:\"skip\"\n");
        row("deleted: skipped", Flags, u"-1"_s, QByteArray(f).replace("\"no_briefing,no_loadout\"", "\"skip\""));
        row("renumbered", Flags, u"0,0=7"_s,
            QByteArray(f).replace("\"no_loadout\"", "\"skip\"") + "miss_7: \"no_loadout\"\r\nmiss_8: \"skip\"\r\n");
        row("no skip after the last", Flags, u"after=0"_s, QByteArray(f).replace("miss_6: \"skip\"\r\n", ""));
        row("title quoted", Titles, u"1,1=The \"Ring\""_s, QByteArray(Titles).replace("\"The Ring\"", "\"The \\\"Ring\\\"\""));
        row("titles: added as a block", Titles, u"+21;2,1=Home"_s,
            Titles + "// Objectives screen text.\r\ntitle_21: \"Home\"\r\n// Save game dialog text.\r\nshort_21: \"\"\r\n");
        row("titles: deleted with its comments", Titles, u"-0"_s, Titles.sliced(Titles.indexOf("// Objectives", 10)));
        row("titles: added beside each", HandTitles, u"+21;2,1=T;2,2=S"_s,
            QByteArray(HandTitles).replace("Ring\"\n", "Ring\"\ntitle_21: \"T\"\n").replace("ring\"\n", "ring\"\nshort_21: \"S\"\n"));
        row("titles: a missing short title", HandTitles, u"2,2=alone"_s,
            QByteArray(HandTitles).replace("Alone\"\n", "Alone\"\nshort_22: \"alone\"\n"));
        // Refused before saving, with the row and the reason.
        row("same number", Flags, u"+7;0,0=4"_s, "Rows 1 and 2 both have the mission number 4; each mission has one row.");
        row("fraction", Flags, u"0,0=4.5"_s, "Row 2: the mission number \u201C4.5\u201D is not a whole number from 1 to 999.");
        row("above 999", Flags, u"+1000"_s, "Row 4: the mission number \u201C1000\u201D is not a whole number from 1 to 999.");
        row("quote", Flags, u"1,6=end \"x\""_s, "Row 2 (mission 4): the flags hold a double quote, which would end the text in the game.");
        row("line break", Flags, u"2,6=end\nx"_s, "Row 3 (mission 5): the flags hold a line break, which would split the line in the file.");
    }
    void editsRows()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, rows);
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        const auto model = table(file);
        if (!rows.isEmpty())
            QCOMPARE(shown(*model), rows);
        QVERIFY(!model->problem());
        edit(*model, steps);
        const std::optional<Error> problem = model->problem();
        QCOMPARE(problem ? problem->message.toUtf8() : written(*model), expected);
    }

    // A flag's column and its check boxes tell what it does in the words of
    // the header every missflag.str starts with.
    void flagTooltipsAreTheHeaders_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("skip") << int(MissflagTable::Skip) << u"This mission doesn't exist; it should be skipped."_s;
        QTest::newRow("no_briefing") << int(MissflagTable::NoBriefing) << u"Skip the briefing movie"_s;
        QTest::newRow("no_loadout") << int(MissflagTable::NoLoadout) << u"Skip the loadout"_s;
        QTest::newRow("cutscene") << int(MissflagTable::Cutscene) << u"Play a cutscene immediately afterward"_s;
        QTest::newRow("end") << int(MissflagTable::End) << u"End the game when this mission is completed"_s;
    }
    void flagTooltipsAreTheHeaders()
    {
        QFETCH(int, column);
        QFETCH(QString, tooltip);
        MissflagTable model(MissflagTable::newFile());
        model.addRow(u"3"_s);
        QCOMPARE(model.headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString(), tooltip);
        QCOMPARE(model.index(0, column).data(Qt::ToolTipRole).toString(), tooltip);
        QVERIFY(QString::fromLatin1(Testing::MissflagHeader).contains(u' ' + tooltip + u"\r\n"_s));
    }
};

QTEST_GUILESS_MAIN(TestMissionTables)
#include "tst_missiontables.moc"
