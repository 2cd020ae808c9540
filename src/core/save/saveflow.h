#pragma once

#include "core/document/filecontent.h"

#include <QList>
#include <QString>

#include <functional>

class MissionWorkspace;
class Prompts;
class QObject;
class WorkspaceDocument;

// How a view's file is written, in plain steps each caller puts together:
//  1. refuse, with one message, a text that would break the file or that the
//     code page cannot hold (before any dialog);
//  2. ask for the path in the save dialog, proposing a name (cancel: stop,
//     silently), and refuse a chosen name Windows cannot use;
//  3. have the workspace write the file whole, replacing it only once all is
//     written; a failure shows the path and the system's reason.
// Every file is the workspace's document of it; a file of no name yet is a
// document of no file until it is saved under one, or copied.
class SaveFlow
{
public:
    SaveFlow(Prompts &prompts, MissionWorkspace &workspace);

    // The code page of files that have none of their own yet (the Encoding menu's).
    int codePage() const { return m_codePage; }
    void setCodePage(int codePage) { m_codePage = codePage; }

    // Shows the message that refuses what `document` cannot write (its
    // author's texts, then any character its code page lacks); false when
    // it can be written.
    bool refuse(const WorkspaceDocument &document);
    // The same for the author's texts of a file written in `codePage`.
    bool refuse(const Pieces &texts, int codePage);

    // The path the author accepts in the save dialog, which proposes
    // `proposed` (a name, or a file's own path); "" when the dialog was
    // cancelled or the name chosen is one Windows cannot use (told).
    QString askPath(const QString &proposed);

    // Writes `documents` in place, each checked before any is written.
    bool save(const QList<WorkspaceDocument *> &documents);
    // Writes `document` at `path`, which it becomes (File › Save of a file of
    // no name yet, Save As…): the document of that file, which `view` edits
    // from now on; nothing when it was not written.
    WorkspaceDocument *saveAs(WorkspaceDocument *document, const QString &path, const QObject *view);
    // Writes a copy of `document` at `path`; it stays the document it was,
    // of no file or of its own, and counts as saved.
    bool writeCopy(WorkspaceDocument *document, const QString &path);

    // Told of every file written.
    std::function<void(const QString &path)> onWritten;

private:
    bool written(const QString &path, bool ok);

    Prompts &m_prompts;
    MissionWorkspace &m_workspace;
    int m_codePage;
};
