#pragma once

#include <QList>
#include <QString>

// A text the author typed, with the words that tell the author where it is
// ("page 3", "the Mission Title box"), so a problem with it can be pointed out.
struct TextSource {
    QString place;
    QString text;
};

using TextSources = QList<TextSource>;
