#include "gui/source/sourceview.h"

#include "core/mission/workspace.h"
#include "gui/source/sourcebinding.h"
#include "gui/source/sourcehighlighter.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QPainter>
#include <QTextBlock>
#include <QToolTip>
#include <QUndoStack>

#include <algorithm>
#include <utility>

// The margin of line numbers, painted by the view.
class SourceMargin : public QWidget
{
public:
    explicit SourceMargin(SourceView *view)
        : QWidget(view)
        , m_view(view)
    {
    }

    QSize sizeHint() const override { return {m_view->marginWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent *event) override { m_view->paintMargin(event); }

private:
    SourceView *m_view;
};

namespace {

QColor underline(SourceFinding::Severity severity)
{
    switch (severity) {
    case SourceFinding::Error:
        return QColor(0xD0, 0x10, 0x10);
    case SourceFinding::Warning:
        return QColor(0xE0, 0x8A, 0x00);
    case SourceFinding::Note:
        break;
    }
    return QColor(0x20, 0x60, 0xD0);
}

} // namespace

SourceView::SourceView(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_binding(new SourceBinding(this))
    , m_highlighter(new SourceHighlighter(QPlainTextEdit::document()))
    , m_margin(new SourceMargin(this))
{
    setObjectName(QStringLiteral("sourceView"));
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setUndoRedoEnabled(false);   // typing is undone on the document's own stack
    setReadOnly(true);
    m_checkPause.setSingleShot(true);
    m_checkPause.setInterval(CheckPauseMs);
    connect(&m_checkPause, &QTimer::timeout, this, &SourceView::check);
    connect(m_binding, &SourceBinding::documentShown, this, [this] {
        setReadOnly(workspaceDocument() == nullptr);
        checkLater();
    });
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { setViewportMargins(marginWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &SourceView::updateMargin);
    connect(this, &QPlainTextEdit::cursorPositionChanged, m_margin, qOverload<>(&QWidget::update));
    setViewportMargins(marginWidth(), 0, 0, 0);
}

void SourceView::setWorkspaceDocument(WorkspaceDocument *document)
{
    m_findings.clear();
    m_binding->setDocument(document);
    showFindings();
}

WorkspaceDocument *SourceView::workspaceDocument() const
{
    return m_binding->document();
}

void SourceView::setFindingsProvider(SourceFindingsProvider provider)
{
    m_provider = std::move(provider);
    m_findings.clear();
    showFindings();
    checkLater();
}

void SourceView::commitTyping()
{
    m_binding->commitTyping();
}

void SourceView::showAt(int line, int column)
{
    const QTextDocument *text = QPlainTextEdit::document();
    const QTextBlock block = text->findBlockByNumber(std::clamp(line - 1, 0, text->blockCount() - 1));
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::clamp(column - 1, 0, block.length() - 1));
    setTextCursor(cursor);
    centerCursor();
    setFocus(Qt::OtherFocusReason);
}

bool SourceView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) || key->matches(QKeySequence::Find)
            || key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_G)) {
            event->accept();   // the view's own, before any of the window's
            return true;
        }
        // Any other shortcut (a save, say) finds the typing handed over.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            commitTyping();
    }
    return QPlainTextEdit::event(event);
}

void SourceView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        undoStep(event->matches(QKeySequence::Redo));
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        commitTyping();
        Q_EMIT findRequested();
        return;
    }
    if (event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_G)) {
        commitTyping();
        Q_EMIT goToLineRequested();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void SourceView::undoStep(bool redo)
{
    commitTyping();
    WorkspaceDocument *document = workspaceDocument();
    if (!document)
        return;
    if (redo)
        document->undoStack()->redo();
    else
        document->undoStack()->undo();
}

void SourceView::focusOutEvent(QFocusEvent *event)
{
    commitTyping();
    QPlainTextEdit::focusOutEvent(event);
}

void SourceView::leaveEvent(QEvent *event)
{
    // The mouse on its way to a menu or a button of the window.
    commitTyping();
    QPlainTextEdit::leaveEvent(event);
}

QString SourceView::findingsTip(int line, int column) const
{
    const QTextBlock block = QPlainTextEdit::document()->findBlockByNumber(line - 1);
    QStringList tips;
    for (const SourceFinding &finding : m_findings) {
        if (finding.line != line)
            continue;
        const int end = finding.length > 0 ? finding.column + finding.length : block.length();
        if (column >= finding.column && column < std::max(end, finding.column + 1))
            tips.append(tr("%1\n(%2)").arg(finding.message, finding.rule));
    }
    return tips.join(QLatin1String("\n\n"));
}

bool SourceView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QTextCursor at = cursorForPosition(help->pos());
        const QString tip = findingsTip(at.blockNumber() + 1, at.positionInBlock() + 1);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void SourceView::checkLater()
{
    if (m_provider && workspaceDocument())
        m_checkPause.start();
}

void SourceView::check()
{
    WorkspaceDocument *document = workspaceDocument();
    if (!m_provider || !document)
        return;
    // Off the GUI thread, on the document as it would be written (its lines
    // are the view's); one the code page cannot write is read as UTF-8. A
    // check started later abandons this one.
    m_checking.start(
        [provider = m_provider, held = document->document(), codePage = document->codePage()](
            const BackgroundJob::Control &) {
            return provider(held.merged(codePage));
        },
        [this](QList<SourceFinding> found) {
            m_findings = std::move(found);
            showFindings();
            Q_EMIT findingsChanged();
        });
}

void SourceView::showFindings()
{
    const QTextDocument *text = QPlainTextEdit::document();
    QList<QTextEdit::ExtraSelection> marks;
    for (const SourceFinding &finding : std::as_const(m_findings)) {
        const QTextBlock block = text->findBlockByNumber(finding.line - 1);
        if (!block.isValid())
            continue;
        const int lineEnd = block.position() + block.length() - 1;
        int start = std::min(block.position() + finding.column - 1, lineEnd);
        const int end = finding.length > 0 ? std::min(start + finding.length, lineEnd) : lineEnd;
        if (end <= start && start > block.position())
            --start;   // at the line's end: its last character
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(QPlainTextEdit::document());
        mark.cursor.setPosition(start);
        mark.cursor.setPosition(std::max(end, start + (lineEnd > start ? 1 : 0)), QTextCursor::KeepAnchor);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(underline(finding.severity));
        marks.append(mark);
    }
    setExtraSelections(marks);
}

int SourceView::marginWidth() const
{
    int digits = 1;
    for (int lines = std::max(1, blockCount()); lines >= 10; lines /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3);
}

void SourceView::updateMargin(const QRect &rect, int dy)
{
    if (dy != 0)
        m_margin->scroll(0, dy);
    else
        m_margin->update(0, rect.y(), m_margin->width(), rect.height());
}

void SourceView::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_margin->setGeometry(QRect(area.left(), area.top(), marginWidth(), area.height()));
}

void SourceView::paintMargin(QPaintEvent *event)
{
    QPainter painter(m_margin);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int current = textCursor().blockNumber();
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            QFont number = font();
            number.setBold(block.blockNumber() == current);
            painter.setFont(number);
            painter.drawText(0, top, m_margin->width() - 4, fontMetrics().height(), Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
    }
}
