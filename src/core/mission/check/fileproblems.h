#pragma once

#include "core/mission/folder.h"

// What the check finds in one file of a mission, one finding per cause, each
// at its cause's line and column and with its rule (CheckRules): the file's
// code page (UTF-8, undefined bytes, a DOS code page), the game's syntax
// (SyntaxCheck), keys twice, and its kind's own checks (Kinds::check).
namespace MissionFolder::FileCheck {

// The DOS code page (850, 852, 866) a file read in a Windows code page seems
// to be written in, else 0: a single letter tells, in a folder of a known
// language, when its Windows reading is no letter of that language and its
// DOS reading is (`Difficult‚`, `SšD` in french and german folders); several
// letters tell otherwise, when the file has bytes its code page leaves
// undefined or `detected` (the code page of its language's texts) is a DOS
// code page.
int dosCodePageOf(const File &file, int detected);

// Everything found in a file read; `translation`: the file is in a language
// folder other than the mission's source language's.
QList<Problem> problemsOf(const File &file, bool translation);

// The findings of a file that could not be read: why, or for a text without
// an entry, the lines that are none.
QList<Problem> failureProblems(const File &file, const Error &failure, bool translation);

} // namespace MissionFolder::FileCheck
