#include "core/kinds/goals.h"

#include "core/kinds/keypieces.h"

#include <QCoreApplication>
#include <QHash>

namespace GoalsFile {

namespace {

QList<QList<int>> origins(const QList<Goal> &goals)
{
    QList<QList<int>> result;
    for (const Goal &goal : goals) {
        QList<int> entries;
        for (const int entry : {goal.fiction, goal.text}) {
            if (entry >= 0)
                entries.append(entry);
        }
        std::sort(entries.begin(), entries.end());
        result.append(entries);
    }
    return result;
}

// A goal's lines: its entries, joined by CR LF.
QStringList lines(const StrDocument &document, const QList<QList<int>> &from)
{
    QStringList lines;
    for (const QList<int> &entries : from) {
        QStringList parts;
        for (const int entry : entries)
            parts.append(document.entryLine(entry));
        lines.append(parts.join(QLatin1String("\r\n")));
    }
    return lines;
}

} // namespace

QString goalEntry(const StrDocument &document, int goal, const QString &fiction, const QString &text)
{
    const QString number = QString::number(goal);
    const auto line = [&](QLatin1String prefix, QLatin1String newPrefix, const QString &value) {
        const StrDocument::Style style = document.style(prefix, {newPrefix, KeyPieces::GoalValueOpen});
        return document.newEntryLine(style.prefix + number, value, {QString(), style.separator, QString()});
    };
    return line(FictionPrefix, KeyPieces::GoalFictionPrefix, fiction) + QLatin1String("\r\n")
        + line(TextPrefix, KeyPieces::GoalTextPrefix, text);
}

int nextGoalNumber(const GoalsState &goals)
{
    for (int slot = goals.GoalCount() - 1; slot >= 0; --slot) {
        for (const StrSyntax::HandEntry &entry :
             StrSyntax::parseHandEntries(goals.GoalList.origin(slot).text).entries) {
            std::optional<int> number = StrSyntax::numberedKey(entry.key, FictionPrefix);
            if (!number)
                number = StrSyntax::numberedKey(entry.key, TextPrefix);
            if (number)
                return *number + 1;
        }
    }
    return goals.GoalCount();
}

QList<Goal> shownGoals(const StrDocument &document)
{
    QList<Goal> goals;
    QHash<int, qsizetype> index;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const QLatin1String key = document.rawKey(entry);
        std::optional<int> number = StrSyntax::numberedKey(key, FictionPrefix);
        const bool fiction = number.has_value();
        if (!number)
            number = StrSyntax::numberedKey(key, TextPrefix);
        if (!number)
            continue;
        auto found = index.constFind(*number);
        if (found == index.cend()) {
            found = index.insert(*number, goals.size());
            goals.append({*number, -1, -1});
        }
        int &slot = fiction ? goals[*found].fiction : goals[*found].text;
        if (slot < 0)
            slot = entry;
    }
    return goals;
}

void load(GoalsState &goals, const StrDocument &document)
{
    goals.document = document;
    goals.opened = true;
    const QList<QList<int>> from = origins(shownGoals(document));
    goals.GoalList.load(lines(document, from), from);
}

void show(GoalsState &goals, const StrDocument &document)
{
    goals.document = document;
    const QList<QList<int>> from = origins(shownGoals(document));
    goals.GoalList.show(lines(document, from), from);
}

std::variant<StrDocument, Error> document(const GoalsState &goals, int codePage)
{
    StrDocument file = goals.document;
    const SlotFile::Kind kind{{FictionPrefix, TextPrefix}, SuggestedName, goals.opened};
    const auto placeOf = [](int slot) { return QCoreApplication::translate("GoalsFile", "goal %1").arg(slot + 1); };
    if (std::optional<Error> refused = SlotFile::apply(file, goals.GoalList, kind, placeOf, codePage))
        return *refused;
    return file;
}

std::variant<StrDocument, Error> withLastGoal(const GoalsState &goals, StrDocument file, int codePage)
{
    const SlotFile::Kind kind{{FictionPrefix, TextPrefix}, SuggestedName, goals.opened};
    const auto placeOf = [](int slot) { return QCoreApplication::translate("GoalsFile", "goal %1").arg(slot + 1); };
    if (std::optional<Error> problem = SlotFile::applyLast(file, goals.GoalList, kind, placeOf, codePage))
        return *problem;
    return file;
}

} // namespace GoalsFile
