#include "core/kinds/kind.h"

#include "core/kinds/book.h"
#include "core/kinds/goals.h"
#include "core/kinds/missflag.h"
#include "core/kinds/newgame.h"
#include "core/kinds/stylechecks.h"
#include "core/document/strsyntax.h"
#include "core/kinds/titles.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace Kinds {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("Kinds", text);
}

// "Page_0, Page_3": the numbers below the highest of `numbers` that it lacks,
// the first ten of them and how many more (a key such as fiction_99999999
// leaves out a hundred million).
QString missingBefore(QList<int> numbers, const QString &prefix)
{
    constexpr int Listed = 10;
    std::sort(numbers.begin(), numbers.end());
    QStringList missing;
    qint64 more = 0;
    qint64 next = 0;   // the lowest number not yet seen
    for (const int number : std::as_const(numbers)) {
        for (; next < number && missing.size() < Listed; ++next)
            missing.append(prefix + QString::number(next));
        more += std::max<qint64>(0, number - next);
        next = std::max<qint64>(next, qint64(number) + 1);
    }
    if (more > 0)
        return say("%1 and %2 more").arg(missing.join(QLatin1String(", ")), QString::number(more));
    return missing.join(QLatin1String(", "));
}

// ---------------------------------------------------------------- Book

void checkBook(const StrDocument &document, const QStringList &takenKeys, QList<Finding> &findings)
{
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const std::optional<int> number = StrSyntax::numberedKey(document.rawKey(static_cast<int>(i)),
                                                                 BookFile::PagePrefix);
        if (number && *number >= BookState::SlotCount) {
            findings.append({document.entries().at(i).line,
                             say("%1 is beyond the %2 pages the tab shows; it is kept as it stands.")
                                 .arg(document.key(static_cast<int>(i)), QString::number(BookState::SlotCount))});
        }
    }
    QList<int> numbers;
    for (const int entry : BookFile::shownPages(document))
        numbers.append(*StrSyntax::numberedKey(document.rawKey(entry), BookFile::PagePrefix));
    for (const QString &key : takenKeys) {   // pages taken into another: told there
        if (const auto number = StrSyntax::numberedKey(QStringView(key), BookFile::PagePrefix))
            numbers.append(*number);
    }
    if (const QString missing = missingBefore(numbers, QStringLiteral("Page_")); !missing.isEmpty())
        findings.append({0, say("The book has no %1, although later pages follow.").arg(missing), Finding::Warning, 0,
                         "missing-page"});
}

// ---------------------------------------------------------------- Goals

