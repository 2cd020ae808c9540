#include "gui/source/sourcebars.h"

#include "gui/source/sourceview.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>

namespace {

QToolButton *closeButton(QWidget *bar, const QString &name)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(QStringLiteral("\u00D7"));
    button->setAutoRaise(true);
    button->setToolTip(SourceFindBar::tr("Close (Esc)"));
    QObject::connect(button, &QToolButton::clicked, bar, &QWidget::hide);
    return button;
}

} // namespace

SourceFindBar::SourceFindBar(SourceView *view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
    , m_text(new QLineEdit(this))
    , m_case(new QCheckBox(tr("Match case"), this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("sourceFindBar"));
    m_text->setObjectName(QStringLiteral("sourceFindText"));
    m_text->setPlaceholderText(tr("Find in the source"));
    m_case->setObjectName(QStringLiteral("sourceFindCase"));
    m_status->setObjectName(QStringLiteral("sourceFindStatus"));
    auto *previous = new QPushButton(tr("Previous"), this);
    previous->setObjectName(QStringLiteral("sourceFindPrevious"));
    auto *next = new QPushButton(tr("Next"), this);
    next->setObjectName(QStringLiteral("sourceFindNext"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(tr("Find:"), this));
    row->addWidget(m_text, 1);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(m_case);
    row->addWidget(m_status);
    row->addWidget(closeButton(this, QStringLiteral("sourceFindClose")));
    connect(next, &QPushButton::clicked, this, [this] { findNext(false); });
    connect(previous, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(m_text, &QLineEdit::textEdited, m_status, &QLabel::clear);
}

void SourceFindBar::open()
{
    const QString selected = m_view->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_text->setText(selected);
    m_status->clear();
    show();
    m_text->selectAll();
    m_text->setFocus(Qt::ShortcutFocusReason);
}

bool SourceFindBar::findNext(bool backward)
{
    const QString text = m_text->text();
    if (text.isEmpty())
        return false;
    QTextDocument::FindFlags flags;
    if (backward)
        flags |= QTextDocument::FindBackward;
    if (m_case->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    m_status->clear();
    if (m_view->find(text, flags))
        return true;
    // Round the end of the file, to its other end.
    const QTextCursor before = m_view->textCursor();
    QTextCursor from = before;
    from.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    m_view->setTextCursor(from);
    if (m_view->find(text, flags)) {
        m_status->setText(backward ? tr("From the end") : tr("From the top"));
        return true;
    }
    m_view->setTextCursor(before);
    m_status->setText(tr("Not found"));
    return false;
}

void SourceFindBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        m_view->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        findNext(event->modifiers() & Qt::ShiftModifier);
        return;
    }
    QWidget::keyPressEvent(event);
}

SourceGoToBar::SourceGoToBar(SourceView *view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
    , m_text(new QLineEdit(this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("sourceGoToBar"));
    m_text->setObjectName(QStringLiteral("sourceGoToText"));
    m_text->setPlaceholderText(tr("line, or line:column"));
    m_status->setObjectName(QStringLiteral("sourceGoToStatus"));
    auto *go = new QPushButton(tr("Go"), this);
    go->setObjectName(QStringLiteral("sourceGoTo"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(tr("Go to line:"), this));
    row->addWidget(m_text);
    row->addWidget(go);
    row->addWidget(m_status, 1);
    row->addWidget(closeButton(this, QStringLiteral("sourceGoToClose")));
    connect(go, &QPushButton::clicked, this, &SourceGoToBar::go);
    connect(m_text, &QLineEdit::textEdited, m_status, &QLabel::clear);
}

std::optional<SourceGoToBar::Place> SourceGoToBar::place(const QString &typed)
{
    const QStringList parts = typed.trimmed().split(u':');
    if (parts.size() > 2)
        return std::nullopt;
    Place place;
    bool ok = false;
    place.line = parts.at(0).trimmed().toInt(&ok);
    if (!ok || place.line < 1)
        return std::nullopt;
    if (parts.size() == 2) {
        place.column = parts.at(1).trimmed().toInt(&ok);
        if (!ok || place.column < 1)
            return std::nullopt;
    }
    return place;
}

void SourceGoToBar::open()
{
    m_text->setText(QString::number(m_view->textCursor().blockNumber() + 1));
    m_status->clear();
    show();
    m_text->selectAll();
    m_text->setFocus(Qt::ShortcutFocusReason);
}

void SourceGoToBar::go()
{
    const std::optional<Place> to = place(m_text->text());
    const int lines = m_view->blockCount();
    if (!to) {
        m_status->setText(tr("Type a line, or a line and a column: 12 or 12:5."));
        return;
    }
    if (to->line > lines) {
        m_status->setText(tr("The file has %1 lines.").arg(lines));
        return;
    }
    hide();
    m_view->showAt(to->line, to->column);
}

void SourceGoToBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        m_view->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        go();
        return;
    }
    QWidget::keyPressEvent(event);
}
