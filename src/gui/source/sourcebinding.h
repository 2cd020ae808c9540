#pragma once

#include "core/mission/workspace.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class QPlainTextEdit;

// Ties a text box to a document of the workspace: the box shows the file's
// text as it would be written (its unsaved changes laid over its bytes), and
// what the author types becomes a step of the document's undo, merged per
// pause and per line as editors merge typing. A change from elsewhere (a
// form, undo, a reload) shows in the box at once; only the lines it changed
// are replaced there, so the cursor stays on its line and typing not yet
// handed over survives a change to other lines.
class SourceBinding : public QObject
{
    Q_OBJECT

public:
    explicit SourceBinding(QPlainTextEdit *box);

    void setDocument(WorkspaceDocument *document);
    WorkspaceDocument *document() const { return m_document; }

    // Typing not yet handed over becomes the document's step now (before
    // undo, a save, a shortcut of the window, the box losing the focus).
    void commitTyping();
    bool hasTyping() const { return m_typed; }

    // How long typing waits for a pause before it is handed over.
    static constexpr int PauseMs = 700;

Q_SIGNALS:
    // The document the box shows is another now (typed, or changed elsewhere).
    void documentShown();

private:
    void typed(int position);
    void cursorMoved();
    void documentChanged(const QObject *origin);
    // The box shows `lines` (the file's lines with their ends), replacing
    // only the lines that differ.
    void show(const QStringList &lines);
    // Lines `first` to `first + count` of the box become `lines` (as the box shows them).
    void replaceLines(int first, int count, const QStringList &lines);
    QStringList boxLines() const;
    QString place() const;

    QPlainTextEdit *m_box;
    QPointer<WorkspaceDocument> m_document;
    QStringList m_shown;     // the document's lines, with their ends, as last shown
    QTimer m_pause;
    bool m_typed = false;    // the box holds typing the document does not
    int m_typedLine = -1;    // the block typed in
    bool m_showing = false;  // the box is being changed to show the document
};
