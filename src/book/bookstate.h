#pragma once

#include <QString>

#include <array>
#include <optional>

// The book being composed on the Books tab: up to 50 page entries, each a
// finished line such as Page_0:"It was dark." (line breaks inside as CR LF).
class BookState
{
public:
    static constexpr int SlotCount = 50;
    static constexpr int LastSlot = SlotCount - 1;

    std::array<QString, SlotCount> Pg;   // slot k holds the entry of page k
    int PageCount = 0;                   // slots 0..PageCount-1 are the book
    int PageEditIndex = 0;               // the slot shown in edit mode
    bool BookLocationGiven = false;      // set by every change of the place box

    // The entry line of a page typed into slot `slot`: Page_<slot>:"<text>".
    static QString pageEntry(int slot, const QString &text);

    // The slot named by the "Edit Page" box: a whole number from 0 to 49,
    // blanks around it allowed. Nothing for any other text.
    static std::optional<int> slotFromText(const QString &text);

    bool isFull() const { return PageCount >= SlotCount; }

    // Stores `text` as the next page. Refused (false) when the book is full.
    bool addPage(const QString &text);

    // The entries of the book, each followed by CR LF; empty with no pages.
    QString pageListText() const;

    // Moves the edit index by `step` (+1 or -1), bounded to 0..49 (not to the
    // page count), and returns the entry of that slot.
    const QString &stepEditIndex(int step);

    // Stores an edited entry, taken whole, in `slot` (0..49) and leaves
    // PageEditIndex at 0. The page count does not change.
    void storeEntry(int slot, const QString &entry);

    // Starts a new book. The slots keep their old entries; only the count and
    // the location mark go back.
    void reset();
};
