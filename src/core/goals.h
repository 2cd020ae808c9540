#pragma once

#include "core/filecontent.h"
#include "core/slotlist.h"

// The goal list being composed on the Goals tab: up to 12 goals, each stored
// as one entry, its fiction line, CR LF and its text line, for example
// fiction_0:"Find the map" CR LF text_0:"Bring it back". An entry rewritten in
// edit mode holds whatever the author left in the list box.
struct GoalsState {
    static constexpr int SlotCount = 17;   // slots 12..16 are never used
    static constexpr int MaxGoals = 12;

    SlotList GoalList{SlotCount, MaxGoals};

    int GoalCount() const { return GoalList.count(); }
    int GoalEditPos() const { return GoalList.editPosition(); }
};

// goals.str: the entries of the goal list in slot order, nothing before or
// after them.
namespace GoalsFile {

inline constexpr QLatin1String SuggestedName{"goals.str"};

// fiction_<goal>:"<fiction>" CR LF text_<goal>:"<text>", nothing escaped.
QString goalEntry(int goal, const QString &fiction, const QString &text);

FileContent content(const GoalsState &goals);

} // namespace GoalsFile
