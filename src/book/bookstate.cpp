#include "book/bookstate.h"

#include "app/keypieces.h"

#include <algorithm>

QString BookState::pageEntry(int slot, const QString &text)
{
    return KeyPieces::PageKeyPrefix + QString::number(slot) + KeyPieces::PageValueOpen + text
        + KeyPieces::PageValueClose;
}

std::optional<int> BookState::slotFromText(const QString &text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 4)
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const int slot = digits.toInt();
    if (slot > LastSlot)
        return std::nullopt;
    return slot;
}

bool BookState::addPage(const QString &text)
{
    if (isFull())
        return false;
    Pg[static_cast<std::size_t>(PageCount)] = pageEntry(PageCount, text);
    PageEditIndex = 0;
    ++PageCount;
    return true;
}

QString BookState::pageListText() const
{
    QString list;
    for (int slot = 0; slot < PageCount; ++slot)
        list += Pg[static_cast<std::size_t>(slot)] + QLatin1String("\r\n");
    return list;
}

const QString &BookState::stepEditIndex(int step)
{
    PageEditIndex = std::clamp(PageEditIndex + step, 0, LastSlot);
    return Pg[static_cast<std::size_t>(PageEditIndex)];
}

void BookState::storeEntry(int slot, const QString &entry)
{
    Pg[static_cast<std::size_t>(std::clamp(slot, 0, LastSlot))] = entry;
    PageEditIndex = 0;
}

void BookState::reset()
{
    PageCount = 0;
    BookLocationGiven = false;
}
