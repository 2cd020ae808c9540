#include "gui/tabs/openedmissions.h"

#include "core/save/saveflow.h"

bool OpenedMissions::keep(const StrDocument &edited, SaveFlow &saveFlow)
{
    if (saveFlow.refuse(edited.authorTexts()))
        return false;
    std::optional<StrDocument> written = edited.written(saveFlow.codePage());
    if (!written)
        return false;
    document = std::move(*written);
    otherEdits = true;
    return true;
}

void OpenedMissions::saved(const StrDocument &written)
{
    document = written;
    otherEdits = false;
}

void OpenedMissions::handOver(std::optional<StrDocument> *file, bool *unsaved) const
{
    *file = document;
    *unsaved = otherEdits;
}

void OpenedMissions::takeBack(const StrDocument &file, bool unsaved)
{
    opened = true;
    document = file;
    otherEdits = unsaved;
}

void OpenedMissions::addToDraft(QVariantMap &draft) const
{
    if (!opened)
        return;
    draft.insert(QStringLiteral("document"), document.toDraft());
    draft.insert(QStringLiteral("entry"), entry);
    draft.insert(QStringLiteral("otherEdits"), otherEdits);
}

void OpenedMissions::restore(const QJsonObject &draft, const Missions &missions)
{
    const std::optional<StrDocument> kept = StrDocument::fromDraft(draft.value(QStringLiteral("document")).toObject());
    opened = kept.has_value();
    document = kept.value_or(StrDocument());
    const int line = draft.value(QStringLiteral("entry")).toInt(-1);
    entry = missions(document).contains(line) ? line : -1;
    otherEdits = opened && draft.value(QStringLiteral("otherEdits")).toBool();
}
