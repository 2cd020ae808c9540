#include "gui/source/sourcebinding.h"

#include "core/document/typedlines.h"
#include "core/mission/workspace.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace {

// The lines as the box shows them, without their ends.
QStringList inTheBox(const QStringList &lines)
{
    QStringList box;
    box.reserve(lines.size());
    for (const QString &line : lines)
        box.append(TypedLines::boxText(TypedLines::withoutEnd(line).toString()));
    return box;
}

// Whether the box's line shows the file's `line`.
bool shows(const QString &boxLine, const QString &line)
{
    const QStringView text = TypedLines::withoutEnd(line);
    if (text.contains(u'\r') || text.contains(QChar(QChar::ParagraphSeparator)))
        return boxLine == TypedLines::boxText(text.toString());
    return boxLine == text;
}

// How many lines at the start and at the end of `a` and `b` are the same.
template <typename A, typename B, typename Same>
std::pair<qsizetype, qsizetype> sameEnds(const A &a, const B &b, Same same)
{
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && same(a.at(head), b.at(head)))
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head
           && same(a.at(a.size() - 1 - tail), b.at(b.size() - 1 - tail)))
        ++tail;
    return {head, tail};
}

QString describe(const TypedLines::Change &change)
{
    const int first = change.firstLine;
    if (change.newCount == 0) {
        return change.oldCount == 1
            ? SourceBinding::tr("Remove line %1 of the source").arg(first)
            : SourceBinding::tr("Remove lines %1 to %2 of the source").arg(first).arg(first + change.oldCount - 1);
    }
    if (change.oldCount == 0) {
        return change.newCount == 1
            ? SourceBinding::tr("Add line %1 to the source").arg(first)
            : SourceBinding::tr("Add lines %1 to %2 to the source").arg(first).arg(first + change.newCount - 1);
    }
    const int count = std::max(change.oldCount, change.newCount);
    return count == 1 ? SourceBinding::tr("Edit line %1 of the source").arg(first)
                      : SourceBinding::tr("Edit lines %1 to %2 of the source").arg(first).arg(first + count - 1);
}

} // namespace

SourceBinding::SourceBinding(QPlainTextEdit *box)
    : QObject(box)
    , m_box(box)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &SourceBinding::commitTyping);
    connect(box->document(), &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        if (!m_showing && (removed > 0 || added > 0))
            typed(position);
    });
    connect(box, &QPlainTextEdit::cursorPositionChanged, this, &SourceBinding::cursorMoved);
}

void SourceBinding::setDocument(WorkspaceDocument *document)
{
    if (document && document == m_document)
        return;
    commitTyping();
    if (m_document)
        m_document->disconnect(this);
    m_document = document;
    m_typed = false;
    m_pause.stop();
    m_shown = document ? TypedLines::shownLines(document->document().wholeText()) : QStringList();
    m_showing = true;
    m_box->setPlainText(inTheBox(m_shown).join(u'\n'));
    m_showing = false;
    if (document) {
        connect(document, &WorkspaceDocument::changed, this, &SourceBinding::documentChanged);
        // Let go of by the workspace: nothing to show or edit any more.
        connect(document, &QObject::destroyed, this, [this] { setDocument(nullptr); });
    }
    Q_EMIT documentShown();
}

QString SourceBinding::place() const
{
    return tr("the source of %1").arg(QFileInfo(m_document->path()).fileName());
}

