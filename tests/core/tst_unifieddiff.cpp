// What Review Changes shows of a file: the unified diff of its lines on the
// disk against the lines saving would write, and how many lines changed.
#include "core/save/unifieddiff.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Twenty numbered lines, with the lines named in `changed` written in capitals.
QString numbered(const QList<int> &changed = {})
{
    QString text;
    for (int i = 1; i <= 20; ++i)
        text += (changed.contains(i) ? u"LINE %1\n"_s : u"line %1\n"_s).arg(i);
    return text;
}

} // namespace

class TestUnifiedDiff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitsLinesWithTheirEnds()
    {
        QCOMPARE(UnifiedDiff::lines(u""_s), QStringList());
        QCOMPARE(UnifiedDiff::lines(u"a\r\nb\nc"_s), (QStringList{u"a\r\n"_s, u"b\n"_s, u"c"_s}));
        QCOMPARE(UnifiedDiff::lines(u"a\n\n"_s), (QStringList{u"a\n"_s, u"\n"_s}));
    }

    void diffs_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("diff");
        QTest::addColumn<int>("changed");

        QTest::newRow("nothing changed") << u"a\nb\n"_s << u"a\nb\n"_s << QString() << 0;
        QTest::newRow("a line put in") << u"a\nb\nc\n"_s << u"a\nb\nx\nc\n"_s
                                       << u"@@ -1,3 +1,4 @@\n a\n b\n+x\n c\n"_s << 1;
        QTest::newRow("two lines taken out") << u"a\nb\nc\nd\n"_s << u"a\nd\n"_s
                                             << u"@@ -1,4 +1,2 @@\n a\n-b\n-c\n d\n"_s << 2;
        QTest::newRow("the first line taken out") << u"a\nb\nc\nd\ne\n"_s << u"b\nc\nd\ne\n"_s
                                                  << u"@@ -1,4 +1,3 @@\n-a\n b\n c\n d\n"_s << 1;
        QTest::newRow("a line put in first") << u"b\n"_s << u"a\nb\n"_s << u"@@ -1,1 +1,2 @@\n+a\n b\n"_s << 1;
        QTest::newRow("the last line changed") << u"a\nb\nc\nd\ne\n"_s << u"a\nb\nc\nd\nE\n"_s
                                               << u"@@ -2,4 +2,4 @@\n b\n c\n d\n-e\n+E\n"_s << 1;
        QTest::newRow("a line put in far from both ends") << numbered() << numbered().replace(u"line 10\n"_s, u"line 10\nnew\n"_s)
                                                          << u"@@ -8,6 +8,7 @@\n line 8\n line 9\n line 10\n+new\n line 11\n line 12\n line 13\n"_s
                                                          << 1;
        QTest::newRow("a final line end put in") << u"a\nb"_s << u"a\nb\n"_s
                                                 << u"@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"_s << 1;
        QTest::newRow("a line put after a last line without its end")
            << u"a\nb"_s << u"a\nb\nc"_s
            << u"@@ -1,2 +1,3 @@\n a\n-b\n\\ No newline at end of file\n+b\n+c\n\\ No newline at end of file\n"_s << 2;
        QTest::newRow("CR LF lines") << u"a\r\nb\r\nc\r\n"_s << u"a\r\nB\r\nc\r\n"_s
                                     << u"@@ -1,3 +1,3 @@\n a\r\n-b\r\n+B\r\n c\r\n"_s << 1;
        QTest::newRow("a line end changed alone") << u"a\r\nb\r\n"_s << u"a\r\nb\n"_s
                                                  << u"@@ -1,2 +1,2 @@\n a\r\n-b\r\n+b\n"_s << 1;
        QTest::newRow("a new file") << QString() << u"a\r\n"_s << u"@@ -0,0 +1,1 @@\n+a\r\n"_s << 1;
        QTest::newRow("everything taken out") << u"a\nb\n"_s << QString() << u"@@ -1,2 +0,0 @@\n-a\n-b\n"_s << 2;
        QTest::newRow("changes far apart, two hunks")
            << numbered() << numbered({2, 18})
            << u"@@ -1,5 +1,5 @@\n line 1\n-line 2\n+LINE 2\n line 3\n line 4\n line 5\n"
               u"@@ -15,6 +15,6 @@\n line 15\n line 16\n line 17\n-line 18\n+LINE 18\n line 19\n line 20\n"_s
            << 2;
        QTest::newRow("six lines between, one hunk")
            << numbered() << numbered({3, 10})
            << u"@@ -1,13 +1,13 @@\n line 1\n line 2\n-line 3\n+LINE 3\n line 4\n line 5\n line 6\n line 7\n line 8\n"
               u" line 9\n-line 10\n+LINE 10\n line 11\n line 12\n line 13\n"_s
            << 2;
        QTest::newRow("seven lines between, two hunks")
            << numbered() << numbered({3, 11})
            << u"@@ -1,6 +1,6 @@\n line 1\n line 2\n-line 3\n+LINE 3\n line 4\n line 5\n line 6\n"
               u"@@ -8,7 +8,7 @@\n line 8\n line 9\n line 10\n-line 11\n+LINE 11\n line 12\n line 13\n line 14\n"_s
            << 2;
        QTest::newRow("a line changed between equal ones")
            << u"x\ny\nx\ny\n"_s << u"x\ny\nz\ny\n"_s << u"@@ -1,4 +1,4 @@\n x\n y\n-x\n+z\n y\n"_s << 1;
        QTest::newRow("two lines changed into three") << u"a\nb\nc\nd\n"_s << u"a\nB\nC\nD\nd\n"_s
                                                      << u"@@ -1,4 +1,5 @@\n a\n-b\n-c\n+B\n+C\n+D\n d\n"_s << 3;
    }

    void diffs()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, diff);
        QFETCH(int, changed);
        const QList<UnifiedDiff::Hunk> hunks = UnifiedDiff::hunks(UnifiedDiff::lines(before), UnifiedDiff::lines(after));
        QCOMPARE(UnifiedDiff::format(hunks), diff);
        QCOMPARE(UnifiedDiff::changedLines(hunks), changed);
    }

    // A file rewritten from end to end (read again in another code page, say)
    // is still told line for line, however far it goes beyond the search for
    // the shortest difference.
    void tellsAWholeRewrite()
    {
        QStringList before;
        QStringList after;
        for (int i = 0; i < 3000; ++i) {
            before.append(u"old %1\n"_s.arg(i));
            after.append(u"new %1\n"_s.arg(i));
        }
        after.append(u"end\n"_s);
        const QList<UnifiedDiff::Hunk> hunks = UnifiedDiff::hunks(before, after);
        QCOMPARE(hunks.size(), 1);
        QCOMPARE(hunks.constFirst().oldCount, 3000);
        QCOMPARE(hunks.constFirst().newCount, 3001);
        QCOMPARE(hunks.constFirst().lines.constLast().text, u"end\n"_s);
        QCOMPARE(UnifiedDiff::changedLines(hunks), 3001);
    }
};

QTEST_GUILESS_MAIN(TestUnifiedDiff)
#include "tst_unifieddiff.moc"
