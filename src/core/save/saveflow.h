#pragma once

#include "core/document/strdocument.h"

#include <functional>

class MissionWorkspace;
class Prompts;

// The one way every editor writes its file:
//  1. refuse, with a message, a text that would break the file or that the
//     code page cannot hold, and a proposed name Windows cannot use (before
//     any dialog);
//  2. ask for the path in the save dialog, proposing a name (cancel: stop,
//     silently); a file opened from the disk is proposed under its own name
//     in its own folder, and saved in place, with no dialog, by File › Save;
//  3. refuse a chosen name Windows cannot use;
//  4. write the lines, CR LF after each, replacing the file only once all is
//     written; a failure shows the path and the system's reason.
// With a workspace, the file written is the workspace's document of it: the
// view's document becomes that document, as a step of its undo, and is saved
// by the workspace.
class SaveFlow
{
public:
    explicit SaveFlow(Prompts &prompts);

    int codePage() const { return m_codePage; }
    void setCodePage(int codePage) { m_codePage = codePage; }

    void setWorkspace(MissionWorkspace *workspace) { m_workspace = workspace; }
    // The file the view that saves edits ("" for a new one), and the view:
    // asked at each save.
    struct Opened {
        QString path;
        const QObject *view = nullptr;
    };
    std::function<Opened()> opened;
    // Saves of an opened file go to its own path without the dialog.
    void setInPlace(bool inPlace) { m_inPlace = inPlace; }
    // Saves ask for the path even for an opened file (File › Save As…).
    void setAlwaysAsk(bool ask) { m_alwaysAsk = ask; }

    // Saves of an opened file the workspace holds lay the view's document
    // into the workspace's document instead, as a step of its undo called
    // `description` (none when nothing changes), and write nothing; "" ends it.
    void setLaying(const QString &description)
    {
        m_laying = description;
        m_laid = false;
    }
    // Whether a save since setLaying() laid its document (or found it laid).
    bool laid() const { return m_laid; }
    // Returns true when the file was written (laid, when laying).
    bool save(const QString &suggestedName, const StrDocument &document);

    // Told of every file written, with its bytes (to tell the program's own
    // saves from changes made outside it).
    std::function<void(const QString &path, const QByteArray &bytes)> onWritten;

    // Shows the message that refuses the author's texts; false when all of them can be written.
    bool refuse(const Pieces &texts);
    // The same for a file written in `codePage` (a file of a mission in its language's).
    bool refuse(const Pieces &texts, int codePage);

private:
    void showFailure(const QString &path, const QString &reason);

    Prompts &m_prompts;
    int m_codePage;
    MissionWorkspace *m_workspace = nullptr;
    bool m_inPlace = false;
    bool m_alwaysAsk = false;
    QString m_laying;
    bool m_laid = false;
};
