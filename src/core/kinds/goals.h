#pragma once

#include "core/kinds/slotfile.h"
#include "core/kinds/slotlist.h"
#include "core/document/strdocument.h"

#include <variant>

// The goal list being composed on the Goals tab: up to 12 goals, each stored
// as one entry, its fiction line, CR LF and its text line, for example
// fiction_0:"Find the map" CR LF text_0:"Bring it back". An entry rewritten in
// edit mode holds whatever the author left in the list box. A list opened
// from a file holds all of the file's goals, also beyond 12.
struct GoalsState {
    static constexpr int SlotCount = 17;   // slots 12..16 are never used by a new list
    static constexpr int MaxGoals = 12;

    SlotList GoalList{SlotCount, MaxGoals};
    StrDocument document;   // the file the list was opened from, or nothing
    bool opened = false;   // from a file, rather than typed from scratch

    int GoalCount() const { return GoalList.count(); }
    int GoalEditPos() const { return GoalList.editPosition(); }
};

// goals.str: the entries of the goal list in slot order; an opened file keeps
// everything else it holds.
namespace GoalsFile {

inline constexpr QLatin1String SuggestedName{"goals.str"};
inline constexpr QLatin1String FictionPrefix{"fiction_"};
inline constexpr QLatin1String TextPrefix{"text_"};

// fiction_<goal>:"<fiction>" CR LF text_<goal>:"<text>", written as
// `document`'s goals are, quotes and backslashes escaped.
QString goalEntry(const StrDocument &document, int goal, const QString &fiction, const QString &text);

// The number of the goal added next: one after the list's last goal.
int nextGoalNumber(const GoalsState &goals);

// A goal of a file: its number and its entries (-1 for one it lacks), in the
// order the file first names them.
struct Goal {
    int number = 0;
    int fiction = -1;
    int text = -1;
};
QList<Goal> shownGoals(const StrDocument &document);

void load(GoalsState &goals, const StrDocument &document);
// The goals from `document` (no edits in it), which the list is laid over
// from now on; the slots beyond the list, the edit position and whether it
// was opened stay.
void show(GoalsState &goals, const StrDocument &document);

// The file, or the first slot that does not hold well-formed goal entries.
std::variant<StrDocument, Error> document(const GoalsState &goals, int codePage);

// `file`, the list's document as it was laid before its last goal was
// added, with that goal laid in too.
std::variant<StrDocument, Error> withLastGoal(const GoalsState &goals, StrDocument file, int codePage);

} // namespace GoalsFile
