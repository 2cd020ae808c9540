#pragma once

#include <QString>
#include <QStringList>

// A fixed table of entry slots of which the first `count()` make the list: the
// pages of a book, the goals of goals.str. An entry is a finished line (or two,
// joined by CR LF) as the file will hold it. Edit mode shows one slot at a
// time; it can step past the end of the list, onto slots outside it.
class SlotList
{
public:
    // `slotCount` slots, of which at most `limit` make the list.
    SlotList(int slotCount, int limit);

    int count() const { return m_count; }
    int limit() const { return m_limit; }
    bool isFull() const { return m_count >= m_limit; }
    int editPosition() const { return m_editPosition; }

    // The entry of `slot`, empty for a slot never written.
    const QString &at(int slot) const;

    // The entries of the list, in slot order.
    QStringList entries() const;

    // The entries of the list, each followed by CR LF; empty with no entries.
    QString listText() const;

    // Stores `entry` as the next one and leaves the edit position at 0.
    // Refused (false) when the list is full.
    bool append(const QString &entry);

    // Moves the edit position by `step`, bounded to 0..limit-1 (not to the
    // count), and returns the entry of that slot.
    const QString &step(int step);

    // Stores `entry`, taken whole, in `slot` (bounded to 0..limit-1), even one
    // at or beyond the count, and puts the edit position back to 0.
    void store(int slot, const QString &entry);

    // Makes the first `count` slots the list (0..limit), as when a file is read.
    void setCount(int count);

    // Every slot, the list's and those outside it, for a draft.
    const QStringList &allSlots() const { return m_slots; }

    // Puts back what a draft kept: the slots (as many as fit), the count and
    // the edit position, each bounded.
    void restore(const QStringList &slots, int count, int editPosition);

    // Starts a new list. The slots keep their old entries; only the count goes back.
    void reset() { m_count = 0; }

private:
    QStringList m_slots;
    int m_limit;
    int m_count = 0;
    int m_editPosition = 0;
};
