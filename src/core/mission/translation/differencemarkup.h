#pragma once

#include "core/mission/translation/translationrecord.h"

#include <QList>
#include <QString>

// A word difference (TranslationRecord::difference) as rich text for a view:
// the words only one side has are marked, a removed word struck through on
// red, an added one on green; the spaces after a word are not marked. Texts
// are escaped, line breaks (CR LF or LF) are <br>, and runs of spaces are
// kept. No widget: the views set it as HTML.
namespace DifferenceMarkup {

enum class Side {
    Old,    // what the first text had: the same words and the removed ones
    New,    // what the second has: the same words and the added ones
    Both,   // one text of both: removed and added words each marked
};

QString html(const QList<TranslationRecord::Segment> &segments, Side side);

// The opening of a marked run (its end is </span>), for views and tests.
QString removedStart();
QString addedStart();

} // namespace DifferenceMarkup
