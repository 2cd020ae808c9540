#include "goals/goalsstate.h"

#include "app/keypieces.h"

#include <algorithm>

namespace {

std::size_t at(int slot)
{
    return static_cast<std::size_t>(slot);
}

const QLatin1String CrLf{"\r\n"};

} // namespace

std::array<QString, GoalsState::LineCount> GoalsState::designLines()
{
    std::array<QString, LineCount> lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t pair = (i % static_cast<std::size_t>(MaxGoals)) / 2;
        if (i % 2 == 1)
            lines[i] = QStringLiteral("Text %1").arg(pair);
        else
            lines[i] = pair == 0 ? QStringLiteral("Fiction  0") : QStringLiteral("Fiction %1").arg(pair);
    }
    return lines;
}

QString GoalsState::fictionLine(int goal, const QString &fiction)
{
    return KeyPieces::GoalFictionPrefix + QString::number(goal) + KeyPieces::GoalValueOpen + fiction
        + KeyPieces::GoalValueClose;
}

QString GoalsState::textLine(int goal, const QString &text)
{
    return KeyPieces::GoalTextPrefix + QString::number(goal) + KeyPieces::GoalValueOpen + text
        + KeyPieces::GoalValueClose;
}

bool GoalsState::addGoal(const QString &fiction, const QString &text)
{
    if (isFull())
        return false;
    const int goal = GoalCount;
    Fict[at(2 * goal)] = fictionLine(goal, fiction);
    Fict[at(2 * goal + 1)] = textLine(goal, text);
    GoalList[at(goal)] = Fict[at(2 * goal)] + CrLf + Fict[at(2 * goal + 1)];
    GoalCount = goal + 1;
    return true;
}

QString GoalsState::listText() const
{
    QString list;
    for (int slot = 0; slot < GoalCount; ++slot)
        list += GoalList[at(slot)] + CrLf;
    return list;
}

const QString &GoalsState::editedEntry() const
{
    return GoalList[at(GoalEditPos)];
}

const QString &GoalsState::stepEditPos(int step)
{
    GoalEditPos = std::clamp(GoalEditPos + step, 0, LastGoalSlot);
    return editedEntry();
}

void GoalsState::storeEdited(const QString &entry)
{
    GoalList[at(std::clamp(GoalEditPos, 0, LastGoalSlot))] = entry;
    GoalEditPos = 0;
}

bool GoalsState::isAsAdded(int goal) const
{
    if (goal < 0 || goal > LastGoalSlot)
        return false;
    return GoalList[at(goal)] == Fict[at(2 * goal)] + CrLf + Fict[at(2 * goal + 1)];
}
