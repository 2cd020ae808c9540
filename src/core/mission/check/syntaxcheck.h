#pragma once

#include "core/mission/folder.h"

// What the game reads otherwise than a file stands, judged line by line as
// the tokenizer (StrSyntax) reads it, one finding per cause, at the cause:
//   - unclosed-quote: an entry whose text runs to the end of the file, or to
//     the opening quote of the entry after it (the lines it takes in named);
//   - early-quote: a quote inside a text that ends it, at that quote; the
//     lines the text was meant to run on to (up to the last quote before the
//     next entry) belong to it;
//   - text-after-quote: words after the closing quote, which the game skips;
//   - stray-quote: nothing but a quote after the closing one (`"Zdrada""`):
//     the game shows the whole text, so it is a warning, at the stray quote;
//   - no-opening-quote: `key: text`, at the place the quote belongs;
//   - stray-line: other lines that are no entry, a run of them at once;
//   - keyless-lines: in a translation, the lines its translator keeps
//     without a key (each original in quotes under its entry, `;` comments):
//     one note for the file, with how many and where the first is.
namespace MissionFolder::SyntaxCheck {

struct Context {
    QString path;                 // the file as the findings name it
    Kinds::Kind kind = Kinds::Kind::Other;
    bool translation = false;     // a file of a language other than the mission's source
};

// The findings of a document; `takenKeys` gets the keys (lower case) of the
// entries another one's text takes in, `faulty` the entries the game reads
// otherwise than they stand (whose texts no other finding judges).
QList<Problem> problems(const StrDocument &document, const Context &context, QStringList *takenKeys = nullptr,
                        QList<int> *faulty = nullptr);

// The same for the lines of a file that holds no entry at all.
QList<Problem> strayProblems(const QByteArray &bytes, const Context &context);

} // namespace MissionFolder::SyntaxCheck
