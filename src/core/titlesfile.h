#pragma once

#include "core/strdocument.h"

// Titles.str: the mission title for the objectives screen ("title_") and the
// save-game dialog ("short_"), both keyed by the mission number as typed. An
// opened file keeps every line but those of the mission the tab edits.
namespace TitlesFile {

inline constexpr QLatin1String FileName{"Titles.str"};
inline constexpr QLatin1String TitlePrefix{"title_"};
inline constexpr QLatin1String ShortPrefix{"short_"};

// A new file: a comment and a title_ entry, a comment and a short_ entry,
// each entry with one blank after its colon.
StrDocument content(const QString &number, const QString &title);

// The title_ entries of a file, one per mission.
QList<int> missions(const StrDocument &document);

// The short_ entry of the same mission as the title_ entry `title`; -1 if none.
int shortTitle(const StrDocument &document, int title);

struct Mission {
    QString number;   // as written after "title_"
    QString title;
};
Mission mission(const StrDocument &document, int title);

// `document` with the mission of the title_ entry `title` holding `now`
// where it differs from `opened`. The short_ title follows the title only
// where it was the same.
StrDocument document(const StrDocument &document, int title, const Mission &opened, const Mission &now);

} // namespace TitlesFile
