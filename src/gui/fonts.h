#pragma once

#include <QFont>
#include <QString>

class QWidget;

// The named fonts of the layout. Where a family is not installed the
// platform's usual interface font stands in, at the same size.
namespace Fonts {

inline constexpr char Carleton[] = "Carleton";
inline constexpr char ComicSans[] = "Comic Sans MS";

QFont named(const char *family, qreal pointSize);

// The main window's font: Carleton, 9.75 pt.
QFont windowDefault();

} // namespace Fonts
