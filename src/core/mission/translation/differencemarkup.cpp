#include "core/mission/translation/differencemarkup.h"

#include <QRegularExpression>

namespace DifferenceMarkup {

namespace {

// Escaped, with line breaks as <br> and each space after the first of a run
// as a non-breaking one, so that rich text keeps the text's spacing.
QString escaped(const QString &text)
{
    QString html;
    bool afterSpace = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue;   // the LF that follows is the break
        if (c == u'\n' || c == u'\r') {
            html += QStringLiteral("<br>");
            afterSpace = false;
            continue;
        }
        if (c == u' ') {
            html += afterSpace ? QStringLiteral("&nbsp;") : QStringLiteral(" ");
            afterSpace = true;
            continue;
        }
        afterSpace = false;
        html += QString(c).toHtmlEscaped();
    }
    return html;
}

// The text marked, the blanks that follow its last word left unmarked.
QString marked(const QString &start, const QString &text)
{
    static const QRegularExpression trailing(QStringLiteral("\\s*$"));
    const qsizetype end = text.indexOf(trailing);
    const QString words = text.left(end), blanks = text.mid(end);
    if (words.isEmpty())
        return escaped(blanks);
    return start + escaped(words) + QStringLiteral("</span>") + escaped(blanks);
}

} // namespace

QString removedStart()
{
    return QStringLiteral("<span style=\"background-color:#f4c2c2; text-decoration:line-through;\">");
}

QString addedStart()
{
    return QStringLiteral("<span style=\"background-color:#bfe8bf;\">");
}

QString html(const QList<TranslationRecord::Segment> &segments, Side side)
{
    using Segment = TranslationRecord::Segment;
    QString text;
    for (const Segment &segment : segments) {
        switch (segment.kind) {
        case Segment::Same:
            text += escaped(segment.text);
            break;
        case Segment::Removed:
            if (side != Side::New)
                text += marked(removedStart(), segment.text);
            break;
        case Segment::Added:
            if (side != Side::Old)
                text += marked(addedStart(), segment.text);
            break;
        }
    }
    return text;
}

} // namespace DifferenceMarkup
