#include "core/kinds/missflag.h"

#include "core/kinds/keypieces.h"
#include "core/kinds/kind.h"

#include <QCoreApplication>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringTokenizer>
#include <algorithm>

namespace MissflagFile {

namespace {

// The lines of a missflag.str the program writes read miss_1:"skip".
const StrDocument::EntryStyle NewStyle{QString(), QStringLiteral(":\""), QString()};

Piece numberBox(const QString &number)
{
    return oneLine(number, QCoreApplication::translate("MissflagFile", "the \"Mission No.\" box"));
}

Piece briefingBox(const QString &briefing)
{
    return oneLine(briefing, QCoreApplication::translate("MissflagFile", "the \"Briefing No.\" box"));
}

QString programFlags()
{
    return QLatin1String(" ,") + KeyPieces::LoadoutFlagWord + KeyPieces::EndFlagWord;
}

} // namespace

MissionNumber readMissionNumber(const QString &typed, const QLocale &locale)
{
    const auto alternatives = [](const QStringList &texts) {
        QStringList escaped;
        for (const QString &text : texts) {
            if (!text.isEmpty())
                escaped.append(QRegularExpression::escape(text));
        }
        return escaped.join(QLatin1Char('|'));
    };
    const QRegularExpression pattern(
        QStringLiteral("^ *(?:(%1)|%2)?([0-9]+)(?:(?:%3)([0-9]+))? *$")
            .arg(alternatives({QStringLiteral("-"), locale.negativeSign()}),
                 alternatives({QStringLiteral("+"), locale.positiveSign()}),
                 alternatives({locale.decimalPoint()})));
    const QRegularExpressionMatch match = pattern.match(typed);
    if (!match.hasMatch())
        return {};
    if (match.hasCaptured(1))   // negative: no mission below it
        return {Reading::Accepted, 0};

    // Only the whole part matters: for a mission number N with whole part W,
    // the whole numbers i with 1 <= i <= N - 1 are exactly 1 .. W - 1.
    QStringView whole = match.capturedView(2);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole = whole.sliced(1);
    const bool fractionIsZero = !match.capturedView(3).contains(QRegularExpression(QStringLiteral("[1-9]")));
    const int wholeValue = whole.size() > 3 ? HighestMissionNumber + 1 : whole.toInt();   // no overflow
    if (wholeValue > HighestMissionNumber || (wholeValue == HighestMissionNumber && !fractionIsZero))
        return {Reading::AboveHighest, 0};
    return {Reading::Accepted, wholeValue > 1 ? wholeValue - 1 : 0};
}

StrDocument content(const QString &number, int skipLines, const QString &briefing)
{
    QString text = Kinds::descriptor(Kinds::Kind::Missflag).newFileText;
    for (int i = 1; i <= skipLines; ++i)
        text += StrDocument::entryLine(MissionPrefix + QString::number(i), QStringLiteral("skip"), NewStyle)
            + QLatin1String("\r\n");
    text += StrDocument::entryLine(MissionPrefix + u'0', QString(), NewStyle) + QLatin1String("\r\n");
    const QByteArray bytes = text.toLatin1();
    StrDocument file = StrDocument::fromTemplate(QLatin1String(bytes.constData(), bytes.size()));
    const int mission = static_cast<int>(file.entries().size()) - 1;
    file.setEntry(mission, MissionPrefix + number, briefing + programFlags(), {numberBox(number), briefingBox(briefing)});
    return file;
}

bool isMissionKey(QLatin1String key)
{
    return key.size() > MissionPrefix.size() && key.startsWith(MissionPrefix, Qt::CaseInsensitive)
        && !key.sliced(MissionPrefix.size()).contains(u'_');
}

QList<int> missionKeys(const StrDocument &document)
{
    QList<int> found;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        if (isMissionKey(document.rawKey(static_cast<int>(i))))
            found.append(static_cast<int>(i));
    }
    return found;
}

QList<int> missions(const StrDocument &document)
{
    QList<int> found;
    for (const int entry : missionKeys(document)) {
        if (document.text(entry).trimmed().compare(QLatin1String("skip"), Qt::CaseInsensitive) != 0)
            found.append(entry);
    }
    return found;
}

