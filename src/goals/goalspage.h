#pragma once

#include "output/savedlines.h"

#include <QStringList>
#include <QWidget>

class GoalsState;
class Prompts;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class SavePath;

// The Goals tab: adds goals (a fiction text and a text each) up to twelve,
// steps through the slots with "-" and "+" to rewrite an entry, resets the
// list and saves goals.str.
class GoalsPage : public QWidget
{
    Q_OBJECT

public:
    GoalsPage(GoalsState &goals, Prompts &prompts, SavePath &savePath, QWidget *parent = nullptr);

    // True when the goals.str lines differ from those last saved (an empty
    // list has nothing to lose).
    bool hasUnsavedWork() const;

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

    GoalsState &m_goals;
    Prompts &m_prompts;
    SavePath &m_savePath;
    SavedLines m_saved;
};
