#pragma once

#include "core/kinds/strreader.h"

#include <QStringList>

#include <optional>

// What the program tells the author before a file read back fills a tab.
namespace Opening {

// The message: what the tab does not show but keeps, and what the game would
// read otherwise than the file stands or cannot be written as it is. Only the
// latter makes it a question. The first `MaxShown` notes are listed with
// their lines, the rest counted; `details` holds them all, to be copied.
struct Message {
    bool asks = false;
    bool repairable = false;   // some lines hold a bare quote that repair mends
    QString text;
    QString details;
};

inline constexpr int MaxShown = 40;

// Nothing when the file opens as it stands, with nothing to tell.
std::optional<Message> message(const StrReader::Result &file, int codePage, const QString &shownPath);

// Every note, one line each ("Line 3: ..."), and for a UTF-8 file the
// conversion into `codePage` with the first character it cannot hold.
QStringList noteLines(const StrReader::Result &file, int codePage);

} // namespace Opening
