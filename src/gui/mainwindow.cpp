#include "gui/mainwindow.h"

#include "core/codepages.h"
#include "core/credits.h"
#include "core/drafts.h"
#include "core/fileoutput.h"
#include "core/mission/backgroundjob.h"
#include "core/opening.h"
#include "core/saveflow.h"
#include "core/settings.h"
#include "core/version.h"
#include "gui/aboutpage.h"
#include "gui/artwork.h"
#include "gui/bookpage.h"
#include "gui/campaignpage.h"
#include "gui/fonts.h"
#include "gui/goalspage.h"
#include "gui/missflagpage.h"
#include "gui/missionpanel.h"
#include "gui/newgamepage.h"
#include "gui/qtprompts.h"
#include "gui/stringspage.h"
#include "gui/titlespage.h"
#include "gui/translationwindow.h"
#include "gui/twips.h"
#include "gui/widgets.h"
#include "gui/windowplacement.h"

#include <QActionGroup>
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFile>
#include <QFileSystemWatcher>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QMimeData>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSessionManager>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

Qwr::Qwr(Prompts *prompts, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Qwr"));
    if (!prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        prompts = m_ownPrompts.get();
    }
    m_prompts = prompts;
    m_saveFlow = std::make_unique<SaveFlow>(*m_prompts);
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &Qwr::fileChangedOnDisk);
    m_folderTimer = new QTimer(this);
    m_folderTimer->setSingleShot(true);
    m_folderTimer->setInterval(400);
    connect(m_folderTimer, &QTimer::timeout, this, [this] {
        // Not while replacements wait to be saved: saving checks each file is as it was read.
        if (missionPanel && missionPanel->pendingReplacements().isEmpty())
            missionPanel->openFolder(missionPanel->folder());
    });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString &folder) {
        // Only a change of what the folder holds reads it again (some systems
        // also tell of a file merely read).
        const QStringList now = folderSnapshot(folder);
        if (now != m_folderSnapshots.value(folder)) {
            m_folderSnapshots.insert(folder, now);
            m_folderTimer->start();
        }
    });
    m_saveFlow->onWritten = [this](const QString &path, const QByteArray &bytes) {
        const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        for (EditorPage *page : editorPages()) {
            if (page == Tab1->currentWidget())
                watchFile(clean, bytes, page);   // the tab saved is the one shown
        }
        if (missionPanel && clean.startsWith(missionPanel->folder() + u'/'))
            m_folderTimer->start();
    };

    setFont(Fonts::windowDefault());

    MyMNU = menuBar()->addMenu(tr("File"));
    MyMNU->setObjectName(QStringLiteral("MyMNU"));
    openAction = MyMNU->addAction(tr("Open\u2026"), this, &Qwr::openFromDialog);
    openAction->setObjectName(QStringLiteral("openAction"));
    openAction->setShortcut(QKeySequence::Open);
    openFolderAction = MyMNU->addAction(tr("Open Mission Folder\u2026"), this, &Qwr::openFolderFromDialog);
    openFolderAction->setObjectName(QStringLiteral("openFolderAction"));
    openFolderAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    findAction = MyMNU->addAction(tr("Find in Mission\u2026"), this, [this] {
        if (missionPanel)
            missionPanel->startFind();
    });
    findAction->setObjectName(QStringLiteral("findAction"));
    findAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    findAction->setVisible(false);   // until a folder is open
    translateAction = MyMNU->addAction(tr("Translate Mission\u2026"), this, [this] { translateMission(); });
    translateAction->setObjectName(QStringLiteral("translateAction"));
    translateAction->setVisible(false);
    recentMenu = MyMNU->addMenu(tr("Recent files"));
    recentMenu->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu, &QMenu::aboutToShow, this, &Qwr::showRecentFiles);
    MyMNU->addSeparator();
    encodingMenu = menuBar()->addMenu(tr("Encoding"));
    encodingMenu->setObjectName(QStringLiteral("encodingMenu"));
    auto *codePages = new QActionGroup(encodingMenu);
    for (const int codePage : CodePages::all()) {
        QAction *item = encodingMenu->addAction(CodePages::name(codePage));
        item->setCheckable(true);
        item->setData(codePage);
        codePages->addAction(item);
        connect(item, &QAction::triggered, this, [this, codePage] {
            Settings::setCodePage(codePage);
            useCodePage(codePage);
        });
    }
    codePageLabel = new QLabel(menuBar());
    codePageLabel->setObjectName(QStringLiteral("codePageLabel"));
    codePageLabel->setContentsMargins(0, 0, 6, 0);
    menuBar()->setCornerWidget(codePageLabel);
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

    books = new BookPage(*m_prompts, *m_saveFlow);
    goals = new GoalsPage(*m_prompts, *m_saveFlow);
    newgame = new NewgamePage(*m_saveFlow);
    missflag = new MissflagPage(*m_prompts, *m_saveFlow);
    titles = new TitlesPage(*m_prompts, *m_saveFlow);
    about = new AboutPage;
    strings = new StringsPage(*m_prompts, *m_saveFlow, this);
    strings->hide();
    connect(strings, &StringsPage::closeRequested, this, [this] {
        if (mayDiscard(strings->unsavedWork(), tr("Close the table")))
            showStringsTab(false);
    });
    Tab1->addTab(books, tr("Books"));
    Tab1->addTab(goals, tr("Goals"));
    Tab1->addTab(newgame, tr("Newgame"));
    Tab1->addTab(missflag, tr("Missflag"));
    Tab1->addTab(titles, tr("Titles"));
    Tab1->addTab(about, tr("About"));
    Tab1->setCurrentIndex(0);
    // With both campaign tables shown, each marks the missions the other file lacks.
    const auto compareCampaigns = [this] {
        missflag->setOtherMissions(titles->campaignMissions());
        titles->setOtherMissions(missflag->campaignMissions());
    };
    connect(missflag, &CampaignPage::missionsChanged, this, compareCampaigns);
    connect(titles, &CampaignPage::missionsChanged, this, compareCampaigns);
    for (int i = 0; i < Tab1->count(); ++i)
        Widgets::fitTexts(Tab1->widget(i), Tab1->width() - 4);

    Command1 = new QPushButton(tr("Close"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips::rect(4080, 6480, 975, 375));
    connect(Command1, &QPushButton::clicked, this, &Qwr::Command1_Click);
    setTabOrder(Command1, Tab1);

    // The platform's keys for the next and previous tab (Ctrl+Tab and
    // Ctrl+Shift+Tab on Windows and Linux) switch tabs wherever the focus is,
    // the "Close" button included.
    const auto switchTab = [this](int step) {
        Tab1->setCurrentIndex((Tab1->currentIndex() + step + Tab1->count()) % Tab1->count());
    };
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::NextChild))
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [switchTab] { switchTab(+1); });
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::PreviousChild))
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [switchTab] { switchTab(-1); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, &Qwr::commitData);
    setAcceptDrops(true);
    useCodePage(Settings::codePage(CodePages::startCodePage(CodePages::systemCodePage())));

    setWindowIcon(Artwork::icon());
    // Laid out for this one size: nothing moves or resizes with the window.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

