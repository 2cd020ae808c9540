#include "gui/source/sourcehighlighter.h"

#include "core/document/strsyntax.h"

#include <QTextBlock>
#include <QTimer>

#include <algorithm>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The first character of `text` that is no blank; a null one when it has none.
QChar firstNonBlank(const QString &text)
{
    for (const QChar c : text) {
        if (!isBlank(c))
            return c;
    }
    return QChar();
}

} // namespace

SourceHighlighter::SourceHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document)
{
    m_formats[Key].setForeground(QColor(0x1F, 0x4E, 0x9C));
    m_formats[Key].setFontWeight(QFont::Bold);
    m_formats[Quote].setForeground(QColor(0xA3, 0x15, 0x15));
    m_formats[Quote].setFontWeight(QFont::Bold);
    m_formats[Escape].setForeground(QColor(0xB0, 0x5A, 0x00));
    m_formats[Escape].setFontWeight(QFont::Bold);
    m_formats[Comment].setForeground(QColor(0x3A, 0x7D, 0x2C));
    m_formats[Comment].setFontItalic(true);
    m_formats[Unread].setForeground(QColor(0x80, 0x80, 0x80));
}

QTextCharFormat SourceHighlighter::format(Part part) const
{
    return m_formats[part];
}

void SourceHighlighter::highlightBlock(const QString &text)
{
    m_text = text;
    // Every character the syntax cares for is ASCII; any other stands as one
    // byte that is none of them, so that offsets are the line's own.
    QByteArray bytes(text.size(), 'x');
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() < 0x80)
            bytes[i] = static_cast<char>(text.at(i).unicode());
    }
    const int before = previousBlockState();
    State after = Outside;
    if (before == InText) {
        after = colour(bytes, "k:\"");
    } else if (before == AfterKey) {
        const QChar first = firstNonBlank(text);
        if (first.isNull())
            after = AfterKey;
        else
            after = colour(bytes, first == u'"' ? QByteArrayView("k:") : QByteArrayView());
        // The key above is an entry's only if a quote comes: colour it again.
        QTextBlock key = currentBlock().previous();
        while (key.isValid() && firstNonBlank(key.text()).isNull())
            key = key.previous();
        if (key.isValid() && !first.isNull()) {
            const int number = key.blockNumber();
            QTimer::singleShot(0, this, [this, number] {
                const QTextBlock block = document()->findBlockByNumber(number);
                if (block.isValid())
                    rehighlightBlock(block);
            });
        }
    } else {
        after = colour(bytes, {});
    }
    setCurrentBlockState(after);
}

SourceHighlighter::State SourceHighlighter::colour(const QByteArray &bytes, QByteArrayView lead)
{
    const QByteArray all = lead.toByteArray() + bytes;
    const int shift = static_cast<int>(lead.size());
    const auto put = [&](qsizetype from, qsizetype to, Part part) {
        const int start = std::max(0, static_cast<int>(from) - shift);
        const int end = static_cast<int>(to) - shift;
        if (end > start)
            setFormat(start, end - start, m_formats[part]);
    };
    StrSyntax::Tokenizer tokens(all);
    StrSyntax::Item item;
    if (!tokens.next(item))
        return Outside;
    switch (item.kind) {
    case StrSyntax::ItemKind::Blank:
        return Outside;
    case StrSyntax::ItemKind::Comment:
        put(item.keyStart, item.contentEnd(), Comment);
        return Outside;
    case StrSyntax::ItemKind::Stray: {
        // "key:" whose quote may stand on a later line, as the game reads it.
        const QByteArray quoted = all + '"';   // kept while the tokenizer looks at it
        StrSyntax::Tokenizer withQuote(quoted);
        StrSyntax::Item opened;
        if (withQuote.next(opened) && opened.kind == StrSyntax::ItemKind::Entry && opened.textStart == all.size() + 1) {
            put(opened.keyStart, opened.keyEnd, quoteFollows() ? Key : Unread);
            return AfterKey;
        }
        put(item.keyStart, item.contentEnd(), Unread);
        return Outside;
    }
    case StrSyntax::ItemKind::Entry:
        break;
    }
    put(item.keyStart, item.keyEnd, Key);
    put(item.textStart - 1, item.textStart, Quote);
    colourText(std::max<qsizetype>(item.textStart - shift, 0), item.textEnd - shift, !item.closed);
    if (!item.closed)
        return InText;
    put(item.textEnd, item.textEnd + 1, Quote);
    put(item.textEnd + 1, item.afterEnd, Unread);
    return Outside;
}

void SourceHighlighter::colourText(qsizetype from, qsizetype to, bool endsTheLine)
{
    for (qsizetype i = from; i < to; ++i) {
        if (m_text.at(i) != u'\\')
            continue;
        // An escape is what the player reads otherwise than it stands; a
        // backslash at the end of a text's line continues the line.
        const QString pair = i + 1 < to ? m_text.sliced(i, 2) : endsTheLine ? QStringLiteral("\\\n") : QString(u'\\');
        if (StrSyntax::unescape(pair) != pair)
            setFormat(static_cast<int>(i), std::min(2, static_cast<int>(to - i)), m_formats[Escape]);
        ++i;   // the tokenizer reads the character after a backslash as text
    }
}

bool SourceHighlighter::quoteFollows() const
{
    for (QTextBlock block = currentBlock().next(); block.isValid(); block = block.next()) {
        const QChar first = firstNonBlank(block.text());
        if (!first.isNull())
            return first == u'"';
    }
    return false;
}
