#include "gui/tabs/aboutpage.h"

#include "core/app/credits.h"
#include "gui/fonts.h"
#include "gui/twips.h"
#include "gui/widgets.h"

#include <QLabel>

using Widgets::wrappedLabel;

AboutPage::AboutPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("AboutTab"));
    Abtlbl = wrappedLabel("Abtlbl", QString(), Twips::onPage(1200, 840, 6975, 375), this);
    Abtlbl->setFont(Fonts::named(Fonts::Carleton, 12));
    Line2 = Widgets::rule("Line2", {360, 1440}, {9120, 1440}, 2, this);
    Label6 = wrappedLabel("Label6", QStringLiteral("Create Books, Goals, Newgame, Titles and Missflag."),
                       Twips::onPage(1920, 1680, 5610, 345), this);
    Label6->setFont(Fonts::named(Fonts::ComicSans, 12));
    Label7 = wrappedLabel("Label7",
                       QStringLiteral("This App should allow you to create these files easily, If you have "
                                      "any problems with it then feel free to email me."),
                       Twips::onPage(1680, 3000, 6225, 615), this);
    Label8 = wrappedLabel("Label8", Credits::DistributionNotice, Twips::onPage(1680, 3840, 6375, 1095), this);
    Label9 = wrappedLabel("Label9", Credits::ContactLine, Twips::onPage(1440, 5640, 6495, 375), this);
    Label9->setFont(Fonts::named(Fonts::ComicSans, 9.75));
}

void AboutPage::setVersionText(const QString &versionText)
{
    Abtlbl->setText(QLatin1String("Quillwright ") + Credits::CreditText + QLatin1String(". - Version ")
                    + versionText);
}
