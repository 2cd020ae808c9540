#include "core/slotlist.h"

#include <algorithm>

SlotList::SlotList(int slotCount, int limit)
    : m_limit(limit)
{
    m_slots.resize(slotCount);
}

const QString &SlotList::at(int slot) const
{
    return m_slots.at(std::clamp<qsizetype>(slot, 0, m_slots.size() - 1));
}

QStringList SlotList::entries() const
{
    return m_slots.first(m_count);
}

QString SlotList::listText() const
{
    QString list;
    for (int slot = 0; slot < m_count; ++slot)
        list += m_slots.at(slot) + QLatin1String("\r\n");
    return list;
}

bool SlotList::append(const QString &entry)
{
    if (isFull())
        return false;
    m_slots[m_count++] = entry;
    m_editPosition = 0;
    return true;
}

const QString &SlotList::step(int step)
{
    m_editPosition = std::clamp(m_editPosition + step, 0, m_limit - 1);
    return m_slots.at(m_editPosition);
}

void SlotList::store(int slot, const QString &entry)
{
    m_slots[std::clamp(slot, 0, m_limit - 1)] = entry;
    m_editPosition = 0;
}

void SlotList::setCount(int count)
{
    m_count = std::clamp(count, 0, m_limit);
}

void SlotList::restore(const QStringList &slots, int count, int editPosition)
{
    for (qsizetype slot = 0; slot < m_slots.size(); ++slot)
        m_slots[slot] = slots.value(slot);
    setCount(count);
    m_editPosition = std::clamp(editPosition, 0, m_limit - 1);
}
