#include "gui/fonts.h"

#include <QFontDatabase>

namespace Fonts {

QFont named(const char *family, qreal pointSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const QString wanted = QString::fromLatin1(family);
    if (QFontDatabase::hasFamily(wanted))
        font.setFamily(wanted);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

QFont windowDefault()
{
    return named(Carleton, 9.75);
}

} // namespace Fonts
