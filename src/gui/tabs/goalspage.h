#pragma once

#include "core/kinds/goals.h"
#include "gui/tabs/editorpage.h"
#include "gui/tabs/slotlisteditor.h"

class Prompts;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class SaveFlow;

// The Goals tab: adds goals (a fiction text and a text each) up to twelve,
// steps through the slots with "-" and "+" to rewrite an entry, resets the
// list and saves goals.str.
class GoalsPage : public EditorPage
{
    Q_OBJECT

public:
    GoalsPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent = nullptr);

    // goals.str would differ from the one last saved (an empty list has
    // nothing to lose), a goal is typed but not added, or a goal being edited
    // differs from its stored entry.
    QStringList unsavedWork() const override;

    StrReader::Kind kind() const override { return StrReader::Kind::Goals; }

    QAbstractButton *saveButton() const override;
    void load(const StrReader::Result &file, const QString &path) override;
    void showEntry(int entry) override;
    void markChanged() override { m_savedGoals = {QStringLiteral("\uFFFF")}; }
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
    Prompts &m_prompts;
    SaveFlow &m_saveFlow;
    QStringList m_savedGoals;   // what the last save wrote; nothing at the start
};
