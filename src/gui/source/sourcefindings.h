#pragma once

#include "core/document/strdocument.h"
#include "core/mission/folder.h"

#include <QList>
#include <QString>

#include <functional>

// A finding about a place of a file's text, as the source view underlines it.
struct SourceFinding {
    enum Severity { Error, Warning, Note };
    int line = 1;       // from 1
    int column = 1;     // from 1, in characters
    int length = 0;     // in characters; 0: to the end of the line
    Severity severity = Warning;
    QString message;
    QString rule;       // which check found it
};

// The findings about a document as it would be written (its lines are the
// view's lines). Called off the GUI thread: it must not touch widgets or
// anything another thread changes.
using SourceFindingsProvider = std::function<QList<SourceFinding>(const StrDocument &document)>;

namespace SourceFindings {

// The findings of the kind's own check for the file at `path` (its kind told
// by its name and folder, else by its keys), what the form merely keeps
// left out.
SourceFindingsProvider kindCheck(const QString &path);

// The check's own findings about `file` of a mission read (its code page,
// the game's syntax, keys twice, its kind's checks), each with its rule's
// id, on the document as it now stands; `translation`: the file is in a
// language folder other than the mission's source language's. Findings
// about the whole file (no line) are left to the panel.
SourceFindingsProvider missionCheck(const MissionFolder::File &file, bool translation);

} // namespace SourceFindings
