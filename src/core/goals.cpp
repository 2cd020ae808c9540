#include "core/goals.h"

#include "core/keypieces.h"

#include <QCoreApplication>

namespace GoalsFile {

QString goalEntry(int goal, const QString &fiction, const QString &text)
{
    const QString number = QString::number(goal);
    return joined(entry({fixed(KeyPieces::GoalFictionPrefix + number)}, KeyPieces::GoalValueOpen, {fixed(fiction)},
                        KeyPieces::GoalValueClose))
        + QLatin1String("\r\n")
        + joined(entry({fixed(KeyPieces::GoalTextPrefix + number)}, KeyPieces::GoalValueOpen, {fixed(text)},
                       KeyPieces::GoalValueClose));
}

FileContent content(const GoalsState &goals)
{
    FileContent file;
    for (int goal = 0; goal < goals.GoalCount(); ++goal) {
        file.line({multiLine(goals.GoalList.at(goal),
                             QCoreApplication::translate("GoalsFile", "goal %1").arg(goal + 1))});
    }
    return file;
}

} // namespace GoalsFile
