#include "gui/tabs/openedmissions.h"

void OpenedMissions::addToDraft(QVariantMap &draft) const
{
    if (!opened)
        return;
    draft.insert(QStringLiteral("document"), document.toDraft());
    draft.insert(QStringLiteral("entry"), entry);
}

void OpenedMissions::restore(const QJsonObject &draft, const Missions &missions)
{
    const std::optional<StrDocument> kept = StrDocument::fromDraft(draft.value(QStringLiteral("document")).toObject());
    opened = kept.has_value();
    document = kept.value_or(StrDocument());
    const int line = draft.value(QStringLiteral("entry")).toInt(-1);
    entry = missions(document).contains(line) ? line : -1;
}
