#include "gui/mainwindow.h"

#include "core/document/codepages.h"
#include "core/app/credits.h"
#include "core/save/drafts.h"
#include "core/save/fileoutput.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/workspace.h"
#include "core/mission/backgroundjob.h"
#include "core/kinds/opening.h"
#include "core/save/saveflow.h"
#include "core/save/settings.h"
#include "core/app/version.h"
#include "gui/tabs/aboutpage.h"
#include "gui/artwork.h"
#include "gui/tabs/bookpage.h"
#include "gui/tabs/campaignpage.h"
#include "gui/fonts.h"
#include "gui/tabs/goalspage.h"
#include "gui/tabs/missflagpage.h"
#include "gui/mission/diskwatch.h"
#include "gui/mission/missionpanel.h"
#include "gui/mission/missionreplace.h"
#include "gui/mission/workprogress.h"
#include "gui/tabs/newgamepage.h"
#include "gui/qtprompts.h"
#include "gui/spellingboxes.h"
#include "gui/spellinghighlighter.h"
#include "gui/tabs/stringspage.h"
#include "gui/stretch.h"
#include "gui/tabs/titlespage.h"
#include "gui/translation/translationwindow.h"
#include "gui/twips.h"
#include "gui/widgets.h"
#include "gui/windowplacement.h"

#include <QActionGroup>
#include <QJsonArray>
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFile>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QMimeData>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSessionManager>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QComboBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QUndoGroup>
#include <QUndoStack>

