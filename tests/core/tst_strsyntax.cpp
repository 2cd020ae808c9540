// The game's syntax as the tokenizer reads it, texts escaped and read back,
// and entries typed by hand checked, each from a table of hand-written inputs.
#include "core/document/strdocument.h"
#include "core/document/strsyntax.h"

#include <QTest>

using namespace Qt::StringLiterals;
using StrSyntax::ItemKind;

namespace {

QString visible(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes).replace(u"\r"_s, u"<CR>"_s).replace(u"\n"_s, u"<LF>"_s);
}

// Each item: B, C or S with its line; an entry as E<line>[!] key|separator|text|after|line end.
QString items(const QByteArray &bytes)
{
    StrSyntax::Tokenizer tokens(bytes);
    StrSyntax::Item item;
    QStringList found;
    const auto part = [&](qsizetype from, qsizetype to) { return visible(QByteArrayView(bytes).sliced(from, to - from)); };
    while (tokens.next(item)) {
        switch (item.kind) {
        case ItemKind::Blank:
        case ItemKind::Comment:
        case ItemKind::Stray:
            found.append(QLatin1Char("BC?S"[int(item.kind)]) + QString::number(item.line) + u' '
                         + part(item.start, item.end));
            break;
        case ItemKind::Entry:
            found.append(u'E' + QString::number(item.line) + (item.closed ? u""_s : u"!"_s) + u' '
                         + QStringList{part(item.keyStart, item.keyEnd), part(item.keyEnd, item.textStart),
                                       part(item.textStart, item.textEnd), part(item.afterStart(), item.afterEnd),
                                       part(item.afterEnd, item.end)}
                               .join(u'|'));
            break;
        }
    }
    return found.join(u" ; "_s);
}

} // namespace

