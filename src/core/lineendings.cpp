#include "core/lineendings.h"

namespace LineEndings {

QString toLf(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QString toCrLf(const QString &text)
{
    return toLf(text).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace LineEndings
