#include "gui/mainwindow.h"

#include "core/app/credits.h"
#include "core/app/version.h"
#include "core/document/codepages.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/workspace.h"
#include "core/save/saveflow.h"
#include "core/save/settings.h"
#include "gui/artwork.h"
#include "gui/closingquestion.h"
#include "gui/encodingmenu.h"
#include "gui/fileopener.h"
#include "gui/fonts.h"
#include "gui/mission/diskwatch.h"
#include "gui/mission/missionreplace.h"
#include "gui/mission/workprogress.h"
#include "gui/mission/missionpanel.h"
#include "gui/qtprompts.h"
#include "gui/source/reviewchanges.h"
#include "gui/source/savereport.h"
#include "gui/source/sourcedock.h"
#include "gui/spellingsetup.h"
#include "gui/tabs/aboutpage.h"
#include "gui/tabs/bookpage.h"
#include "gui/tabs/goalspage.h"
#include "gui/tabs/missflagpage.h"
#include "gui/tabs/newgamepage.h"
#include "gui/tabs/stringspage.h"
#include "gui/tabs/tabfiles.h"
#include "gui/tabs/titlespage.h"
#include "gui/tabs/tabpages.h"
#include "gui/translation/translationwindow.h"
#include "gui/translationhost.h"
#include "gui/windowdrafts.h"
#include "gui/windownames.h"
#include "gui/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSessionManager>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QUndoGroup>
#include <QUndoStack>

Qwr::Qwr(Prompts *prompts, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Qwr"));
    if (!prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        prompts = m_ownPrompts.get();
    }
    m_prompts = prompts;
    workspace = new MissionWorkspace(this);
    m_saveFlow = std::make_unique<SaveFlow>(*m_prompts, *workspace);
    m_saveFlow->setCodePage(Settings::codePage(CodePages::startCodePage(CodePages::systemCodePage())));
    setFont(Fonts::windowDefault());
    makeTabPages(*this, *m_prompts);
    m_tabFiles = new TabFiles(*Tab1, {books, goals, newgame, missflag, titles, strings}, *workspace, *m_saveFlow,
                              *m_prompts, this);
    connect(m_tabFiles, &TabFiles::unsavedChanged, this, [this](bool anything, const QSet<QString> &files) {
        setWindowModified(anything);
        if (missionPanel)
            missionPanel->setUnsavedFiles(files);
    });
    connect(m_tabFiles, &TabFiles::currentFileChanged, this, &Qwr::currentFileChanged);
    makeMissionWork();
    m_saveFlow->onWritten = [this](const QString &path) {
        m_diskWatch->fileWritten(path);
        m_saveReport->written(path);
    };
    m_opener = new FileOpener(*this);
    m_drafts = new WindowDrafts(*this);
    createActions();
    createMenus();
    makeSourceWork();
    m_translation = new TranslationHost(*this, *m_spelling);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &Qwr::commitData);
    setAcceptDrops(true);
    currentFileChanged();
    setWindowIcon(Artwork::icon());
}

Qwr::~Qwr()
{
    m_drafts->writePending();   // what waited for the pause in typing (the end of a session)
    // The tabs and files that go with the window tell it and its parts nothing more.
    Tab1->disconnect(this);
    Tab1->disconnect(m_tabFiles);
    for (WorkspaceDocument *document : workspace->documents())
        document->disconnect(this);
    workspace->disconnect(this);
    workspace->disconnect(m_tabFiles);
    delete strings;   // the Strings page first, whether a tab (which it then leaves) or not
    delete Tab1;
    delete workspace;
}

void Qwr::createActions()
{
    const auto action = [this](const QString &text, const char *name, const QKeySequence &keys, auto slot) {
        auto *made = new QAction(text, this);
        made->setObjectName(QLatin1String(name));
        made->setShortcut(keys);
        connect(made, &QAction::triggered, this, slot);
        return made;
    };
    openAction = action(tr("Open\u2026"), "openAction", QKeySequence::Open, [this] { openFromDialog(); });
    openFolderAction = action(tr("Open Mission Folder\u2026"), "openFolderAction",
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this] { openFolderFromDialog(); });
    findAction = action(tr("Find in Mission\u2026"), "findAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
                        [this] { missionPanel->startFind(); });
    findAction->setVisible(false);   // until a folder is open
    saveAction = action(tr("Save"), "saveAction", QKeySequence::Save, [this] { saveCurrent(); });
    saveAsAction = action(tr("Save As\u2026"), "saveAsAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                          [this] { saveCurrent(true); });
    saveAllAction = action(tr("Save All"), "saveAllAction", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S),
                           [this] { saveAll(); });
    reviewChangesAction = action(tr("Review Changes\u2026"), "reviewChangesAction", {}, [this] { reviewChanges(); });
    translateAction = action(tr("Translate Mission\u2026"), "translateAction", {}, [this] { translateMission(); });
    translateAction->setVisible(false);   // until a folder is open
    abtme = action(tr("About"), "abtme", {}, [this] { abtme_Click(); });
    qtnow = action(tr("Quit"), "qtnow", {}, [this] { qtnow_Click(); });
    undoAction = workspace->undoGroup()->createUndoAction(this, tr("Undo"));
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = workspace->undoGroup()->createRedoAction(this, tr("Redo"));
    redoAction->setObjectName(QStringLiteral("redoAction"));
    redoAction->setShortcuts(QKeySequence::keyBindings(QKeySequence::Redo));
}

