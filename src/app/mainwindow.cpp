#include "app/mainwindow.h"

#include "app/aboutpage.h"
#include "app/artwork.h"
#include "app/credits.h"
#include "app/fonts.h"
#include "app/twips.h"
#include "app/version.h"
#include "app/widgets.h"
#include "app/windowplacement.h"
#include "book/bookpage.h"
#include "goals/goalspage.h"
#include "missionfiles/missflagpage.h"
#include "missionfiles/newgamepage.h"
#include "missionfiles/titlespage.h"
#include "output/prompts.h"
#include "output/savepath.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

Qwr::Qwr(Prompts *prompts, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Qwr"));
    if (!prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        prompts = m_ownPrompts.get();
    }
    m_prompts = prompts;
    m_savePath = std::make_unique<SavePath>(*m_prompts);

    setFont(Fonts::windowDefault());

    MyMNU = menuBar()->addMenu(tr("File"));
    MyMNU->setObjectName(QStringLiteral("MyMNU"));
    abtme = MyMNU->addAction(tr("About"), this, &Qwr::abtme_Click);
    abtme->setObjectName(QStringLiteral("abtme"));
    qtnow = MyMNU->addAction(tr("Quit"), this, &Qwr::qtnow_Click);
    qtnow->setObjectName(QStringLiteral("qtnow"));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    const QSize clientSize(Twips::toPixels(11010), Twips::toPixels(6945));
    client->setFixedSize(clientSize);
    setCentralWidget(client);

    Tab1 = new QTabWidget(client);
    Tab1->setObjectName(QStringLiteral("Tab1"));
    Tab1->setGeometry(0, 0, clientSize.width(), Twips::toPixels(6375));
    Tab1->tabBar()->setFont(Fonts::named(Fonts::ComicSans, 9.75));
    Tab1->setUsesScrollButtons(false);

    books = new BookPage(m_state.book, *m_prompts, *m_savePath);
    goals = new GoalsPage(m_state.goals, *m_prompts, *m_savePath);
    newgame = new NewgamePage(*m_savePath);
    missflag = new MissflagPage(*m_prompts, *m_savePath);
    titles = new TitlesPage(*m_prompts, *m_savePath);
    about = new AboutPage;
    Tab1->addTab(books, tr("Books"));
    Tab1->addTab(goals, tr("Goals"));
    Tab1->addTab(newgame, tr("Newgame"));
    Tab1->addTab(missflag, tr("Missflag"));
    Tab1->addTab(titles, tr("Titles"));
    Tab1->addTab(about, tr("About"));
    Tab1->setCurrentIndex(0);
    for (int i = 0; i < Tab1->count(); ++i)
        Widgets::fitTexts(Tab1->widget(i), Tab1->width() - 4);

    Command1 = new QPushButton(tr("Close"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips::rect(4080, 6480, 975, 375));
    connect(Command1, &QPushButton::clicked, this, &Qwr::Command1_Click);
    setTabOrder(Command1, Tab1);

    // Ctrl+Tab and Ctrl+Shift+Tab switch tabs wherever the focus is, the
    // "Close" button included.
    const auto switchTab = [this](int step) {
        Tab1->setCurrentIndex((Tab1->currentIndex() + step + Tab1->count()) % Tab1->count());
    };
    auto *nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this, [switchTab] { switchTab(+1); });
    auto *previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    connect(previousTab, &QShortcut::activated, this, [switchTab] { switchTab(-1); });
    auto *previousTabAlias = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    connect(previousTabAlias, &QShortcut::activated, this, [switchTab] { switchTab(-1); });

    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(Artwork::iconPicture(size));
    setWindowIcon(icon);
    // Laid out for this one size: nothing moves or resizes with the window.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

Qwr::~Qwr() = default;

void Qwr::Form_Load()
{
    setWindowTitle(QLatin1String("Quillwright  ") + Credits::CreditText);
    adjustSize();
    SubFrmCntr(this);
    m_state.VersionText = Version::versionText(QCoreApplication::applicationVersion());
    about->setVersionText(m_state.VersionText);
    Tab1->tabBar()->setFocus();
}

void Qwr::abtme_Click()
{
    const QString text = QLatin1String(" Quillwright ") + Credits::CreditText + QLatin1String("\n\n")
        + QLatin1String("Version  ") + m_state.VersionText + QLatin1Char('\n')
        + QLatin1String("Create Books, Goals, Newgame, Titles and Missflag.\n\n")
        + QLatin1String(" This is a just a tool to help do these tasks!");
    m_prompts->show({QMessageBox::Information, QStringLiteral("About Quillwright."), text});
}

void Qwr::qtnow_Click()
{
    close();
}

void Qwr::Command1_Click()
{
    close();
}

void Qwr::closeEvent(QCloseEvent *event)
{
    if (mayDiscardUnsavedWork())
        event->accept();
    else
        event->ignore();
}

bool Qwr::mayDiscardUnsavedWork()
{
    const bool bookUnsaved = books->hasUnsavedWork();
    const bool goalsUnsaved = goals->hasUnsavedWork();
    if (!bookUnsaved && !goalsUnsaved)
        return true;
    const QString question = QLatin1String("\n\n") + tr("Close Quillwright and discard them?");
    QString text;
    if (bookUnsaved && goalsUnsaved)
        text = tr("The book and the goals have changes that have not been saved.") + question;
    else if (bookUnsaved)
        text = tr("The book has changes that have not been saved.") + question;
    else
        text = tr("The goals have changes that have not been saved.") + question;
    const QMessageBox::StandardButton answer = m_prompts->show(
        {QMessageBox::Warning, Prompts::applicationTitle(), text,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No});
    return answer == QMessageBox::Yes;
}
