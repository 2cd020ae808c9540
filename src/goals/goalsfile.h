#pragma once

#include "output/textsource.h"

#include <QStringList>

class GoalsState;

// goals.str: the entries of the goal list in slot order, nothing before or
// after them. An added goal gives its fiction line and its text line.
namespace GoalsFile {

inline constexpr QLatin1String SuggestedName{"goals.str"};

// The lines of the file: one entry per goal (an entry may hold CR LF itself).
QStringList lines(const GoalsState &goals);

// The author's texts that go into the file, each with where it is: the
// fiction and text lines of a goal as added, or the whole of an edited entry.
TextSources texts(const GoalsState &goals);

} // namespace GoalsFile