void Qwr::createMenus()
{
    MyMNU = menuBar()->addMenu(tr("File"));
    MyMNU->setObjectName(QStringLiteral("MyMNU"));
    MyMNU->addActions({openAction, openFolderAction, findAction, saveAction, saveAsAction, saveAllAction,
                       reviewChangesAction, translateAction});
    recentMenu = MyMNU->addMenu(tr("Recent files"));
    recentMenu->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu, &QMenu::aboutToShow, this, [this] { m_opener->showRecentFiles(recentMenu); });
    MyMNU->addSeparator();
    MyMNU->addActions({abtme, qtnow});
    editMenu = menuBar()->addMenu(tr("Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    editMenu->addActions({undoAction, redoAction});
    viewMenu = menuBar()->addMenu(tr("View"));
    viewMenu->setObjectName(QStringLiteral("viewMenu"));
    m_spelling = new SpellingSetup(*this, {books, goals, newgame, titles, strings}, *m_prompts, *editMenu);
    spelling = m_spelling->spelling;
    pageSpelling = m_spelling->pageSpelling;
    missionLanguageMenu = m_spelling->missionLanguageMenu;
    dictionaryFolderAction = m_spelling->dictionaryFolderAction;
    m_encoding = new EncodingMenu(*menuBar());
    encodingMenu = m_encoding->menu;
    codePageLabel = m_encoding->label;
    connect(m_encoding, &EncodingMenu::chosen, this, [this](int codePage) {
        Settings::setCodePage(codePage);
        useCodePage(codePage);
        if (missionPanel && !missionPanel->folder().isEmpty())
            missionPanel->setMissionCodePage(codePage);   // the open mission's code page too
        else
            m_opener->readAgainIn(codePage);   // the files opened alone, read again in it
    });
}

void Qwr::Form_Load()
{
    setWindowTitle(WindowNames::startTitle());
    m_names->start();   // a file opened before the window showed names it
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
    m_drafts->finish();   // a clean end: nothing left to recover
}


bool Qwr::saveAll()
{
    m_saveReport->begin();
    const bool all = m_tabFiles->saveAll([this] { return !translation || translation->saveAll(); },
                                         [this](const WorkspaceDocument *document) {
                                             return translation && translation->holds(document);
                                         });
    m_replace->showPending();
    m_saveReport->end();
    return all;
}

bool Qwr::mayDiscardUnsavedWork()
{
    return ClosingQuestion(*this).mayClose();
}

void Qwr::commitData(QSessionManager &manager)
{
    if (manager.allowsInteraction() && !mayDiscardUnsavedWork())
        manager.cancel();
}

void Qwr::useCodePage(int codePage)
{
    m_saveFlow->setCodePage(codePage);
    m_tabFiles->setCodePageOfNew(codePage);
    currentFileChanged();
}

void Qwr::currentFileChanged()
{
    auto *page = qobject_cast<EditorPage *>(Tab1->currentWidget());
    const WorkspaceDocument *document = page ? page->document() : nullptr;
    saveAction->setEnabled(page != nullptr);
    saveAsAction->setEnabled(page != nullptr);
    // With a mission open, the code page is named for a file of it only (the panel's).
    const bool mission = missionPanel && !missionPanel->folder().isEmpty();
    m_encoding->show(document ? document->codePage() : m_saveFlow->codePage(),
                     !mission || (document && missionPanel->holdsFile(document->path())));
    if (sourceDock) {
        sourceDock->follow(page ? page->document() : nullptr);
        m_names->update();
    }
}

void Qwr::openFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!mayDiscard(m_replace->unsavedWork(), tr("Open %1").arg(QDir::toNativeSeparators(clean))))
        return;
    if (!missionPanel) {
        missionPanel = new MissionPanel(this);
        missionPanel->setWorkspace(workspace);
        addDockWidget(Qt::LeftDockWidgetArea, missionPanel);
        connect(missionPanel, &MissionPanel::fileChosen, m_opener, &FileOpener::openMissionFile);
        m_diskWatch->setPanel(missionPanel);
        m_replace->setPanel(missionPanel);
        connect(missionPanel, &MissionPanel::placeChosen, this, [this](int file, int line, int column) {
            const WorkspaceDocument *shown = m_tabFiles->documentOf(qobject_cast<EditorPage *>(Tab1->currentWidget()));
            if (shown && MissionWorkspace::identity(shown->path()) == missionPanel->scan().files.at(file).identity)
                sourceDock->showAt(line, column);   // the file opened in its tab
        });
        connect(missionPanel, &MissionPanel::folderRead, this, [this] {
            spelling->setScan(missionPanel->scan());   // Polish in english folders is spelled as Polish
            updateModified();
            sourceDock->missionRead();
            currentFileChanged();
        });
        findAction->setVisible(true);
        translateAction->setVisible(true);
    }
    showDockWidened(*this, *missionPanel);
    m_opener->readFolder(clean);
    m_names->update();
}

