#include "core/save/fileoutput.h"

#include "core/document/safefile.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QThread>

namespace FileOutput {

namespace {

Error notWritten(const QSaveFile &file, const QString &reason)
{
    return {Error::Kind::NotWritten, reason, file.fileName(), {}};
}

} // namespace

std::optional<Error> writeFile(const QString &path, const QByteArray &data)
{
    // On Windows a file another program holds open (a virus scanner, an
    // indexer, a sync client, a read of our own) cannot be replaced until it
    // lets go, which is mostly a moment; the whole write is tried again a few
    // times before the failure is told.
#ifdef Q_OS_WIN
    constexpr int Pauses[] = {50, 100, 200, 400, 800, 0};
#else
    constexpr int Pauses[] = {0};   // an open file never stands in the way here
#endif
    std::optional<Error> failure;
    for (const int pause : Pauses) {
        QSaveFile file(path);
        failure = writeFile(file, data);
        if (!failure || file.error() != QFileDevice::RenameError || pause == 0)
            break;
        QThread::msleep(static_cast<unsigned long>(pause));
    }
    return failure;
}

std::optional<Error> writeFile(const QString &path, const QByteArray &data, const QString &missionRoot)
{
    std::variant<QString, Error> target = SafeFile::writablePath(path, missionRoot);
    if (auto *refused = std::get_if<Error>(&target))
        return std::move(*refused);
    return writeFile(std::get<QString>(target), data);
}

std::optional<Error> writeFile(QSaveFile &file, const QByteArray &data)
{
    // Unbuffered, so that write() reports what really reached the file; binary
    // (no QIODevice::Text), so CR LF is written as it is on every platform.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return notWritten(file, file.errorString());

    const qint64 written = data.isEmpty() ? 0 : file.write(data);
    if (written != data.size()) {
        // A short write (a full disk, a size limit) is not always flagged as an
        // error, and commit() would then keep a truncated file.
        const QString reason = written < 0 || file.error() != QFileDevice::NoError
            ? file.errorString()
            : QCoreApplication::translate("FileOutput",
                  "Only %1 of %2 bytes could be written. The disk may be full.")
                  .arg(written < 0 ? 0 : written)
                  .arg(data.size());
        file.cancelWriting();
        return notWritten(file, reason);
    }
    if (!file.commit())
        return notWritten(file, file.errorString());
    return std::nullopt;
}

} // namespace FileOutput