Qwr::~Qwr()
{
    // A window that goes without its close (the end of a session) keeps what
    // was waiting for the pause in typing.
    if (m_drafts && m_draftTimer->isActive())
        writeDraftNow();
    // The pages refer to the prompts and the save flow: they go first.
    delete Tab1;
    delete strings;
}

void Qwr::showStringsTab(bool shown)
{
    const int index = Tab1->indexOf(strings);
    if (shown && index < 0) {
        Tab1->insertTab(Tab1->indexOf(about), strings, tr("Strings"));
        Widgets::fitTexts(strings, Tab1->width() - 4);
    } else if (!shown && index >= 0) {
        Tab1->removeTab(index);
        strings->setParent(this);
        strings->hide();
    }
}

QList<EditorPage *> Qwr::editorPages() const
{
    QList<EditorPage *> pages;
    for (int i = 0; i < Tab1->count(); ++i) {
        if (auto *page = qobject_cast<EditorPage *>(Tab1->widget(i)))
            pages.append(page);
    }
    return pages;
}

void Qwr::Form_Load()
{
    setWindowTitle(QLatin1String("Quillwright  ") + Credits::CreditText);
    adjustSize();
    SubFrmCntr(this);
    VersionText = Version::versionText(QCoreApplication::applicationVersion());
    about->setVersionText(VersionText);
    Tab1->tabBar()->setFocus();
}

