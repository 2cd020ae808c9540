#pragma once

#include "core/titlesfile.h"
#include "gui/formpage.h"
#include "gui/openedmissions.h"

class Prompts;
class QComboBox;
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
    QStringList unsavedWork() const override;
    QJsonObject draft() const override;
    void restore(const QJsonObject &draft) override;

    QLabel *Mn2lbl = nullptr;
    QLineEdit *Mn2 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Mt2lbl = nullptr;
    QLineEdit *Mt2 = nullptr;
    QPushButton *Titles = nullptr;

    QComboBox *titleChoice = nullptr;   // the mission the boxes edit, when the file holds several

public Q_SLOTS:
    void Titles_Click();

private:
    bool keepEdit();
    void showMission(int entry);
    void showChoices();

    Prompts &m_prompts;
    SaveFlow &m_saveFlow;
    OpenedMissions m_file;
    TitlesFile::Mission m_shown;   // the mission shown, as the boxes were filled from it
};
