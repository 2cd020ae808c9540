#pragma once

#include "core/document/strdocument.h"

#include <QJsonObject>
#include <QVariantMap>

#include <functional>

// The file the Missflag or Titles tab's boxes edit when one was opened (or
// handed back by the campaign table), and which of its missions they show.
struct OpenedMissions {
    bool opened = false;    // the boxes edit a file, not a new one composed from them
    StrDocument document;   // that file as the tab shows it
    int entry = -1;         // the mission's line shown; -1 for a new one

    using Missions = std::function<QList<int>(const StrDocument &)>;

    void addToDraft(QVariantMap &draft) const;
    // Back from a draft; nothing opened when the draft holds no file. The
    // line shown must be one of `missions`.
    void restore(const QJsonObject &draft, const Missions &missions);
};
