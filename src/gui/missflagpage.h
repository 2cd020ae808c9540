#pragma once

#include "core/missflagfile.h"
#include "gui/formpage.h"
#include "gui/openedmissions.h"

class Prompts;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SaveFlow;

// The Missflag tab: the author's mission number and briefing flag, written to
// missflag.str with a skip line for every mission number below it. An opened
// file keeps its other lines; when it holds several missions, `missionChoice`
// picks the one the boxes edit.
class MissflagPage : public FormPage
{
    Q_OBJECT

public:
    MissflagPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent = nullptr);

    StrReader::Kind kind() const override { return StrReader::Kind::Missflag; }
    void load(const StrReader::Result &file, const QString &path) override;
    QStringList unsavedWork() const override;
    QJsonObject draft() const override;
    void restore(const QJsonObject &draft) override;

    QLabel *Mlbl = nullptr;
    QLineEdit *Mnum = nullptr;
    QLabel *Mnlbl = nullptr;
    QLabel *Brlbl = nullptr;
    QLineEdit *Bno = nullptr;
    QLabel *br2lbl = nullptr;
    QPushButton *Cmf = nullptr;
    QComboBox *missionChoice = nullptr;

public Q_SLOTS:
    void Cmf_Click();

private:
    // The boxes' edit of the mission shown, made part of the document.
    bool keepEdit();
    void showMission(int entry);
    void showChoices();

    Prompts &m_prompts;
    SaveFlow &m_saveFlow;
    OpenedMissions m_file;
    MissflagFile::Mission m_shown;   // the mission shown, as the boxes were filled from it
};
