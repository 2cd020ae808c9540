#include "core/slotlist.h"

#include <algorithm>

SlotList::SlotList(int slotCount, int limit)
    : m_limit(limit)
{
    m_slots.resize(slotCount);
    m_origins.resize(slotCount);
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

int SlotList::lastSlot() const
{
    return std::max(m_limit, m_count) - 1;
}

bool SlotList::append(const QString &entry)
{
    if (isFull())
        return false;
    m_origins[m_count] = {{}, entry};
    m_slots[m_count++] = entry;
    m_editPosition = 0;
    return true;
}

const QString &SlotList::step(int step)
{
    m_editPosition = std::clamp(m_editPosition + step, 0, lastSlot());
    return m_slots.at(m_editPosition);
}

void SlotList::store(int slot, const QString &entry)
{
    m_slots[std::clamp(slot, 0, lastSlot())] = entry;
    m_editPosition = 0;
}

void SlotList::load(const QStringList &entries, const QList<QList<int>> &origins)
{
    const qsizetype size = std::max<qsizetype>(m_slots.size(), entries.size());
    m_slots.resize(size);
    m_origins.resize(size);
    m_openedEntries.clear();
    for (qsizetype slot = 0; slot < size; ++slot) {
        m_slots[slot] = entries.value(slot);
        m_origins[slot] = {origins.value(slot), entries.value(slot)};
        m_openedEntries += origins.value(slot);
    }
    m_count = static_cast<int>(entries.size());
    m_editPosition = 0;
}

void SlotList::rebase(const QList<QList<int>> &origins)
{
    m_openedEntries.clear();
    qsizetype next = 0;   // an emptied slot wrote no entry
    for (qsizetype slot = 0; slot < m_slots.size(); ++slot) {
        const bool written = slot < m_count && !m_slots[slot].trimmed().isEmpty();
        const QList<int> entries = written ? origins.value(next++) : QList<int>();
        m_origins[slot] = {entries, m_slots[slot]};
        m_openedEntries += entries;
    }
}

void SlotList::restore(const QStringList &slots, int count, int editPosition)
{
    for (qsizetype slot = 0; slot < m_slots.size(); ++slot) {
        m_slots[slot] = slots.value(slot);
        m_origins[slot] = {{}, QString()};
    }
    m_openedEntries.clear();
    m_count = std::clamp(count, 0, m_limit);
    m_editPosition = std::clamp(editPosition, 0, m_limit - 1);
}