QStringList SourceBinding::boxLines() const
{
    QStringList lines;
    lines.reserve(m_box->document()->blockCount());
    for (QTextBlock block = m_box->document()->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}

void SourceBinding::typed(int position)
{
    if (!m_typed)
        m_typedLine = m_box->document()->findBlock(position).blockNumber();
    m_typed = true;
    m_pause.start();
}

void SourceBinding::cursorMoved()
{
    if (!m_showing && m_typed && m_box->textCursor().blockNumber() != m_typedLine)
        commitTyping();
}

void SourceBinding::commitTyping()
{
    m_pause.stop();
    if (!m_typed)
        return;
    m_typed = false;
    m_typedLine = -1;
    if (!m_document)
        return;
    const StrDocument &current = m_document->document();
    const std::optional<TypedLines::Change> change = TypedLines::change(m_shown, boxLines(), current.lineEnd());
    if (!change)
        return;
    StrDocument after = current;
    after.replaceText(change->from, change->to, change->text, place());
    const qsizetype first = change->firstLine - 1;
    m_shown = m_shown.first(first) + change->lines + m_shown.sliced(first + change->oldCount);
    m_document->change(after, describe(*change), this);
    Q_EMIT documentShown();
}

void SourceBinding::documentChanged(const QObject *origin)
{
    if (origin == this || !m_document)
        return;
    const QStringList now = TypedLines::shownLines(m_document->document().wholeText());
    const std::optional<TypedLines::Change> mine =
        m_typed ? TypedLines::change(m_shown, boxLines(), m_document->document().lineEnd()) : std::nullopt;
    // The lines the change made elsewhere replaced, [first, first + count), and those in their place.
    const auto [head, tail] = sameEnds(m_shown, now, [](const QString &a, const QString &b) { return a == b; });
    const int theirFirst = static_cast<int>(head);
    const int theirCount = static_cast<int>(m_shown.size() - tail - head);
    const QStringList theirLines = now.mid(head, now.size() - tail - head);
    m_shown = now;
    if (!mine) {
        m_typed = false;
        show(now);
    } else if (theirCount > 0 || !theirLines.isEmpty()) {
        // Typing not handed over stays when the change is to other lines;
        // where both touch the same lines, the change made elsewhere wins.
        const int myFirst = mine->firstLine - 1;
        if (myFirst + mine->oldCount <= theirFirst) {
            replaceLines(theirFirst + mine->newCount - mine->oldCount, theirCount, inTheBox(theirLines));
        } else if (theirFirst + theirCount <= myFirst) {
            replaceLines(theirFirst, theirCount, inTheBox(theirLines));
        } else {
            m_typed = false;
            m_pause.stop();
            show(now);
        }
    }
    Q_EMIT documentShown();
}

void SourceBinding::show(const QStringList &lines)
{
    const QStringList box = boxLines();
    const auto [head, tail] = sameEnds(box, lines, shows);
    if (head == box.size() && head == lines.size())
        return;
    replaceLines(static_cast<int>(head), static_cast<int>(box.size() - tail - head),
                 inTheBox(lines.mid(head, lines.size() - tail - head)));
}

void SourceBinding::replaceLines(int first, int count, const QStringList &lines)
{
    QTextDocument *document = m_box->document();
    const int blocks = document->blockCount();
    const QTextCursor user = m_box->textCursor();
    const int userLine = user.blockNumber();
    const int userColumn = user.positionInBlock();
    const auto startOf = [document](int line) { return document->findBlockByNumber(line).position(); };
    const auto endOf = [document](int line) {
        const QTextBlock block = document->findBlockByNumber(line);
        return block.position() + block.length() - 1;
    };

    if (m_typedLine >= first + count)
        m_typedLine += static_cast<int>(lines.size()) - count;
    m_showing = true;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    if (count > 0 && !lines.isEmpty()) {
        cursor.setPosition(startOf(first));
        cursor.setPosition(endOf(first + count - 1), QTextCursor::KeepAnchor);
        cursor.insertText(lines.join(u'\n'));
    } else if (count == 0) {
        if (first < blocks) {
            cursor.setPosition(startOf(first));
            cursor.insertText(lines.join(u'\n') + u'\n');
        } else {
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(u'\n' + lines.join(u'\n'));
        }
    } else if (first + count < blocks) {
        cursor.setPosition(startOf(first));
        cursor.setPosition(startOf(first + count), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else {
        cursor.setPosition(first > 0 ? endOf(first - 1) : 0);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();

    // A cursor on a line replaced stays on its line.
    if (userLine >= first && userLine < first + count) {
        const QTextBlock block = document->findBlockByNumber(std::min(userLine, document->blockCount() - 1));
        QTextCursor back(block);
        back.setPosition(block.position() + std::min(userColumn, block.length() - 1));
        m_box->setTextCursor(back);
    }
    m_showing = false;
}
