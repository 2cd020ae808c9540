#pragma once

#include "core/mission/folder.h"

// What the check finds across the files of a mission (added to Scan::problems).
namespace MissionFolder::AcrossFiles {

// Mission lines of missflag.str against the title_ entries of Titles.str:
// a mission with flags but no title (mission-without-title), or a title but
// no flags (mission-without-flags).
void compareTitlesAndFlags(Scan &scan);

// The same file in each language folder, from the mission's source language
// (`source`, "english" by default) to its translations: a file or entry the
// source has and a translation lacks is a warning (missing-file,
// missing-in-translation); one only translations have is a note at the
// source (missing-in-source). Without files of the source language, every
// language is compared with every other, and whatever one lacks is a
// warning. `languageParts`: the files in language folders inside the folder
// scanned, with the index of their language folder among their path's parts.
void compareLanguages(Scan &scan, const QMap<int, qsizetype> &languageParts, const QString &source);

// Each translation that leaves out the rendering a term list of the mission
// (TermList::fileName of a target language, in the mission folder) fixes for
// a term its source holds: a warning at the term's line and column in the
// source, naming the translation (term-left-out).
QList<Problem> termProblems(const Scan &scan);

} // namespace MissionFolder::AcrossFiles
