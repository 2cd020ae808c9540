#include "gui/tabs/bookpage.h"

#include "core/save/prompts.h"
#include "core/document/lineendings.h"
#include "core/save/textcheck.h"
#include "gui/stretch.h"
#include "gui/twips.h"
#include "gui/widgets.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <limits>

namespace {

using namespace Widgets;

const QString EntryCaption = QStringLiteral("Enter Page Text Here");
const QString ListCaption = QStringLiteral("Page(s) List");
// Characters added to the list box in one go: a few milliseconds' work.
constexpr qsizetype ListedAtOnce = 256 * 1024;

} // namespace

BookPage::BookPage(Prompts &prompts, QWidget *parent)
    : EditorPage(prompts, parent)
{
    setObjectName(QStringLiteral("BooksTab"));

    Frame1 = frame("Frame1", QStringLiteral("Filename/BookName"), Twips::onPage(120, 480, 3015, 615), this);
    Bname = lineEdit("Bname", QString(), Twips::rect(120, 240, 2775, 285), Frame1);
    Frame3 = frame("Frame3", QStringLiteral("Place of Book. (Optional)"), Twips::onPage(3240, 480, 3015, 615), this);
    ComOpt = lineEdit("ComOpt", QString(), Twips::rect(120, 240, 2775, 285), Frame3);
    Frame6 = frame("Frame6", QStringLiteral("Edit Page"), Twips::onPage(6360, 480, 1815, 615), this);
    Pn = lineEdit("Pn", QString(), Twips::rect(120, 240, 495, 330), Frame6);
    Command3 = button("Command3", QStringLiteral("-"), Twips::rect(840, 240, 375, 270), Frame6);
    Command2 = button("Command2", QStringLiteral("+"), Twips::rect(1320, 240, 375, 270), Frame6);

    Label10 = wrappedLabel("Label10",
                           QStringLiteral("To edit a page click on the + or - then edit in the left window. "
                                          "Do NOT edit in Pages list window."),
                           // 1080 high, so that it ends above the page list's frame.
                           Twips::onPage(8280, 600, 1815, 1080), this);
    Label11 = label("Label11", QStringLiteral("Pages = 0"), Twips::onPage(120, 1200, 900, 255), this);

    Frame2 = frame("Frame2", EntryCaption, Twips::onPage(360, 1680, 4935, 3735), this);
    Page = textArea("Page", Twips::rect(120, 240, 4695, 3375), Frame2, true);
    Frame7 = frame("Frame7", ListCaption, Twips::onPage(5640, 1680, 4935, 3735), this);
    m_listBox = textArea("Bptxt", Twips::rect(120, 240, 4695, 3375), Frame7, true);
    m_entryBox = textArea("BptxtEntry", Twips::rect(120, 240, 4695, 3375), Frame7, true);
    m_entryBox->hide();
    Bptxt = m_listBox;
    m_list = m_listBox->document();
    // What is typed into the list box is never read back, and an undo history
    // of a large book's list would keep each replaced page in memory.
    m_list->setUndoRedoEnabled(false);
    m_listing = new QTimer(this);
    m_listing->setSingleShot(true);
    m_listing->setInterval(0);
    connect(m_listing, &QTimer::timeout, this, [this] { updatePageList(ListedAtOnce); });

    Apage = button("Apage", QStringLiteral("Add new Page"), Twips::onPage(360, 5520, 2175, 495), this);
    ApPage = button("ApPage", QStringLiteral("Append/Cancel"), Twips::onPage(3480, 5520, 1815, 495), this);
    ApPage->setEnabled(false);
    Rsetme = button("Rsetme", QStringLiteral("Reset Book"), Twips::onPage(6600, 5520, 1575, 495), this);
    SvBook = button("SvBook", QStringLiteral("Save"), Twips::onPage(9000, 5520, 1575, 495), this);

    // A larger window: the page box and the list box (both of its boxes)
    // share the growth side by side, the buttons stay below them.
    auto *stretch = new Stretcher(this);
    constexpr Stretch LeftHalf{0, 0, 0.5, 1};
    constexpr Stretch RightHalf{0.5, 0, 0.5, 1};
    for (QWidget *control : {static_cast<QWidget *>(Frame2), static_cast<QWidget *>(Page),
                             static_cast<QWidget *>(m_listBox), static_cast<QWidget *>(m_entryBox)})
        stretch->add(control, LeftHalf);
    stretch->add(Frame7, RightHalf);
    stretch->add(Label10, Stretches::KeepRight);
    stretch->add(Apage, Stretches::KeepBelow);
    stretch->add(ApPage, {0.5, 1, 0, 0});
    stretch->add(Rsetme, {0.5, 1, 0, 0});
    stretch->add(SvBook, Stretches::KeepBottomRight);

    connect(Apage, &QPushButton::clicked, this, &BookPage::Apage_Click);
    connect(Command2, &QPushButton::clicked, this, &BookPage::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &BookPage::Command3_Click);
    connect(ApPage, &QPushButton::clicked, this, &BookPage::ApPage_Click);
    connect(Rsetme, &QPushButton::clicked, this, &BookPage::Rsetme_Click);
    connect(ComOpt, &QLineEdit::textChanged, this, &BookPage::ComOpt_Change);
    connect(SvBook, &QPushButton::clicked, this, &BookPage::SvBook_Click);
}

