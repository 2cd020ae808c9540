#pragma once

#include "core/mission/folder.h"

#include <QHash>
#include <QMap>

// `quillwright --check --spelling`: every word of the mission's prose
// (Kinds::holdsProse: no flags, paths, decal geometry or numbers) that
// neither the dictionary of its language nor the mission's word list of that
// language (Spelling::inWordList) knows, at the word's line and column.
// Each distinct word of a language is judged once; suggestions are asked for
// only when wanted.
//
// The language of a file's texts: the mission's settings first (`[spelling]`
// `english = polish` for a language folder, `language = ...` for the files
// in none); else its language folder, when the code page its texts were told
// to be in fits that language; else, for those whose code page does not fit
// (Polish kept in `english` folders) and for the files in no language
// folder, the language of that code page with an installed dictionary that
// knows most of their words -- said once, in a note.
namespace MissionFolder::SpellingCheck {

struct Options {
    QStringList dictionaryFolders;
    Severity severity = Severity::Note;
    bool suggest = false;   // the dictionary's suggestions in each message
};

struct Result {
    QList<Problem> problems;
    // By language: each unknown word and how often it stands in the texts.
    QMap<QString, QHash<QString, int>> unknownWords;
};

Result check(const Scan &scan, const Options &options);

// "# polish: ..." then "COUNT WORD" lines, most frequent first (then by word).
QStringList unknownWordLines(const Scan &scan, const Result &result);

} // namespace MissionFolder::SpellingCheck
