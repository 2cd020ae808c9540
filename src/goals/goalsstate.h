#pragma once

#include <QString>

#include <array>

// The goal list being composed on the Goals tab: up to 12 goals, each stored
// as one entry, its fiction line, CR LF and its text line, for example
// fiction_0:"Find the map" CR LF text_0:"Bring it back". An entry rewritten in
// edit mode holds whatever the author left in the list box.
class GoalsState
{
public:
    static constexpr int SlotCount = 17;          // slots 12..16 are never used
    static constexpr int MaxGoals = 12;
    static constexpr int LastGoalSlot = MaxGoals - 1;
    static constexpr int LineCount = 2 * MaxGoals;

    std::array<QString, SlotCount> GoalList;      // slot k holds the entry of goal k
    int GoalCount = 0;                            // slots 0..GoalCount-1 are the list
    int GoalEditPos = 0;                          // the slot shown in edit mode, else 0
    // Line 2k is goal k's fiction line, line 2k+1 its text line, as added
    // (editing changes only GoalList).
    std::array<QString, LineCount> Fict = designLines();

    // fiction_<goal>:"<fiction>" and text_<goal>:"<text>", nothing escaped.
    static QString fictionLine(int goal, const QString &fiction);
    static QString textLine(int goal, const QString &text);

    bool isFull() const { return GoalCount >= MaxGoals; }

    // Appends a goal from the two texts as typed (line breaks as CR LF).
    // Refused (false) when the list is full.
    bool addGoal(const QString &fiction, const QString &text);

    // The entries of the list, each followed by CR LF; empty with no goals.
    QString listText() const;

    // The entry of the slot shown in edit mode.
    const QString &editedEntry() const;

    // Moves the edit position by `step` (+1 or -1), bounded to 0..11 (not to
    // the goal count), and returns the entry of that slot.
    const QString &stepEditPos(int step);

    // Stores `entry`, taken whole, in the slot shown in edit mode, even one at
    // or beyond the goal count, and puts the edit position back to 0.
    void storeEdited(const QString &entry);

    // True when goal `goal` still holds the two lines it was added with.
    bool isAsAdded(int goal) const;

    // Starts a new list. The slots keep their old entries; only the count goes back.
    void reset() { GoalCount = 0; }

private:
    static std::array<QString, LineCount> designLines();
};
