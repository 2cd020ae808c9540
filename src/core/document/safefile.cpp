#include "core/document/safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <io.h>
#include <windows.h>
#endif

namespace SafeFile {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("SafeFile", text);
}

Error notRead(const QString &path, const QString &message)
{
    return {Error::Kind::NotRead, message, path, {}};
}

bool pathTooLong(const QString &path)
{
#ifdef Q_OS_WIN
    constexpr qsizetype LongestPath = 32767;
#else
    constexpr qsizetype LongestPath = 4095;
#endif
    constexpr qsizetype LongestName = 255;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute.size() > LongestPath || absolute.toUtf8().size() > LongestPath)
        return true;
    const QStringList names = absolute.split(u'/', Qt::SkipEmptyParts);
    return std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
#ifdef Q_OS_WIN
        return name.size() > LongestName;
#else
        return name.toUtf8().size() > LongestName;
#endif
    });
}

// Whether following the link at `path` goes round for ever.
bool linkLoops(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) != 0 && errno == ELOOP;
#else
    QString target = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo link(target);
        if (!link.isSymLink())
            return false;
        target = link.symLinkTarget();
        if (target.isEmpty())
            return false;
    }
    return true;
#endif
}

// Opens `path` for reading without blocking, and keeps it open only when the
// handle is an ordinary file's; why not otherwise.
std::optional<Error> openOrdinaryFile(QFile &file, const QString &path)
{
    const auto failed = [&path](const QString &reason) {
        if (!QFileInfo::exists(path))
            return notRead(path, say("The file %1 is gone; it was there a moment ago.").arg(shown(path)));
        if (reason.isEmpty())
            return notRead(path, say("%1 is not an ordinary file.").arg(shown(path)));
        return notRead(path, say("The file %1 could not be opened: %2").arg(shown(path), reason));
    };
#ifdef Q_OS_UNIX
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return failed(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return failed({});
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return failed(file.errorString());
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(file.errorString());
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        file.close();
        return failed({});
    }
#endif
    return std::nullopt;
}

// `path` with every link on it resolved, the part not yet there kept as named.
QString resolved(const QString &path)
{
    QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!absolute.isEmpty()) {
        const QFileInfo info(absolute);
        if (info.exists() || info.isSymLink()) {
            QString canonical = info.canonicalFilePath();
            if (canonical.isEmpty() && info.isSymLink())   // a link to nowhere: where it points
                canonical = QDir::cleanPath(QFileInfo(info.symLinkTarget()).absoluteFilePath());
            if (canonical.isEmpty())
                canonical = absolute;
            return rest.isEmpty() ? canonical : canonical + u'/' + rest;
        }
        const qsizetype slash = absolute.lastIndexOf(u'/');
        if (slash <= 0)
            break;
        rest = rest.isEmpty() ? absolute.mid(slash + 1) : absolute.mid(slash + 1) + u'/' + rest;
        absolute.truncate(slash);
    }
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString shown(const QString &path)
{
    constexpr qsizetype Shortened = 80;
    const QString native = QDir::toNativeSeparators(path);
    return native.size() <= Shortened ? native : native.first(Shortened) + QChar(0x2026);
}

namespace {

// The file at `path` opened for reading when it is an ordinary file no
// larger than `cap`; else why not.
std::variant<std::unique_ptr<QFile>, Error> opened(const QString &path, qint64 cap)
{
    if (path.isEmpty())
        return notRead(path, say("No file was named."));
    const QFileInfo info(path);
    if (!info.exists()) {
        if (pathTooLong(path))
            return notRead(path, say("The path %1 is too long to be opened.").arg(shown(path)));
        if (info.isSymLink() && linkLoops(path))
            return notRead(path, say("%1 is a link that leads back to itself, through other links or directly; there is "
                                     "no file at its end.")
                                     .arg(shown(path)));
        if (path.contains(QChar::ReplacementCharacter))
            return notRead(path, say("The name %1 is not valid UTF-8, so it cannot be opened. Rename the file, then open "
                                     "it again.")
                                     .arg(shown(path)));
        return notRead(path, say("There is no file %1.").arg(shown(path)));
    }
    if (info.isDir())
        return notRead(path, say("%1 is a folder, not a file.").arg(shown(path)));
    if (!info.isFile())
        return notRead(path, say("%1 is not an ordinary file.").arg(shown(path)));
    if (info.size() > cap) {
        const QLocale locale;
        return notRead(path, say("The file %1 is %2; such a file is never larger than %3, so it is not read.")
                                 .arg(shown(path), locale.formattedDataSize(info.size()),
                                      locale.formattedDataSize(cap)));
    }
    // Opened without waiting, and only read when what was opened is an
    // ordinary file (a pipe or a device may have taken its place meanwhile).
    auto file = std::make_unique<QFile>();
    if (std::optional<Error> refused = openOrdinaryFile(*file, path))
        return std::move(*refused);
    return file;
}

// At most `length` bytes of `file`, or why not.
std::variant<QByteArray, Error> readFrom(QFile &file, const QString &path, qint64 length)
{
    QByteArray bytes = file.read(length);
    if (file.error() != QFileDevice::NoError)
        return notRead(path, say("The file %1 could not be read: %2").arg(shown(path), file.errorString()));
    return bytes;
}

} // namespace

std::variant<QByteArray, Error> read(const QString &path, qint64 cap)
{
    std::variant<std::unique_ptr<QFile>, Error> file = opened(path, cap);
    if (auto *refused = std::get_if<Error>(&file))
        return std::move(*refused);
    // At most one byte more than allowed, in case the file grew meanwhile.
    std::variant<QByteArray, Error> bytes = readFrom(*std::get<std::unique_ptr<QFile>>(file), path, cap + 1);
    if (const auto *read = std::get_if<QByteArray>(&bytes); read && read->size() > cap) {
        return notRead(path, say("The file %1 is larger than %2, larger than such a file ever is, so it is not read.")
                                 .arg(shown(path), QLocale().formattedDataSize(cap)));
    }
    return bytes;
}

std::variant<QByteArray, Error> readStart(const QString &path, qint64 cap, qint64 length)
{
    std::variant<std::unique_ptr<QFile>, Error> file = opened(path, cap);
    if (auto *refused = std::get_if<Error>(&file))
        return std::move(*refused);
    return readFrom(*std::get<std::unique_ptr<QFile>>(file), path, std::min(length, cap));
}

std::optional<Error> readable(const QString &path, qint64 cap)
{
    std::variant<std::unique_ptr<QFile>, Error> file = opened(path, cap);
    if (auto *refused = std::get_if<Error>(&file))
        return std::move(*refused);
    return std::nullopt;
}

std::variant<QString, Error> writablePath(const QString &path, const QString &root)
{
    if (root.isEmpty())
        return path;
    const QString target = resolved(path);
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString rootResolved = resolved(root);
    const bool inside = target.startsWith(rootResolved + u'/', pathCase());
    if (inside)
        return target.compare(clean, pathCase()) == 0 ? path : target;
    return Error{Error::Kind::Refused,
                 say("%1 leads through a link to %2, outside the mission's folder %3; Quillwright writes there only "
                     "what you name yourself, so nothing was written.")
                     .arg(shown(path), shown(target), shown(root)),
                 path,
                 {}};
}

Qt::CaseSensitivity pathCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

} // namespace SafeFile
