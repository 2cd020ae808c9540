#pragma once

#include "core/document/error.h"
#include "core/kinds/strreader.h"
#include "core/mission/workspace.h"

#include <QJsonObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

#include <variant>

class Prompts;
class WorkspaceDocument;

// A tab page that edits one file: one document the mission workspace holds
// (a document of no file yet, its kind's template, when nothing was opened).
// The page shows the document and hands its edits back:
//  - showDocument() shows the file as it is now (after undo, a replacement,
//    a reload): the stored entries and the form's boxes, while text typed
//    and not yet stored stays where it is;
//  - apply() lays the page's stored state over the document it shows: what
//    its save writes, or the refusal the caller shows once.
// Storing with the tab's buttons (store()) makes that one step of the
// document's undo. The page never saves: its own save button asks for it
// (saveRequested), and whoever saves lays and writes the document.
class EditorPage : public QWidget
{
    Q_OBJECT

public:
    explicit EditorPage(Prompts &prompts, QWidget *parent = nullptr);
    ~EditorPage() override;

    // The kind of file the page edits.
    virtual StrReader::Kind kind() const = 0;
    // What a tab with nothing opened edits: a new file of its kind.
    virtual StrDocument newFile() const;

    // The document the page edits.
    WorkspaceDocument *document() const { return m_document; }
    // How a page takes a document to edit.
    enum class Taking {
        Opened,   // a file read into the tab: the page starts afresh on it
        Shown,    // shown as it stands; text typed and not yet stored stays
        Kept,     // the page keeps what it holds (put back from a draft, or saved there)
    };
    void setDocument(WorkspaceDocument *document, Taking taking);

    // Shows `file` (without edits: the document as it would be written).
    virtual void showDocument(const StrDocument &file) = 0;
    // Starts afresh on `file`, read from `path`: any edit mode left, every box filled from it.
    virtual void load(const StrDocument &file, const QString &path) = 0;
    // The page's stored state laid over the document it shows (the file as
    // showDocument() or load() last had it, its own edits laid again): what
    // its save writes. Or why it cannot be written (Error::Kind::Refused:
    // input missing, told as the program's plain message; otherwise a warning).
    virtual std::variant<StrDocument, Error> apply() const = 0;
    // The name the tab's own save proposes for a file of its own ("Diary.str",
    // "goals.str"), or why the tab cannot save at all (no book name).
    virtual std::variant<QString, Error> proposedName() const = 0;
    // Whether the page holds what its document does not: boxes typed into
    // that are part of the file, or an entry stored that could not be laid.
    virtual bool holdsUnlaid() const = 0;
    // The document counts as saved as the page shows it now (a form's boxes).
    virtual void markLaid() {}

    // What closing now would lose, each named in a few words for the close
    // question ("the book", "the page typed but not yet added"); empty when
    // nothing would be lost.
    virtual QStringList unsavedWork() const = 0;
    // Of that, text typed into a box and not yet stored, which no file holds
    // and no save writes (a page typed but not yet added, an open
    // correction): its words as unsavedWork() gives them ("" when none), and
    // the box it is typed in.
    virtual QString unstoredWork() const { return {}; }
    virtual QWidget *unstoredBox() const { return nullptr; }

    // Shows the entry `entry` of the file shown, as a find result does.
    virtual void showEntry(int entry) { Q_UNUSED(entry); }

    // Everything the page holds, for a draft: every box, the stored entries,
    // the mode and the captions that tell it.
    virtual QVariantMap draft() const = 0;
    // Puts back what draft() kept, exactly.
    virtual void restore(const QJsonObject &draft) = 0;

    // Every box typed into and every button pressed tells of a change
    // (once the page's controls are made).
    void emitChangesOfBoxes();

Q_SIGNALS:
    // What the page holds may have changed: a box typed into, a button
    // pressed, a table edited in place, its document changed.
    void changed();
    // The tab's own save button was pressed.
    void saveRequested();
    // The page was emptied to start a new file: it edits one of no file now.
    void startedAnew();

protected:
    // The page's stored state laid into its document as one step of undo
    // called `label`. False when apply() refuses it: the page then holds it
    // (holdsUnlaid()), and saving refuses it with its message.
    bool store(const QString &label);
    // The same when the page has `laid`, its stored state laid over its
    // document as it stands: kept as the step `label`, or held (false).
    bool store(const std::variant<StrDocument, Error> &laid, const QString &label);
    // Whether the page's document is `base` with the page's own edits laid
    // over it, and nothing else: no other view changed it since.
    bool laysOver(const StrDocument &base) const;
    // Whether the page's document is changed since it was last saved.
    bool documentModified() const;
    // The code page the page's document is written in.
    int codePage() const;
    // The texts of the named line edits and multi-line boxes of the page.
    QVariantMap boxTexts(const QStringList &names) const;
    void restoreBoxTexts(const QJsonObject &draft, const QStringList &names);

    Prompts &m_prompts;

private:
    void documentChanged(const QObject *origin);

    QPointer<WorkspaceDocument> m_document;
};
