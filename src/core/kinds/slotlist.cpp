#include "core/kinds/slotlist.h"

#include "core/document/strdocument.h"

#include <QJsonArray>

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
    m_origins[m_count] = {{}, entry, true};
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

void SlotList::show(const QStringList &entries, const QList<QList<int>> &origins)
{
    const int editPosition = m_editPosition;
    const QStringList spare = m_slots.mid(entries.size());
    load(entries, origins);
    for (qsizetype slot = entries.size(); slot < m_slots.size(); ++slot) {
        m_slots[slot] = spare.value(slot - entries.size());
        m_origins[slot] = {{}, m_slots[slot]};
    }
    m_editPosition = std::clamp(editPosition, 0, lastSlot());
}

void SlotList::reset()
{
    m_count = 0;
    m_openedEntries.clear();
    for (Origin &origin : m_origins)
        origin = {{}, QString()};
}

void SlotList::restore(const QStringList &slots, int count, int editPosition)
{
    // A list opened from a file may have held more slots than the limit.
    constexpr qsizetype MostSlots = 1000;
    const qsizetype size = std::max(m_slots.size(), std::min(slots.size(), MostSlots));
    m_slots.resize(size);
    m_origins.resize(size);
    for (qsizetype slot = 0; slot < m_slots.size(); ++slot) {
        m_slots[slot] = slots.value(slot);
        m_origins[slot] = {{}, QString()};
    }
    m_openedEntries.clear();
    m_count = std::clamp(count, 0, count > m_limit ? static_cast<int>(size) : m_limit);
    m_editPosition = std::clamp(editPosition, 0, lastSlot());
}

QJsonObject SlotList::originsDraft() const
{
    QJsonArray origins;
    for (const Origin &origin : m_origins) {
        if (origin.entries.isEmpty()) {
            origins.append(QJsonObject{{QStringLiteral("added"), origin.text}});
            continue;
        }
        QJsonArray entries;
        for (const int entry : origin.entries)
            entries.append(entry);
        origins.append(QJsonObject{{QStringLiteral("entries"), entries}});
    }
    QJsonArray opened;
    for (const int entry : m_openedEntries)
        opened.append(entry);
    return {{QStringLiteral("origins"), origins}, {QStringLiteral("opened"), opened}};
}

void SlotList::restoreOrigins(const QJsonObject &draft, const StrDocument &document)
{
    const qsizetype entryCount = document.entries().size();
    const auto entries = [entryCount](const QJsonValue &value) {
        QList<int> list;
        for (const QJsonValue &entry : value.toArray()) {
            const int index = entry.toInt(-1);
            if (index >= 0 && index < entryCount && !list.contains(index))
                list.append(index);
        }
        return list;
    };
    const QJsonArray origins = draft.value(QStringLiteral("origins")).toArray();
    for (qsizetype slot = 0; slot < m_origins.size() && slot < origins.size(); ++slot) {
        const QJsonObject origin = origins.at(slot).toObject();
        const QList<int> from = entries(origin.value(QStringLiteral("entries")));
        QStringList lines;
        for (const int entry : from)
            lines.append(document.entryLine(entry));
        m_origins[slot] = {from, from.isEmpty() ? origin.value(QStringLiteral("added")).toString()
                                                : lines.join(QLatin1String("\r\n"))};
    }
    m_openedEntries = entries(draft.value(QStringLiteral("opened")));
}
