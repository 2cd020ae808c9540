#pragma once

#include "gui/source/sourcefindings.h"

#include <QDockWidget>
#include <QPointer>

#include <functional>

class QAction;
class QMainWindow;
class SourcePane;
class WorkspaceDocument;
namespace MissionFolder {
struct Scan;
}

// View › Source (Ctrl+U): the source view of the current tab's file in a
// dock beside the form (objectName "sourceDock"), which it follows from tab
// to tab while it is shown. Its findings are the check's own, rule by rule,
// for a file of the mission read, else its kind's check.
class SourceDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit SourceDock(QMainWindow &window);

    // "Source" of the View menu (objectName "sourceAction"): shows and hides the dock.
    QAction *action() const { return m_action; }
    SourcePane *pane() const { return m_pane; }

    // The mission read, for the check's findings (none: no mission).
    std::function<const MissionFolder::Scan *()> scan;

    // The file shown from now on (the current tab's; none: nothing).
    void follow(WorkspaceDocument *document);
    // The dock shown, the cursor at `line` and `column` (from 1) of the file
    // it follows, the view holding the focus.
    void showAt(int line, int column);
    // The mission read again: its findings of the file shown are asked anew.
    void missionRead();
    // Typing not yet a step of undo becomes one (before the Edit menu acts).
    void commitTyping();

private:
    void setShown(bool shown);
    void showFollowed();
    SourceFindingsProvider findingsFor(const WorkspaceDocument *document) const;

    QMainWindow &m_window;
    SourcePane *m_pane;
    QAction *m_action;
    QPointer<WorkspaceDocument> m_followed;
};
