#include "core/book.h"

#include "core/keypieces.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace BookFile {

QString pageEntry(int slot, const QString &text)
{
    return joined(entry({fixed(KeyPieces::PageKeyPrefix + QString::number(slot))}, KeyPieces::PageValueOpen,
                        {fixed(text)}, KeyPieces::PageValueClose));
}

std::optional<int> slotFromText(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([0-9]{1,4})\\s*$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int slot = match.captured(1).toInt();
    if (slot >= BookState::SlotCount)
        return std::nullopt;
    return slot;
}

FileContent content(const BookState &book, const QString &location)
{
    FileContent file;
    if (book.BookLocationGiven && !location.isEmpty())
        file.line({fixed(LocationPrefix),
                   oneLine(location, QCoreApplication::translate("BookFile", "the \"Place of Book\" box"))});
    for (int slot = 0; slot < book.PageCount(); ++slot) {
        file.line({multiLine(book.Pg.at(slot),
                             QCoreApplication::translate("BookFile", "page %1 (Page_%2)").arg(slot + 1).arg(slot))});
    }
    return file;
}

QString suggestedName(const QString &bookName)
{
    return bookName + QLatin1String(".str");
}

} // namespace BookFile