void BookPage::Apage_Click()
{
    if (m_book.Pg.isFull()) {
        m_prompts.show({Prompts::Icon::Information, QStringLiteral("Page Limit."),
                        QStringLiteral(" Sorry 50 pages only!\nSave this Book and press Reset\nto create another.")});
        return;
    }
    m_book.Pg.append(BookFile::pageEntry(m_book.document, BookFile::nextPageNumber(m_book), storedText(Page)));
    Page->clear();
    showPageList();
    Pn->setText(QStringLiteral("0"));
    Label11->setText(QStringLiteral("Pages = %1").arg(m_book.PageCount()));
    const QString label = tr("Add page %1").arg(m_book.PageCount());
    if (holdsUnlaid() || !laysOver(m_book.document)) {
        storeBook(label);
        return;
    }
    // The book laid already: only the page added goes in, the rest shared with the step before.
    m_unlaid = !store(BookFile::withLastPage(m_book, document()->document(),
                                           codePage()),
                      label);
}

void BookPage::storeBook(const QString &label)
{
    m_unlaid = !store(label);
    if (!m_unlaid)
        m_placeLaid = placeWanted();
}

void BookPage::Command2_Click()
{
    showForEditing(+1, QStringLiteral("Edit this Page"));
}

void BookPage::Command3_Click()
{
    showForEditing(-1, QStringLiteral("Editing Page"));
}

void BookPage::showForEditing(int step, const QString &pageCaption)
{
    if (m_book.PageCount() == 0)
        return;
    Frame2->setTitle(pageCaption);
    Frame7->setTitle(QStringLiteral("Page being Edited"));
    Apage->setEnabled(false);
    const QString &entry = m_book.Pg.step(step);
    Pn->setText(QString::number(m_book.PageEditIndex()));
    showInListBox(m_entryBox);
    showStoredText(Bptxt, entry);
    showStoredText(Page, entry);
    ApPage->setEnabled(true);
}

void BookPage::ApPage_Click()
{
    const std::optional<int> slot = BookFile::slotFromText(Pn->text());
    if (!slot) {
        m_prompts.tell(tr("\"%1\" is not a page number.\nType a whole number from 0 to 49 into the "
                          "Edit Page box, then press Append/Cancel again.")
                           .arg(Pn->text()));
        return;
    }
    const bool changed = *slot < m_book.PageCount() && m_book.Pg.at(*slot) != storedText(Page);
    m_book.Pg.store(*slot, storedText(Page));
    leaveEditMode();
    if (changed)   // unchanged, the button serves as Cancel; a slot beyond the book is no part of the file
        storeBook(tr("Correct page %1").arg(*slot + 1));
}

void BookPage::leaveEditMode()
{
    Page->clear();
    Apage->setEnabled(true);
    ApPage->setEnabled(false);
    showPageList();
    Pn->setText(QStringLiteral("0"));
    Frame2->setTitle(EntryCaption);
    Frame7->setTitle(ListCaption);
}

void BookPage::load(const StrDocument &file, const QString &path)
{
    BookFile::load(m_book, file);
    const std::optional<BookFile::Location> location = BookFile::locationLine(file);
    Bname->setText(QFileInfo(path).completeBaseName());
    ComOpt->setText(location ? location->text : QString());
    m_book.BookLocationGiven = location.has_value();
    m_placeLaid = placeWanted();
    m_unlaid = false;
    Label11->setText(QStringLiteral("Pages = %1").arg(m_book.PageCount()));
    leaveEditMode();
}

