#pragma once

#include "output/textsource.h"

#include <QStringList>

class BookState;

// The book file: an optional comment line with the place of the book, then the
// entries of the book's pages in slot order.
namespace BookFile {

inline constexpr QLatin1String LocationPrefix{"// Book Location - "};

// The lines of the file. The location line is there when the book has a
// location mark and `location` is not empty.
QStringList lines(const BookState &book, const QString &location);

// The name the save dialog proposes: the book name with ".str" appended.
QString suggestedName(const QString &bookName);

// The author's texts that go into the file, each with where it is.
TextSources texts(const BookState &book, const QString &location);

} // namespace BookFile
