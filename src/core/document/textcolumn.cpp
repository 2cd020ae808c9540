#include "core/document/strdocument.h"
#include "core/document/strsyntax.h"

#include <algorithm>

// A place in a text as the player reads it, found in the file as its author
// wrote it (escapes, continued lines): where a find result opens.
int StrDocument::columnOfText(int entry, qsizetype position) const
{
    const QString raw = rawText(entry);
    // The shortest start of the raw text whose reading reaches past
    // `position` ends with the character read there (the first of an escape).
    qsizetype low = 0;
    qsizetype high = raw.size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (StrSyntax::unescape(QStringView(raw).first(middle + 1)).size() > position)
            high = middle;
        else
            low = middle + 1;
    }
    const qsizetype lineBreak = QStringView(raw).first(low).lastIndexOf(u'\n');
    if (lineBreak >= 0)
        return static_cast<int>(low - lineBreak);
    return columnOf(m_entries.at(entry).textStart) + static_cast<int>(low);
}
