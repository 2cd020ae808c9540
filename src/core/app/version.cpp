#include "core/app/version.h"

#include <QVersionNumber>

namespace Version {

QString buildVersion()
{
    return QStringLiteral(QW_VERSION_STRING);
}

QString versionText(const QString &programVersion)
{
    const QVersionNumber number = QVersionNumber::fromString(programVersion);
    if (number.isNull())
        return {};
    return QStringLiteral("%1.%2").arg(number.majorVersion()).arg(number.minorVersion());
}

} // namespace Version