void Qwr::abtme_Click()
{
    const QString text = QLatin1String(" Quillwright ") + Credits::CreditText + QLatin1String("\n\n")
        + QLatin1String("Version  ") + VersionText + QLatin1Char('\n')
        + QLatin1String("Create Books, Goals, Newgame, Titles and Missflag.\n\n")
        + QLatin1String(" This is a just a tool to help do these tasks!");
    m_prompts->show({Prompts::Icon::Information, QStringLiteral("About Quillwright."), text});
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
    if (!mayDiscardUnsavedWork()) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_drafts) {   // a clean end: nothing left to recover
        m_draftTimer->stop();
        m_drafts->finish();
        m_drafts.reset();
    }
}

void Qwr::enableDrafts(std::unique_ptr<DraftFile> file)
{
    m_drafts = std::make_unique<DraftWriter>(std::move(file));
    m_draftTimer = new QTimer(this);
    m_draftTimer->setSingleShot(true);
    m_draftTimer->setInterval(2000);   // a pause in typing, never every keystroke
    connect(m_draftTimer, &QTimer::timeout, this, &Qwr::writeDraftNow);
    connect(m_drafts.get(), &DraftWriter::failed, this, [this](const QString &error) {
        if (!m_drafts)
            return;
        m_prompts->warn(tr("Unsaved work can no longer be kept safe against a crash: the draft %1 cannot be "
                           "written.\n\n%2\n\nQuillwright works on without drafts; save your files as usual.")
                            .arg(QDir::toNativeSeparators(m_drafts->file().path()), error));
        m_draftTimer->stop();
        m_drafts.reset();
    });
    const auto changed = [this] {
        if (m_drafts)
            m_draftTimer->start();
    };
    for (QLineEdit *box : findChildren<QLineEdit *>())
        connect(box, &QLineEdit::textChanged, this, changed);
    for (QPlainTextEdit *box : findChildren<QPlainTextEdit *>())
        connect(box, &QPlainTextEdit::textChanged, this, changed);
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::clicked, this, changed);
    connect(Tab1, &QTabWidget::currentChanged, this, changed);
    for (EditorPage *page : findChildren<EditorPage *>())
        connect(page, &EditorPage::changed, this, changed);
    for (QAction *item : encodingMenu->actions())
        connect(item, &QAction::triggered, this, changed);
}

void Qwr::writeDraftNow()
{
    if (m_drafts)
        m_drafts->write(draftValues());
}

QJsonObject Qwr::draftState() const
{
    return Drafts::toJson(draftValues());
}

QVariantMap Qwr::draftValues() const
{
    QVariantMap pages;
    for (const EditorPage *page : editorPages())
        pages.insert(page->objectName(), page->draft());
    return {{QStringLiteral("format"), Drafts::Format},
            {QStringLiteral("written"), QDateTime::currentDateTime().toString(Qt::ISODate)},
            {QStringLiteral("codePage"), m_saveFlow->codePage()},
            {QStringLiteral("tab"), Tab1->currentIndex()},
            {QStringLiteral("pages"), pages}};
}

void Qwr::restoreDraft(const QJsonObject &draft)
{
    const int codePage = draft.value(QStringLiteral("codePage")).toInt();
    if (CodePages::isSupported(codePage))
        useCodePage(codePage);
    const QJsonObject pages = draft.value(QStringLiteral("pages")).toObject();
    showStringsTab(pages.contains(strings->objectName()));
    for (EditorPage *page : editorPages())
        page->restore(pages.value(page->objectName()).toObject());
    Tab1->setCurrentIndex(std::clamp(draft.value(QStringLiteral("tab")).toInt(), 0, Tab1->count() - 1));
}

bool Qwr::mayDiscard(const QStringList &work, const QString &action)
{
    if (work.isEmpty())
        return true;
    const QString text = tr("This work has not been saved:\n\n%1\n\n%2 and discard it?")
                             .arg(QLatin1String("- ") + work.join(QLatin1String("\n- ")), action);
    return m_prompts->ask(Prompts::Icon::Warning, Prompts::applicationTitle(), text, Prompts::Button::No);
}

