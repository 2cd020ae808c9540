// The entry-by-entry merge of a file changed on both sides: the author's
// unsaved changes and a change made outside, laid together, the bytes the
// author did not change written as the disk holds them.
#include "core/mission/entrymerge.h"

#include <QTest>

namespace {

StrDocument read(const QByteArray &bytes)
{
    return StrDocument(bytes, {1252, false});
}

// `base` with each "from=>to" of `changes` made as the author makes them:
// entry texts set, a line put in after an entry, an entry removed.
StrDocument changed(const QByteArray &base, const QStringList &changes)
{
    StrDocument document = read(base);
    for (const QString &change : changes) {
        const QString key = change.section(u'=', 0, 0);
        const QString value = change.section(u'=', 1);
        const int entry = document.find(QLatin1String(key.toLatin1().mid(key.startsWith(u'+') || key.startsWith(u'-') ? 1 : 0)));
        if (key.startsWith(u'+'))
            document.insertLines(document.entries().at(entry).end, value);
        else if (key.startsWith(u'-'))
            document.removeEntry(entry);
        else
            document.setText(entry, value, oneLine(value, QStringLiteral("a test")));
    }
    return document;
}

const QByteArray File = "// Names\r\nName_Apple: \"Apple\"\r\nName_Pear: \"Pear\" // ripe\r\n\r\nName_Plum: \"Plum\"\r\n";

} // namespace

class TestEntryMerge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mergesEntryByEntry_data()
    {
        QTest::addColumn<QStringList>("ours");
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<QList<bool>>("keepOurs");
        QTest::addColumn<int>("conflicts");
        QTest::addColumn<QByteArray>("merged");

        const auto row = [](const char *name, const QStringList &ours, const QByteArray &theirs,
                            const QList<bool> &keep, int conflicts, const QByteArray &merged) {
            QTest::newRow(name) << ours << theirs << keep << conflicts << merged;
        };
        QByteArray outsidePear = File;
        outsidePear.replace("\"Pear\"", "\"Ripe pear\"");
        row("different entries", {QStringLiteral("Name_Apple=Green apple")}, outsidePear, {}, 0,
            QByteArray(outsidePear).replace("\"Apple\"", "\"Green apple\""));
        row("nothing of ours", {}, outsidePear, {}, 0, outsidePear);
        row("the same change on both sides", {QStringLiteral("Name_Pear=Ripe pear")}, outsidePear, {}, 0, outsidePear);
        row("both changed one entry, theirs kept", {QStringLiteral("Name_Pear=Green pear")}, outsidePear, {false}, 1,
            outsidePear);
        row("both changed one entry, ours kept", {QStringLiteral("Name_Pear=Green pear")}, outsidePear, {true}, 1,
            QByteArray(File).replace("\"Pear\"", "\"Green pear\""));
        row("a line appended outside, an entry added by us",
            {QStringLiteral("+Name_Apple=Name_Fig: \"Fig\"")}, File + "Name_Quince: \"Quince\"\r\n", {}, 0,
            QByteArray(File).replace("Apple\"\r\n", "Apple\"\r\nName_Fig: \"Fig\"\r\n") + "Name_Quince: \"Quince\"\r\n");
        row("a comment changed outside, an entry removed by us", {QStringLiteral("-Name_Plum=")},
            QByteArray(File).replace("// Names", "// Fruit"), {}, 0,
            QByteArray(File).replace("// Names", "// Fruit").replace("Name_Plum: \"Plum\"\r\n", ""));
        // Kept, it goes after the entry it follows in ours (the blank line
        // before it, removed outside with it, stays where the file has it).
        row("an entry we changed removed outside", {QStringLiteral("Name_Plum=Damson")},
            QByteArray(File).replace("Name_Plum: \"Plum\"\r\n", ""), {true}, 1,
            QByteArray(File).replace("\r\nName_Plum: \"Plum\"\r\n", "Name_Plum: \"Damson\"\r\n\r\n"));
        row("an entry we changed removed outside, gone", {QStringLiteral("Name_Plum=Damson")},
            QByteArray(File).replace("Name_Plum: \"Plum\"\r\n", ""), {false}, 1,
            QByteArray(File).replace("Name_Plum: \"Plum\"\r\n", ""));
        row("keys without regard to case", {QStringLiteral("Name_Apple=Green apple")},
            QByteArray(File).replace("Name_Pear", "NAME_PEAR"), {}, 0,
            QByteArray(File).replace("Name_Pear", "NAME_PEAR").replace("\"Apple\"", "\"Green apple\""));
    }

    void mergesEntryByEntry()
    {
        QFETCH(QStringList, ours);
        QFETCH(QByteArray, theirs);
        QFETCH(QList<bool>, keepOurs);
        QFETCH(int, conflicts);
        QFETCH(QByteArray, merged);
        const EntryMerge merge(read(File), changed(File, ours), read(theirs));
        QCOMPARE(merge.conflicts().size(), conflicts);
        const StrDocument result = merge.merged(keepOurs);
        QCOMPARE(*result.write(1252), merged);
        // Laid over their bytes: unsaved changes of the file as it is now.
        QCOMPARE(result.bytes(), theirs);
        QCOMPARE(result.hasChanges(), merged != theirs);
    }

    // A conflict names the entry and quotes both sides.
    void aConflictIsTold()
    {
        QByteArray theirs = File;
        theirs.replace("\"Pear\"", "\"Ripe pear\"");
        const EntryMerge merge(read(File), changed(File, {QStringLiteral("Name_Pear=Green pear")}), read(theirs));
        QCOMPARE(merge.conflicts().size(), 1);
        const EntryMerge::Conflict &conflict = merge.conflicts().constFirst();
        QCOMPARE(conflict.what, QStringLiteral("Name_Pear"));
        QVERIFY(conflict.ours.contains(QLatin1String("Green pear")));
        QVERIFY(conflict.theirs.contains(QLatin1String("Ripe pear")));
    }

    // What the author typed stays with the merged changes, for the checks
    // before saving; and a text the code page lacks is kept, never dropped.
    void theAuthorsTextsStay()
    {
        const StrDocument ours = changed(File, {QStringLiteral("Name_Apple=\u0141ania")});
        const StrDocument result = EntryMerge(read(File), ours, read(File + "// more\r\n")).merged({});
        QCOMPARE(result.authorTexts().size(), 1);
        QCOMPARE(result.authorTexts().constFirst().text, QStringLiteral("\u0141ania"));
        QVERIFY(!result.write(1252));
        QVERIFY(result.wholeText().contains(QStringLiteral("\u0141ania")));
        QVERIFY(result.wholeText().endsWith(QStringLiteral("// more\r\n")));
    }

    // A document laid over its bytes: only the parts it changed are changes.
    void laysADocumentOverBytes()
    {
        const StrDocument target = read(QByteArray(File).replace("\"Plum\"", "\"Damson\""));
        const StrDocument laid = EntryMerge::laidOver(read(File), target);
        QCOMPARE(laid.bytes(), File);
        QCOMPARE(*laid.write(1252), target.bytes());
        QCOMPARE(EntryMerge::asWritten(laid).bytes(), target.bytes());
    }
};

QTEST_GUILESS_MAIN(TestEntryMerge)
#include "tst_entrymerge.moc"
