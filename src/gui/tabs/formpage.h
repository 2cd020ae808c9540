#pragma once

#include "gui/tabs/editorpage.h"

class QLineEdit;

// A tab that writes its whole file from a few one-line boxes at one press and
// keeps nothing else (Newgame, Missflag, Titles). Its work is unsaved while
// the boxes differ from what was last saved or opened, or from how they started.
class FormPage : public EditorPage
{
    Q_OBJECT

public:
    using EditorPage::EditorPage;

    QStringList unsavedWork() const override;
    void markChanged() override { m_saved = {QStringLiteral("\uFFFF")}; }
    QVariantMap draft() const override;
    void restore(const QJsonObject &draft) override;

protected:
    // The boxes, once made, and the words that name them in the close question.
    void setBoxes(const QList<QLineEdit *> &boxes, const QString &workWords);
    // The boxes as they are now count as saved.
    void markSaved();
    // Fills the boxes, in their order, with a file's texts; they count as saved.
    void fill(const QStringList &texts);

private:
    QStringList texts() const;
    QStringList names() const;

    QList<QLineEdit *> m_boxes;
    QStringList m_saved;
    QString m_workWords;
};
