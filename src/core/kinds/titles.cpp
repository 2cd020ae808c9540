#include "core/kinds/titles.h"

#include "core/kinds/kind.h"

#include <QCoreApplication>
#include <QHash>
#include <QMap>

namespace TitlesFile {

namespace {

Pieces boxes(const Mission &mission)
{
    return {oneLine(mission.number, QCoreApplication::translate("TitlesFile", "the \"Mission No.\" box")),
            oneLine(mission.title, QCoreApplication::translate("TitlesFile", "the \"Mission Title\" box"))};
}

} // namespace

StrDocument content(const QString &number, const QString &title)
{
    StrDocument file = StrDocument::fromTemplate(Kinds::descriptor(Kinds::Kind::Titles).newFileText);
    const Mission mission{number, title};
    file.setEntry(0, TitlePrefix + number, title, boxes(mission));
    file.setEntry(1, ShortPrefix + number, title, boxes(mission));
    return file;
}

QList<int> missions(const StrDocument &document)
{
    QList<int> found;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const QLatin1String key = document.rawKey(static_cast<int>(i));
        if (key.size() > TitlePrefix.size() && key.startsWith(TitlePrefix, Qt::CaseInsensitive))
            found.append(static_cast<int>(i));
    }
    return found;
}

int shortTitle(const StrDocument &document, int title)
{
    const QString number = document.key(title).sliced(TitlePrefix.size()).trimmed();
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const QString key = document.key(static_cast<int>(i));
        if (key.startsWith(ShortPrefix, Qt::CaseInsensitive) && key.sliced(ShortPrefix.size()).trimmed() == number)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace TitlesFile

// ---------------------------------------------------------------- The table

using TitlesFile::ShortPrefix;
using TitlesFile::TitlePrefix;

namespace {

enum Part { TitlePart, ShortPart };

// The comment lines above each entry in a Titles.str the program writes.
const QLatin1String Comments[] = {QLatin1String("// Objectives screen text."),
                                  QLatin1String("// Save game dialog text.")};
const QLatin1String Prefixes[] = {TitlePrefix, ShortPrefix};
constexpr qsizetype PrefixLength = 6;   // "title_" and "short_"
static_assert(TitlePrefix.size() == PrefixLength && ShortPrefix.size() == PrefixLength);

// The part an entry is (title_ or short_), if either.
std::optional<Part> partOf(const StrDocument &document, int entry)
{
    const QLatin1String key = document.rawKey(entry);
    for (const Part part : {TitlePart, ShortPart}) {
        if (key.size() > PrefixLength && key.startsWith(Prefixes[part], Qt::CaseInsensitive))
            return part;
    }
    return std::nullopt;
}

QString pairKey(const StrDocument &document, int entry)
{
    return document.key(entry).sliced(PrefixLength).trimmed().toLower();
}

// Where the program's comment line of `part` stands right above `entry`; -1 if it does not.
qsizetype commentAbove(const StrDocument &document, int entry, Part part)
{
    const qsizetype start = document.entries().at(entry).start;
    if (start == 0)
        return -1;
    const QByteArray &bytes = document.bytes();
    const qsizetype lineStart = start < 2 ? 0 : bytes.lastIndexOf('\n', start - 2) + 1;
    return QByteArrayView(bytes).sliced(lineStart, start - lineStart).trimmed() == QByteArrayView(Comments[part])
        ? lineStart
        : -1;
}

// Whether the title and short title of a mission stand together, the short one right after.
bool together(int title, int shortTitle)
{
    return title >= 0 && shortTitle == title + 1;
}

} // namespace

TitlesTable::TitlesTable(StrDocument document, QObject *parent)
    : MissionTable(2, parent)
{
    reload(std::move(document));
}

QString TitlesTable::shortTitleProblem(const QString &shortTitle)
{
    if (shortTitle.isEmpty())
        return tr("The short title is empty: the save game gets no name.");
    if (shortTitle.size() > ShortTitleLimit)
        return tr("The short title has %1 characters; the save dialog shows about %2, so it may be cut off.")
            .arg(shortTitle.size())
            .arg(ShortTitleLimit);
    return {};
}

QList<MissionTable::Row> TitlesTable::readRows() const
{
    const StrDocument &from = base();
    QList<Row> rows;
    QHash<QString, qsizetype> rowOf;
    for (qsizetype i = 0; i < from.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const std::optional<Part> part = partOf(from, entry);
        if (!part)
            continue;
        const QString key = pairKey(from, entry);
        qsizetype row = rowOf.value(key, -1);
        if (row < 0) {
            const QString number = from.key(entry).sliced(PrefixLength);
            rows.append({number, number, {-1, -1}, {std::nullopt, std::nullopt}, !wholeNumber(number)});
            row = rows.size() - 1;
            rowOf.insert(key, row);
        }
        if (rows.at(row).entries.at(*part) < 0)   // one that appears again stays as it stands
            rows[row].entries[*part] = entry;
    }
    return rows;
}

int TitlesTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TitlesTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical || role != Qt::DisplayRole)
        return MissionTable::headerData(section, orientation, role);
    switch (section) {
    case Number:
        return tr("Mission");
    case Title:
        return tr("Title");
    case Short:
        return tr("Short title");
    default:
        return {};
    }
}