Mission mission(const QString &number, const QString &text)
{
    Mission shown{number, text, QString()};
    static const QRegularExpression flags(QStringLiteral("[ \\t]*,[ \\t]*no_loadout[ \\t]*,[ \\t]*end[ \\t]*$"));
    if (const QRegularExpressionMatch match = flags.match(text); match.hasMatch()) {
        shown.briefing = text.left(match.capturedStart(0));
        shown.flags = match.captured(0);
    }
    return shown;
}

} // namespace MissflagFile

// ---------------------------------------------------------------- The table

using MissflagFile::MissionPrefix;

namespace {

const QLatin1String SkipText("skip");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringList words(const QString &text)
{
    QStringList found;
    for (const QString &part : text.split(u',')) {
        if (const QString word = part.trimmed(); !word.isEmpty())
            found.append(word);
    }
    return found;
}

// How the text joins its words: the blanks and comma between them, when
// every comma has the same; "," otherwise.
QString joinerOf(const QString &text)
{
    QString joiner;
    for (qsizetype comma = text.indexOf(u','); comma >= 0; comma = text.indexOf(u',', comma + 1)) {
        qsizetype from = comma;
        while (from > 0 && isBlank(text.at(from - 1)))
            --from;
        qsizetype to = comma + 1;
        while (to < text.size() && isBlank(text.at(to)))
            ++to;
        const QString around = text.sliced(from, to - from);
        if (!joiner.isEmpty() && joiner != around)
            return QStringLiteral(",");
        joiner = around;
    }
    return joiner.isEmpty() ? QStringLiteral(",") : joiner;
}

int flagIndex(const QString &word)
{
    for (int i = 0; i < int(MissflagTable::Flags.size()); ++i) {
        if (word.compare(MissflagTable::Flags.at(std::size_t(i)), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool isSkipLine(const StrDocument &document, int entry)
{
    return document.text(entry).trimmed().compare(SkipText, Qt::CaseInsensitive) == 0;
}

} // namespace

MissflagTable::MissflagTable(StrDocument document, QObject *parent)
    : MissionTable(1, parent)
{
    reload(std::move(document));
    const QList<int> numbers = missions();
    if (!numbers.isEmpty())
        m_skipAfterLast = skipLinesOf(base()).contains(*std::max_element(numbers.cbegin(), numbers.cend()) + 1);
}

QMap<int, int> MissflagTable::skipLinesOf(const StrDocument &document)
{
    QMap<int, int> skipLines;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const QString key = document.key(entry);
        if (!key.startsWith(MissionPrefix, Qt::CaseInsensitive) || !isSkipLine(document, entry))
            continue;
        if (const std::optional<int> number = wholeNumber(QStringView(key).sliced(MissionPrefix.size())))
            skipLines.insert(*number, skipLines.value(*number, entry));
    }
    return skipLines;
}

QSet<int> MissflagTable::leftOutNumbers(const StrDocument &document)
{
    QSet<int> present;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const QString key = document.key(static_cast<int>(i));
        if (!key.startsWith(MissionPrefix, Qt::CaseInsensitive))
            continue;
        if (const std::optional<int> number = wholeNumber(QStringView(key).sliced(MissionPrefix.size())))
            present.insert(*number);
    }
    QSet<int> leftOut;
    const int last = present.isEmpty() ? 0 : *std::max_element(present.cbegin(), present.cend());
    for (int number = 1; number < last; ++number) {
        if (!present.contains(number))
            leftOut.insert(number);
    }
    return leftOut;
}

StrDocument MissflagTable::newFile()
{
    return StrDocument::fromTemplate(Kinds::descriptor(Kinds::Kind::Missflag).newFileText);
}

bool MissflagTable::hasFlag(const QString &text, int flag)
{
    const QStringList found = words(text);
    return std::any_of(found.cbegin(), found.cend(), [flag](const QString &word) { return flagIndex(word) == flag; });
}

bool MissflagTable::onlyFlags(const QString &text)
{
    const QStringList found = words(text);
    return std::all_of(found.cbegin(), found.cend(), [](const QString &word) { return flagIndex(word) >= 0; });
}

QString MissflagTable::withFlag(const QString &text, int flag, bool on)
{
    if (hasFlag(text, flag) == on)
        return text;
    QStringList found = words(text);
    if (!on) {
        found.removeIf([flag](const QString &word) { return flagIndex(word) == flag; });
    } else {
        qsizetype at = found.size();
        qsizetype lastFlag = -1;
        for (qsizetype i = 0; i < found.size(); ++i) {
            const int index = flagIndex(found.at(i));
            if (index > flag) {
                at = i;
                break;
            }
            if (index >= 0)
                lastFlag = i;
        }
        if (at == found.size() && lastFlag >= 0)
            at = lastFlag + 1;
        found.insert(at, Flags.at(std::size_t(flag)));
    }
    return found.join(joinerOf(text));
}

QList<MissionTable::Row> MissflagTable::readRows() const
{
    QList<Row> rows;
    QSet<QString> keys;
    for (const int entry : MissflagFile::missions(base())) {
        const QString key = base().key(entry);
        if (keys.contains(key.toLower()))
            continue;   // a key that appears again: the game reads the first; this one is kept as it stands
        keys.insert(key.toLower());
        const QString number = key.sliced(MissionPrefix.size());
        rows.append({number, number, {entry}, {std::nullopt}, !wholeNumber(number)});
    }
    return rows;
}

int MissflagTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MissflagTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical || section < 0 || section >= ColumnCount)
        return MissionTable::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        if (section == Number)
            return tr("Mission");
        if (section == Text)
            return tr("Text");
        return QString(Flags.at(std::size_t(section - Skip)));
    }
    if (role == Qt::ToolTipRole) {
        if (section >= Skip && section <= End)
            return flagMeaning(section - Skip);
        if (section == Text)
            return tr("The text as the file holds it, shown when it holds words that are not flags");
    }
    return {};
}

