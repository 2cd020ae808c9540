#pragma once

#include "core/document/error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QSaveFile;

// How the game's text files reach the disk: whole or not at all.
namespace FileOutput {

// Writes `data` to `path` through a temporary file beside it, which replaces
// the target only once every byte is written. A failure leaves an existing
// file exactly as it was, and is told as Error::Kind::NotWritten with the
// system's reason as its message; nothing when all was written. A target
// held open for a moment by another program is waited for, briefly.
std::optional<Error> writeFile(const QString &path, const QByteArray &data);

// The same for a file the program names itself inside the mission whose
// folder is `missionRoot` (its settings, a translation record, a word list, a
// file of the mission saved in place): written where SafeFile::writablePath
// says, so that a link inside the mission has its target written and stays a
// link, and a link that leads out of the mission is refused (Error::Kind::
// Refused, nothing written). Without a root, `path` as it is named.
std::optional<Error> writeFile(const QString &path, const QByteArray &data, const QString &missionRoot);

// The same through a save file the caller made (tests give one that fails).
std::optional<Error> writeFile(QSaveFile &file, const QByteArray &data);

} // namespace FileOutput