void Qwr::makeSourceWork()
{
    sourceDock = new SourceDock(*this);
    sourceAction = sourceDock->action();
    viewMenu->addAction(sourceAction);
    sourceDock->scan = [this] { return missionPanel ? &missionPanel->scan() : nullptr; };
    // Typing in the source view is a step of undo before the Edit menu acts on it.
    connect(editMenu, &QMenu::aboutToShow, sourceDock, &SourceDock::commitTyping);
    m_names = new WindowNames(*this, *Tab1, {books, goals}, [this] { return missionPanel ? missionPanel->folder() : QString(); });
    m_saveReport = new SaveReport(*workspace, this);
    connect(m_saveReport, &SaveReport::counted, this, [this](int files, int lines) {
        statusBar()->showMessage(ReviewChanges::savedText(files, lines), 15000);
    });
}

void Qwr::reviewChanges()
{
    sourceDock->commitTyping();
    for (EditorPage *page : editorPages()) {
        if (page->holdsUnlaid() && !layIntoDocument(page))
            return;   // the tab's refusal told
    }
    auto *review = new ReviewChanges(workspace, *m_prompts, this);
    review->setAttribute(Qt::WA_DeleteOnClose);
    review->setRoot(missionPanel ? missionPanel->folder() : QString());
    connect(review, &ReviewChanges::saved, this, [this](int files, int lines) {
        statusBar()->showMessage(ReviewChanges::savedText(files, lines), 15000);
        updateModified();
    });
    review->show();
}

void Qwr::makeMissionWork()
{
    // Replace All, the disk under the mission and long saves, each in its
    // own class; the window tells them of its tabs.
    auto *progress = new WorkProgress(this);
    progress->follow(*workspace);
    m_diskWatch = new DiskWatch(*workspace, *m_prompts, this);
    m_replace = new MissionReplace(*workspace, *m_prompts, *progress, this);
    m_diskWatch->shown = [this](const WorkspaceDocument *document) { return m_tabFiles->pageOf(document) != nullptr; };
    m_diskWatch->viewUnsaved = [this](const WorkspaceDocument *document) {
        EditorPage *page = m_tabFiles->pageOf(document);
        return page && page->holdsUnlaid();
    };
    m_replace->toldElsewhere = [this](const WorkspaceDocument *document) {
        return m_tabFiles->pageOf(document) || (translation && translation->holds(document));
    };
    m_replace->layViews = [this](const QList<WorkspaceDocument *> &documents, QStringList *refused) {
        bool laid = false;
        for (WorkspaceDocument *document : documents) {
            EditorPage *page = m_tabFiles->pageOf(document);
            if (!page || !page->holdsUnlaid())
                continue;
            if (m_tabFiles->lay(page))
                laid = true;
            else
                refused->append(QDir::toNativeSeparators(document->path()));
        }
        return laid;
    };
    m_diskWatch->layViews = m_replace->layViews;
    const auto announce = [this](const QString &text) { statusBar()->showMessage(text, 15000); };
    connect(m_diskWatch, &DiskWatch::announced, this, announce);
    connect(workspace, &MissionWorkspace::announced, this, announce);
    connect(m_diskWatch, &DiskWatch::readAgainIn, this, [this](WorkspaceDocument *, int) { currentFileChanged(); });
}

bool Qwr::isReplacing() const
{
    return m_replace->isReplacing();
}