QString MissflagTable::flagMeaning(int flag)
{
    // The header every missflag.str starts with: "// no_briefing  Skip the briefing movie".
    const QString header = Kinds::descriptor(Kinds::Kind::Missflag).newFileText;
    const QString comment = QLatin1String("// ") + Flags.at(std::size_t(flag)) + u' ';
    for (const QStringView line : QStringTokenizer(header, u"\r\n")) {
        if (line.startsWith(comment))
            return line.sliced(comment.size()).trimmed().toString();
    }
    return {};
}

QVariant MissflagTable::cellData(const Row &row, int column, int role) const
{
    const QString flags = text(row, 0);
    if (column >= Skip && column <= End) {
        if (role == Qt::CheckStateRole)
            return hasFlag(flags, column - Skip) ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (column != Text)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return onlyFlags(flags) ? QString() : flags;
    case Qt::EditRole:
        return flags;
    case Qt::ToolTipRole:
        return onlyFlags(flags) ? QVariant() : QVariant(tr("The words that are not flags are kept as they stand."));
    default:
        return {};
    }
}

bool MissflagTable::setCellData(Row &row, int column, const QVariant &value, int role)
{
    if (column >= Skip && column <= End && role == Qt::CheckStateRole) {
        row.texts[0] = withFlag(text(row, 0), column - Skip, value.toInt() == Qt::Checked);
        return true;
    }
    if (column == Text && role == Qt::EditRole) {
        row.texts[0] = value.toString();
        return true;
    }
    return false;
}

Qt::ItemFlags MissflagTable::cellFlags(int column) const
{
    return column == Text ? Qt::ItemIsEditable : Qt::ItemIsUserCheckable;
}

QString MissflagTable::textProblem(const Row &row) const
{
    if (!changed(row, 0))
        return {};
    const QString flags = text(row, 0);
    if (flags.contains(u'"'))
        return tr("the flags hold a double quote, which would end the text in the game.");
    if (flags.contains(u'\n') || flags.contains(u'\r'))
        return tr("the flags hold a line break, which would split the line in the file.");
    return {};
}

QString MissflagTable::missingInOther(const QString &number) const
{
    return tr("Titles.str has no title for mission %1.").arg(number);
}

void MissflagTable::saveExtra(QJsonObject &state) const
{
    state.insert(QStringLiteral("skipAfterLast"), m_skipAfterLast);
}

void MissflagTable::restoreExtra(const QJsonObject &state)
{
    m_skipAfterLast = state.value(QStringLiteral("skipAfterLast")).toBool(true);
}

void MissflagTable::setSkipsAfterLast(bool skip)
{
    if (skip == m_skipAfterLast)
        return;
    m_skipAfterLast = skip;
    Q_EMIT edited();
}

