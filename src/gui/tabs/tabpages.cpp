#include "gui/tabs/tabpages.h"

#include "gui/fonts.h"
#include "gui/mainwindow.h"
#include "gui/stretch.h"
#include "gui/tabs/aboutpage.h"
#include "gui/tabs/bookpage.h"
#include "gui/tabs/goalspage.h"
#include "gui/tabs/missflagpage.h"
#include "gui/tabs/newgamepage.h"
#include "gui/tabs/stringspage.h"
#include "gui/tabs/titlespage.h"
#include "gui/twips.h"
#include "gui/widgets.h"

#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

namespace {

void addPages(Qwr &window, QTabWidget *tabs, Prompts &prompts)
{
    window.books = new BookPage(prompts);
    window.goals = new GoalsPage(prompts);
    window.newgame = new NewgamePage(prompts);
    window.missflag = new MissflagPage(prompts);
    window.titles = new TitlesPage(prompts);
    window.about = new AboutPage;
    window.strings = new StringsPage(prompts, &window);
    window.strings->hide();
    QObject::connect(window.strings, &StringsPage::closeRequested, &window, [&window] {
        if (window.mayDiscard(window.strings->unsavedWork(), Qwr::tr("Close the table")))
            window.showStringsTab(false);
    });
    tabs->addTab(window.books, Qwr::tr("Books"));
    tabs->addTab(window.goals, Qwr::tr("Goals"));
    tabs->addTab(window.newgame, Qwr::tr("Newgame"));
    tabs->addTab(window.missflag, Qwr::tr("Missflag"));
    tabs->addTab(window.titles, Qwr::tr("Titles"));
    tabs->addTab(window.about, Qwr::tr("About"));
    tabs->setCurrentIndex(0);
    MissflagPage *missflag = window.missflag;
    TitlesPage *titles = window.titles;
    const auto compareCampaigns = [missflag, titles] {
        missflag->setOtherMissions(titles->campaignMissions());
        titles->setOtherMissions(missflag->campaignMissions());
    };
    QObject::connect(missflag, &CampaignPage::missionsChanged, &window, compareCampaigns);
    QObject::connect(titles, &CampaignPage::missionsChanged, &window, compareCampaigns);
    for (int i = 0; i < tabs->count(); ++i)
        Widgets::fitTexts(tabs->widget(i), tabs->width() - 4);
    for (EditorPage *page : window.findChildren<EditorPage *>())
        page->emitChangesOfBoxes();
}

} // namespace

void makeTabPages(Qwr &window, Prompts &prompts)
{
    // Laid out for one size, at which every control stands where it always
    // stood; the tabs and their boxes grow with the window beyond it.
    auto *client = new QWidget;
    client->setObjectName(QStringLiteral("client"));
    client->resize(Twips::toPixels(11010), Twips::toPixels(6945));
    auto *area = new GrowingArea(client, client->size(), &window);
    area->setObjectName(QStringLiteral("clientArea"));
    window.setCentralWidget(area);
    auto *stretch = new Stretcher(client);
    QTabWidget *tabs = window.Tab1 = new QTabWidget(client);
    tabs->setObjectName(QStringLiteral("Tab1"));
    tabs->setGeometry(0, 0, client->width(), Twips::toPixels(6375));
    tabs->tabBar()->setFont(Fonts::named(Fonts::ComicSans, 9.75));
    tabs->setUsesScrollButtons(false);
    addPages(window, tabs, prompts);

    window.Command1 = new QPushButton(Qwr::tr("Close"), client);
    window.Command1->setObjectName(QStringLiteral("Command1"));
    window.Command1->setGeometry(Twips::rect(4080, 6480, 975, 375));
    QObject::connect(window.Command1, &QPushButton::clicked, &window, &Qwr::Command1_Click);
    QWidget::setTabOrder(window.Command1, tabs);
    stretch->add(tabs, Stretches::Grow);
    stretch->add(window.Command1, Stretches::KeepBelow);
    for (QWidget *page : std::initializer_list<QWidget *>{window.books, window.goals, window.missflag, window.titles,
                                                          window.strings})
        stretch->addPage(page);
    QObject::connect(area, &GrowingArea::grown, stretch, &Stretcher::setGrowth);

    // Ctrl+Tab and Ctrl+Shift+Tab on Windows and Linux, the "Close" button included.
    const auto switchTab = [tabs](int step) {
        tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
    };
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::NextChild))
        QObject::connect(new QShortcut(keys, &window), &QShortcut::activated, &window, [switchTab] { switchTab(+1); });
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::PreviousChild))
        QObject::connect(new QShortcut(keys, &window), &QShortcut::activated, &window, [switchTab] { switchTab(-1); });
}
