#include "core/document/typedlines.h"

#include <algorithm>

namespace TypedLines {

namespace {

QStringView endOf(const QString &line)
{
    return QStringView(line).sliced(withoutEnd(line).size());
}

constexpr char16_t CarriageReturnSign = u'\u240D';
constexpr char16_t ParagraphSign = u'\u2E3F';

} // namespace

QStringView withoutEnd(const QString &line)
{
    QStringView text(line);
    if (text.endsWith(u'\n'))
        text.chop(text.endsWith(u"\r\n") ? 2 : 1);
    return text;
}

QString boxText(const QString &text)
{
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown.at(i) == u'\r' && (i + 1 == shown.size() || shown.at(i + 1) != u'\n'))
            shown[i] = QChar(CarriageReturnSign);
        else if (shown.at(i) == QChar::ParagraphSeparator)
            shown[i] = QChar(ParagraphSign);
    }
    return shown;
}

QString fileText(const QString &boxLine)
{
    QString text = boxLine;
    text.replace(QChar(CarriageReturnSign), u'\r').replace(QChar(ParagraphSign), QChar(QChar::ParagraphSeparator));
    return text;
}

QStringList shownLines(const QString &text)
{
    QStringList lines;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype lineFeed = text.indexOf(u'\n', from);
        if (lineFeed < 0)
            break;
        lines.append(text.sliced(from, lineFeed + 1 - from));
        from = lineFeed + 1;
    }
    lines.append(text.sliced(from));
    return lines;
}

std::optional<Change> change(const QStringList &shown, const QStringList &typed, const QString &lineEnd)
{
    const int oldTotal = static_cast<int>(shown.size());
    const int newTotal = static_cast<int>(typed.size());
    const auto same = [](const QString &shownLine, const QString &typedLine) {
        const bool signs = typedLine.contains(QChar(CarriageReturnSign)) || typedLine.contains(QChar(ParagraphSign));
        return withoutEnd(shownLine) == (signs ? fileText(typedLine) : typedLine);
    };
    int head = 0;
    while (head < oldTotal && head < newTotal && same(shown.at(head), typed.at(head)))
        ++head;
    int tail = 0;
    while (tail < oldTotal - head && tail < newTotal - head
           && same(shown.at(oldTotal - 1 - tail), typed.at(newTotal - 1 - tail)))
        ++tail;
    if (head == oldTotal && head == newTotal)
        return std::nullopt;
    // Lines put in or taken out at the end change the line end of the line
    // before them, which becomes or stops being the last.
    if (tail == 0 && head > 0 && (head == oldTotal || head == newTotal))
        --head;

    const int oldCount = oldTotal - tail - head;
    const int newCount = newTotal - tail - head;
    QStringList ends;
    for (int i = head; i < head + oldCount; ++i)
        ends.append(endOf(shown.at(i)).toString());
    QString between = lineEnd;   // for a line typed after the lines it replaces
    for (const QString &end : {ends.size() > 1 ? ends.at(ends.size() - 2) : QString(),
                               ends.isEmpty() ? QString() : ends.constLast(),
                               head > 0 ? endOf(shown.at(head - 1)).toString() : QString()}) {
        if (!end.isEmpty()) {
            between = end;
            break;
        }
    }

    Change found;
    for (int i = 0; i < head; ++i)
        found.from += shown.at(i).size();
    found.to = found.from;
    for (int i = head; i < head + oldCount; ++i)
        found.to += shown.at(i).size();
    for (int k = 0; k < newCount; ++k) {
        QString line = fileText(typed.at(head + k));
        if (k == newCount - 1 && oldCount > 0)
            line += ends.constLast();   // the last keeps the end of the last replaced
        else if (k < oldCount - 1)
            line += ends.at(k);
        else
            line += between;
        found.text += line;
        found.lines.append(line);
    }
    found.firstLine = head + 1;
    found.oldCount = oldCount;
    found.newCount = newCount;
    return found;
}

} // namespace TypedLines