QList<int> shownGoalEntries(const StrDocument &document)
{
    QList<int> entries;
    for (const GoalsFile::Goal &goal : GoalsFile::shownGoals(document)) {
        for (const int entry : {goal.fiction, goal.text}) {
            if (entry >= 0)
                entries.append(entry);
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

void checkGoals(const StrDocument &document, const QStringList &, QList<Finding> &findings)
{
    QList<int> numbers;
    for (const GoalsFile::Goal &goal : GoalsFile::shownGoals(document)) {
        numbers.append(goal.number);
        const QString number = QString::number(goal.number);
        if (goal.fiction < 0) {
            findings.append({document.entries().at(goal.text).line,
                             say("There is a text_%1 but no fiction_%1.").arg(number), Finding::Warning, 0, "unpaired-goal"});
        } else if (goal.text < 0) {
            findings.append({document.entries().at(goal.fiction).line,
                             say("There is a fiction_%1 but no text_%1.").arg(number), Finding::Warning, 0, "unpaired-goal"});
        }
    }
    if (const QString missing = missingBefore(numbers, QString()); !missing.isEmpty()) {
        findings.append({0, say("There is no goal %1 (no fiction_ or text_ line), although later goals follow.")
                                .arg(missing),
                         Finding::Warning, 0, "missing-goal"});
    }
}

// ---------------------------------------------------------------- New game

QList<int> shownNewgameEntries(const StrDocument &document)
{
    QList<int> entries;
    for (const QLatin1String key : NewgameFile::Keys) {
        if (const int entry = document.find(key); entry >= 0)
            entries.append(entry);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

void checkNewgame(const StrDocument &document, const QStringList &, QList<Finding> &findings)
{
    for (const QLatin1String key : NewgameFile::Keys) {
        if (document.find(key) < 0)
            findings.append({0, say("There is no %1 entry.").arg(key), Finding::Warning, 0, "missing-entry"});
    }
    // Read by the game, written by the program, not shown by the tab.
    const int entry = document.find(QLatin1String("start_training"));
    if (entry >= 0) {
        findings.append({document.entries().at(entry).line,
                         say("The tab does not show %1; kept as it stands.").arg(document.key(entry))});
    }
}

// ---------------------------------------------------------------- Titles

QList<int> shownTitleEntries(const StrDocument &document)
{
    QList<int> entries;
    for (const int title : TitlesFile::missions(document)) {
        entries.append(title);
        if (const int shortTitle = TitlesFile::shortTitle(document, title); shortTitle >= 0)
            entries.append(shortTitle);
    }
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

// ---------------------------------------------------------------- String tables

QList<int> everyEntry(const StrDocument &document)
{
    QList<int> entries;
    for (qsizetype i = 0; i < document.entries().size(); ++i)
        entries.append(static_cast<int>(i));
    return entries;
}

// ---------------------------------------------------------------- The registry

// Each kind's checks end with the notes of style (StyleChecks); the blanks
// of a text are noted where the texts are prose, not in missflag.str, whose
// texts are the game's words.
using namespace StyleChecks;

const QList<Descriptor> &descriptors()
{
    static const QList<Descriptor> Descriptors = {
        {Kind::Book,
         {},
         {},
         QLatin1String("books"),
         {{KeyFamily::Numbered, BookFile::PagePrefix}},
         QLatin1String(""),
         false,
         BookFile::shownPages,
         {checkBook, trailingBlanks, doubleBlanks, keyCase, lineEnds},
         QT_TRANSLATE_NOOP("Kinds", "a book file"),
         QT_TRANSLATE_NOOP("Kinds", "Books")},
        {Kind::Goals,
         GoalsFile::SuggestedName,
         {},
         {},
         {{KeyFamily::Numbered, GoalsFile::FictionPrefix}, {KeyFamily::Numbered, GoalsFile::TextPrefix}},
         QLatin1String(""),
         false,
         shownGoalEntries,
         {checkGoals, trailingBlanks, doubleBlanks, keyCase, lineEnds},
         nullptr,
         QT_TRANSLATE_NOOP("Kinds", "Goals")},
        {Kind::Newgame,
         NewgameFile::FileName,
         {},
         {},
         {{KeyFamily::Exact, QLatin1String("difficulty")},
          {KeyFamily::Exact, QLatin1String("skip_training")},
          {KeyFamily::Exact, QLatin1String("start_training")},
          {KeyFamily::Exact, QLatin1String("options")},
          {KeyFamily::Exact, QLatin1String("cancel")},
          {KeyFamily::Numbered, QLatin1String("diff_")}},
         // Two blanks after the colon of the difficulty keys.
         QLatin1String("difficulty: \"Difficulty:\"\r\n"
                       "// This mission's title.\r\n"
                       "skip_training: \"\"\r\n"
                       "\r\n"
                       "options: \"Options\"\r\n"
                       "cancel: \"Cancel\"\r\n"
                       "\r\n"
                       "diff_0:  \"\"\r\n"
                       "diff_1:  \"\"\r\n"
                       "diff_2:  \"\"\r\n"),
         false,
         shownNewgameEntries,
         {checkNewgame, trailingBlanks, doubleBlanks, keyCase, lineEnds},
         nullptr,
         QT_TRANSLATE_NOOP("Kinds", "New game")},
        {Kind::Missflag,
         MissflagFile::FileName,
         {},
         {},
         {{KeyFamily::Prefixed, MissflagFile::MissionPrefix}},
         QLatin1String("// Valid mission flags\r\n"
                       "//\r\n"
                       "// skip         This mission doesn't exist; it should be skipped.\r\n"
                       "// no_briefing  Skip the briefing movie\r\n"
                       "// no_loadout   Skip the loadout\r\n"
                       "// cutscene     Play a cutscene immediately afterward\r\n"
                       "// end          End the game when this mission is completed\r\n"
                       "//\r\n"),
         false,
         MissflagFile::missions,
         {keyCase, lineEnds},   // every mission shows, in the campaign table when there are several
         nullptr,
         QT_TRANSLATE_NOOP("Kinds", "Mission flags")},
        {Kind::Titles,
         TitlesFile::FileName,
         {},
         {},
         {{KeyFamily::Prefixed, TitlesFile::TitlePrefix}, {KeyFamily::Prefixed, TitlesFile::ShortPrefix}},
         // Each entry with one blank after its colon.
         QLatin1String("// Objectives screen text.\r\n"
                       "title_0: \"\"\r\n"
                       "// Save game dialog text.\r\n"
                       "short_0: \"\"\r\n"),
         false,
         shownTitleEntries,
         {trailingBlanks, doubleBlanks, keyCase, lineEnds},   // every mission shows, in the campaign table when there are several
         nullptr,
         QT_TRANSLATE_NOOP("Kinds", "Titles")},
        // The interface's own string tables that missions ship, and the other
        // files of intrface/<language>/: string tables whatever keys they hold.
        {Kind::Other,
         {},
         {QLatin1String("debrief.str"), QLatin1String("loading.str"), QLatin1String("loadout.str"),
          QLatin1String("main.str"), QLatin1String("sim.str"), QLatin1String("simmenu.str")},
         QLatin1String("intrface"),
         {},
         QLatin1String(""),
         true,
         everyEntry,
         {trailingBlanks, doubleBlanks, keyCase, lineEnds},
         QT_TRANSLATE_NOOP("Kinds", "a string table"),
         QT_TRANSLATE_NOOP("Kinds", "Other string tables")},
    };
    return Descriptors;
}

} // namespace

bool KeyFamily::matches(QLatin1String key) const
{
    switch (match) {
    case Numbered:
        return StrSyntax::numberedKey(key, word).has_value();
    case Exact:
        return key.compare(word, Qt::CaseInsensitive) == 0;
    case Prefixed:
        return key.size() > word.size() && key.startsWith(word, Qt::CaseInsensitive);
    }
    return false;
}

QString Descriptor::kindName() const
{
    return name ? QCoreApplication::translate("Kinds", name) : QString(suggestedName);
}

QString Descriptor::groupName() const
{
    return QCoreApplication::translate("Kinds", group);
}

bool Descriptor::shows(QLatin1String key) const
{
    // missflag.str's tab shows the mission lines, not miss_<n>_<word>.
    return kindOfKey(key) == kind && (kind != Kind::Missflag || MissflagFile::isMissionKey(key));
}

const QList<Descriptor> &all()
{
    return descriptors();
}

const Descriptor &descriptor(Kind kind)
{
    return descriptors().at(static_cast<qsizetype>(kind));
}

std::optional<Kind> kindOfKey(QLatin1String key)
{
    for (const Descriptor &kind : descriptors()) {
        for (const KeyFamily &family : kind.keyFamilies) {
            if (family.matches(key))
                return kind.kind;
        }
    }
    return std::nullopt;
}

std::optional<Kind> kindOfPath(const QString &path)
{
    const QStringList parts = QString(path).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return std::nullopt;
    const QString &name = parts.constLast();
    const auto is = [](const QString &part, QLatin1String word) { return part.compare(word, Qt::CaseInsensitive) == 0; };
    for (const Descriptor &kind : descriptors()) {
        if (!kind.suggestedName.isEmpty() && is(name, kind.suggestedName))
            return kind.kind;
        for (const QLatin1String fileName : kind.fileNames) {
            if (is(name, fileName))
                return kind.kind;
        }
    }
    // intrface/<language>/: the interface's string tables (not intrface/missNN/).
    static const QRegularExpression mission(QStringLiteral("^miss[0-9]+$"), QRegularExpression::CaseInsensitiveOption);
    const qsizetype folders = parts.size() - 1;
    if (folders >= 2 && is(parts.at(folders - 2), descriptor(Kind::Other).folder)
        && !mission.match(parts.at(folders - 1)).hasMatch())
        return Kind::Other;
    // Any file under a books/ folder, at any depth.
    const QLatin1String books = descriptor(Kind::Book).folder;
    if (std::any_of(parts.cbegin(), parts.cend() - 1, [&](const QString &part) { return is(part, books); }))
        return Kind::Book;
    return std::nullopt;
}

std::optional<Kind> kindOf(const StrDocument &document, std::optional<Kind> named)
{
    std::optional<Kind> kind = document.entries().isEmpty() ? std::nullopt : named;
    for (qsizetype i = 0; i < document.entries().size() && !kind; ++i)
        kind = kindOfKey(document.rawKey(static_cast<int>(i)));
    if (!kind) {
        if (BookFile::locationLine(document))
            kind = Kind::Book;
        else if (!document.entries().isEmpty())
            kind = Kind::Other;
    }
    return kind;
}

QList<Finding> check(Kind kind, const StrDocument &document, const QStringList &takenKeys)
{
    QList<Finding> findings;
    const Descriptor &described = descriptor(kind);
    // Entries that are not of the file's kind: kept, named once (a string table shows them all).
    if (kind != Kind::Other) {
        QStringList keys;
        int line = 0;
        for (qsizetype i = 0; i < document.entries().size(); ++i) {
            if (described.shows(document.rawKey(static_cast<int>(i))))
                continue;
            if (keys.isEmpty())
                line = document.entries().at(i).line;
            if (keys.size() < 12)
                keys.append(document.key(static_cast<int>(i)));
            else if (keys.size() == 12)
                keys.append(QString(QChar(0x2026)));
        }
        if (!keys.isEmpty())
            findings.append({line, say("The tab does not show %1; kept as it stands.").arg(keys.join(QLatin1String(", ")))});
    }
    for (const Descriptor::Check check : described.checks)
        check(document, takenKeys, findings);
    return findings;
}

} // namespace Kinds
