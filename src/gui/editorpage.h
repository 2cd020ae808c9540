#pragma once

#include <QStringList>
#include <QWidget>

// A tab page that edits one kind of file. The main window treats every such
// page alike: it asks each what closing would lose.
class EditorPage : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // What closing now would lose, each named in a few words for the close
    // question ("the book", "the page typed but not yet added"); empty when
    // nothing would be lost.
    virtual QStringList unsavedWork() const = 0;
};
