#pragma once

#include "gui/formpage.h"

class Prompts;
class QLabel;
class QLineEdit;
class QPushButton;
class SaveFlow;

// The Missflag tab: the author's mission number and briefing flag, written to
// missflag.str with a skip line for every mission number below it.
class MissflagPage : public FormPage
{
    Q_OBJECT

public:
    MissflagPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent = nullptr);

    StrReader::Kind kind() const override { return StrReader::Kind::Missflag; }
    void load(const StrReader::Result &file, const QString &path) override;

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
    SaveFlow &m_saveFlow;
};
