#pragma once

#include "core/mission/translation/translation.h"

#include <QList>
#include <QString>

#include <atomic>

// A search of a whole mission's translation: every entry whose source text
// or translation holds the text asked for (without regard to case, line
// breaks read as spaces), file by file in the order given, entry by entry in
// the source's order.
namespace TranslationSearch {

struct File {
    QString name;                          // relative to the mission
    QList<TranslationPair::Row> rows;      // a copy (shared, cheap) safe to read on another thread
};

struct Hit {
    int file = -1;        // index into the files searched
    int row = -1;         // the row of that file
    QString key;
    QString text;         // the text that matched, line breaks as spaces
    bool inTranslation = false;   // the translation matched (else the source)
    bool operator==(const Hit &) const = default;
};

struct Result {
    QString text;         // what was asked for
    QList<Hit> hits;      // at most `limit`
    bool more = false;    // there were more than `limit`
};

// Nothing for a text of blanks only. Stops early when `cancelled` is set.
Result find(const QList<File> &files, const QString &text, int limit = 1000,
            const std::atomic_bool *cancelled = nullptr);

} // namespace TranslationSearch
