#pragma once

#include "core/filecontent.h"

// Titles.str: the mission title for the objectives screen ("title_") and the
// save-game dialog ("short_"), both keyed by the mission number as typed.
namespace TitlesFile {

inline constexpr QLatin1String FileName{"Titles.str"};

// The four lines: a comment and a title_ entry, a comment and a short_ entry,
// each entry with one blank after its colon.
FileContent content(const QString &number, const QString &title);

} // namespace TitlesFile
