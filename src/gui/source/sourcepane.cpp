#include "gui/source/sourcepane.h"

#include "gui/source/sourcebars.h"
#include "gui/source/sourceview.h"

#include <QVBoxLayout>

SourcePane::SourcePane(QWidget *parent)
    : QWidget(parent)
    , m_view(new SourceView(this))
    , m_find(new SourceFindBar(m_view, this))
    , m_goTo(new SourceGoToBar(m_view, this))
{
    setObjectName(QStringLiteral("sourcePane"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_view, 1);
    column->addWidget(m_find);
    column->addWidget(m_goTo);
    m_find->hide();
    m_goTo->hide();
    connect(m_view, &SourceView::findRequested, this, [this] {
        m_goTo->hide();
        m_find->open();
    });
    connect(m_view, &SourceView::goToLineRequested, this, [this] {
        m_find->hide();
        m_goTo->open();
    });
}

void SourcePane::setWorkspaceDocument(WorkspaceDocument *document)
{
    m_view->setWorkspaceDocument(document);
}

void SourcePane::showAt(int line, int column)
{
    m_view->showAt(line, column);
}

void SourcePane::setFindingsProvider(SourceFindingsProvider provider)
{
    m_view->setFindingsProvider(std::move(provider));
}
