#pragma once

#include <QByteArray>
#include <QString>

// What went wrong, told the one way the core tells it: what kind of failure,
// the message the author reads (complete, as shown), and the file it is about
// when there is one.
struct Error {
    enum class Kind {
        NotRead,       // the file could not be read at all: missing, no access, too large, not a file
        NotStrFile,    // read, but no file of the game: empty, not text, no entry of any kind
        NotWritten,    // the file could not be written, or written whole
        Unwritable,    // a text holds a character the code page cannot represent
        Invalid,       // a text the author typed would break the file (a line break in a one-line box, say)
        Refused,       // nothing was done: the request itself cannot be (the same file twice, say)
    };

    Kind kind = Kind::NotRead;
    QString message;
    QString path;
    QByteArray text;   // NotStrFile: the bytes of a text file that holds no entry

    bool unread() const { return kind == Kind::NotRead; }
};
