#include "missionfiles/missflagpage.h"

#include "app/twips.h"
#include "app/widgets.h"
#include "missionfiles/missflagfile.h"
#include "output/prompts.h"
#include "output/savepath.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Widgets;

MissflagPage::MissflagPage(Prompts &prompts, SavePath &savePath, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
    , m_savePath(savePath)
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
    m_savePath.save(MissflagFile::FileName, MissflagFile::sources(number, briefing),
                    MissflagFile::lines(number, mission.skipLines, briefing));
}