void BookPage::showDocument(const StrDocument &file)
{
    // A place typed and not yet in the file stays; one as the file had it follows the file.
    const bool placeTyped = placeWanted() != m_placeLaid;
    BookFile::show(m_book, file);
    if (!placeTyped) {
        const std::optional<BookFile::Location> location = BookFile::locationLine(file);
        ComOpt->setText(location ? location->text : QString());
        m_book.BookLocationGiven = location.has_value();
        m_placeLaid = placeWanted();
    } else {
        const std::optional<BookFile::Location> location = BookFile::locationLine(file);
        m_placeLaid = location ? location->text : QString();
        m_book.BookLocationGiven = true;
    }
    m_unlaid = false;
    Label11->setText(QStringLiteral("Pages = %1").arg(m_book.PageCount()));
    if (!isEditing())   // the box being edited keeps what is typed there
        updatePageList(ListedAtOnce);
}

void BookPage::Rsetme_Click()
{
    if (!m_prompts.ask(Prompts::Icon::None, QStringLiteral("Reset Book"),
                       QStringLiteral("Are you sure you want to reset the book?"), Prompts::Button::Yes))
        return;
    Page->clear();
    m_book.Pg.reset();
    m_book.document = newFile();
    m_book.opened = false;
    m_book.BookLocationGiven = false;
    ComOpt->clear();   // sets the location mark again if the box held text
    Bptxt->clear();
    if (Bptxt == m_listBox) {
        m_listed.clear();
        m_listedLengths.clear();
        m_listing->stop();
        m_list->setModified(false);
    }
    Label11->setText(QStringLiteral("Pages = 0"));
    Bname->clear();
    ComOpt->clear();
    m_placeLaid.clear();
    m_unlaid = false;
    Q_EMIT startedAnew();
}

void BookPage::ComOpt_Change()
{
    m_book.BookLocationGiven = true;
}

void BookPage::SvBook_Click()
{
    if (ComOpt->text().isEmpty() && !Bname->text().isEmpty())
        m_book.BookLocationGiven = false;
    Q_EMIT saveRequested();
}

std::variant<QString, Error> BookPage::proposedName() const
{
    if (Bname->text().isEmpty())
        return Error{Error::Kind::Refused, QStringLiteral("You forgot to name your book!"), {}, {}};
    const QString suggestedName = BookFile::suggestedName(Bname->text());
    if (const std::optional<Error> reason = TextCheck::fileNameProblem(suggestedName)) {
        return Error{Error::Kind::Unwritable,
                     tr("The book name cannot be used as a file name: %1.\n\nChange the name in the "
                        "\"Filename/BookName\" box, then save again. Nothing was written.")
                         .arg(reason->message),
                     {}, {}};
    }
    return suggestedName;
}

std::variant<StrDocument, Error> BookPage::apply() const
{
    return BookFile::document(m_book, ComOpt->text(), codePage());
}

QString BookPage::placeWanted() const
{
    return m_book.BookLocationGiven ? ComOpt->text() : QString();
}

bool BookPage::holdsUnlaid() const
{
    return m_unlaid || placeWanted() != m_placeLaid;
}

void BookPage::markLaid()
{
    m_placeLaid = placeWanted();
    m_unlaid = false;
}

QStringList BookPage::unsavedWork() const
{
    QStringList work;
    if (documentModified() || holdsUnlaid())
        work.append(tr("the book"));
    if (const QString typed = unstoredWork(); !typed.isEmpty())
        work.append(typed);
    return work;
}

QString BookPage::unstoredWork() const
{
    if (isEditing()) {
        if (storedText(Page) != m_book.Pg.at(m_book.PageEditIndex()))
            return tr("the page being edited, not yet stored with \"Append/Cancel\"");
    } else if (!Page->document()->isEmpty()) {
        return tr("the page typed but not yet added with \"Add new Page\"");
    }
    return {};
}

QWidget *BookPage::unstoredBox() const
{
    return unstoredWork().isEmpty() ? nullptr : Page;
}

bool BookPage::isEditing() const
{
    return ApPage->isEnabled();
}

