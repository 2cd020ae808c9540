#pragma once

#include "core/kinds/goals.h"
#include "gui/tabs/editorpage.h"
#include "gui/tabs/slotlisteditor.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The Goals tab: adds goals (a fiction text and a text each) up to twelve,
// steps through the slots with "-" and "+" to rewrite an entry, resets the
// list and saves goals.str. A goal added or rewritten is at once a step of
// the file's undo.
class GoalsPage : public EditorPage
{
    Q_OBJECT

public:
    explicit GoalsPage(Prompts &prompts, QWidget *parent = nullptr);

    // goals.str differs from the one last saved, a goal is typed but not
    // added, or a goal being edited differs from its stored entry.
    QStringList unsavedWork() const override;
    QString unstoredWork() const override;
    QWidget *unstoredBox() const override;

    StrReader::Kind kind() const override { return StrReader::Kind::Goals; }
    void showDocument(const StrDocument &file) override;
    void load(const StrDocument &file, const QString &path) override;
    std::variant<StrDocument, Error> apply() const override;
    std::variant<QString, Error> proposedName() const override;
    bool holdsUnlaid() const override { return m_unlaid; }
    void markLaid() override { m_unlaid = false; }
    void showEntry(int entry) override;
    QVariantMap draft() const override;
    void restore(const QJsonObject &draft) override;

    const GoalsState &state() const { return m_goals; }

    QGroupBox *Frame4 = nullptr;
    QPlainTextEdit *Gfict = nullptr;
    QGroupBox *Frame5 = nullptr;
    QPlainTextEdit *Gtxt = nullptr;
    QPushButton *Agoal = nullptr;
    QPushButton *Rgoals = nullptr;
    QPushButton *Sgoals = nullptr;
    QLabel *Glbl = nullptr;
    QPushButton *Edit = nullptr;
    QPushButton *Minus = nullptr;
    QPushButton *Plus = nullptr;
    QGroupBox *Frame8 = nullptr;
    QPlainTextEdit *Goaltxt = nullptr;
    QPushButton *EGoal = nullptr;

public Q_SLOTS:
    void Agoal_Click();
    void Rgoals_Click();
    void Edit_Click();
    void Minus_Click();
    void Plus_Click();
    void EGoal_Click();
    void Sgoals_Click();

private:
    void setEditMode(bool editing);
    void showGoalList();
    bool isEditing() const;

    GoalsState m_goals;
    SlotListEditor m_editor{m_goals.GoalList, m_goals.document, m_goals.opened, QStringLiteral("editPos")};
    bool m_unlaid = false;   // goals stored that the file could not take
};