bool Qwr::mayDiscardUnsavedWork()
{
    QStringList work;
    for (const EditorPage *page : editorPages())
        work += page->unsavedWork();
    if (translation)
        work += translation->unsavedWork();
    return mayDiscard(work + replacementWork(), tr("Close Quillwright"));
}

void Qwr::commitData(QSessionManager &manager)
{
    if (manager.allowsInteraction() && !mayDiscardUnsavedWork())
        manager.cancel();
}

void Qwr::openFromDialog()
{
    const QString path = m_prompts->openPath(Settings::openFolder());
    if (!path.isEmpty())
        openFile(path);
}

bool Qwr::openFile(const QString &path)
{
    return openFile(path, true, m_saveFlow->codePage());
}

bool Qwr::openFile(const QString &path, bool askUnsaved, int codePage)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    auto read = StrReader::readFile(path, codePage);
    if (const auto *failure = std::get_if<StrReader::Failure>(&read)) {
        m_prompts->warn(tr("The file could not be opened:\n%1\n\n%2").arg(shownPath, failure->reason));
        return false;
    }
    StrReader::Result &file = std::get<StrReader::Result>(read);
    const QByteArray onDisk = file.document.bytes();
    Settings::setOpenFolder(QFileInfo(path).absolutePath());
    Settings::addRecentFile(QFileInfo(path).absoluteFilePath());

    bool repaired = false;
    if (const std::optional<Opening::Message> message = Opening::message(file, codePage, shownPath)) {
        if (message->asks) {
            QList<Prompts::Button> buttons{Prompts::Button::Open};
            if (message->repairable)
                buttons.append(Prompts::Button::Repair);
            buttons.append(Prompts::Button::Cancel);
            const Prompts::Button answer = m_prompts->show({Prompts::Icon::Warning, Prompts::applicationTitle(),
                                                            message->text, buttons, Prompts::Button::Open,
                                                            message->details});
            if (answer == Prompts::Button::Repair) {
                file.document = StrReader::repaired(file, codePage);
                repaired = true;
            } else if (answer != Prompts::Button::Open) {
                return false;
            }
        } else {
            m_prompts->show({Prompts::Icon::Information, Prompts::applicationTitle(), message->text,
                             {Prompts::Button::Ok}, Prompts::Button::Ok, message->details});
        }
    }
    if (file.kind == StrReader::Kind::Other)
        showStringsTab(true);
    for (EditorPage *page : editorPages()) {
        if (page->kind() != file.kind)
            continue;
        if (askUnsaved && !mayDiscard(page->unsavedWork(), tr("Open %1").arg(QFileInfo(path).fileName())))
            return false;
        page->load(file, path);
        watchFile(QDir::cleanPath(QFileInfo(path).absoluteFilePath()), onDisk, page);
        if (repaired)
            page->markChanged();
        Tab1->setCurrentWidget(page);
        return true;
    }
    return false;
}

void Qwr::useCodePage(int codePage)
{
    m_saveFlow->setCodePage(codePage);
    for (QAction *item : encodingMenu->actions())
        item->setChecked(item->data().toInt() == codePage);
    codePageLabel->setText(tr("Encoding: %1").arg(CodePages::name(codePage)));
}

void Qwr::showRecentFiles()
{
    recentMenu->clear();
    const QStringList files = Settings::recentFiles();
    for (const QString &path : files) {
        QAction *action = recentMenu->addAction(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] {
            if (!QFileInfo::exists(path)) {
                Settings::removeRecentFile(path);
                m_prompts->warn(tr("%1 is no longer there; it was taken off the list of recent files.")
                                    .arg(QDir::toNativeSeparators(path)));
                return;
            }
            openPath(path);
        });
    }
    if (files.isEmpty())
        recentMenu->addAction(tr("(none)"))->setEnabled(false);
}

void Qwr::dragEnterEvent(QDragEnterEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void Qwr::dropEvent(QDropEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            openPath(url.toLocalFile());
    }
    event->acceptProposedAction();
}

bool Qwr::openPath(const QString &path)
{
    if (QFileInfo(path).isDir()) {
        openFolder(path);
        return true;
    }
    return openFile(path);
}

