#pragma once

#include "core/kinds/slotfile.h"
#include "core/kinds/slotlist.h"
#include "core/document/strdocument.h"

#include <optional>
#include <variant>

// The book being composed on the Books tab: up to 50 page entries, each a
// finished line such as Page_0:"It was dark." (line breaks inside as CR LF),
// over the document of the file it was opened from (an empty one for a new book).
struct BookState {
    static constexpr int SlotCount = 50;

    SlotList Pg{SlotCount, SlotCount};   // slot k holds the entry of the book's k-th page
    bool BookLocationGiven = false;      // set by every change of the place box
    StrDocument document;                // the file the book was opened from, or nothing
    bool opened = false;   // from a file, rather than typed from scratch

    int PageCount() const { return Pg.count(); }
    int PageEditIndex() const { return Pg.editPosition(); }
};

// The book file: an optional comment line with the place of the book, then the
// entries of the book's pages. An opened file keeps everything else it holds.
namespace BookFile {

inline constexpr QLatin1String LocationPrefix{"// Book Location - "};
inline constexpr QLatin1String PagePrefix{"page_"};

// The entry line of a page numbered `number`, written as `document`'s pages
// are (Page_<number>:"<text>" in a new book), its quotes and backslashes escaped.
QString pageEntry(const StrDocument &document, int number, const QString &text);

// The number of the page added next: one after the book's last page, 0 for none.
int nextPageNumber(const BookState &book);

// The slot named by the "Edit Page" box: a whole number from 0 to 49, blanks
// around it allowed. Nothing for any other text.
std::optional<int> slotFromText(const QString &text);

// The entries the tab shows, in file order: the first entry of each page
// number from 0 to 49.
QList<int> shownPages(const StrDocument &document);

// The place of the book: the "// Book Location - " comment before the first
// page (any spacing and case), and where its text stands in the bytes.
struct Location {
    qsizetype textFrom = 0;
    qsizetype textTo = 0;
    QString text;
};
std::optional<Location> locationLine(const StrDocument &document);

// Fills the book from its file.
void load(BookState &book, const StrDocument &document);
// The book's pages from `document` (no edits in it), which the book is laid
// over from now on; the slots beyond the book, the edit position and whether
// it was opened stay.
void show(BookState &book, const StrDocument &document);

// The file: the book's document with the place line and the pages laid over
// it, or the first slot that does not hold a well-formed page entry. The place
// line is there when the book has a location mark and `location` is not empty.
std::variant<StrDocument, Error> document(const BookState &book, const QString &location,
                                                       int codePage);

// `file`, the book's document as it was laid before its last page was added
// (with the place line as it was), with that page laid in too.
std::variant<StrDocument, Error> withLastPage(const BookState &book, StrDocument file, int codePage);

// The name the save dialog proposes: the book name with ".str" appended.
QString suggestedName(const QString &bookName);

} // namespace BookFile
