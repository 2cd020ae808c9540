#pragma once

#include <QList>
#include <QStringList>

class EditorPage;
class Qwr;
class WorkspaceDocument;

// The question before the window closes (its close and the session
// manager's commitData alike). With a file or a mission open, one question
// lists every file not saved (the tabs', the translation window's, the
// replaced ones) and names text typed into a box and not yet stored, which
// no file holds: Save All, Discard or Cancel, Cancel the default, its keys
// guarded so that one held down cannot answer it.
//  - Save All saves as File › Save All does; the window stays open when
//    that fails or is cancelled, and when text typed is not stored, at its
//    box, so that the author can finish it.
//  - Discard closes without saving; Cancel keeps the window as it was.
// With nothing opened, the tabs' work alone is asked about as it always
// was: "… Close Quillwright and discard it?", Yes or No.
class ClosingQuestion
{
public:
    explicit ClosingQuestion(Qwr &window);

    // Asks (nothing when nothing is unsaved) and does what the author
    // answers; true when the window may close.
    bool mayClose();

private:
    // A file as the question names it: within the mission, from its folder.
    QString shownPath(const WorkspaceDocument *document) const;
    // The question's text and its answer.
    bool askAboutFiles(const QStringList &files, const QList<EditorPage *> &typed);

    Qwr &m_window;
};
