#pragma once

#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class SourceView;

// The bars under the source view: find within it, and go to a line.

// Ctrl+F: the text to find (objectName "sourceFindText"), Next and Previous
// (Enter and Shift+Enter), "Match case"; the search goes round the file's
// end, and says when the text is nowhere. Escape closes it.
class SourceFindBar : public QWidget
{
    Q_OBJECT

public:
    explicit SourceFindBar(SourceView *view, QWidget *parent = nullptr);

    // Shown with the view's selection (or the word last sought) chosen.
    void open();
    // The next (or previous) place of the text from the cursor; false when it is nowhere.
    bool findNext(bool backward = false);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    SourceView *m_view;
    QLineEdit *m_text;
    QCheckBox *m_case;
    QLabel *m_status;
};

// Ctrl+G: a line, or a line and a column ("12" or "12:5"), then Enter.
class SourceGoToBar : public QWidget
{
    Q_OBJECT

public:
    explicit SourceGoToBar(SourceView *view, QWidget *parent = nullptr);

    void open();
    // The line and column a place names ("12", "12:5"; both from 1).
    struct Place {
        int line = 1;
        int column = 1;
    };
    static std::optional<Place> place(const QString &typed);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void go();

    SourceView *m_view;
    QLineEdit *m_text;
    QLabel *m_status;
};
