#pragma once

#include "core/mission/folder.h"
#include "core/mission/missionsettings.h"

// What the author said the check is to leave alone:
//   - `// quillwright-ignore: RULE[, RULE]` on the comment lines right above
//     an entry (or any line the game skips): those rules, on its lines;
//   - `// quillwright-ignore-file: RULE[, RULE]` anywhere in a file: those
//     rules, in the whole file;
//   - the mission's settings: `[check] ignore = RULE, RULE` (the whole
//     mission) and `ignore-paths = GLOB, GLOB` (files and folders, relative
//     to the mission folder, `*` within a name, `**` across folders; a
//     folder leaves out everything under it).
namespace MissionFolder::Silencing {

// `problems` of `scan` without those its files' comments and `settings` silence.
QList<Problem> withoutSilenced(const Scan &scan, const QList<Problem> &problems,
                               const MissionSettings::Settings &settings);

// Whether the glob (as `ignore-paths` takes it) names `path` or a folder above it.
bool pathMatches(const QString &glob, const QString &path);

} // namespace MissionFolder::Silencing
