#pragma once

#include "gui/source/sourcefindings.h"

#include <QWidget>

class SourceFindBar;
class SourceGoToBar;
class SourceView;
class WorkspaceDocument;

// The source view of one document with its find bar and its go-to-line bar
// beneath it, as the window shows it beside a form or in its place.
class SourcePane : public QWidget
{
    Q_OBJECT

public:
    explicit SourcePane(QWidget *parent = nullptr);

    SourceView *view() const { return m_view; }
    SourceFindBar *findBar() const { return m_find; }
    SourceGoToBar *goToBar() const { return m_goTo; }

    // Shows `document` (none: nothing).
    void setWorkspaceDocument(WorkspaceDocument *document);
    // The cursor at `line` and `column` (from 1), for a finding or a find result.
    void showAt(int line, int column = 1);
    void setFindingsProvider(SourceFindingsProvider provider);

private:
    SourceView *m_view;
    SourceFindBar *m_find;
    SourceGoToBar *m_goTo;
};
