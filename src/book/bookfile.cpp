#include "book/bookfile.h"

#include "book/bookstate.h"

#include <QCoreApplication>

namespace BookFile {

QStringList lines(const BookState &book, const QString &location)
{
    QStringList result;
    if (book.BookLocationGiven && !location.isEmpty())
        result.append(LocationPrefix + location);
    for (int slot = 0; slot < book.PageCount; ++slot)
        result.append(book.Pg[static_cast<std::size_t>(slot)]);
    return result;
}

QString suggestedName(const QString &bookName)
{
    return bookName + QLatin1String(".str");
}

TextSources texts(const BookState &book, const QString &location)
{
    TextSources result;
    result.append({QCoreApplication::translate("BookFile", "the \"Place of Book\" box"), location});
    for (int slot = 0; slot < book.PageCount; ++slot) {
        result.append({QCoreApplication::translate("BookFile", "page %1 (Page_%2)")
                           .arg(slot + 1)
                           .arg(slot),
                       book.Pg[static_cast<std::size_t>(slot)]});
    }
    return result;
}

} // namespace BookFile
