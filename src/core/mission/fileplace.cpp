#include "core/mission/fileplace.h"

#include "core/kinds/strreader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

namespace MissionFolder {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

QString size(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat);
}

} // namespace

QString placeOf(const QString &relativePath)
{
    QStringList parts = relativePath.split(u'/', Qt::SkipEmptyParts);
    if (parts.size() > 1) {
        const QString &top = parts.constFirst();
        for (const char *kindFolder : {"books", "intrface", "strings"}) {
            if (top.compare(QLatin1String(kindFolder), Qt::CaseInsensitive) == 0) {
                parts.removeFirst();
                break;
            }
        }
    }
    return parts.join(QStringLiteral(" \u203A "));
}

QString unreadReason(const QString &path, const Error &failure)
{
    const QFileInfo info(path);
    if (failure.kind == Error::Kind::NotStrFile) {
        // The reader keeps the bytes of a text that holds no entry; an empty
        // file holds none either; anything else is not text at all.
        return failure.text.isEmpty() && info.size() > 0 ? say("not a .str file") : say("no entry");
    }
    if (info.isFile() && info.size() > StrReader::MaxFileSize)
        return say("too large (%1; the limit is %2)").arg(size(info.size()), size(StrReader::MaxFileSize));
    QString reason;
    if (!info.exists() && !info.isSymLink())
        reason = say("it is gone");
    else if (info.isDir())
        reason = say("a folder");
    else if (!info.isFile())
        reason = say("not an ordinary file");
    else if (!info.isReadable())
        reason = say("no permission to read it");
    else   // what the system said, after "could not be opened: " or "could not be read: "
        reason = failure.message.section(QStringLiteral(": "), -1).chopped(failure.message.endsWith(u'.') ? 1 : 0);
    return say("not readable: %1").arg(reason);
}

} // namespace MissionFolder
