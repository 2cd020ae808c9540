#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// How the game's text files are written: every line, the last one included,
// followed by CR LF, in Windows-1252, with nothing added before or after.
namespace FileOutput {

// The bytes of a file made of `lines`, or nothing when a line holds a
// character Windows-1252 cannot represent. A line may itself hold CR LF.
std::optional<QByteArray> fileBytes(const QStringList &lines);

struct WriteResult {
    bool ok = false;
    QString error;   // the system's reason when ok is false
};

// Writes `data` to `path` through a temporary file beside it, which replaces
// the target only once every byte is written. A failure leaves an existing
// file exactly as it was.
WriteResult writeFile(const QString &path, const QByteArray &data);

} // namespace FileOutput
