#include "gui/mainwindow.h"

#include "core/app/credits.h"
#include "core/app/version.h"
#include "core/document/codepages.h"
#include "core/mission/backgroundjob.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/workspace.h"
#include "core/save/saveflow.h"
#include "core/save/settings.h"
#include "gui/artwork.h"
#include "gui/encodingmenu.h"
#include "gui/fileopener.h"
#include "gui/fonts.h"
#include "gui/mission/missionpanel.h"
#include "gui/qtprompts.h"
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
#include "gui/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSessionManager>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
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
    connect(workspace, &MissionWorkspace::changedOnDisk, this, &Qwr::fileChangedOnDisk);
    m_watcher = new QFileSystemWatcher(this);
    m_folderTimer = new QTimer(this);
    m_folderTimer->setSingleShot(true);
    m_folderTimer->setInterval(400);
    connect(m_folderTimer, &QTimer::timeout, this, [this] {
        if (missionPanel)
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
    m_saveFlow->onWritten = [this](const QString &path) {
        if (missionPanel && QDir::cleanPath(QFileInfo(path).absoluteFilePath()).startsWith(missionPanel->folder() + u'/'))
            m_folderTimer->start();
    };
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
    m_opener = new FileOpener(*this);
    m_drafts = new WindowDrafts(*this);
    createActions();
    createMenus();
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
                       translateAction});
    recentMenu = MyMNU->addMenu(tr("Recent files"));
    recentMenu->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu, &QMenu::aboutToShow, this, [this] { m_opener->showRecentFiles(recentMenu); });
    MyMNU->addSeparator();
    MyMNU->addActions({abtme, qtnow});
    editMenu = menuBar()->addMenu(tr("Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    editMenu->addActions({undoAction, redoAction});
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
    m_drafts->finish();   // a clean end: nothing left to recover
}


bool Qwr::saveAll()
{
    const bool all = m_tabFiles->saveAll([this] { return !translation || translation->saveAll(); });
    if (missionPanel)
        showReplacements();
    return all;
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
    m_encoding->show(document ? document->codePage() : m_saveFlow->codePage());
}

void Qwr::openFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!mayDiscard(replacementWork(), tr("Open %1").arg(QDir::toNativeSeparators(clean))))
        return;
    if (!missionPanel) {
        missionPanel = new MissionPanel(this);
        addDockWidget(Qt::LeftDockWidgetArea, missionPanel);
        connect(missionPanel, &MissionPanel::fileChosen, m_opener, &FileOpener::openMissionFile);
        connect(missionPanel, &MissionPanel::folderRead, this, &Qwr::watchFolder);
        connect(missionPanel, &MissionPanel::replaceRequested, this, &Qwr::replaceInMission);
        connect(missionPanel, &MissionPanel::saveReplacedRequested, this, &Qwr::saveReplacements);
        connect(missionPanel, &MissionPanel::undoReplaceRequested, this, &Qwr::undoReplacements);
        connect(missionPanel, &MissionPanel::folderRead, this, [this] {
            showReplacements();
            readInMissionCodePages();
            updateModified();
        });
        findAction->setVisible(true);
        translateAction->setVisible(true);
    }
    showDockWidened(*this, *missionPanel);
    m_opener->readFolder(clean);
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

