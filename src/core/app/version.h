#pragma once

#include <QString>

namespace Version {

// The version this program was built as, for example "2.2.1".
QString buildVersion();

// The text shown in the About texts: the major and the minor number joined by
// a dot ("2.2" for 2.2.1). Empty when the version cannot be read.
QString versionText(const QString &programVersion);

} // namespace Version
