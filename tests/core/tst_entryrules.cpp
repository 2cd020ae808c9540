// What the translation window's entry pane shows, as rules: the word
// difference as marked rich text (old source, new source, a suggestion's
// source against today's) and the terms a source holds.
#include "core/mission/translation/differencemarkup.h"
#include "core/mission/translation/memory.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Side = DifferenceMarkup::Side;

class TestEntryRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marksTheDifference_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("expected");   // [-removed-], {+added+}
        QTest::newRow("old side") << u"The old gate"_s << u"The new gate"_s << int(Side::Old) << u"The [-old-] gate"_s;
        QTest::newRow("new side") << u"The old gate"_s << u"The new gate"_s << int(Side::New) << u"The {+new+} gate"_s;
        QTest::newRow("both") << u"Open the red gate"_s << u"Open the gate now"_s << int(Side::Both)
                              << u"Open the [-red-] gate {+now+}"_s;
        QTest::newRow("escaped") << u"a <b> & c"_s << u"a <i> & c"_s << int(Side::New) << u"a {+&lt;i&gt;+} &amp; c"_s;
        QTest::newRow("line break and spaces") << u"Door\r\nshut  now"_s << u"Door\r\nopen  now"_s << int(Side::Old)
                                               << u"Door<br>[-shut-] &nbsp;now"_s;
        QTest::newRow("the same") << u"Lamp"_s << u"Lamp"_s << int(Side::Both) << u"Lamp"_s;
        QTest::newRow("from nothing") << QString() << u"x y"_s << int(Side::Old) << QString();
    }
    void marksTheDifference()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, side);
        QFETCH(QString, expected);
        expected.replace(u"[-"_s, DifferenceMarkup::removedStart()).replace(u"-]"_s, u"</span>"_s);
        expected.replace(u"{+"_s, DifferenceMarkup::addedStart()).replace(u"+}"_s, u"</span>"_s);
        QCOMPARE(DifferenceMarkup::html(TranslationRecord::difference(before, after), Side(side)), expected);
    }

    void findsTheTermsASourceHolds_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << u"A lamp"_s << QStringList();
        QTest::newRow("any case, two words") << u"To the OLD gate of mirkhold!"_s
                                             << QStringList{u"Mirkhold"_s, u"old gate"_s};
        QTest::newRow("whole words only") << u"Mirkholders of the bold gate"_s << QStringList();
    }
    void findsTheTermsASourceHolds()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, expected);
        const TermList::Terms terms{{u"Mirkhold"_s, u"Mirkholdu"_s}, {u"old gate"_s, u"stara brama"_s}};
        QCOMPARE(TermList::held(terms, source).keys(), expected);
    }
};

QTEST_GUILESS_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