QList<int> MissflagTable::skipLines() const
{
    QList<int> numbers;
    build(&numbers);
    return numbers;
}

StrDocument MissflagTable::document() const
{
    return build(nullptr);
}

StrDocument MissflagTable::build(QList<int> *skipNumbers) const
{
    const StrDocument &from = base();
    StrDocument file = from;
    QMap<int, int> skipLines = skipLinesOf(from);
    for (const int entry : deletedEntries())
        file.removeEntry(entry);

    // Lines to write anew, by number, and the lines that stay where they are.
    struct NewLine {
        int number;
        QString raw;
        Pieces checks;
    };
    QList<NewLine> newLines;
    QMap<int, int> staying;
    QSet<int> missions;
    for (const Row &row : rows()) {
        const std::optional<int> number = wholeNumber(row.number);
        if (row.fixed || !number)
            continue;   // kept as it stands; a number that is none is refused before saving
        missions.insert(*number);
        const int entry = row.entries.at(0);
        const bool edited = changed(row, 0);
        const Pieces checks = edited ? Pieces{oneLine(text(row, 0), placeOf(row, tr("the flags")))} : Pieces{};
        const QString raw = edited ? from.escaped(text(row, 0)) : from.rawText(entry);
        if (inPlace(row)) {
            if (edited)
                file.setText(entry, text(row, 0), checks.constFirst());
            staying.insert(*number, entry);
            continue;
        }
        if (entry >= 0)
            file.removeEntry(entry);   // given another number: it goes where that number goes
        if (const int skip = skipLines.value(*number, -1); skip >= 0) {
            file.setRawEntry(skip, from.key(skip), raw, checks);
            staying.insert(*number, skip);
            skipLines.remove(*number);
            continue;
        }
        newLines.append({*number, raw, checks});
    }

    if (!missions.isEmpty()) {
        // Numbers an opened file leaves out below its last line stay left out:
        // only the gaps the author's rows make get skip lines.
        const QSet<int> leftOut = leftOutNumbers(from);
        const int last = *std::max_element(missions.cbegin(), missions.cend());
        for (int number = 1; number < last; ++number) {
            if (!missions.contains(number) && !skipLines.contains(number) && !leftOut.contains(number))
                newLines.append({number, SkipText, {}});
        }
        const int after = last + 1;
        if (after <= HighestNumber && m_skipAfterLast && !skipLines.contains(after))
            newLines.append({after, SkipText, {}});
        if (!m_skipAfterLast && skipLines.contains(after)) {
            file.removeEntry(skipLines.value(after));
            skipLines.remove(after);
        }
    }
    for (auto skip = skipLines.cbegin(); skip != skipLines.cend(); ++skip)
        staying.insert(skip.key(), skip.value());

    std::stable_sort(newLines.begin(), newLines.end(),
                     [](const NewLine &a, const NewLine &b) { return a.number < b.number; });
    for (const NewLine &line : std::as_const(newLines)) {
        // After the line of the next lower number that stays, else before the next higher.
        const auto higher = staying.lowerBound(line.number);
        const bool after = higher != staying.cbegin();
        const int anchor = after ? std::prev(higher).value() : (higher != staying.cend() ? higher.value() : -1);
        LineStyle style;
        qsizetype at = 0;
        if (anchor >= 0) {
            style = styleOf(from, anchor, MissionPrefix.size());
            at = after ? from.entries().at(anchor).end : from.entries().at(anchor).start;
        } else {
            const StrDocument::Style fileStyle = from.style(MissionPrefix, {MissionPrefix, QStringLiteral(": \"")});
            style = {QString(), fileStyle.prefix, fileStyle.separator, from.lineEnd()};
            at = from.insertionPoint({MissionPrefix});
        }
        file.insertRawEntry(at, style.prefix + QString::number(line.number), line.raw, line.checks,
                            {style.indent, style.separator, style.lineEnd});
    }

    if (skipNumbers) {
        *skipNumbers = skipLines.keys();
        for (const NewLine &line : std::as_const(newLines)) {
            if (line.raw == SkipText && line.checks.isEmpty())
                skipNumbers->append(line.number);
        }
        std::sort(skipNumbers->begin(), skipNumbers->end());
    }
    return file;
}
