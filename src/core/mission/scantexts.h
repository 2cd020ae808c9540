#pragma once

#include "core/mission/folder.h"

#include <QHash>

#include <atomic>

// The mission panel keeps its scan without the files' texts: their names,
// kinds, code pages, counts and problems are all it shows, and the texts of
// the files the author works on are the workspace's documents. Find and
// Replace All take the texts when they run, off the window's thread.
namespace MissionFolder {

// `scan` without its files' documents and notes.
Scan withoutTexts(Scan scan);

// `scan` with each file's document again: `held`'s (by the file's index in
// the scan: the workspace's document as it would be written) where given,
// else the file read from the disk in the code page the scan read it in. A
// file that cannot be read now holds no entry. `cancel` stops it between
// files (the rest hold none).
Scan withTexts(Scan scan, const QHash<int, StrDocument> &held, const std::atomic_bool *cancel = nullptr);

} // namespace MissionFolder
