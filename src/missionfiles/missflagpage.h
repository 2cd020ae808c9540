#pragma once

#include <QWidget>

class Prompts;
class QLabel;
class QLineEdit;
class QPushButton;
class SavePath;

// The Missflag tab: the author's mission number and briefing flag, written to
// missflag.str with a skip line for every mission number below it.
class MissflagPage : public QWidget
{
    Q_OBJECT

public:
    MissflagPage(Prompts &prompts, SavePath &savePath, QWidget *parent = nullptr);

    QLabel *Mlbl = nullptr;
    QLineEdit *Mnum = nullptr;
    QLabel *Mnlbl = nullptr;
    QLabel *Brlbl = nullptr;
    QLineEdit *Bno = nullptr;
    QLabel *br2lbl = nullptr;
    QPushButton *Cmf = nullptr;

public Q_SLOTS:
    void Cmf_Click();

private:
    Prompts &m_prompts;
    SavePath &m_savePath;
};
