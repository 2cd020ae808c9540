#pragma once

// What the parts of StrDocument's implementation share (strdocument.cpp
// reads, strdocumentedits.cpp changes, strdocumentwriting.cpp lays out and
// writes, strdocumentdraft.cpp keeps drafts): not for anything else.

#include "core/document/strdocument.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace StrDocumentInternal {

inline const QByteArray ByteOrderMark("\xEF\xBB\xBF");

// Edits in the order their bytes stand in the file. Lines inserted where a
// replaced or removed range begins go before it, not into it.
template <typename Edit>
bool inFileOrder(const Edit &a, const Edit &b)
{
    if (a.from != b.from)
        return a.from < b.from;
    if (a.insertion != b.insertion)
        return a.insertion;
    return a.order < b.order;
}

// How a raw text writes its line breaks, when it has any: a raw line break
// before the escape \n. A backslash before a line end continues the line.
inline std::optional<StrDocument::TextBreak> breaksOf(QByteArrayView raw)
{
    bool escaped = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n')
            return StrDocument::TextBreak::LineEnd;
        if (raw[i] != '\\' || i + 1 == raw.size())
            continue;
        escaped = escaped || raw[i + 1] == 'n';
        i += raw[i + 1] == '\r' && i + 2 < raw.size() && raw[i + 2] == '\n' ? 2 : 1;
    }
    return escaped ? std::optional(StrDocument::TextBreak::Escape) : std::nullopt;
}

} // namespace StrDocumentInternal