void Qwr::watchFolder()
{
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

void Qwr::fileChangedOnDisk(WorkspaceDocument *document, const QByteArray &bytes)
{
    const QString path = document->path();
    if (missionPanel && path.startsWith(missionPanel->folder() + u'/'))
        m_folderTimer->start();
    EditorPage *page = m_tabFiles->pageOf(document);
    const QString shownPath = QDir::toNativeSeparators(path);
    const bool unsaved = document->isModified() || (page && pageEdited(page));
    if (!page && !unsaved) {
        document->reload(bytes);   // no view shows it: nothing to ask
        return;
    }
    const Prompts::Message question =
        unsaved ? Prompts::Message{Prompts::Icon::Warning, Prompts::applicationTitle(),
                                   tr("%1 was changed outside Quillwright, and its tab holds changes you have not "
                                      "saved.\n\nReload the file and lose your changes, or keep your changes "
                                      "(saving them replaces the file as it is now)?").arg(shownPath),
                                   {Prompts::Button::Reload, Prompts::Button::Keep}, Prompts::Button::Keep, {}}
                : Prompts::Message{Prompts::Icon::Information, Prompts::applicationTitle(),
                                   tr("%1 was changed outside Quillwright.\n\nReload it?").arg(shownPath),
                                   {Prompts::Button::Reload, Prompts::Button::Keep}, Prompts::Button::Reload, {}};
    if (m_prompts->show(question) != Prompts::Button::Reload) {
        document->keepAfterDiskChange(bytes);
        return;
    }
    document->reload(bytes);   // a tab showing it shows it
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
    QStringList work;
    QStringList files;
    for (const WorkspaceDocument *document : workspace->modified()) {
        const bool inTab = m_tabFiles->pageOf(document) != nullptr;
        if (!inTab && !(translation && translation->holds(document)))   // a translation is told of by its window
            files.append(QDir::toNativeSeparators(document->path()));
    }
    if (!files.isEmpty())
        work.append(tr("the replacements in %1 of the mission").arg(counted(files.size(), "file", "files")));
    return work;
}

void Qwr::showReplacements()
{
    QList<std::pair<int, StrDocument>> pending;
    const MissionFolder::Scan &scan = missionPanel->scan();
    for (qsizetype i = 0; i < scan.files.size(); ++i) {
        const WorkspaceDocument *document = workspace->findIdentity(scan.files.at(i).identity);
        if (document && document->isModified() && m_replaced.contains(document))
            pending.append({static_cast<int>(i), document->document()});
    }
    missionPanel->setPendingReplacements(pending, QString());
}

void Qwr::replaceInMission()
{
    // The texts as the workspace holds them: a file changed and not yet
    // saved is replaced in with its changes.
    MissionFolder::Scan scan = missionPanel->scan();
    for (MissionFolder::File &file : scan.files) {
        if (const WorkspaceDocument *held = workspace->findIdentity(file.identity); held && held->isModified()) {
            if (std::optional<StrReader::Result> now = held->readBack())
                file.read.document = now->document;
        }
    }
    const QString pattern = missionPanel->findText->text();
    const QString replacement = missionPanel->replaceText->text();
    const MissionFolder::FindOptions options = missionPanel->findOptions();
    // The matches are looked for and replaced off the GUI thread; a run
    // that takes too long is stopped, and so is one a newer Replace All follows.
    if (!m_replacer) {
        m_replacer = new BackgroundJob(this);
        connect(m_replacer, &BackgroundJob::timedOut, this, [this] {
            const double seconds = static_cast<double>(m_replacer->timeLimit().count()) / 1000.0;
            missionPanel->resultsLabel->setText(
                tr("Replace All was stopped after %1 s: the expression takes too long on these texts. Nothing was "
                   "replaced.").arg(seconds));
        });
    }
    m_replacer->setTimeLimit(m_replaceTimeLimit);
    missionPanel->resultsLabel->setText(tr("Looking for what to replace\u2026"));
    struct Found {
        QString error;
        QList<MissionFolder::Match> matches;
        QList<std::pair<int, StrDocument>> changed;
    };
    m_replacer->start(
        [scan, pattern, replacement, options](const BackgroundJob::Control &control) {
            Found found;
            found.matches = MissionFolder::find(scan, pattern, options, &found.error, control.cancelFlag());
            if (found.error.isEmpty() && !found.matches.isEmpty() && !control.cancelled())
                found.changed = MissionFolder::replaced(scan, pattern, replacement, options, nullptr, control.cancelFlag());
            return found;
        },
        [this, scan, pattern, replacement](const Found &found) {
            applyReplacement(scan, pattern, replacement, found.error, found.matches, found.changed);
        });
}

bool Qwr::isReplacing() const
{
    return m_replacer && m_replacer->isRunning();
}

void Qwr::setReplaceTimeLimit(std::chrono::milliseconds limit)
{
    m_replaceTimeLimit = limit;
}

void Qwr::applyReplacement(const MissionFolder::Scan &scan, const QString &pattern, const QString &replacement,
                           const QString &error, const QList<MissionFolder::Match> &matches,
                           const QList<std::pair<int, StrDocument>> &changed)
{
    missionPanel->resultsLabel->clear();
    if (!error.isEmpty()) {
        m_prompts->tell(tr("The regular expression cannot be used: %1").arg(error));
        return;
    }
    if (matches.isEmpty()) {
        m_prompts->tell(tr("Nothing in the mission matches \u201C%1\u201D; nothing was replaced.").arg(pattern));
        return;
    }
    if (scan.files.size() != missionPanel->scan().files.size()) {
        missionPanel->resultsLabel->setText(tr("The folder was read again meanwhile; nothing was replaced."));
        return;
    }
    QMap<int, int> perFile;
    for (const MissionFolder::Match &match : matches)
        ++perFile[match.file];
    // A tab's changes not yet part of its file are laid into it first (a step
    // of its undo), and the texts looked at again with them; only a tab whose
    // own save refuses its changes leaves its file out.
    QStringList busy;
    bool laid = false;
    QStringList lines;
    for (auto it = perFile.cbegin(); it != perFile.cend(); ++it) {
        const MissionFolder::File &file = scan.files.at(it.key());
        if (const WorkspaceDocument *held = workspace->findIdentity(file.identity)) {
            QList<EditorPage *> pages;
            if (EditorPage *page = m_tabFiles->pageOf(held); page && pageEdited(page))
                pages.append(page);
            for (EditorPage *page : std::as_const(pages)) {
                if (layIntoDocument(page))
                    laid = true;
                else
                    busy.append(QDir::toNativeSeparators(file.relativePath));
            }
        }
        lines.append(tr("%1: %2").arg(QDir::toNativeSeparators(file.relativePath), counted(it.value(), "match", "matches")));
    }
    if (laid && busy.isEmpty()) {
        replaceInMission();
        return;
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
    // One step of each file's undo.
    m_replacement = tr("Replace \u201C%1\u201D with \u201C%2\u201D").arg(pattern, replacement);
    m_replaced.clear();
    for (const auto &[index, document] : changed) {
        const MissionFolder::File &file = scan.files.at(index);
        WorkspaceDocument *held =
            workspace->adopt(file.path, file.codePage, missionPanel->scan().files.at(index).read.document);
        held->change(document, m_replacement, missionPanel);
        m_replaced.append(held);
    }
    showReplacements();
    missionPanel->resultsLabel->setText(tr("%1 replaced in %2, not saved yet.")
                                            .arg(counted(matches.size(), "match", "matches"),
                                                 counted(changed.size(), "file", "files")));
    updateModified();
}

void Qwr::readInMissionCodePages()
{
    // The files held are read in the code page the mission now gives them;
    // one with unsaved changes is asked about first, and kept by default.
    const MissionFolder::Scan &scan = missionPanel->scan();
    for (const MissionFolder::File &file : scan.files) {
        WorkspaceDocument *document = workspace->findIdentity(file.identity);
        if (!document || document->codePage() == file.codePage || !file.failure.isEmpty())
            continue;
        if (document->isModified()) {
            const QString question =
                tr("%1 holds changes you have not saved. It is now read in %2.\n\nRead it again in %2 and lose "
                   "your changes, or keep it as it is (it is then saved in %3)?")
                    .arg(QDir::toNativeSeparators(file.relativePath), CodePages::description(file.codePage),
                         CodePages::description(document->codePage()));
            if (m_prompts->show({Prompts::Icon::Warning, Prompts::applicationTitle(), question,
                                 {Prompts::Button::Reload, Prompts::Button::Keep}, Prompts::Button::Keep, {}})
                != Prompts::Button::Reload)
                continue;
        }
        document->readAgainIn(file.codePage);
        // A tab showing it saves it in that code page from now on.
        if (auto *page = qobject_cast<EditorPage *>(Tab1->currentWidget()); page && documentOf(page) == document)
            useCodePage(file.codePage);
    }
}

void Qwr::undoReplacements()
{
    for (const QPointer<WorkspaceDocument> &document : std::as_const(m_replaced)) {
        if (document && document->undoStack()->canUndo() && document->undoStack()->undoText() == m_replacement)
            document->undoStack()->undo();
    }
    m_replaced.clear();
    showReplacements();
    missionPanel->resultsLabel->setText(tr("The replacements were undone; no file was changed."));
    updateModified();
}

void Qwr::saveReplacements()
{
    QList<WorkspaceDocument *> documents;
    for (const QPointer<WorkspaceDocument> &document : std::as_const(m_replaced)) {
        if (document && document->isModified())
            documents.append(document);
    }
    const qsizetype before = documents.size();
    workspace->save(documents, *m_prompts);
    qsizetype saved = 0;
    for (WorkspaceDocument *document : std::as_const(documents))
        saved += document->isModified() ? 0 : 1;
    if (saved == before)
        m_replaced.clear();
    showReplacements();
    missionPanel->resultsLabel->setText(tr("%1 saved.").arg(counted(saved, "replaced file", "replaced files")));
    updateModified();
    missionPanel->openFolder(missionPanel->folder());
}