#include <algorithm>

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
    workspace = new MissionWorkspace(this);
    m_saveFlow->setWorkspace(workspace);
    m_saveFlow->opened = [this] {
        auto *page = m_laying ? m_laying : qobject_cast<EditorPage *>(Tab1->currentWidget());
        const WorkspaceDocument *document = page ? documentOf(page) : nullptr;
        return SaveFlow::Opened{document ? document->path() : QString(), page};
    };
    connect(workspace, &MissionWorkspace::documentsChanged, this, &Qwr::updateModified);
    makeMissionWork();
    m_saveFlow->onWritten = [this](const QString &path, const QByteArray &) {
        m_wrote = true;
        // The tab saved is the one shown: it edits the file written from now on.
        if (auto *page = qobject_cast<EditorPage *>(Tab1->currentWidget()))
            bindPage(page, workspace->find(path));
        m_diskWatch->fileWritten(path);
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
    saveAction = MyMNU->addAction(tr("Save"), this, [this] { saveCurrent(); });
    saveAction->setObjectName(QStringLiteral("saveAction"));
    saveAction->setShortcut(QKeySequence::Save);
    saveAsAction = MyMNU->addAction(tr("Save As\u2026"), this, [this] { saveCurrent(true); });
    saveAsAction->setObjectName(QStringLiteral("saveAsAction"));
    saveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    saveAllAction = MyMNU->addAction(tr("Save All"), this, [this] { saveAll(); });
    saveAllAction->setObjectName(QStringLiteral("saveAllAction"));
    saveAllAction->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    translateAction = MyMNU->addAction(tr("Translate Mission\u2026"), this, [this] { translateMission(); });
    translateAction->setObjectName(QStringLiteral("translateAction"));
    translateAction->setVisible(false);
    recentMenu = MyMNU->addMenu(tr("Recent files"));
    recentMenu->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu, &QMenu::aboutToShow, this, &Qwr::showRecentFiles);
    MyMNU->addSeparator();
    editMenu = menuBar()->addMenu(tr("Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    undoAction = workspace->undoGroup()->createUndoAction(this, tr("Undo"));
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = workspace->undoGroup()->createRedoAction(this, tr("Redo"));
    redoAction->setObjectName(QStringLiteral("redoAction"));
    redoAction->setShortcuts(QKeySequence::keyBindings(QKeySequence::Redo));
    editMenu->addAction(undoAction);
    editMenu->addAction(redoAction);
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
            if (missionPanel && !missionPanel->folder().isEmpty()) {
                missionPanel->setMissionCodePage(codePage);   // the open mission's code page too
            } else {
                // Files opened on their own are written in it from now on; what they show stays.
                for (WorkspaceDocument *document : workspace->documents())
                    document->setCodePage(codePage);
            }
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

    // Laid out for one size, at which every control stands where it always
    // stood; the tabs and their boxes grow with the window beyond it.
    auto *client = new QWidget;
    client->setObjectName(QStringLiteral("client"));
    const QSize clientSize(Twips::toPixels(11010), Twips::toPixels(6945));
    auto *area = new GrowingArea(client, clientSize, this);
    area->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(area);
    auto *stretch = new Stretcher(client);

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
    connect(Tab1, &QTabWidget::currentChanged, this, &Qwr::currentTabChanged);
    // With both campaign tables shown, each marks the missions the other file lacks.
    const auto compareCampaigns = [this] {
        missflag->setOtherMissions(titles->campaignMissions());
        titles->setOtherMissions(missflag->campaignMissions());
    };
    connect(missflag, &CampaignPage::missionsChanged, this, compareCampaigns);
    connect(titles, &CampaignPage::missionsChanged, this, compareCampaigns);
    for (int i = 0; i < Tab1->count(); ++i)
        Widgets::fitTexts(Tab1->widget(i), Tab1->width() - 4);
    // The unsaved marks follow the tabs' changes, once typing pauses.
    m_modifiedTimer = new QTimer(this);
    m_modifiedTimer->setSingleShot(true);
    m_modifiedTimer->setInterval(250);
    connect(m_modifiedTimer, &QTimer::timeout, this, &Qwr::updateModified);
    for (EditorPage *page : findChildren<EditorPage *>()) {
        page->emitChangesOfBoxes();
        connect(page, &EditorPage::changed, m_modifiedTimer, qOverload<>(&QTimer::start));
        connect(page, &EditorPage::startedAnew, this, [this, page] { bindPage(page, nullptr); });
        connect(page, &EditorPage::entryStored, this, [this, page] { layIntoDocument(page); });
    }

    // Spelling as the author types, in every box where texts are composed:
    // in the language of the file the tab edits (its language folder, else
    // the mission's), or the one chosen in the box's menu.
    spelling = new Spelling::Service({}, this);
    const auto languageOf = [this](EditorPage *page) {
        return [this, page] {
            const WorkspaceDocument *document = documentOf(page);
            return spelling->languageOf(document ? document->path() : QString());
        };
    };
    const auto textsOf = [this](EditorPage *page) {   // for "Add all unknown words of this file"
        return [this, page] {
            const WorkspaceDocument *document = documentOf(page);
            return document ? Spelling::proseTexts(document->document(), document->path()) : QStringList();
        };
    };
    const auto warnOf = [this](auto *source, auto failed) {
        connect(source, failed, this, [this](const QString &message) { m_prompts->warn(message); });
    };
    const auto spellIn = [this, warnOf](QPlainTextEdit *box, const std::function<QString()> &language) {
        auto *highlighter = new SpellingHighlighter(box, spelling, language);
        warnOf(highlighter, &SpellingHighlighter::failed);
        return highlighter;
    };
    pageSpelling = spellIn(books->Page, languageOf(books));
    pageSpelling->setFileTexts(textsOf(books));
    spellIn(goals->Gfict, languageOf(goals))->setFileTexts(textsOf(goals));
    spellIn(goals->Gtxt, languageOf(goals))->setFileTexts(textsOf(goals));
    const auto spellInLine = [this, warnOf, languageOf, textsOf](QLineEdit *box, EditorPage *page) {
        auto *checked = new LineEditSpelling(box, spelling, languageOf(page));
        checked->setFileTexts(textsOf(page));
        warnOf(checked, &LineEditSpelling::failed);
    };
    for (QLineEdit *box : {newgame->Mt, newgame->diff0, newgame->diff1, newgame->diff2})
        spellInLine(box, newgame);
    spellInLine(titles->Mt2, titles);
    // The campaign table of titles, its titles and short titles, as it shows.
    connect(titles, &CampaignPage::missionsChanged, this, [this, warnOf, languageOf] {
        QTableView *table = titles->tableView;
        if (!table || qobject_cast<SpellingDelegate *>(table->itemDelegateForColumn(TitlesTable::Title)))
            return;
        for (const int column : {TitlesTable::Title, TitlesTable::Short}) {
            auto *checked = new SpellingDelegate(table, column, spelling, languageOf(titles));
            table->setItemDelegateForColumn(column, checked);
            warnOf(checked, &SpellingDelegate::failed);
        }
    });
    auto *stringsSpelling = new SpellingDelegate(strings->stringsTable, StringTableModel::TextColumn, spelling,
                                                 languageOf(strings));
    strings->stringsTable->setItemDelegate(stringsSpelling);
    warnOf(stringsSpelling, &SpellingDelegate::failed);
    // Said once for each language, where the window says such things.
    connect(spelling, &Spelling::Service::noDictionary, this,
            [this](const QString &, const QString &message) { statusBar()->showMessage(message); });
    editMenu->addSeparator();
    missionLanguageMenu = editMenu->addMenu(tr("Spelling Language of the Mission"));
    missionLanguageMenu->setObjectName(QStringLiteral("missionLanguageMenu"));
    missionLanguageMenu->setEnabled(false);   // once a mission folder is open
    auto *missionLanguages = new QActionGroup(missionLanguageMenu);
    for (const QString &language : Spelling::knownLanguages()) {
        QAction *item = missionLanguageMenu->addAction(language);
        item->setCheckable(true);
        missionLanguages->addAction(item);
        connect(item, &QAction::triggered, this, [this, language] {
            Error error;
            if (!spelling->setMissionLanguage(language, &error))
                m_prompts->warn(tr("The mission's language could not be written: %1").arg(error.message));
        });
    }
    connect(missionLanguageMenu, &QMenu::aboutToShow, this, [this, missionLanguages] {
        for (QAction *item : missionLanguages->actions())
            item->setChecked(item->text() == spelling->missionLanguage());
    });
    dictionaryFolderAction = editMenu->addAction(tr("Dictionary Folder\u2026"), this, [this] {
        const QString folder = m_prompts->folderPath(Settings::dictionaryFolder());
        if (folder.isEmpty())
            return;
        Settings::setDictionaryFolder(folder);
        spelling->reload();   // looked for there first from now on
    });
    dictionaryFolderAction->setObjectName(QStringLiteral("dictionaryFolderAction"));

    Command1 = new QPushButton(tr("Close"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips::rect(4080, 6480, 975, 375));
    connect(Command1, &QPushButton::clicked, this, &Qwr::Command1_Click);
    setTabOrder(Command1, Tab1);
    stretch->add(Tab1, Stretches::Grow);
    stretch->add(Command1, Stretches::KeepBelow);
    for (QWidget *page : {static_cast<QWidget *>(books), static_cast<QWidget *>(goals),
                          static_cast<QWidget *>(missflag), static_cast<QWidget *>(titles),
                          static_cast<QWidget *>(strings)})
        stretch->addPage(page);
    connect(area, &GrowingArea::grown, stretch, &Stretcher::setGrowth);

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
}

Qwr::~Qwr()
{
    // A window that goes without its close (the end of a session) keeps what
    // was waiting for the pause in typing.
    if (m_drafts && m_draftTimer->isActive())
        writeDraftNow();
    // The tabs that go with the window switch no file's undo (the Strings
    // tab, when current, leaves after the files).
    Tab1->disconnect(this);
    // The files go before the window they tell of their changes.
    for (WorkspaceDocument *document : workspace->documents())
        document->disconnect(this);
    workspace->disconnect(this);
    delete workspace;
    // The pages refer to the prompts and the save flow: they go first. The
    // Strings page first, whether a tab (which it then leaves) or not.
    delete strings;
    delete Tab1;
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
    setWindowTitle(QLatin1String("Quillwright  ") + Credits::CreditText + QLatin1String("[*]"));
    resize(sizeHint());   // the start size, on a small screen too (adjustSize would take 2/3 of it)
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
    connect(m_drafts.get(), &DraftWriter::failed, this, [this](const Error &error) {
        if (!m_drafts)
            return;
        m_prompts->warn(tr("Unsaved work can no longer be kept safe against a crash: the draft %1 cannot be "
                           "written.\n\n%2\n\nQuillwright works on without drafts; save your files as usual.")
                            .arg(QDir::toNativeSeparators(m_drafts->file().path()), error.message));
        m_draftTimer->stop();
        m_drafts.reset();
    });
    const auto changed = [this] { draftSoon(); };
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
    connect(workspace, &MissionWorkspace::documentChanged, this, changed);
    connect(workspace, &MissionWorkspace::documentsChanged, this, changed);
}

void Qwr::draftSoon()
{
    if (m_drafts)
        m_draftTimer->start();
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
    QVariantMap files;   // the file each tab edits
    for (EditorPage *page : editorPages()) {
        pages.insert(page->objectName(), page->draft());
        if (const WorkspaceDocument *document = m_pageFiles.value(page))
            files.insert(page->objectName(), document->path());
    }
    QVariantMap values{{QStringLiteral("format"), Drafts::Format},
                       {QStringLiteral("written"), QDateTime::currentDateTime().toString(Qt::ISODate)},
                       {QStringLiteral("codePage"), m_saveFlow->codePage()},
                       {QStringLiteral("tab"), Tab1->currentIndex()},
                       {QStringLiteral("pages"), pages}};
    // Only with files held: a draft of typed work alone is as it always was.
    if (const QVariantList documents = workspace->draft(); !documents.isEmpty())
        values.insert(QStringLiteral("documents"), documents);
    if (!files.isEmpty())
        values.insert(QStringLiteral("files"), files);
    if (translation) {
        if (const QVariantMap marks = translation->marksDraft(); !marks.isEmpty())
            values.insert(QStringLiteral("translationMarks"), marks);
    }
    return values;
}

void Qwr::restoreDraft(const QJsonObject &draft)
{
    const int codePage = draft.value(QStringLiteral("codePage")).toInt();
    if (CodePages::isSupported(codePage))
        useCodePage(codePage);
    const QJsonObject pages = draft.value(QStringLiteral("pages")).toObject();
    const QStringList lost = workspace->restore(draft.value(QStringLiteral("documents")).toArray());
    if (!lost.isEmpty()) {
        QStringList shown;
        for (const QString &path : lost)
            shown.append(QDir::toNativeSeparators(path));
        m_prompts->warn(tr("The draft's changes to these files could not be put back:\n\n%1").arg(shown.join(u'\n')));
    }
    showStringsTab(pages.contains(strings->objectName()));
    const QJsonObject files = draft.value(QStringLiteral("files")).toObject();
    for (EditorPage *page : editorPages()) {
        page->restore(pages.value(page->objectName()).toObject());
        const QString path = files.value(page->objectName()).toString();
        WorkspaceDocument *document = path.isEmpty() ? nullptr : workspace->find(path);
        if (!document && !path.isEmpty())
            document = workspace->open(path, m_saveFlow->codePage(), nullptr);
        if (document) {
            bindPage(page, document);
            m_shown.remove(page);   // what it shows came from the draft, not the file
        }
    }
    Tab1->setCurrentIndex(std::clamp(draft.value(QStringLiteral("tab")).toInt(), 0, Tab1->count() - 1));
    // Done marks and notes: shown once the mission's translation is opened.
    if (const QJsonObject marks = draft.value(QStringLiteral("translationMarks")).toObject(); !marks.isEmpty()) {
        makeTranslationWindow();
        translation->restoreMarks(marks);
    }
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
    return mayDiscard(work + m_replace->unsavedWork(), tr("Close Quillwright"));
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
    // A file of the open mission is read in the mission's code page for it.
    if (missionPanel && !missionPanel->isReading()) {
        const QString id = MissionWorkspace::identity(path);
        for (const MissionFolder::File &file : missionPanel->scan().files) {
            if (!file.failure && file.identity == id) {
                if (file.codePage != m_saveFlow->codePage())
                    useCodePage(file.codePage);
                break;
            }
        }
    }
    return openFile(path, true, m_saveFlow->codePage());
}

bool Qwr::openFile(const QString &path, bool askUnsaved, int codePage)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    // A file the program holds already is shown as it holds it, its unsaved
    // changes (a replacement, say) included; read in another code page only
    // while it holds none.
    WorkspaceDocument *held = workspace->find(path);
    if (held && held->codePage() != codePage && !held->isModified()) {
        workspace->release(held);
        held = nullptr;
    }
    std::variant<StrReader::Result, Error> read = Error{};
    if (held) {
        codePage = held->codePage();
        if (std::optional<StrReader::Result> shown = held->readBack())
            read = std::move(*shown);
        else
            read = Error{Error::Kind::Unwritable,
                         tr("It holds a character that %1 cannot represent.").arg(CodePages::description(codePage)),
                         path, {}};
    } else {
        read = StrReader::readFile(path, codePage);
    }
    if (const auto *failure = std::get_if<Error>(&read)) {
        m_prompts->warn(tr("The file could not be opened:\n%1\n\n%2").arg(shownPath, failure->message));
        return false;
    }
    StrReader::Result &file = std::get<StrReader::Result>(read);
    const StrDocument original = file.document;
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
        if (!held)
            held = workspace->adopt(path, codePage, original);
        page->load(file, path);
        bindPage(page, held);
        if (repaired || held->isModified())
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
    if (!mayDiscard(m_replace->unsavedWork(), tr("Open %1").arg(QDir::toNativeSeparators(clean))))
        return;
    if (!missionPanel) {
        missionPanel = new MissionPanel(this);
        addDockWidget(Qt::LeftDockWidgetArea, missionPanel);
        connect(missionPanel, &MissionPanel::fileChosen, this, &Qwr::openMissionFile);
        m_diskWatch->setPanel(missionPanel);
        m_replace->setPanel(missionPanel);
        connect(missionPanel, &MissionPanel::folderRead, this, [this] {
            spelling->setScan(missionPanel->scan());   // Polish in english folders is spelled as Polish
            updateModified();
        });
        findAction->setVisible(true);
        translateAction->setVisible(true);
    }
    showMissionPanel();
    Settings::setOpenFolder(clean);
    Settings::addRecentFile(clean);
    spelling->setMissionFolder(clean);
    workspace->setMissionFolder(clean);
    missionLanguageMenu->setEnabled(true);
    missionPanel->openFolder(clean);
}

void Qwr::showMissionPanel()
{
    // Docked beside the tabs, the panel widens the window by its own width,
    // as far as the screen allows, the window moving left if need be; what
    // does not fit comes off the tabs' part, which then scrolls.
    const bool widen = isVisible() && !missionPanel->isVisible() && !missionPanel->isFloating()
                       && !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    const int before = width();
    const int panelWidth = missionPanel->sizeHint().width()
                           + style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    missionPanel->show();
    if (!widen || !screen())
        return;
    layout()->activate();   // the window as its layout makes it with the panel
    const QRect available = screen()->availableGeometry();
    const QRect outer = frameGeometry();
    const QSize frame = outer.size() - size();
    const QSize fitting = (QSize(before + panelWidth, height()).boundedTo(available.size() - frame))
                              .expandedTo(minimumSize());
    resize(fitting);
    // An edge stays where it was unless the far edge would leave the screen.
    const auto within = [](int edge, int first, int last, int extent) {
        return std::clamp(edge, first, std::max(first, last + 1 - extent));
    };
    move(within(outer.left(), available.left(), available.right(), fitting.width() + frame.width()),
         within(outer.top(), available.top(), available.bottom(), fitting.height() + frame.height()));
}

void Qwr::openMissionFile(int file, int entry)
{
    const MissionFolder::File &chosen = missionPanel->scan().files.at(file);
    const QString path = QDir::cleanPath(chosen.path);
    EditorPage *page = nullptr;
    if (WorkspaceDocument *held = workspace->find(path)) {
        for (auto it = m_pageFiles.cbegin(); it != m_pageFiles.cend(); ++it) {
            if (it.value() == held && (it.key() != strings || Tab1->indexOf(strings) >= 0))
                page = it.key();   // open already: shown, not read again
        }
    }
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

WorkspaceDocument *Qwr::documentOf(EditorPage *page) const
{
    return m_pageFiles.value(page);
}

void Qwr::bindPage(EditorPage *page, WorkspaceDocument *document)
{
    if (WorkspaceDocument *before = m_pageFiles.value(page); before && before != document)
        before->disconnect(this);
    if (!document) {
        if (WorkspaceDocument *before = m_pageFiles.take(page))
            workspace->release(before);   // kept while it holds changes
    } else if (m_pageFiles.value(page) != document) {
        m_pageFiles.insert(page, document);
        connect(document, &WorkspaceDocument::changed, this, [this, page, document](const QObject *origin) {
            if (origin != page && m_pageFiles.value(page) == document)
                showDocument(page);
        });
        connect(document, &WorkspaceDocument::modifiedChanged, this, [this, page, document](bool modified) {
            updateModified();
            if (!modified)   // once whatever saved it has finished
                QTimer::singleShot(0, this, [this, page = QPointer(page), document = QPointer(document)] {
                    if (page && document)
                        takeSaved(page, document);
                });
        });
    }
    m_shown.insert(page, page->draft());
    if (page == Tab1->currentWidget())
        currentTabChanged();
    updateModified();
}

void Qwr::takeSaved(EditorPage *page, WorkspaceDocument *document)
{
    // The file a tab shows was saved elsewhere (with the mission's
    // replacements, with Save All): a tab holding nothing beyond what the file
    // now holds (its stored entries went into the file at once) is saved too.
    if (m_pageFiles.value(page) != document || document->isModified() || page->unsavedWork().isEmpty()
        || pageEdited(page))
        return;
    showDocument(page);
}

bool Qwr::pageEdited(EditorPage *page) const
{
    const auto shown = m_shown.constFind(page);
    return shown == m_shown.cend() ? !page->unsavedWork().isEmpty() : page->draft() != *shown;
}

bool Qwr::layIntoDocument(EditorPage *page)
{
    WorkspaceDocument *document = m_pageFiles.value(page);
    if (!document)
        return false;
    m_saveFlow->setLaying(tr("Changes to %1").arg(QFileInfo(document->path()).fileName()));
    m_laying = page;
    page->saveButton()->click();
    m_laying = nullptr;
    const bool laid = m_saveFlow->laid();
    m_saveFlow->setLaying(QString());
    if (!laid)
        return false;   // refused by the tab's save
    if (document->isModified())
        page->markChanged();   // as the file it shows now: unsaved
    m_shown.insert(page, page->draft());
    updateModified();
    return true;
}

void Qwr::showDocument(EditorPage *page)
{
    WorkspaceDocument *document = m_pageFiles.value(page);
    if (!document)
        return;
    std::optional<StrReader::Result> file = document->readBack();
    if (!file || file->kind != page->kind())
        return;   // no longer of the tab's kind: the tab keeps what it shows
    page->load(*file, document->path());
    if (document->isModified())
        page->markChanged();
    m_shown.insert(page, page->draft());
    updateModified();
}

void Qwr::currentTabChanged()
{
    auto *page = qobject_cast<EditorPage *>(Tab1->currentWidget());
    WorkspaceDocument *document = page ? m_pageFiles.value(page) : nullptr;
    if (document)
        workspace->undoGroup()->setActiveStack(document->undoStack());
    else
        workspace->undoGroup()->setActiveStack(nullptr);
    saveAction->setEnabled(page != nullptr);
    saveAsAction->setEnabled(page != nullptr);
}

void Qwr::updateModified()
{
    m_modifiedTimer->stop();
    bool modified = !workspace->modified().isEmpty();
    for (EditorPage *page : editorPages()) {
        const bool unsaved = !page->unsavedWork().isEmpty()
            || (m_pageFiles.value(page) && m_pageFiles.value(page)->isModified());
        modified = modified || unsaved;
        const int index = Tab1->indexOf(page);
        QString caption = Tab1->tabText(index);
        if (caption.endsWith(QLatin1String(" *")))
            caption.chop(2);
        Tab1->setTabText(index, unsaved ? caption + QLatin1String(" *") : caption);
    }
    setWindowModified(modified);
    if (missionPanel) {
        QSet<QString> unsaved;
        for (const WorkspaceDocument *document : workspace->modified())
            unsaved.insert(document->path());
        for (auto it = m_pageFiles.cbegin(); it != m_pageFiles.cend(); ++it) {
            if (it.value() && !it.key()->unsavedWork().isEmpty())
                unsaved.insert(it.value()->path());
        }
        missionPanel->setUnsavedFiles(unsaved);
    }
}

bool Qwr::saveCurrent(bool ask)
{
    auto *page = qobject_cast<EditorPage *>(Tab1->currentWidget());
    if (!page)
        return false;
    WorkspaceDocument *document = m_pageFiles.value(page);
    // A tab showing its file unchanged whose file holds changes made
    // elsewhere (a replacement) saves that file as it is.
    if (!ask && document && !pageEdited(page) && document->isModified()) {
        const bool saved = workspace->save({document}, *m_prompts);
        showDocument(page);
        return saved;
    }
    m_saveFlow->setInPlace(!ask);
    m_saveFlow->setAlwaysAsk(ask);
    m_wrote = false;
    page->saveButton()->click();
    m_saveFlow->setInPlace(false);
    m_saveFlow->setAlwaysAsk(false);
    const bool saved = std::exchange(m_wrote, false);
    if (saved)
        m_shown.insert(page, page->draft());
    updateModified();
    return saved;
}

bool Qwr::saveAll()
{
    bool all = true;
    QWidget *shown = Tab1->currentWidget();
    for (EditorPage *page : editorPages()) {
        WorkspaceDocument *document = m_pageFiles.value(page);
        if (page->unsavedWork().isEmpty() && !(document && document->isModified()))
            continue;
        Tab1->setCurrentWidget(page);
        all = saveCurrent() && all;
    }
    Tab1->setCurrentWidget(shown);
    if (translation)   // the translations with their record
        all = translation->saveAll() && all;
    QList<WorkspaceDocument *> rest = workspace->modified();
    rest.removeIf([this](const WorkspaceDocument *document) { return translation && translation->holds(document); });
    if (!rest.isEmpty())
        all = workspace->save(rest, *m_prompts) && all;
    updateModified();
    m_replace->showPending();
    return all;
}

void Qwr::makeMissionWork()
{
    // Replace All, the disk under the mission and long saves, each in its
    // own class; the window tells them of its tabs.
    auto *progress = new WorkProgress(this);
    progress->follow(*workspace);
    m_diskWatch = new DiskWatch(*workspace, *m_prompts, this);
    m_replace = new MissionReplace(*workspace, *m_prompts, *progress, this);
    const auto pageOf = [this](const WorkspaceDocument *document) -> EditorPage * {
        for (auto it = m_pageFiles.cbegin(); it != m_pageFiles.cend(); ++it) {
            if (it.value() == document)
                return it.key();
        }
        return nullptr;
    };
    m_diskWatch->shown = [pageOf](const WorkspaceDocument *document) { return pageOf(document) != nullptr; };
    m_diskWatch->viewUnsaved = [this, pageOf](const WorkspaceDocument *document) {
        EditorPage *page = pageOf(document);
        return page && pageEdited(page);
    };
    m_replace->toldElsewhere = [this, pageOf](const WorkspaceDocument *document) {
        return pageOf(document) || (translation && translation->holds(document));
    };
    m_replace->layViews = [this](const QList<WorkspaceDocument *> &documents, QStringList *refused) {
        bool laid = false;
        for (auto it = m_pageFiles.cbegin(); it != m_pageFiles.cend(); ++it) {
            if (!documents.contains(it.value()) || !pageEdited(it.key()))
                continue;
            if (layIntoDocument(it.key()))
                laid = true;
            else
                refused->append(QDir::toNativeSeparators(it.value()->path()));
        }
        return laid;
    };
    m_diskWatch->layViews = m_replace->layViews;
    const auto announce = [this](const QString &text) { statusBar()->showMessage(text, 15000); };
    connect(m_diskWatch, &DiskWatch::announced, this, announce);
    connect(workspace, &MissionWorkspace::announced, this, announce);
    connect(m_diskWatch, &DiskWatch::readAgainIn, this, [this](WorkspaceDocument *document, int codePage) {
        // A tab showing it saves it in that code page from now on.
        if (auto *page = qobject_cast<EditorPage *>(Tab1->currentWidget()); page && documentOf(page) == document)
            useCodePage(codePage);
    });
}

bool Qwr::isReplacing() const
{
    return m_replace->isReplacing();
}

void Qwr::makeTranslationWindow()
{
    if (translation)
        return;
    translation = new TranslationWindow(*workspace, *m_prompts, this);
    // The translations are checked in the target language.
    QTableView *table = translation->translationTable;
    auto *checked = new SpellingDelegate(
        table, TranslationTableModel::TranslationColumn, spelling,
        [this] {
            const QString into = translation->targetLanguage->currentText().trimmed().toLower();
            return into.isEmpty() ? spelling->missionLanguage() : into;
        },
        table->itemDelegate());
    table->setItemDelegate(checked);
    connect(checked, &SpellingDelegate::failed, this, [this](const QString &message) { m_prompts->warn(message); });
    // A mark or a note is kept in the draft as a translation typed is.
    connect(translation, &TranslationWindow::marksChanged, this, &Qwr::draftSoon);
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
    makeTranslationWindow();
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