class TestStrSyntax : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tokenizes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QByteArray &bytes, const QString &expected) {
            QTest::newRow(name) << bytes << expected;
        };
        row("seed page", "Page_0:\"It was dark.\"\r\n", u"E1 Page_0|:\"|It was dark.||<CR><LF>"_s);
        row("key in any case, blanks and tabs", "  page_0 \t: \t\"x\"\n", u"E1 page_0| \t: \t\"|x||<LF>"_s);
        row("escaped quote and backslash", "a:\"say \\\"go\\\" \\\\\"\n", u"E1 a|:\"|say \\\"go\\\" \\\\||<LF>"_s);
        row("escape before the end", "a:\"x\\\\\" b\n", u"E1 a|:\"|x\\\\| b|<LF>"_s);
        row("\\n and continuation", "a:\"one\\ntwo\\\r\nthree\"\r\nb:\"\"", u"E1 a|:\"|one\\ntwo\\<CR><LF>three||<CR><LF> ; E3 b|:\"|||"_s);
        row("raw line breaks", "a:\"one\ntwo\"\nb:\"x\"\n", u"E1 a|:\"|one<LF>two||<LF> ; E3 b|:\"|x||<LF>"_s);
        row("comments in and out of texts", "// top\na:\"//not\" // after\n  // indented\n",
            u"C1 // top<LF> ; E2 a|:\"|//not| // after|<LF> ; C3   // indented<LF>"_s);
        row("text after the closing quote", "a:\"He said \"go\" and left\"\n", u"E1 a|:\"|He said |go\" and left\"|<LF>"_s);
        row("a byte-order mark before a comment", "\xEF\xBB\xBF// top\n", u"C1 // top<LF>"_s);
        row("blank lines, one run", "\n \t\r\nx\n\n", u"B1 <LF> \t<CR><LF> ; S3 x<LF> ; B4 <LF>"_s);
        row("a quote on a later line closes", "a:\"x\nb:\"y\"\n", u"E1 a|:\"|x<LF>b:|y\"|<LF>"_s);
        row("unclosed at the end", "a:\"x", u"E1! a|:\"|x||"_s);
        row("no final line end", "a:\"x\"", u"E1 a|:\"|x||"_s);
        row("colon without a quote", "Page_3: x\n", u"S1 Page_3: x<LF>"_s);
        row("quote before the colon", "say \"a:\"b\"\n", u"S1 say \"a:\"b\"<LF>"_s);
        row("no key", ": \"x\"\n", u"S1 : \"x\"<LF>"_s);
        row("key with a blank", "title_ 7 : \"x\"\n", u"E1 title_ 7| : \"|x||<LF>"_s);
        row("line end before the opening quote", "Page_0:\r\n\"x\"\r\nb:\"y\"\r\n",
            u"E1 Page_0|:<CR><LF>\"|x||<CR><LF> ; E3 b|:\"|y||<CR><LF>"_s);
        row("blank lines and blanks before the quote", "a: \n\n\t\"x\ny\"\nb:\"\"",
            u"E1 a|: <LF><LF>\t\"|x<LF>y||<LF> ; E5 b|:\"|||"_s);
        row("line end, then no quote", "a:\n\n  b:\"x\"\n:\n",
            u"S1 a:<LF> ; B2 <LF> ; E3 b|:\"|x||<LF> ; S4 :<LF>"_s);
        row("line end, then the end", "a:\r\n \r\n", u"S1 a:<CR><LF> ; B2  <CR><LF>"_s);
        row("lines counted past a text", "a:\"1\n2\n3\"\n\n\nb:\"\"\n", u"E1 a|:\"|1<LF>2<LF>3||<LF> ; B4 <LF><LF> ; E6 b|:\"|||<LF>"_s);
    }
    void tokenizes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(items(bytes), expected);
    }

    // An entry whose quote stands on the line after its colon: unchanged, the
    // same bytes; its text changed, the same layout around it.
    void keepsAQuoteOnTheNextLine()
    {
        const QByteArray bytes = "Page_0:\r\n  \"Dark\"\r\nPage_1: \"x\"\r\n";
        StrDocument document(bytes, {1252, false});
        QCOMPARE(document.entries().size(), 2);
        QCOMPARE(document.text(0), u"Dark"_s);
        QCOMPARE(document.entries().at(1).line, 3);
        QCOMPARE(document.write(1252).value_or(""), bytes);
        document.setText(0, u"Light"_s, {});
        QCOMPARE(document.write(1252).value_or(""), QByteArray(bytes).replace("Dark", "Light"));
    }

    void escapesAndReadsBack_data()
    {
        QTest::addColumn<QString>("text");       // as the player reads it
        QTest::addColumn<QString>("raw");        // as written, line breaks as \n escapes
        QTest::newRow("plain") << u"It was dark."_s << u"It was dark."_s;
        QTest::newRow("quotes") << u"He said \"go\""_s << u"He said \\\"go\\\""_s;
        QTest::newRow("backslashes") << u"C:\\maps\\"_s << u"C:\\\\maps\\\\"_s;
        QTest::newRow("line breaks") << u"one\r\ntwo\nthree"_s << u"one\\ntwo\\nthree"_s;
        QTest::newRow("a typed backslash n") << u"\\n"_s << u"\\\\n"_s;
        QTest::newRow("tab and a typed \\t") << u"a\tb\\t"_s << u"a\tb\\\\t"_s;
    }
    void escapesAndReadsBack()
    {
        QFETCH(QString, text);
        QFETCH(QString, raw);
        QCOMPARE(StrSyntax::escape(text, u"\\n"), raw);
        QCOMPARE(StrSyntax::unescape(raw), QString(text).replace(u"\r\n"_s, u"\n"_s));
    }

    void readsWhatItCannotEscape_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown escape") << u"a\\tb"_s << u"a\\tb"_s;
        QTest::newRow("continued line") << u"a\\\r\nb\\\nc"_s << u"abc"_s;
        QTest::newRow("backslash at the end") << u"a\\"_s << u"a\\"_s;
    }
    void readsWhatItCannotEscape()
    {
        QFETCH(QString, raw);
        QFETCH(QString, text);
        QCOMPARE(StrSyntax::unescape(raw), text);
    }

    // An entry edited by hand: its parts, or where and why it is refused.
    void checksHandEntries_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("well formed") << u"page_2 : \"a \\\"b\\\"\""_s << u"page_2| : \"|a \\\"b\\\"|"_s;
        QTest::newRow("two entries") << u"fiction_0:\"a\"\r\n\r\ntext_0:\"b\""_s << u"fiction_0|:\"|a| text_0|:\"|b|"_s;
        QTest::newRow("empty") << QString() << u"@0 this is not an entry: a key, a colon and a text in double quotes"_s;
        QTest::newRow("no closing quote") << u"Page_1:\"x "_s
                                          << u"@10 the text has no closing quote, so in the game it would swallow "
                                             "every entry after it"_s;
        QTest::newRow("bare quote") << u"Page_1:\"a \"b\" c\""_s
                                    << u"@10 the game ends the text at this quote; a quote inside a text is written \\\""_s;
        QTest::newRow("text after the quote") << u"Page_1:\"a\" b"_s
                                              << u"@10 the game does not read what follows the closing quote"_s;
        QTest::newRow("a stray line") << u"Page_1:\"a\"\r\nnotes"_s
                                      << u"@12 this is not an entry: a key, a colon and a text in double quotes"_s;
        QTest::newRow("column after a non-ASCII letter") << u"Page_1:\"\u00E9\" x"_s
                                                         << u"@10 the game does not read what follows the closing quote"_s;
    }
    void checksHandEntries()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const StrSyntax::HandEntries parsed = StrSyntax::parseHandEntries(typed);
        QStringList found;
        for (const StrSyntax::HandEntry &entry : parsed.entries)
            found.append(entry.key + u'|' + entry.separator + u'|' + entry.rawText + u'|');
        QCOMPARE(parsed.error.isEmpty() ? found.join(u' ') : u'@' + QString::number(parsed.errorIndex) + u' ' + parsed.error,
                 expected);
    }
};

QTEST_GUILESS_MAIN(TestStrSyntax)
#include "tst_strsyntax.moc"
