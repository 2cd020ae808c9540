#pragma once

#include "core/kinds/slotlist.h"
#include "core/document/strdocument.h"
#include "core/save/textcheck.h"

#include <functional>
#include <optional>

// How a slot list (the pages of a book, the goals of goals.str) is laid over
// the document of its file: a slot nobody changed keeps its entries byte for
// byte, a changed slot replaces the text of its entries in place, a new slot
// goes after the last entry of its kind in the file's own style, and an entry
// no longer in the list is removed, with nothing else touched.
namespace SlotFile {

struct Kind {
    QList<QLatin1String> prefixes;   // the keys of the list's entries start so ("page_")
    QString name;                    // for messages: "a book file"
    bool opened = false;             // the list was opened from a file: an emptied slot leaves no line
};

// Changes `document` to hold the list. Each changed slot must hold text that
// `codePage` can write and well-formed entries whose keys are those it had
// when it was opened or added (or nothing: its entries are then removed); the
// first that does not is returned, with the document left part-changed.
std::optional<Error> apply(StrDocument &document, const SlotList &list, const Kind &kind,
                                        const std::function<QString(int slot)> &placeOf, int codePage);

// The same for a list whose last slot was just added, as the program
// composes an entry, onto `document` that holds the list laid before it:
// only that slot's lines go in, everything else stays shared with it.
std::optional<Error> applyLast(StrDocument &document, const SlotList &list, const Kind &kind,
                               const std::function<QString(int slot)> &placeOf, int codePage);

} // namespace SlotFile
