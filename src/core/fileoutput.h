#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QSaveFile;

// How the game's text files are written: every line, the last one included,
// followed by CR LF, in a single-byte code page, with nothing added before or
// after.
namespace FileOutput {

// The bytes of a file made of `lines`, or nothing when a line holds a
// character the code page cannot represent. A line may itself hold CR LF.
std::optional<QByteArray> fileBytes(const QStringList &lines, int codePage);

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
