#pragma once

#include "gui/tabs/editorpage.h"

class QLineEdit;

// A tab that writes its whole file from a few one-line boxes at one press
// (Newgame, Missflag, Titles). The boxes are part of the file: they are laid
// into its document when it is saved. Its work is unsaved while the boxes
// differ from what the file holds (or, at the start, from how they started),
// or the file differs from the one last saved.
class FormPage : public EditorPage
{
    Q_OBJECT

public:
    using EditorPage::EditorPage;

    QStringList unsavedWork() const override;
    bool holdsUnlaid() const override { return texts() != m_shown; }
    void markLaid() override { m_shown = texts(); }
    QVariantMap draft() const override;
    void restore(const QJsonObject &draft) override;

protected:
    // The boxes, once made, and the words that name them in the close question.
    void setBoxes(const QList<QLineEdit *> &boxes, const QString &workWords);
    // Fills the boxes, in their order, with a file's texts; they count as the file's.
    void fill(const QStringList &texts);
    // Shows a file's texts: a box typed into since it was filled or laid
    // keeps what it holds.
    void follow(const QStringList &texts);
    QStringList texts() const;

private:
    QStringList names() const;

    QList<QLineEdit *> m_boxes;
    QStringList m_shown;   // the boxes as the file holds them
    QString m_workWords;
};
