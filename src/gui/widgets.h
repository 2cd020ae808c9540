#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// Small factories for the controls of the tab pages: each control gets its
// name as objectName and its place in pixels.
namespace Widgets {

template <typename W>
W *make(const char *name, const QRect &rect, QWidget *parent)
{
    auto *widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

QGroupBox *frame(const char *name, const QString &title, const QRect &rect, QWidget *parent);
QPushButton *button(const char *name, const QString &caption, const QRect &rect, QWidget *parent);
// A single-line box holding `text` to begin with, with no length limit.
QLineEdit *lineEdit(const char *name, const QString &text, const QRect &rect, QWidget *parent);
// A straight rule `width` pixels thick from `from` to `to`, both in twips on a
// tab page; horizontal or vertical.
QFrame *rule(const char *name, QPoint from, QPoint to, int width, QWidget *parent);
QLabel *label(const char *name, const QString &text, const QRect &rect, QWidget *parent);
QLabel *wrappedLabel(const char *name, const QString &text, const QRect &rect, QWidget *parent);

// A multi-line box; Tab moves the focus instead of typing a tab.
QPlainTextEdit *textArea(const char *name, const QRect &rect, QWidget *parent, bool scrollBar);

// The text of a multi-line box exactly as typed, with CR LF between lines
// (non-breaking spaces kept, which QPlainTextEdit::toPlainText would turn into blanks).
QString storedText(const QPlainTextEdit *box);

// Makes room for the texts of `page`'s controls in the font they are shown
// in, which may be wider than the one the layout was drawn for: a label or
// button too narrow for its text grows to the right (a wrapping label first
// up to its parent's right edge, then downwards), a frame grows to show its
// whole caption. Nothing moves.
void fitTexts(QWidget *page, int pageWidth);

// Selects, in a list box showing the entries of `list` one after the other
// (lines joined by CR LF, each entry ended by one), the entry `slot`.
void showListEntry(QPlainTextEdit *box, const QStringList &list, int slot);

// Shows stored text (lines joined by CR LF) in a multi-line box.
void showStoredText(QPlainTextEdit *box, const QString &text);

} // namespace Widgets
