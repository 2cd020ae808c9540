#pragma once

#include "core/document/strdocument.h"

#include <QJsonObject>
#include <QVariantMap>

#include <functional>
#include <optional>

class SaveFlow;

// The file the Missflag or Titles tab was opened from, and which of its
// missions the boxes edit: a mission edited and then left for another is
// made part of the document, so that saving writes both.
struct OpenedMissions {
    bool opened = false;        // the boxes edit a file opened, not a new one
    StrDocument document;       // that file, with the edits of missions no longer shown
    int entry = -1;             // the mission's line shown; -1 for a new one
    bool otherEdits = false;    // another mission was edited since the last save

    using Missions = std::function<QList<int>(const StrDocument &)>;

    // Makes `edited`, the document with the shown mission's edit, the one the
    // tab holds; false, with the refusal shown, when it cannot be written.
    bool keep(const StrDocument &edited, SaveFlow &saveFlow);
    // The written file becomes the one the tab holds.
    void saved(const StrDocument &written);
    // The file for the campaign table, and whether it holds unsaved edits.
    void handOver(std::optional<StrDocument> *file, bool *unsaved) const;
    // The file back from the table: the boxes edit it again.
    void takeBack(const StrDocument &file, bool unsaved);

    void addToDraft(QVariantMap &draft) const;
    // Back from a draft; nothing opened when the draft holds no file.
    void restore(const QJsonObject &draft, const Missions &missions);
};
