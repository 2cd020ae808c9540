#include "gui/source/sourcedock.h"

#include "core/mission/folder.h"
#include "core/mission/workspace.h"
#include "gui/source/sourcepane.h"
#include "gui/source/sourceview.h"
#include "gui/windowplacement.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QUndoStack>

SourceDock::SourceDock(QMainWindow &window)
    : QDockWidget(tr("Source"), &window)
    , m_window(window)
    , m_pane(new SourcePane(this))
    , m_action(new QAction(tr("Source"), this))
{
    setObjectName(QStringLiteral("sourceDock"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    setWidget(m_pane);
    m_action->setObjectName(QStringLiteral("sourceAction"));
    m_action->setCheckable(true);
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    m_action->setToolTip(tr("The file as its author wrote it, beside the form"));
    window.addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
    connect(m_action, &QAction::toggled, this, &SourceDock::setShown);
    // With the focus in the view, the Edit menu undoes the file it shows.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now == m_pane->view() && m_pane->view()->workspaceDocument())
            m_pane->view()->workspaceDocument()->undoStack()->setActive();
    });
    // Closed by its own button: the action follows.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool) {
        if (!isVisible() && m_action->isChecked() && m_window.isVisible() && !m_window.isMinimized())
            m_action->setChecked(false);
    });
}

void SourceDock::setShown(bool shown)
{
    if (shown) {
        showDockWidened(m_window, *this);
        showFollowed();
        m_pane->view()->setFocus(Qt::ShortcutFocusReason);
    } else {
        // What it showed is let go of: hidden, it neither shows nor checks anything.
        m_pane->view()->commitTyping();
        m_pane->setWorkspaceDocument(nullptr);
        hide();
    }
}

void SourceDock::follow(WorkspaceDocument *document)
{
    if (document == m_followed)
        return;
    m_followed = document;
    if (isVisible())
        showFollowed();
}

void SourceDock::showFollowed()
{
    if (m_pane->view()->workspaceDocument() == m_followed && m_followed)
        return;
    m_pane->setWorkspaceDocument(nullptr);
    m_pane->setFindingsProvider(findingsFor(m_followed));
    m_pane->setWorkspaceDocument(m_followed);
}

void SourceDock::missionRead()
{
    if (!isVisible())
        return;
    m_pane->setFindingsProvider(findingsFor(m_followed));
}

void SourceDock::showAt(int line, int column)
{
    m_action->setChecked(true);
    showFollowed();
    m_pane->showAt(line, column);
}

void SourceDock::commitTyping()
{
    m_pane->view()->commitTyping();
}

SourceFindingsProvider SourceDock::findingsFor(const WorkspaceDocument *document) const
{
    if (!document)
        return {};
    if (document->isUnnamed())
        return SourceFindings::kindCheck(QString());
    if (const MissionFolder::Scan *read = scan ? scan() : nullptr) {
        const QString identity = MissionWorkspace::identity(document->path());
        for (const MissionFolder::File &file : read->files) {
            if (file.identity != identity || file.failure)
                continue;
            return SourceFindings::missionCheck(file, MissionFolder::isTranslation(*read, file));
        }
    }
    return SourceFindings::kindCheck(document->path());
}