void Qwr::openFolderFromDialog()
{
    const QString folder = m_prompts->folderPath(missionPanel ? missionPanel->folder() : Settings::openFolder());
    if (!folder.isEmpty())
        openFolder(folder);
}

void Qwr::openFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!mayDiscard(replacementWork(), tr("Open %1").arg(QDir::toNativeSeparators(clean))))
        return;
    if (!missionPanel) {
        missionPanel = new MissionPanel(this);
        addDockWidget(Qt::LeftDockWidgetArea, missionPanel);
        connect(missionPanel, &MissionPanel::fileChosen, this, &Qwr::openMissionFile);
        connect(missionPanel, &MissionPanel::folderRead, this, &Qwr::watchFolder);
        connect(missionPanel, &MissionPanel::replaceRequested, this, &Qwr::replaceInMission);
        connect(missionPanel, &MissionPanel::saveReplacedRequested, this, &Qwr::saveReplacements);
        findAction->setVisible(true);
        translateAction->setVisible(true);
    }
    missionPanel->show();
    Settings::setOpenFolder(clean);
    Settings::addRecentFile(clean);
    missionPanel->openFolder(clean);
}

void Qwr::openMissionFile(int file, int entry)
{
    const MissionFolder::File &chosen = missionPanel->scan().files.at(file);
    const QString path = QDir::cleanPath(chosen.path);
    EditorPage *page = nullptr;
    if (const auto watched = m_watched.constFind(path); watched != m_watched.cend() && watched->page
        && (watched->page != strings || Tab1->indexOf(strings) >= 0))
        page = watched->page;   // open already: shown, not read again
    if (!page) {
        if (chosen.codePage != m_saveFlow->codePage())
            useCodePage(chosen.codePage);   // read and saved in its language's code page
        if (!openFile(path))
            return;
        page = qobject_cast<EditorPage *>(Tab1->currentWidget());
    }
    Tab1->setCurrentWidget(page);
    if (entry >= 0 && page)
        page->showEntry(entry);
}

void Qwr::watchFile(const QString &path, const QByteArray &bytes, EditorPage *page)
{
    for (auto it = m_watched.begin(); it != m_watched.end();) {   // a tab holds one file
        if (it->page == page && it.key() != path) {
            m_watcher->removePath(it.key());
            it = m_watched.erase(it);
        } else {
            ++it;
        }
    }
    m_watched.insert(path, {page, bytes});
    if (watchesDisk() && !m_watcher->files().contains(path))
        m_watcher->addPath(path);
}

QStringList Qwr::folderSnapshot(const QString &folder)
{
    QStringList entries;
    const QFileInfoList found = QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : found) {
        if (entry.isDir())
            entries.append(entry.fileName() + u'/');
        else if (entry.suffix().compare(QLatin1String("str"), Qt::CaseInsensitive) == 0)
            entries.append(entry.fileName() + u'|' + QString::number(entry.size()) + u'|'
                           + QString::number(entry.lastModified().toMSecsSinceEpoch()));
    }
    return entries;
}

bool Qwr::watchesDisk()
{
#ifdef Q_OS_WIN
    // Under Wine, a file or folder watched keeps the program from ending.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    static const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    return !wine;
#else
    return true;
#endif
}

void Qwr::watchFolder()
{
    if (!watchesDisk())
        return;
    // The folders' snapshots are taken on a thread (thousands of files take a while).
    auto *job = findChild<BackgroundJob *>(QStringLiteral("folderSnapshots"), Qt::FindDirectChildrenOnly);
    if (!job) {
        job = new BackgroundJob(this);
        job->setObjectName(QStringLiteral("folderSnapshots"));
    }
    const QString root = missionPanel->folder();
    const MissionFolder::Scan scan = missionPanel->scan();
    job->start([root, scan](const BackgroundJob::Control &control) {
        QStringList folders{root};
        for (const MissionFolder::File &file : scan.files)
            folders.append(QFileInfo(file.path).absolutePath());
        folders.removeDuplicates();
        QHash<QString, QStringList> snapshots;
        for (const QString &folder : std::as_const(folders)) {
            if (!control.cancelled())
                snapshots.insert(folder, folderSnapshot(folder));
        }
        return std::make_pair(folders, snapshots);
    }, [this](const std::pair<QStringList, QHash<QString, QStringList>> &taken) {
        const QStringList watched = m_watcher->directories();
        QStringList added;
        for (const QString &folder : taken.first) {
            m_folderSnapshots.insert(folder, taken.second.value(folder));
            if (!watched.contains(folder))
                added.append(folder);
        }
        if (!added.isEmpty())
            m_watcher->addPaths(added);
    });
}

