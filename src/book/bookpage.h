#pragma once

#include "output/savedlines.h"

#include <QStringList>
#include <QWidget>

class BookState;
class Prompts;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SavePath;

// The Books tab: adds pages one at a time, steps through stored pages with
// "+" and "-" to correct them, resets the book and saves the book file.
class BookPage : public QWidget
{
    Q_OBJECT

public:
    BookPage(BookState &book, Prompts &prompts, SavePath &savePath, QWidget *parent = nullptr);

    // True when the pages or the place of the book differ from what was last
    // saved (an empty book has nothing to lose).
    bool hasUnsavedWork() const;

    QGroupBox *Frame1 = nullptr;
    QLineEdit *Bname = nullptr;
    QGroupBox *Frame3 = nullptr;
    QLineEdit *ComOpt = nullptr;
    QGroupBox *Frame6 = nullptr;
    QLineEdit *Pn = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPlainTextEdit *Page = nullptr;
    QGroupBox *Frame7 = nullptr;
    QPlainTextEdit *Bptxt = nullptr;
    QPushButton *Apage = nullptr;
    QPushButton *ApPage = nullptr;
    QPushButton *Rsetme = nullptr;
    QPushButton *SvBook = nullptr;

public Q_SLOTS:
    void Apage_Click();
    void Command2_Click();
    void Command3_Click();
    void ApPage_Click();
    void Rsetme_Click();
    void ComOpt_Change();
    void SvBook_Click();

private:
    void showForEditing(int step, const QString &pageCaption);
    void showPageList();
    QStringList fileLines() const;

    BookState &m_book;
    Prompts &m_prompts;
    SavePath &m_savePath;
    SavedLines m_saved;
};
