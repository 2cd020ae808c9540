#include "core/kinds/stylechecks.h"

#include <QCoreApplication>
#include <QHash>

#include <array>

namespace Kinds::StyleChecks {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("Kinds", text);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The line of `offset` in `entry`, and its column from 1 in characters.
std::pair<int, int> placeOf(const StrDocument &document, int entry, qsizetype offset)
{
    return {document.lineOf(entry, offset), document.columnOf(offset)};
}

// The text of an entry as it stands between its quotes; nothing for one the
// game reads otherwise (no closing quote, text after it), which the check
// reports as an error of its own.
std::optional<QByteArrayView> closedText(const StrDocument &document, int entry)
{
    const StrDocument::Entry &e = document.entries().at(entry);
    if (!e.closed)
        return std::nullopt;
    const QString after = document.after(entry).trimmed();
    if (!after.isEmpty() && !after.startsWith(QLatin1String("//")))
        return std::nullopt;
    return QByteArrayView(document.bytes()).sliced(e.textStart, e.textEnd - e.textStart);
}

// A habit of typing is one note for the file: the findings added since
// `first` become the first of them, which says how many more places follow.
void keepFirst(QList<Finding> &findings, qsizetype first)
{
    const qsizetype more = findings.size() - first - 1;
    if (more <= 0)
        return;
    findings[first].text += u' ' + (more == 1 ? say("So does 1 more place in this file.")
                                               : say("So do %1 more places in this file.").arg(more));
    findings.resize(first + 1);
}

} // namespace

void trailingBlanks(const StrDocument &document, const QStringList &, QList<Finding> &findings)
{
    const qsizetype first = findings.size();
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const std::optional<QByteArrayView> text = closedText(document, entry);
        if (!text || text->isEmpty() || !isBlank(text->back()))
            continue;
        qsizetype from = text->size();
        while (from > 0 && isBlank(text->at(from - 1)))
            --from;
        if (from == 0 || text->at(from - 1) == '\n' || text->at(from - 1) == '\r')
            continue;   // a text of blanks only, or blanks on a line of their own: meant so
        const auto [line, column] = placeOf(document, entry, document.entries().at(entry).textStart + from);
        findings.append({line, say("The text of %1 ends in blanks before its closing quote.").arg(document.key(entry)),
                         Finding::Note, column, "trailing-blanks"});
    }
    keepFirst(findings, first);
}

void doubleBlanks(const StrDocument &document, const QStringList &, QList<Finding> &findings)
{
    const qsizetype first = findings.size();
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const std::optional<QByteArrayView> text = closedText(document, entry);
        if (!text)
            continue;
        for (qsizetype at = 0; at < text->size();) {
            if (!isBlank(text->at(at))) {
                ++at;
                continue;
            }
            qsizetype end = at;
            while (end < text->size() && isBlank(text->at(end)))
                ++end;
            // Between two words on one line: not at the text's or a line's start or end.
            const bool between = at > 0 && end < text->size() && !QByteArrayView("\r\n").contains(text->at(at - 1))
                && !QByteArrayView("\r\n").contains(text->at(end));
            if (between && end - at >= 2) {
                const auto [line, column] = placeOf(document, entry, document.entries().at(entry).textStart + at);
                findings.append({line, say("The text of %1 has %2 blanks in a row.")
                                           .arg(document.key(entry), QString::number(end - at)),
                                 Finding::Note, column, "double-blanks"});
            }
            at = end;
        }
    }
    keepFirst(findings, first);
}

void keyCase(const StrDocument &document, const QStringList &, QList<Finding> &findings)
{
    // The word of each numbered key (its letters before the digits), per word
    // in lower case: each spelling, how many keys have it, in order seen.
    struct Spellings {
        QStringList spellings;
        QList<int> counts;
    };
    QHash<QString, Spellings> words;
    QList<std::pair<int, QString>> numbered;   // entry, its word as spelt
    QSet<QString> seenKeys;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const QLatin1String key = document.rawKey(entry);
        qsizetype digits = key.size();
        while (digits > 0 && QChar(key.at(digits - 1)).isDigit())
            --digits;
        if (digits == key.size() || digits == 0)
            continue;
        const QString lower = QString(key).toLower();
        if (seenKeys.contains(lower))
            continue;   // a key again: reported as such
        seenKeys.insert(lower);
        const QString word = QString(key.first(digits));
        Spellings &found = words[word.toLower()];
        const qsizetype at = found.spellings.indexOf(word);
        if (at < 0) {
            found.spellings.append(word);
            found.counts.append(1);
        } else {
            ++found.counts[at];
        }
        numbered.append({entry, word});
    }
    for (const auto &[entry, word] : std::as_const(numbered)) {
        const Spellings &found = words.value(word.toLower());
        if (found.spellings.size() < 2)
            continue;
        const qsizetype most = std::max_element(found.counts.cbegin(), found.counts.cend()) - found.counts.cbegin();
        const QString &usual = found.spellings.at(most);
        if (word == usual)
            continue;
        findings.append({document.entries().at(entry).line,
                         say("%1 is written in another case than the file's other %2 keys.").arg(document.key(entry), usual),
                         Finding::Note, document.entries().at(entry).keyStart - document.entries().at(entry).start + 1,
                         "key-case"});
    }
}

void lineEnds(const StrDocument &document, const QStringList &, QList<Finding> &findings)
{
    enum End { CrLf, Lf, Cr };
    const std::array<const char *, 3> names = {"CR LF", "LF", "CR"};
    std::array<int, 3> counts{};
    std::array<int, 3> firstLine{};
    const QByteArray &bytes = document.bytes();
    int line = 1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        End end;
        if (bytes.at(i) == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n') {
            end = CrLf;
            ++i;
        } else if (bytes.at(i) == '\n') {
            end = Lf;
        } else if (bytes.at(i) == '\r') {
            end = Cr;
        } else {
            continue;
        }
        if (counts[end]++ == 0)
            firstLine[end] = line;
        ++line;
    }
    std::size_t usual = 0;   // the most lines', the first seen on a tie
    for (std::size_t end = 1; end < counts.size(); ++end) {
        if (counts[end] > counts[usual] || (counts[end] == counts[usual] && counts[end] > 0 && firstLine[end] < firstLine[usual]))
            usual = end;
    }
    std::size_t other = counts.size();   // the first line that ends otherwise
    for (std::size_t end = 0; end < counts.size(); ++end) {
        if (end != usual && counts[end] > 0 && (other == counts.size() || firstLine[end] < firstLine[other]))
            other = end;
    }
    if (other == counts.size())
        return;
    const int others = line - 1 - counts[usual];
    findings.append({firstLine[other],
                     others == 1
                         ? say("This line ends in %1, the file's other lines in %2.")
                               .arg(QLatin1String(names[other]), QLatin1String(names[usual]))
                         : say("This line ends in %1, the file's other lines in %2 (%3 lines end otherwise).")
                               .arg(QLatin1String(names[other]), QLatin1String(names[usual]), QString::number(others)),
                     Finding::Note, 1, "mixed-line-ends"});
}

} // namespace Kinds::StyleChecks
