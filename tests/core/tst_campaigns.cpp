// The mission tables of a campaign's missflag.str and Titles.str, without a
// window: the rows a file gives and the bytes they give back, what one edit
// changes, the skip lines, and the rows refused before saving.
#include "core/missflagtable.h"
#include "core/titlestable.h"

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
QString rows(const MissionTable &model)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        QString line = QLatin1String(model.isReadOnly(row) ? "!" : "") + model.index(row, 0).data().toString();
        for (int column = 1; column < model.columnCount(); ++column) {
            const QVariant check = model.index(row, column).data(Qt::CheckStateRole);
            if (!check.isValid() || !model.index(row, column - 1).data(Qt::CheckStateRole).isValid())
                line += u'|';
            line += check.isValid() ? QString(check.toInt() == Qt::Checked ? u'x' : u'-')
                                    : model.index(row, column).data().toString();
        }
        shown.append(line);
    }
    return shown.join(u'\n');
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

class TestCampaigns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsRowsAndWritesThemBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missflag as published") << Flags << u"2|--x--|\n4|-xx--|\n5|-xxxx|"_s;
        QTest::newRow("missflag by hand") << HandFlags << u"!2.5|--x--|\n3|----x|end, brief7"_s;
        QTest::newRow("titles as published") << Titles << u"19|Prolog (Gellert)|prologue\n20|The Ring|ring"_s;
        QTest::newRow("titles by hand") << HandTitles << u"! 7|Seven|7\n20|The Ring|ring\n22|Alone|"_s;
    }
    void readsRowsAndWritesThemBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        const auto model = table(file);
        QCOMPARE(rows(*model), expected);
        QCOMPARE(written(*model), file);
    }

    // Only the row's own lines change, in the file's style; skip lines follow the missions.
    void editsOneRow_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        QByteArray f = Flags;
        QTest::newRow("flag set among other words") << HandFlags << u"1,4:x"_s
                                                    << QByteArray(HandFlags).replace("end, brief7", "cutscene, end, brief7");
        QTest::newRow("flag cleared") << Flags << u"2,2:-"_s << QByteArray(f).replace("no_briefing,no_loadout,cut", "no_loadout,cut");
        QTest::newRow("added: a skip line's place, then after the last")
            << Flags << u"+3;+8;1,3:x"_s
            << QByteArray(f).replace("miss_3: \"skip\"", "miss_3: \"no_loadout\"") + "miss_7: \"skip\"\r\nmiss_8: \"\"\r\nmiss_9: \"skip\"\r\n";
        QTest::newRow("added by hand's style") << HandFlags << u"+5"_s << HandFlags + "miss_5:\"\"\nmiss_6:\"skip\"\n";
        QTest::newRow("deleted in the middle") << Flags << u"-1"_s << QByteArray(f).replace("\"no_briefing,no_loadout\"", "\"skip\"");
        QTest::newRow("deleted last: skipped after the last")
            << Flags << u"-2"_s << QByteArray(f).replace("\"no_briefing,no_loadout,cutscene,end\"", "\"skip\"");
        QTest::newRow("renumbered") << Flags << u"0,0=7"_s
                                    << QByteArray(f).replace("\"no_loadout\"", "\"skip\"") + "miss_7: \"no_loadout\"\r\nmiss_8: \"skip\"\r\n";
        QTest::newRow("no skip after the last") << Flags << u"after=0"_s << QByteArray(f).replace("miss_6: \"skip\"\r\n", "");
        QTest::newRow("short title") << Titles << u"0,2=gellert"_s << QByteArray(Titles).replace("prologue", "gellert");
        QTest::newRow("title quoted") << Titles << u"1,1=The \"Ring\""_s << QByteArray(Titles).replace("\"The Ring\"", "\"The \\\"Ring\\\"\"");
        QTest::newRow("titles: added as a block")
            << Titles << u"+21;2,1=Home"_s
            << Titles + "// Objectives screen text.\r\ntitle_21: \"Home\"\r\n// Save game dialog text.\r\nshort_21: \"\"\r\n";
        QTest::newRow("titles: deleted with its comments") << Titles << u"-0"_s << Titles.sliced(Titles.indexOf("// Objectives", 10));
        QTest::newRow("titles: added beside each") << HandTitles << u"+21;2,1=T;2,2=S"_s
            << QByteArray(HandTitles).replace("Ring\"\n", "Ring\"\ntitle_21: \"T\"\n").replace("ring\"\n", "ring\"\nshort_21: \"S\"\n");
        QTest::newRow("titles: a missing short title") << HandTitles << u"2,2=alone"_s
            << QByteArray(HandTitles).replace("Alone\"\n", "Alone\"\nshort_22: \"alone\"\n");
    }
    void editsOneRow()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        const auto model = table(file);
        edit(*model, steps);
        QCOMPARE(written(*model), expected);
    }

    // A new campaign's file: skip lines below the first mission, between missions and after the last.
    void writesSkipLines_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("skipped");
        QTest::newRow("gaps and after the last") << u"+3;+6;+5"_s << u"1-2 4 7"_s;
        QTest::newRow("not after the last") << u"+3;+6;+5;after=0"_s << u"1-2 4"_s;
        QTest::newRow("mission 1") << u"+1"_s << u"2"_s;
        QTest::newRow("a mission deleted") << u"+2;+9;+5;-1"_s << u"1 3-8 10"_s;
        QTest::newRow("nothing after 999") << u"+999"_s << u"1-998"_s;
    }
    void writesSkipLines()
    {
        QFETCH(QString, steps);
        QFETCH(QString, skipped);
        const auto model = table({});
        edit(*model, steps);
        const QByteArray file = written(*model);
        QVERIFY(file.startsWith("// Valid mission flags\r\n"));
        QStringList runs;   // "1-2 4": the numbers of the skip lines, in file order
        int previous = -1;
        const QRegularExpression skipLine(u"^miss_(\\d+): \"skip\"\r$"_s, QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch &m : skipLine.globalMatch(QString::fromLatin1(file))) {
            const int number = m.captured(1).toInt();
            if (number == previous + 1 && !runs.isEmpty())
                runs.last() = runs.last().section(u'-', 0, 0) + u'-' + m.captured(1);
            else
                runs.append(m.captured(1));
            previous = number;
        }
        QCOMPARE(runs.join(u' '), skipped);
    }

    void refusesRowsThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("problem");
        QTest::newRow("same number") << u"+7;0,0=4"_s << u"Rows 1 and 2 both have the mission number 4; each mission has one row."_s;
        QTest::newRow("fraction") << u"0,0=4.5"_s << u"Row 2: the mission number \u201C4.5\u201D is not a whole number from 1 to 999."_s;
        QTest::newRow("above 999") << u"+1000"_s << u"Row 4: the mission number \u201C1000\u201D is not a whole number from 1 to 999."_s;
        QTest::newRow("quote") << u"1,6=end \"x\""_s << u"Row 2 (mission 4): the flags hold a double quote, which would end the text in the game."_s;
        QTest::newRow("line break") << u"2,6=end\nx"_s << u"Row 3 (mission 5): the flags hold a line break, which would split the line in the file."_s;
    }
    void refusesRowsThatCannotBeWritten()
    {
        QFETCH(QString, steps);
        QFETCH(QString, problem);
        const auto model = table(Flags);
        QCOMPARE(model->problem(), QString());
        edit(*model, steps);
        QCOMPARE(model->problem(), problem);
    }
};

QTEST_GUILESS_MAIN(TestCampaigns)
#include "tst_campaigns.moc"