void Qwr::fileChangedOnDisk(const QString &path)
{
    const auto found = m_watched.find(path);
    if (found == m_watched.end())
        return;
    if (watchesDisk() && QFileInfo::exists(path) && !m_watcher->files().contains(path))
        m_watcher->addPath(path);   // a file replaced by a new one is watched anew
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;   // gone or not readable: nothing to reload (yet)
    const QByteArray bytes = file.readAll();
    if (bytes == found->bytes)
        return;   // as the program wrote or read it
    found->bytes = bytes;   // asked once for each change
    if (missionPanel && path.startsWith(missionPanel->folder() + u'/'))
        m_folderTimer->start();
    EditorPage *page = found->page;
    const QString shownPath = QDir::toNativeSeparators(path);
    const bool unsaved = !page->unsavedWork().isEmpty();
    const Prompts::Message question =
        unsaved ? Prompts::Message{Prompts::Icon::Warning, Prompts::applicationTitle(),
                                   tr("%1 was changed outside Quillwright, and its tab holds changes you have not "
                                      "saved.\n\nReload the file and lose your changes, or keep your changes "
                                      "(saving them replaces the file as it is now)?").arg(shownPath),
                                   {Prompts::Button::Reload, Prompts::Button::Keep}, Prompts::Button::Keep, {}}
                : Prompts::Message{Prompts::Icon::Information, Prompts::applicationTitle(),
                                   tr("%1 was changed outside Quillwright.\n\nReload it?").arg(shownPath),
                                   {Prompts::Button::Reload, Prompts::Button::Keep}, Prompts::Button::Reload, {}};
    if (m_prompts->show(question) == Prompts::Button::Reload)
        openFile(path, false, m_saveFlow->codePage());
}

namespace {

// "1 file", "3 files".
QString counted(qsizetype count, const char *one, const char *many)
{
    return QString::number(count) + u' ' + QLatin1String(count == 1 ? one : many);
}

} // namespace

QStringList Qwr::replacementWork() const
{
    if (!missionPanel || missionPanel->pendingReplacements().isEmpty())
        return {};
    return {tr("the replacements in %1 of the mission").arg(counted(missionPanel->pendingReplacements().size(), "file", "files"))};
}

void Qwr::replaceInMission()
{
    const MissionFolder::Scan &scan = missionPanel->scan();
    const QString pattern = missionPanel->findText->text();
    const QString replacement = missionPanel->replaceText->text();
    const MissionFolder::FindOptions options = missionPanel->findOptions();
    QString error;
    const QList<MissionFolder::Match> matches = MissionFolder::find(scan, pattern, options, &error);
    if (!error.isEmpty()) {
        m_prompts->tell(tr("The regular expression cannot be used: %1").arg(error));
        return;
    }
    if (matches.isEmpty()) {
        m_prompts->tell(tr("Nothing in the mission matches \u201C%1\u201D; nothing was replaced.").arg(pattern));
        return;
    }
    QMap<int, int> perFile;
    for (const MissionFolder::Match &match : matches)
        ++perFile[match.file];
    QStringList busy;   // files open in a tab with unsaved changes are left to the tab
    QStringList lines;
    for (auto it = perFile.cbegin(); it != perFile.cend(); ++it) {
        const MissionFolder::File &file = scan.files.at(it.key());
        const auto watched = m_watched.constFind(QDir::cleanPath(file.path));
        if (watched != m_watched.cend() && !watched->page->unsavedWork().isEmpty())
            busy.append(QDir::toNativeSeparators(file.relativePath));
        lines.append(tr("%1: %2").arg(QDir::toNativeSeparators(file.relativePath), counted(it.value(), "match", "matches")));
    }
    if (!busy.isEmpty()) {
        m_prompts->tell(tr("These files are open with changes not saved; save or close them first, then "
                           "replace:\n\n%1").arg(busy.join(u'\n')));
        return;
    }
    if (lines.size() > 20) {
        const qsizetype more = lines.size() - 20;
        lines.resize(20);
        lines.append(tr("\u2026 and %1 more files").arg(more));
    }
    const QString question =
        tr("Replace %1 of \u201C%2\u201D with \u201C%3\u201D in %4?")
            .arg(counted(matches.size(), "match", "matches"), pattern, replacement,
                 counted(perFile.size(), "file", "files"))
        + QStringLiteral("\n\n") + lines.join(u'\n')
        + tr("\n\nNothing is written until you save the replaced files; until then, Undo Replace takes it back.");
    if (m_prompts->show({Prompts::Icon::Information, Prompts::applicationTitle(), question,
                         {Prompts::Button::Yes, Prompts::Button::Cancel}, Prompts::Button::Yes, {}})
        != Prompts::Button::Yes)
        return;
    const auto changed = MissionFolder::replaced(scan, pattern, replacement, options);
    missionPanel->setPendingReplacements(
        changed, tr("%1 replaced in %2, not saved yet.")
                     .arg(counted(matches.size(), "match", "matches"), counted(changed.size(), "file", "files")));
}

