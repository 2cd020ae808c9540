#include "gui/widgets.h"

#include "core/document/lineendings.h"
#include "gui/twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <limits>

namespace Widgets {

QGroupBox *frame(const char *name, const QString &title, const QRect &rect, QWidget *parent)
{
    auto *box = make<QGroupBox>(name, rect, parent);
    box->setTitle(title);
    return box;
}

QPushButton *button(const char *name, const QString &caption, const QRect &rect, QWidget *parent)
{
    auto *pushButton = make<QPushButton>(name, rect, parent);
    pushButton->setText(caption);
    // Return and Enter press the focused button, as in a dialog.
    pushButton->setAutoDefault(true);
    return pushButton;
}

QLineEdit *lineEdit(const char *name, const QString &text, const QRect &rect, QWidget *parent)
{
    auto *box = make<QLineEdit>(name, rect, parent);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setText(text);
    return box;
}

QFrame *rule(const char *name, QPoint from, QPoint to, int width, QWidget *parent)
{
    const QRect rect = Twips::onPage(from.x(), from.y(), to.x() - from.x(), to.y() - from.y());
    auto *line = make<QFrame>(name, QRect(rect.topLeft(), rect.size().expandedTo(QSize(width, width))), parent);
    line->setFrameShape(from.y() == to.y() ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(width);
    return line;
}

QLabel *label(const char *name, const QString &text, const QRect &rect, QWidget *parent)
{
    auto *result = make<QLabel>(name, rect, parent);
    result->setText(text);
    result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return result;
}

QLabel *wrappedLabel(const char *name, const QString &text, const QRect &rect, QWidget *parent)
{
    QLabel *result = label(name, text, rect, parent);
    result->setWordWrap(true);
    return result;
}

QPlainTextEdit *textArea(const char *name, const QRect &rect, QWidget *parent, bool scrollBar)
{
    auto *box = make<QPlainTextEdit>(name, rect, parent);
    box->setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    box->setTabChangesFocus(true);
    return box;
}

QString storedText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return LineEndings::toCrLf(text);
}

namespace {

constexpr int EdgeMargin = 4;

void fitLabel(QLabel *label, int rightEdge)
{
    QRect rect = label->geometry();
    if (label->wordWrap()) {
        const int roomToEdge = rightEdge - EdgeMargin - rect.left();
        while (label->heightForWidth(rect.width()) > rect.height() && rect.width() < roomToEdge)
            rect.setWidth(std::min(rect.width() + 8, roomToEdge));
        rect.setHeight(std::max(rect.height(), label->heightForWidth(rect.width())));
    } else {
        const QSize needed = label->sizeHint();
        rect.setWidth(std::max(rect.width(), needed.width()));
        rect.setHeight(std::max(rect.height(), needed.height()));
    }
    label->setGeometry(rect);
}

void fitButton(QPushButton *button)
{
    const QFontMetrics metrics(button->font());
    const int needed = metrics.horizontalAdvance(button->text()) + 2 * metrics.averageCharWidth();
    if (button->width() < needed)
        button->resize(needed, button->height());
}

void fitFrame(QGroupBox *frame)
{
    const QFontMetrics metrics(frame->font());
    const int needed = metrics.horizontalAdvance(frame->title()) + 2 * metrics.averageCharWidth();
    if (frame->width() < needed)
        frame->resize(needed, frame->height());
}

} // namespace

void fitTexts(QWidget *page, int pageWidth)
{
    page->ensurePolished();
    for (QLabel *label : page->findChildren<QLabel *>()) {
        const QWidget *parent = label->parentWidget();
        fitLabel(label, parent == page ? pageWidth : parent->width());
    }
    for (QPushButton *button : page->findChildren<QPushButton *>())
        fitButton(button);
    for (QGroupBox *frame : page->findChildren<QGroupBox *>())
        fitFrame(frame);
}

void showStoredText(QPlainTextEdit *box, const QString &text)
{
    box->setPlainText(LineEndings::toLf(text));
}

void showListEntry(QPlainTextEdit *box, const QStringList &list, int slot)
{
    if (slot < 0 || slot >= list.size())
        return;
    qsizetype start = 0;
    for (int i = 0; i < slot; ++i)
        start += LineEndings::toLf(list.at(i)).size() + 1;
    QTextCursor cursor(box->document());
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(start + LineEndings::toLf(list.at(slot)).size()), QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}

} // namespace Widgets
