#pragma once

#include "gui/formpage.h"

class Prompts;
class QLabel;
class QLineEdit;
class QPushButton;
class SaveFlow;

// The Titles tab: a mission number and title, written to Titles.str once
// neither box is empty.
class TitlesPage : public FormPage
{
    Q_OBJECT

public:
    TitlesPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent = nullptr);

    StrReader::Kind kind() const override { return StrReader::Kind::Titles; }
    void load(const StrReader::Result &file, const QString &path) override;

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
    SaveFlow &m_saveFlow;
};