void Qwr::saveReplacements()
{
    const MissionFolder::Scan &scan = missionPanel->scan();
    const auto pending = missionPanel->pendingReplacements();
    // Everything is checked before anything is written.
    QList<std::pair<int, QByteArray>> written;
    for (const auto &[index, document] : pending) {
        const MissionFolder::File &file = scan.files.at(index);
        if (m_saveFlow->refuse(document.authorTexts(), file.codePage))
            return;
        QFile now(file.path);
        if (!now.open(QIODevice::ReadOnly) || now.readAll() != file.read.document.bytes()) {
            m_prompts->warn(tr("%1 was changed on the disk after the mission was read, so the replacements "
                               "cannot be saved into it. Undo Replace, then replace again.")
                                .arg(QDir::toNativeSeparators(file.path)));
            return;
        }
        const std::optional<QByteArray> bytes = document.write(file.codePage);
        if (!bytes) {
            m_prompts->warn(tr("%1 cannot be written in %2.").arg(QDir::toNativeSeparators(file.path),
                                                                    CodePages::description(file.codePage)));
            return;
        }
        written.append({index, *bytes});
    }
    int saved = 0;
    for (const auto &[index, bytes] : written) {
        const MissionFolder::File &file = scan.files.at(index);
        const FileOutput::WriteResult result = FileOutput::writeFile(file.path, bytes);
        if (!result.ok) {
            m_prompts->warn(tr("The file could not be saved:\n%1\n\n%2\n\n%3 of %4 replaced files were saved.")
                                .arg(QDir::toNativeSeparators(file.path), result.error)
                                .arg(saved)
                                .arg(written.size()));
            break;
        }
        ++saved;
        const QString path = QDir::cleanPath(file.path);
        if (auto watched = m_watched.find(path); watched != m_watched.end()) {
            watched->bytes = bytes;   // its tab shows the file as saved
            if (watched->page->unsavedWork().isEmpty()) {
                QWidget *shown = Tab1->currentWidget();
                openFile(path, false, file.codePage);
                Tab1->setCurrentWidget(shown);
            }
        }
    }
    missionPanel->setPendingReplacements({}, tr("%1 saved.").arg(counted(saved, "replaced file", "replaced files")));
    missionPanel->openFolder(missionPanel->folder());
}

void Qwr::translateMission(const QString &source, const QString &target)
{
    if (!missionPanel)
        return;
    if (missionPanel->isReading()) {   // once the folder is read
        auto *once = new QObject(this);
        connect(missionPanel, &MissionPanel::folderRead, once, [this, once, source, target] {
            once->deleteLater();
            translateMission(source, target);
        });
        return;
    }
    if (!translation)
        translation = new TranslationWindow(*m_prompts, this);
    if (!translation->unsavedWork().isEmpty() && translation->isVisible()) {
        translation->raise();
        translation->activateWindow();
        return;
    }
    translation->setMission(missionPanel->scan());
    if (!source.isEmpty() && !translation->chooseLanguages(source, target))
        m_prompts->warn(tr("The mission has no language folder named \u201C%1\u201D to translate from.").arg(source));
    translation->show();
    translation->raise();
}
