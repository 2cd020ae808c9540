#pragma once

#include <QWidget>

class Prompts;
class QLabel;
class QLineEdit;
class QPushButton;
class SavePath;

// The Titles tab: a mission number and title, written to Titles.str once
// neither box is empty.
class TitlesPage : public QWidget
{
    Q_OBJECT

public:
    TitlesPage(Prompts &prompts, SavePath &savePath, QWidget *parent = nullptr);

    QLabel *Mn2lbl = nullptr;
    QLineEdit *Mn2 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Mt2lbl = nullptr;
    QLineEdit *Mt2 = nullptr;
    QPushButton *Titles = nullptr;

public Q_SLOTS:
    void Titles_Click();

private:
    Prompts &m_prompts;
    SavePath &m_savePath;
};