void BookPage::showInListBox(QPlainTextEdit *box)
{
    if (Bptxt == box)
        return;
    QPlainTextEdit *away = Bptxt;
    const bool focused = away->hasFocus();
    away->setObjectName(away == m_listBox ? QStringLiteral("BptxtList") : QStringLiteral("BptxtEntry"));
    box->setObjectName(QStringLiteral("Bptxt"));
    Bptxt = box;
    box->show();
    away->hide();
    if (focused)
        box->setFocus();
}

void BookPage::showPageList()
{
    showInListBox(m_listBox);
    updatePageList(ListedAtOnce);
}

// Only the entries that changed are written anew, unless the author typed
// into the list, which is then written whole.
void BookPage::updatePageList(qsizetype budget)
{
    const QStringList entries = m_book.Pg.entries();
    if (m_list->isModified() || entries.size() < m_listed.size()) {
        m_listBox->clear();
        m_listed.clear();
        m_listedLengths.clear();
    }
    QTextCursor cursor(m_list);
    qsizetype position = 0;
    for (qsizetype slot = 0; slot < m_listed.size(); ++slot) {
        if (entries.at(slot) != m_listed.at(slot)) {
            const QString shown = LineEndings::toLf(entries.at(slot)) + u'\n';
            cursor.setPosition(static_cast<int>(position));
            cursor.setPosition(static_cast<int>(position + m_listedLengths.at(slot)), QTextCursor::KeepAnchor);
            cursor.insertText(shown);
            m_listed[slot] = entries.at(slot);
            m_listedLengths[slot] = shown.size();
        }
        position += m_listedLengths.at(slot);
    }
    QString added;
    while (m_listed.size() < entries.size() && added.size() < budget) {
        const QString shown = LineEndings::toLf(entries.at(m_listed.size())) + u'\n';
        added += shown;
        m_listed.append(entries.at(m_listed.size()));
        m_listedLengths.append(shown.size());
    }
    if (!added.isEmpty()) {
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(added);
    }
    m_list->setModified(false);
    if (m_listed.size() < entries.size())
        m_listing->start();
    else
        m_listing->stop();
}

QVariantMap BookPage::draft() const
{
    QStringList boxes{QStringLiteral("Bname"), QStringLiteral("ComOpt"), QStringLiteral("Pn"), QStringLiteral("Page")};
    // The list box is kept when it holds more than the list made from the slots.
    if (Bptxt != m_listBox || m_list->isModified())
        boxes.append(QStringLiteral("Bptxt"));
    QVariantMap draft = boxTexts(boxes);
    m_editor.draft(draft, isEditing());
    draft.insert(QStringLiteral("locationGiven"), m_book.BookLocationGiven);
    draft.insert(QStringLiteral("Frame2"), Frame2->title());
    draft.insert(QStringLiteral("Frame7"), Frame7->title());
    return draft;
}

void BookPage::restore(const QJsonObject &draft)
{
    m_editor.restoreSlots(draft);
    showInListBox(draft.value(QStringLiteral("editing")).toBool() ? m_entryBox : m_listBox);
    restoreBoxTexts(draft, {QStringLiteral("Bname"), QStringLiteral("ComOpt"), QStringLiteral("Pn"),
                            QStringLiteral("Page"), QStringLiteral("Bptxt")});
    m_list->setModified(true);   // what it shows is not known: written whole next time
    m_book.BookLocationGiven = draft.value(QStringLiteral("locationGiven")).toBool();
    const bool editing = draft.value(QStringLiteral("editing")).toBool();
    if (!editing && !draft.contains(QStringLiteral("Bptxt")))
        updatePageList(ListedAtOnce);   // the list, as the slots make it
    Apage->setEnabled(!editing);
    ApPage->setEnabled(editing);
    Frame2->setTitle(draft.value(QStringLiteral("Frame2")).toString(EntryCaption));
    Frame7->setTitle(draft.value(QStringLiteral("Frame7")).toString(ListCaption));
    Label11->setText(QStringLiteral("Pages = %1").arg(m_book.PageCount()));
    m_editor.restoreFile(draft);
    const std::optional<BookFile::Location> location = BookFile::locationLine(m_book.document);
    m_placeLaid = location ? location->text : QString();
    m_unlaid = true;   // until laid into its file
}

void BookPage::showEntry(int entry)
{
    if (isEditing())
        return;   // the box shows the slot being edited
    updatePageList(std::numeric_limits<qsizetype>::max());   // all of the list, to find the entry in it
    m_editor.showEntry(Bptxt, entry);
}
