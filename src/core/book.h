#pragma once

#include "core/filecontent.h"
#include "core/slotlist.h"

#include <optional>

// The book being composed on the Books tab: up to 50 page entries, each a
// finished line such as Page_0:"It was dark." (line breaks inside as CR LF).
struct BookState {
    static constexpr int SlotCount = 50;

    SlotList Pg{SlotCount, SlotCount};   // slot k holds the entry of page k
    bool BookLocationGiven = false;      // set by every change of the place box

    int PageCount() const { return Pg.count(); }
    int PageEditIndex() const { return Pg.editPosition(); }
};

// The book file: an optional comment line with the place of the book, then the
// entries of the book's pages in slot order.
namespace BookFile {

inline constexpr QLatin1String LocationPrefix{"// Book Location - "};

// The entry line of a page typed into slot `slot`: Page_<slot>:"<text>".
QString pageEntry(int slot, const QString &text);

// The slot named by the "Edit Page" box: a whole number from 0 to 49, blanks
// around it allowed. Nothing for any other text.
std::optional<int> slotFromText(const QString &text);

// The file. The location line is there when the book has a location mark and
// `location` is not empty.
FileContent content(const BookState &book, const QString &location);

// The name the save dialog proposes: the book name with ".str" appended.
QString suggestedName(const QString &bookName);

} // namespace BookFile
