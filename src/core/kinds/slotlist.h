#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

#include <algorithm>

class StrDocument;
#include <QStringList>


// A table of entry slots of which the first `count()` make the list: the
// pages of a book, the goals of goals.str. An entry is a finished line (or two,
// joined by CR LF) as the file will hold it. Edit mode shows one slot at a
// time; it can step past the end of the list, onto slots outside it.
//
// A list opened from a file may hold more entries than `limit()`: all of them
// are shown and stepped through, and nothing more can be added. Each slot
// remembers the entries of the file it came from (none for an entry added
// here) and its text as it was opened or added.
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
    // count), or to the count when an opened list is longer, and returns the
    // entry of that slot.
    const QString &step(int step);

    // Stores `entry`, taken whole, in `slot` (bounded to 0..limit-1), even one
    // at or beyond the count, and puts the edit position back to 0.
    void store(int slot, const QString &entry);

    // Makes `entries` the list, as when a file is read; `origins` are the
    // file's entries each came from.
    void load(const QStringList &entries, const QList<QList<int>> &origins);
    // The same for a file shown again (after undo, a replacement): the
    // slots beyond the file's entries and the edit position stay.
    void show(const QStringList &entries, const QList<QList<int>> &origins);

    struct Origin {
        QList<int> entries;      // in the opened file; empty for an entry added here
        QString text;            // the slot's text as opened or added
        bool composed = false;   // added here, as the program composes an entry: well formed
    };
    const Origin &origin(int slot) const { return m_origins.at(std::clamp<qsizetype>(slot, 0, m_origins.size() - 1)); }
    // Every entry of the opened file that a slot came from.
    const QList<int> &openedEntries() const { return m_openedEntries; }

    // Where the slots came from, for a draft: the entries of the opened file
    // (the texts they stood for are read again from `document`) or the text
    // as added; and back, after restore().
    QJsonObject originsDraft() const;
    void restoreOrigins(const QJsonObject &draft, const StrDocument &document);

    // Every slot, the list's and those outside it, for a draft.
    const QStringList &allSlots() const { return m_slots; }

    // Puts back what a draft kept: the slots (as many as fit), the count and
    // the edit position, each bounded.
    void restore(const QStringList &slots, int count, int editPosition);

    // Starts a new list, of no file. The slots keep their old entries; only
    // the count goes back.
    void reset();

private:
    int lastSlot() const;

    QStringList m_slots;
    QList<Origin> m_origins;
    QList<int> m_openedEntries;
    int m_limit;
    int m_count = 0;
    int m_editPosition = 0;
};
