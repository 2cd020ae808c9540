#pragma once

#include "core/mission/backgroundjob.h"
#include "gui/source/sourcefindings.h"

#include <QPlainTextEdit>
#include <QTimer>

class SourceBinding;
class SourceHighlighter;
class WorkspaceDocument;

// A file as its author wrote it (objectName "sourceView"): the text of one
// document of the workspace, decoded in its code page with its unsaved
// changes, every line there to edit, comments and blank lines too. Line
// numbers stand in a margin; keys, quotes, escapes and comments have their
// colours; the findings of a check are underlined a moment after typing
// stops, with the message and its rule on hover.
//
// It edits the document the tabs edit: typing is a step of the document's
// undo (Ctrl+Z and Ctrl+Y here undo and redo those steps), and a change made
// elsewhere shows at once. Ctrl+F asks for the find bar, Ctrl+G for a line.
class SourceView : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit SourceView(QWidget *parent = nullptr);

    // The document shown (none: an empty view that cannot be edited).
    void setWorkspaceDocument(WorkspaceDocument *document);
    WorkspaceDocument *workspaceDocument() const;

    // Where the findings come from; none: nothing is underlined.
    void setFindingsProvider(SourceFindingsProvider provider);
    const QList<SourceFinding> &findings() const { return m_findings; }
    // The findings at a line and column, as their tip tells them ("" for none).
    QString findingsTip(int line, int column) const;

    // The cursor at `line` and `column` (from 1, in characters; kept within
    // the text), shown in the middle of the view, which takes the focus.
    void showAt(int line, int column = 1);
    // Typing not yet a step of the document's undo becomes one now.
    void commitTyping();

    // How long after the last change the findings are asked for.
    static constexpr int CheckPauseMs = 300;

Q_SIGNALS:
    void findRequested();
    void goToLineRequested();
    // New findings are underlined.
    void findingsChanged();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class SourceMargin;
    int marginWidth() const;
    void paintMargin(QPaintEvent *event);
    void updateMargin(const QRect &rect, int dy);
    void undoStep(bool redo);
    void checkLater();
    void check();
    void showFindings();

    SourceBinding *m_binding;
    SourceHighlighter *m_highlighter;
    QWidget *m_margin;
    SourceFindingsProvider m_provider;
    QList<SourceFinding> m_findings;
    QTimer m_checkPause;
    BackgroundJob m_checking;
};
