#include "gui/missflagpage.h"

#include "gui/twips.h"
#include "gui/widgets.h"
#include "core/missflagfile.h"
#include "core/prompts.h"
#include "core/saveflow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Widgets;

MissflagPage::MissflagPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent)
    : FormPage(parent)
    , m_prompts(prompts)
    , m_saveFlow(saveFlow)
{
    setObjectName(QStringLiteral("MissflagTab"));
    Mlbl = label("Mlbl", QStringLiteral("Mission No."), Twips::onPage(720, 1500, 1155, 255), this);
    Mnum = lineEdit("Mnum", QStringLiteral("20"), Twips::onPage(2160, 1500, 735, 375), this);
    Mnlbl = label("Mnlbl", QStringLiteral("Enter your Miss No."), Twips::onPage(3000, 1620, 2055, 255), this);
    Brlbl = label("Brlbl", QStringLiteral("Briefing No."), Twips::onPage(720, 2820, 1185, 255), this);
    Bno = lineEdit("Bno", QStringLiteral("no_briefing"), Twips::onPage(2160, 2820, 2895, 375), this);
    br2lbl = label("br2lbl", QStringLiteral("Only change this if you have a briefing!"),
                   Twips::onPage(5160, 2940, 4095, 255), this);
    Mlbl->setBuddy(Mnum);
    Mnum->setAccessibleDescription(Mnlbl->text());
    Brlbl->setBuddy(Bno);
    Bno->setAccessibleDescription(br2lbl->text());
    Cmf = button("Cmf", QStringLiteral("Create Missflag . str"), Twips::onPage(3240, 4980, 2775, 735), this);
    connect(Cmf, &QPushButton::clicked, this, &MissflagPage::Cmf_Click);
    setBoxes({Mnum, Bno}, tr("the mission number and briefing flag on the Missflag tab"));
}

void MissflagPage::Cmf_Click()
{
    const QString number = Mnum->text();
    const MissflagFile::MissionNumber mission = MissflagFile::readMissionNumber(number);
    switch (mission.reading) {
    case MissflagFile::Reading::NotANumber:
        m_prompts.tell(tr("The mission number must be a number, such as 20."));
        return;
    case MissflagFile::Reading::AboveHighest:
        m_prompts.tell(tr("The mission number can be at most %1: missflag.str gets a skip line "
                          "for every mission number below yours.")
                           .arg(MissflagFile::HighestMissionNumber));
        return;
    case MissflagFile::Reading::Accepted:
        break;
    }
    const QString briefing = Bno->text();
    if (m_saveFlow.save(MissflagFile::FileName, MissflagFile::content(number, mission.skipLines, briefing)))
        markSaved();
}

void MissflagPage::load(const StrReader::Result &file, const QString &)
{
    fill({file.missflag.number, file.missflag.briefing});
}
