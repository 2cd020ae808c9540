#pragma once

#include "core/kinds/strreader.h"

#include <QJsonObject>
#include <QVariantMap>
#include <QStringList>
#include <QWidget>

class QAbstractButton;

// A tab page that edits one kind of file. The main window treats every such
// page alike: it asks each what closing would lose, and hands a file read
// back to the page of its kind.
class EditorPage : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // What closing now would lose, each named in a few words for the close
    // question ("the book", "the page typed but not yet added"); empty when
    // nothing would be lost.
    virtual QStringList unsavedWork() const = 0;

    // The kind of file the page writes.
    virtual StrReader::Kind kind() const = 0;

    // Fills the page from a file of its kind read from `path`, leaving any
    // edit mode; the page then counts as saved.
    virtual void load(const StrReader::Result &file, const QString &path) = 0;

    // The button that saves the page's file (with the save dialog, or in
    // place when the save flow is told so).
    virtual QAbstractButton *saveButton() const = 0;

    // Shows the entry `entry` of the file loaded, as a find result does.
    virtual void showEntry(int entry) { Q_UNUSED(entry); }

    // The file loaded was changed on opening (repaired): it counts as unsaved.
    virtual void markChanged() = 0;

    // Everything the page holds, for a draft: every box, the stored entries,
    // the mode and the captions that tell it.
    virtual QVariantMap draft() const = 0;

    // Puts back what draft() kept, exactly; the page then counts as unsaved
    // wherever it differs from its start.
    virtual void restore(const QJsonObject &draft) = 0;

    // Every box typed into and every button pressed tells of a change
    // (once the page's controls are made).
    void emitChangesOfBoxes();

Q_SIGNALS:
    // What the page holds may have changed: a box typed into, a button
    // pressed, a table edited in place.
    void changed();
    // An entry was stored with the page's buttons (a page added, a goal
    // edited): the file it edits takes it at once.
    void entryStored();
    // The page was emptied to start a new file: it no longer edits the one
    // it was opened from or saved to.
    void startedAnew();

protected:
    // The texts of the named line edits and multi-line boxes of the page.
    QVariantMap boxTexts(const QStringList &names) const;
    void restoreBoxTexts(const QJsonObject &draft, const QStringList &names);
};
