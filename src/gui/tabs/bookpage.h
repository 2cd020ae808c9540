#pragma once

#include "core/kinds/book.h"
#include "gui/tabs/editorpage.h"
#include "gui/tabs/slotlisteditor.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextDocument;
class QTimer;

// The Books tab: adds pages one at a time, steps through stored pages with
// "+" and "-" to correct them, resets the book and saves the book file.
// A page added or corrected is at once a step of the book file's undo; the
// place of the book is part of the file, laid into it when it is saved.
class BookPage : public EditorPage
{
    Q_OBJECT

public:
    explicit BookPage(Prompts &prompts, QWidget *parent = nullptr);

    StrReader::Kind kind() const override { return StrReader::Kind::Book; }
    void showDocument(const StrDocument &file) override;
    void load(const StrDocument &file, const QString &path) override;
    std::variant<StrDocument, Error> apply() const override;
    // The book's name and ".str" (appended even when it ends so), refused
    // when empty or a name Windows cannot use.
    std::variant<QString, Error> proposedName() const override;
    bool holdsUnlaid() const override;
    void markLaid() override;

    // The book file differs from the one last saved, the place typed is not
    // yet in it, a page is typed but not added, or a page being edited
    // differs from its stored entry. The book's name alone is not work.
    QStringList unsavedWork() const override;
    QString unstoredWork() const override;
    QWidget *unstoredBox() const override;

    void showEntry(int entry) override;
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
    // The place line the book's file gets from the tab ("" for none).
    QString placeWanted() const;
    // Lays the book into its file as the step `label`; a book the file
    // cannot take stays the tab's until it is saved (and refused then).
    void storeBook(const QString &label);

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
    bool m_unlaid = false;   // pages stored that the file could not take
    QString m_placeLaid;     // the place line as the file holds it ("" for none)
};
