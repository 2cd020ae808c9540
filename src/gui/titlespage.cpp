#include "gui/titlespage.h"

#include "gui/twips.h"
#include "gui/widgets.h"
#include "core/prompts.h"
#include "core/saveflow.h"
#include "core/titlesfile.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Widgets;

TitlesPage::TitlesPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent)
    : FormPage(parent)
    , m_prompts(prompts)
    , m_saveFlow(saveFlow)
{
    setObjectName(QStringLiteral("TitlesTab"));
    Mn2lbl = label("Mn2lbl", QStringLiteral("Mission No."), Twips::onPage(1560, 1860, 1335, 255), this);
    Mn2 = lineEdit("Mn2", QString(), Twips::onPage(3600, 1860, 735, 375), this);
    Label5 = wrappedLabel("Label5", QStringLiteral("Please ensure this is the same Number and Title as your mission!"),
                          Twips::onPage(4920, 1860, 3735, 495), this);
    Mt2lbl = label("Mt2lbl", QStringLiteral("Mission Title"), Twips::onPage(1560, 2940, 1455, 255), this);
    Mt2 = lineEdit("Mt2", QString(), Twips::onPage(3600, 2940, 2535, 375), this);
    Mn2lbl->setBuddy(Mn2);
    Mt2lbl->setBuddy(Mt2);
    Mn2->setAccessibleDescription(Label5->text());
    Titles = button("Titles", QStringLiteral("Create Titles . str"), Twips::onPage(3480, 4620, 2655, 735), this);
    connect(Titles, &QPushButton::clicked, this, &TitlesPage::Titles_Click);
    setBoxes({Mn2, Mt2}, tr("the mission number and title on the Titles tab"));
}

void TitlesPage::Titles_Click()
{
    // Only a box with no character at all counts as empty; blanks are written.
    if (Mn2->text().isEmpty()) {
        m_prompts.tell(QStringLiteral("You forgot the Mission No.!"));
        return;
    }
    if (Mt2->text().isEmpty()) {
        m_prompts.tell(QStringLiteral("You forgot the Mission Title!"));
        return;
    }
    if (m_saveFlow.save(TitlesFile::FileName, TitlesFile::content(Mn2->text(), Mt2->text())))
        markSaved();
}

void TitlesPage::load(const StrReader::Result &file, const QString &)
{
    fill({file.titles.number, file.titles.title});
}
