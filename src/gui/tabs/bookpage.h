#pragma once

#include "core/kinds/book.h"
#include "gui/tabs/editorpage.h"
#include "gui/tabs/slotlisteditor.h"

class Prompts;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextDocument;
class QTimer;
class SaveFlow;

// The Books tab: adds pages one at a time, steps through stored pages with
// "+" and "-" to correct them, resets the book and saves the book file.
class BookPage : public EditorPage
{
    Q_OBJECT

public:
    BookPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent = nullptr);

    // The book file would differ from the one last saved (an empty book has
    // nothing to lose), a page is typed but not added, or a page being edited
    // differs from its stored entry. The book's name alone is not work.
    QStringList unsavedWork() const override;

    StrReader::Kind kind() const override { return StrReader::Kind::Book; }

    QAbstractButton *saveButton() const override;
    void load(const StrReader::Result &file, const QString &path) override;
    void showEntry(int entry) override;
    void markChanged() override { m_savedBook = {QStringLiteral("\uFFFF")}; }
    QVariantMap draft() const override;
    void restore(const QJsonObject &draft) override;

    const BookState &state() const { return m_book; }

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
    void leaveEditMode();
    void showPageList();
    // Brings the list box up to date with the book: changed entries are
    // written anew, and entries not yet listed are added `budget` characters
    // at a time, the rest a moment later, so a large book shows at once.
    void updatePageList(qsizetype budget);
    bool isEditing() const;
    // What the file holds: the place line and the pages.
    QStringList bookState() const;

    // The page list box is one of two boxes in the same place: the list, kept
    // up to date entry by entry, or the entry being edited. The one shown is
    // `Bptxt` and bears that name. (One box given the other's document would
    // lay out the whole list again each time it comes back.) `m_listed` is
    // what the list box shows, unless the author typed into it, and
    // `m_listedLengths` the characters each of those entries takes there,
    // its line end included.
    void showInListBox(QPlainTextEdit *box);
    QPlainTextEdit *m_listBox = nullptr;
    QPlainTextEdit *m_entryBox = nullptr;
    QTextDocument *m_list = nullptr;
    QStringList m_listed;
    QList<qsizetype> m_listedLengths;
    QTimer *m_listing = nullptr;   // goes on adding what is not yet listed

    BookState m_book;
    SlotListEditor m_editor{m_book.Pg, m_book.document, m_book.opened, QStringLiteral("editIndex")};
    Prompts &m_prompts;
    SaveFlow &m_saveFlow;
    QStringList m_savedBook;   // the book as last saved or opened; nothing at the start
};
