#include "goals/goalsfile.h"

#include "goals/goalsstate.h"

#include <QCoreApplication>

namespace GoalsFile {

QStringList lines(const GoalsState &goals)
{
    QStringList result;
    for (int slot = 0; slot < goals.GoalCount; ++slot)
        result.append(goals.GoalList[static_cast<std::size_t>(slot)]);
    return result;
}

TextSources texts(const GoalsState &goals)
{
    TextSources result;
    for (int goal = 0; goal < goals.GoalCount; ++goal) {
        const QString name = QCoreApplication::translate("GoalsFile", "goal %1").arg(goal + 1);
        if (!goals.isAsAdded(goal)) {
            result.append({name, goals.GoalList[static_cast<std::size_t>(goal)]});
            continue;
        }
        result.append({QCoreApplication::translate("GoalsFile", "%1 (fiction)").arg(name),
                       goals.Fict[static_cast<std::size_t>(2 * goal)]});
        result.append({QCoreApplication::translate("GoalsFile", "%1 (text)").arg(name),
                       goals.Fict[static_cast<std::size_t>(2 * goal + 1)]});
    }
    return result;
}

} // namespace GoalsFile