QVariant TitlesTable::cellData(const Row &row, int column, int role) const
{
    if (column != Title && column != Short)
        return {};
    const QString shown = text(row, column - Title);
    const QString problem = column == Short ? shortTitleProblem(shown) : QString();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return shown;
    case MarkRole:
        return !problem.isEmpty();
    case Qt::ToolTipRole:
        return problem.isEmpty() ? QVariant() : QVariant(problem);
    default:
        return {};
    }
}

bool TitlesTable::setCellData(Row &row, int column, const QVariant &value, int role)
{
    if ((column != Title && column != Short) || role != Qt::EditRole)
        return false;
    const int part = column - Title;
    const QString typed = value.toString();
    // Nothing typed where the file has no line: still no line.
    const bool noLine = row.entries.at(part) < 0 && !row.fileNumber.isEmpty() && typed.isEmpty();
    row.texts[part] = noLine ? std::nullopt : std::optional(typed);
    return true;
}

QString TitlesTable::missingInOther(const QString &number) const
{
    return tr("missflag.str has no flags for mission %1.").arg(number);
}

StrDocument TitlesTable::document() const
{
    const StrDocument &from = base();
    StrDocument file = from;
    const QString places[] = {tr("the title"), tr("the short title")};
    const auto removeLines = [&](const QList<int> &entries) {
        const bool block = together(entries.at(TitlePart), entries.at(ShortPart));
        for (const Part part : {TitlePart, ShortPart}) {
            const int entry = entries.at(part);
            if (entry < 0)
                continue;
            file.removeEntry(entry);
            if (const qsizetype comment = block ? commentAbove(from, entry, part) : -1; comment >= 0)
                file.replace(comment, from.entries().at(entry).start, QString());
        }
    };
    const auto line = [&](const LineStyle &style, const QString &number, const QString &raw) {
        return StrDocument::entryLine(style.prefix + number, raw, {style.indent, style.separator, {}});
    };
    const auto fileStyle = [&](Part part, const QString &separator) {
        const StrDocument::Style style = from.style(Prefixes[part], {Prefixes[part], separator});
        return LineStyle{QString(), style.prefix, style.separator, from.lineEnd()};
    };

    // Entries deleted with their rows; those of a row given another number go where that number goes.
    QList<int> deleted = deletedEntries();
    for (qsizetype i = 0; i < deleted.size(); ++i) {
        const int entry = deleted.at(i);
        const int next = i + 1 < deleted.size() ? deleted.at(i + 1) : -1;
        if (partOf(from, entry) == TitlePart && next == entry + 1 && pairKey(from, next) == pairKey(from, entry)) {
            removeLines({entry, next});
            ++i;
        } else {
            removeLines(partOf(from, entry) == TitlePart ? QList<int>{entry, -1} : QList<int>{-1, entry});
        }
    }

    QMap<int, QList<int>> staying;   // the rows that stay where they are: number -> entries
    for (const Row &row : rows()) {
        const std::optional<int> number = wholeNumber(row.number);
        if (row.fixed || !number)
            continue;
        Pieces checks;
        QString raw[2];
        bool present[2];
        for (const Part part : {TitlePart, ShortPart}) {
            const int entry = row.entries.at(part);
            const bool edited = changed(row, part);
            if (edited)
                checks.append(oneLine(text(row, part), placeOf(row, places[part])));
            raw[part] = edited ? from.escaped(text(row, part)) : (entry >= 0 ? from.rawText(entry) : QString());
            present[part] = entry >= 0 || row.texts.at(part).has_value();
        }
        if (inPlace(row)) {
            const int title = row.entries.at(TitlePart);
            const int shortTitle = row.entries.at(ShortPart);
            for (const Part part : {TitlePart, ShortPart}) {
                if (changed(row, part) && row.entries.at(part) >= 0)
                    file.setText(row.entries.at(part), text(row, part), oneLine(text(row, part), placeOf(row, places[part])));
            }
            if (present[ShortPart] && shortTitle < 0) {   // a short title where there was none: below the title
                LineStyle style = styleOf(from, title, PrefixLength);
                style.prefix = fileStyle(ShortPart, style.separator).prefix;
                QString lines = line(style, row.number, raw[ShortPart]);
                if (commentAbove(from, title, TitlePart) >= 0)
                    lines = Comments[ShortPart] + QLatin1String("\r\n") + lines;
                file.insertLines(from.entries().at(title).end, lines, {checks.constLast()}, style.lineEnd);
            } else if (present[TitlePart] && title < 0) {   // a title where there was none: above the short title
                LineStyle style = styleOf(from, shortTitle, PrefixLength);
                style.prefix = fileStyle(TitlePart, style.separator).prefix;
                const qsizetype comment = commentAbove(from, shortTitle, ShortPart);
                QString lines = line(style, row.number, raw[TitlePart]);
                if (comment >= 0)
                    lines = Comments[TitlePart] + QLatin1String("\r\n") + lines;
                file.insertLines(comment >= 0 ? comment : from.entries().at(shortTitle).start, lines,
                                 {checks.constFirst()}, style.lineEnd);
            }
            staying.insert(*number, row.entries);
            continue;
        }
        if (!row.fileNumber.isEmpty())
            removeLines(row.entries);

        // Beside the row of the next lower number that stays, else of the next higher.
        const auto higher = staying.lowerBound(*number);
        const bool after = higher != staying.cbegin();
        const QList<int> anchor = after ? std::prev(higher).value()
                                        : (higher != staying.cend() ? higher.value() : QList<int>{-1, -1});
        const int anchorTitle = anchor.at(TitlePart);
        const int anchorShort = anchor.at(ShortPart);
        const bool none = anchorTitle < 0 && anchorShort < 0;
        if (none || together(anchorTitle, anchorShort)) {
            LineStyle styles[2] = {fileStyle(TitlePart, QStringLiteral(": \"")),
                                   fileStyle(ShortPart, QStringLiteral(": \""))};
            bool comments[2] = {true, true};
            qsizetype at = from.insertionPoint({TitlePrefix, ShortPrefix});
            QString lineEnd = from.lineEnd();
            if (!none) {
                for (const Part part : {TitlePart, ShortPart}) {
                    styles[part] = styleOf(from, anchor.at(part), PrefixLength);
                    comments[part] = commentAbove(from, anchor.at(part), part) >= 0;
                }
                const qsizetype comment = commentAbove(from, anchorTitle, TitlePart);
                at = after ? from.entries().at(anchorShort).end
                           : (comment >= 0 ? comment : from.entries().at(anchorTitle).start);
                lineEnd = styles[ShortPart].lineEnd;
            }
            QStringList lines;
            for (const Part part : {TitlePart, ShortPart}) {
                if (!present[part])
                    continue;
                if (comments[part])
                    lines.append(Comments[part]);
                lines.append(line(styles[part], row.number, raw[part]));
            }
            file.insertLines(at, lines.join(QLatin1String("\r\n")), checks, lineEnd);
        } else {   // the titles in one place, the short titles in another
            for (const Part part : {TitlePart, ShortPart}) {
                if (!present[part])
                    continue;
                int beside = -1;
                bool below = true;
                for (auto it = staying.cbegin(); it != staying.cend(); ++it) {
                    if (it.value().at(part) < 0)
                        continue;
                    if (it.key() < *number) {
                        beside = it.value().at(part);
                    } else if (beside < 0) {
                        beside = it.value().at(part);
                        below = false;
                        break;
                    } else {
                        break;
                    }
                }
                const LineStyle style = beside >= 0 ? styleOf(from, beside, PrefixLength)
                                                    : fileStyle(part, QStringLiteral(": \""));
                const qsizetype at = beside < 0 ? from.insertionPoint({Prefixes[part]})
                                                : (below ? from.entries().at(beside).end : from.entries().at(beside).start);
                const Pieces own = changed(row, part)
                    ? Pieces{oneLine(text(row, part), placeOf(row, places[part]))}
                    : Pieces{};
                file.insertLines(at, line(style, row.number, raw[part]), own, style.lineEnd);
            }
        }
    }
    return file;
}
