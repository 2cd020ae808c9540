#pragma once

#include "core/document/error.h"

#include <QString>

// How the mission panel names a file of the mission to the author: where it
// stands, and in a few words why it was not read.
namespace MissionFolder {

// The file's path from the folder scanned, its folders and name joined with
// " › ", without the game's folder of its kind at the top (books, intrface,
// strings), which the panel's group already names: the goals of two missions
// read "miss01 › english › GOALS.STR" and "miss20 › english › GOALS.STR".
QString placeOf(const QString &relativePath);

// Why the file at `path` was not read, as the panel's short column says it:
// "not a .str file", "no entry", "too large (20 MB; the limit is 16 MB)" or
// "not readable: <reason>". `failure` is what the reader said; its whole
// message stays the file's tip.
QString unreadReason(const QString &path, const Error &failure);

} // namespace MissionFolder
