#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QSaveFile;

// How the game's text files reach the disk: whole or not at all.
namespace FileOutput {

struct WriteResult {
    bool ok = false;
    QString error;   // the system's reason when ok is false
};

// Writes `data` to `path` through a temporary file beside it, which replaces
// the target only once every byte is written. A failure leaves an existing
// file exactly as it was.
WriteResult writeFile(const QString &path, const QByteArray &data);

// The same through a save file the caller made (tests give one that fails).
WriteResult writeFile(QSaveFile &file, const QByteArray &data);

} // namespace FileOutput
