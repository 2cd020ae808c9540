#include "gui/tabs/slotlisteditor.h"

#include "gui/widgets.h"

#include <QJsonArray>

#include <utility>

SlotListEditor::SlotListEditor(SlotList &list, StrDocument &document, bool &opened, QString editKey)
    : m_list(list)
    , m_document(document)
    , m_opened(opened)
    , m_editKey(std::move(editKey))
{
}

void SlotListEditor::draft(QVariantMap &draft, bool editing) const
{
    draft.insert(QStringLiteral("slots"), m_list.allSlots());
    draft.insert(QStringLiteral("count"), m_list.count());
    draft.insert(m_editKey, m_list.editPosition());
    draft.insert(QStringLiteral("editing"), editing);
    if (m_opened) {
        draft.insert(QStringLiteral("document"), m_document.toDraft());
        draft.insert(QStringLiteral("origins"), m_list.originsDraft());
    }
}

void SlotListEditor::restoreSlots(const QJsonObject &draft)
{
    QStringList slots;
    for (const QJsonValue &slot : draft.value(QStringLiteral("slots")).toArray())
        slots.append(slot.toString());
    m_list.restore(slots, draft.value(QStringLiteral("count")).toInt(), draft.value(m_editKey).toInt());
}

void SlotListEditor::restoreFile(const QJsonObject &draft)
{
    const std::optional<StrDocument> document =
        StrDocument::fromDraft(draft.value(QStringLiteral("document")).toObject());
    m_document = document.value_or(StrDocument());
    m_opened = document.has_value();
    if (document)
        m_list.restoreOrigins(draft.value(QStringLiteral("origins")).toObject(), *document);
}

void SlotListEditor::showEntry(QPlainTextEdit *box, int entry) const
{
    for (int slot = 0; slot < m_list.count(); ++slot) {
        if (m_list.origin(slot).entries.contains(entry))
            Widgets::showListEntry(box, m_list.entries(), slot);
    }
}

