#pragma once

#include "core/strreader.h"

#include <QStringList>

// What the program tells the author before a file read back fills a tab.
namespace Opening {

// Reads the single-byte files in `codePage`.
StrReader::Decoder decoder(int codePage);

// The file as the tab will hold it, each text named for the author.
struct NamedText {
    QString place;
    QString text;
};
QList<NamedText> texts(const StrReader::Result &file);

// Every way in which the tab will not hold the file exactly as it stands:
// the reader's notes (slots the file leaves out are filled empty) and, for a
// UTF-8 file, the conversion into `codePage` with what it cannot hold.
// Each is one line of the message; none when the file opens as it is.
QStringList losses(const StrReader::Result &file, int codePage);

} // namespace Opening
