#include "gui/translation/translationwindow.h"

#include "core/document/codepages.h"
#include "core/mission/translation/personalmemory.h"
#include "core/mission/backgroundjob.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "gui/translation/entrypane.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTimer>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using State = TranslationPair::State;

struct Filter {
    const char *name;
    QList<State> states;
};
const Filter Filters[] = {
    {QT_TRANSLATE_NOOP("TranslationWindow", "All entries"), {}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Untranslated"), {State::Untranslated}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Needs work"), {State::Untranslated, State::NeedsReview, State::Outdated}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Needs review"), {State::NeedsReview}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Outdated"), {State::Outdated}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Identical to the source"), {State::Identical}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Suspicious"), {State::Suspicious}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Not done"),
     {State::Untranslated, State::NeedsReview, State::Identical, State::Suspicious, State::Outdated}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Done"), {State::Done}},
};

// The setting that keeps a mission's languages: the mission by its identity on the disk.
QString languagesKey(const QString &root)
{
    return QStringLiteral("translation/languages/") + QString::fromLatin1(MissionWorkspace::identity(root).toUtf8().toHex());
}

} // namespace

TranslationWindow::TranslationWindow(MissionWorkspace &workspace, Prompts &prompts, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_workspace(workspace)
    , m_prompts(prompts)
    , m_set(workspace)
{
    setObjectName(QStringLiteral("translationView"));
    setWindowTitle(tr("Translate the Mission") + QStringLiteral("[*]"));
    auto *layout = new QVBoxLayout(this);

    auto *languages = new QHBoxLayout;
    auto *fromLabel = new QLabel(tr("&Translate from"), this);
    sourceLanguage = new QComboBox(this);
    sourceLanguage->setObjectName(QStringLiteral("sourceLanguage"));
    fromLabel->setBuddy(sourceLanguage);
    auto *intoLabel = new QLabel(tr("&into"), this);
    targetLanguage = new QComboBox(this);
    targetLanguage->setObjectName(QStringLiteral("targetLanguage"));
    targetLanguage->setEditable(true);
    targetLanguage->setInsertPolicy(QComboBox::NoInsert);
    targetLanguage->setToolTip(tr("A language folder of the mission, or the name of a new one"));
    intoLabel->setBuddy(targetLanguage);
    auto *codePageLabel = new QLabel(tr("&written in"), this);
    targetCodePage = new QComboBox(this);
    targetCodePage->setObjectName(QStringLiteral("targetCodePage"));
    for (const int codePage : CodePages::all())
        targetCodePage->addItem(CodePages::name(codePage), codePage);
    targetCodePage->setCurrentIndex(-1);   // shown once a target is chosen
    codePageLabel->setBuddy(targetCodePage);
    for (QWidget *control : {static_cast<QWidget *>(fromLabel), static_cast<QWidget *>(sourceLanguage),
                             static_cast<QWidget *>(intoLabel), static_cast<QWidget *>(targetLanguage),
                             static_cast<QWidget *>(codePageLabel), static_cast<QWidget *>(targetCodePage)})
        languages->addWidget(control);
    languages->addStretch();
    sourceFolderButton = new QPushButton(tr("Source from Another &Folder\u2026"), this);
    sourceFolderButton->setObjectName(QStringLiteral("sourceFolderButton"));
    m_sourceReading = new BackgroundJob(this);
    sourceFolderButton->setToolTip(tr("For a mission whose files were replaced by their translation: the "
                                      "original files, from a folder of their own"));
    languages->addWidget(sourceFolderButton);
    layout->addLayout(languages);

    auto *splitter = new QSplitter(this);
    m_fileList = new QStandardItemModel(0, 3, this);
    m_fileList->setHorizontalHeaderLabels({tr("File"), tr("Translated"), tr("Left")});
    translationFiles = new QTreeView(splitter);
    translationFiles->setObjectName(QStringLiteral("translationFiles"));
    translationFiles->setRootIsDecorated(false);
    translationFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    translationFiles->setAccessibleName(tr("Files to translate"));
    auto *right = new QWidget(splitter);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto *filterRow = new QHBoxLayout;
    auto *filterLabel = new QLabel(tr("&Show"), right);
    translationFilter = new QComboBox(right);
    translationFilter->setObjectName(QStringLiteral("translationFilter"));
    for (const Filter &filter : Filters)
        translationFilter->addItem(tr(filter.name));
    filterLabel->setBuddy(translationFilter);
    fileCounts = new QLabel(right);
    fileCounts->setObjectName(QStringLiteral("fileCounts"));
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(translationFilter);
    filterCounts = new QLabel(right);
    filterCounts->setObjectName(QStringLiteral("filterCounts"));
    filterRow->addWidget(filterCounts);
    filterRow->addStretch();
    filterRow->addWidget(fileCounts);
    rightLayout->addLayout(filterRow);
    auto *entrySplitter = new QSplitter(Qt::Vertical, right);   // the table above, the entry pane below
    entrySplitter->addWidget(makeTable(entrySplitter));
    entryPane = new EntryPane(entrySplitter);
    entrySplitter->addWidget(entryPane);
    entrySplitter->setSizes({330, 230});
    rightLayout->addWidget(entrySplitter, 1);
    splitter->addWidget(missionPane(splitter));   // the files, and a search of them all
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({fontMetrics().averageCharWidth() * 52, 700});   // the files' names and progress in sight
    layout->addWidget(splitter, 1);

    auto *bottom = new QHBoxLayout;
    translationCounts = new QLabel(this);
    translationCounts->setObjectName(QStringLiteral("translationCounts"));
    markDone = new QPushButton(tr("Mark &Done"), this);
    markDone->setObjectName(QStringLiteral("markDone"));
    markDone->setToolTip(tr("The entry is translated as it stands, and reviewed (Ctrl+Return)"));
    translationSave = new QPushButton(tr("&Save Translations"), this);
    translationSave->setObjectName(QStringLiteral("translationSave"));
    bottom->addWidget(translationCounts, 1);
    bottom->addWidget(makeExchangeButton());
    bottom->addWidget(markDone);
    bottom->addWidget(translationSave);
    layout->addLayout(bottom);
    resize(1000, 640);

    connect(sourceLanguage, &QComboBox::activated, this, [this] { pairFiles(); });
    connect(targetLanguage, &QComboBox::activated, this, &TranslationWindow::targetChosen);
    connect(targetLanguage->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (targetLanguage->currentText().trimmed() != m_pairedTarget)
            targetChosen();   // a new name
    });
    connect(targetCodePage, &QComboBox::activated, this, [this] { pairFiles(); });
    connect(translationFiles->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { showFile(m_fileOrder->mapToSource(current).row()); });
    connect(translationFilter, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < int(std::size(Filters)))
            m_filter->setStates(Filters[index].states);
        filterFiles(true);   // the files with entries to show
    });
    connect(markDone, &QPushButton::clicked, this, [this] {
        TranslationTableModel *shown = model(m_shown);
        const QModelIndex current = m_filter->mapToSource(translationTable->currentIndex());
        if (!shown || !current.isValid())
            return;
        shown->setMarkedDone(current.row(), !shown->pair().row(current.row()).markedDone);
        showCounts();
    });
    connect(sourceFolderButton, &QPushButton::clicked, this, [this] {
        const QString folder = m_prompts.folderPath(m_scan.root);
        if (folder.isEmpty())
            return;
        if (QDir(folder) == QDir(m_scan.root)) {
            m_prompts.tell(tr("The source must be another folder than the mission translated; nothing in it is written."));
            return;
        }
        // Thousands of files take a while: read off the window's thread.
        sourceFolderButton->setEnabled(false);
        translationCounts->setText(tr("Reading %1\u2026").arg(QDir::toNativeSeparators(folder)));
        m_sourceReading->start(
            [folder](const BackgroundJob::Control &control) {
                return MissionFolder::scan(folder, std::nullopt, control.progressFunction(), control.cancelFlag());
            },
            [this](const MissionFolder::Scan &source) {
                sourceFolderButton->setEnabled(true);
                useSourceFolder(source);
            });
    });
    connect(translationSave, &QPushButton::clicked, this, [this] { saveAll(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), this), &QShortcut::activated, this,
            [this] { goToWork(true); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), this), &QShortcut::activated, this,
            [this] { goToWork(false); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this), &QShortcut::activated, markDone,
            &QPushButton::click);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, [this] { saveAll(); });
    undoAction = m_workspace.undoGroup()->createUndoAction(this, tr("Undo"));
    undoAction->setObjectName(QStringLiteral("translationUndo"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = m_workspace.undoGroup()->createRedoAction(this, tr("Redo"));
    redoAction->setObjectName(QStringLiteral("translationRedo"));
    redoAction->setShortcuts(QKeySequence::keyBindings(QKeySequence::Redo));
    addAction(undoAction);
    addAction(redoAction);

    connect(&m_set, &TranslationSet::fileChanged, this, &TranslationWindow::fileChanged);
    connect(&m_set, &TranslationSet::documentChanged, this, [this](WorkspaceDocument *document) {
        // Typed here: the main window's Edit › Undo takes it back too.
        m_workspace.undoGroup()->setActiveStack(document->undoStack());
        showCounts();
        showUnsaved();
    });
    connect(&m_set, &TranslationSet::marksChanged, this, [this] {
        showUnsaved();
        Q_EMIT marksChanged();
    });
    // Saved or changed elsewhere (Save All, a Replace All over thousands of
    // files): the marks are shown again once, when the run of changes ends.
    auto *unsaved = new QTimer(this);
    unsaved->setSingleShot(true);
    connect(unsaved, &QTimer::timeout, this, &TranslationWindow::showUnsaved);
    connect(&m_workspace, &MissionWorkspace::documentsChanged, unsaved, qOverload<>(&QTimer::start));
}

TranslationWindow::~TranslationWindow() = default;

QString TranslationWindow::listedName(const QString &name, bool unsaved)
{
    return unsaved ? name + QStringLiteral(" *") : name;
}

void TranslationWindow::setMission(const MissionFolder::Scan &scan)
{
    m_scan = scan;
    m_sourceFolder.reset();
    m_sourceReading->cancel();   // a source folder being read was for the mission before
    sourceFolderButton->setEnabled(true);
    const QSignalBlocker sources(sourceLanguage);
    const QSignalBlocker targets(targetLanguage);
    sourceLanguage->clear();
    targetLanguage->clear();
    sourceLanguage->addItems(scan.languages);
    targetLanguage->addItems(scan.languages);
    const QStringList remembered = QSettings().value(languagesKey(scan.root)).toStringList();
    const qsizetype english = scan.languages.indexOf(QStringLiteral("english"));
    sourceLanguage->setCurrentIndex(english >= 0 ? int(english) : 0);
    targetLanguage->setCurrentIndex(-1);
    targetLanguage->setEditText(QString());
    targetCodePage->setCurrentIndex(-1);
    if (remembered.size() == 2 && sourceLanguage->findText(remembered.at(0), Qt::MatchFixedString) >= 0) {
        chooseLanguages(remembered.at(0), remembered.at(1));   // as the translator left it
        return;
    }
    pairFiles();
}

bool TranslationWindow::chooseLanguages(const QString &source, const QString &target)
{
    const int from = sourceLanguage->findText(source, Qt::MatchFixedString);
    if (from < 0)
        return false;
    if (from == sourceLanguage->currentIndex() && m_set.size() > 0 && !m_sourceFolder
        && target.trimmed().compare(m_pairedTarget, Qt::CaseInsensitive) == 0)
        return true;   // paired so already: what is not saved yet stays
    sourceLanguage->setCurrentIndex(from);
    const int into = targetLanguage->findText(target, Qt::MatchFixedString);
    if (into >= 0)
        targetLanguage->setCurrentIndex(into);
    else
        targetLanguage->setEditText(target);
    targetChosen();
    return true;
}

void TranslationWindow::rememberLanguages() const
{
    if (!m_sourceFolder && !m_scan.root.isEmpty() && !m_pairedTarget.isEmpty() && m_set.size() > 0)
        QSettings().setValue(languagesKey(m_scan.root), QStringList{sourceLanguage->currentText(), m_pairedTarget});
}

void TranslationWindow::targetChosen()
{
    const QString target = targetLanguage->currentText().trimmed();
    targetCodePage->setCurrentIndex(target.isEmpty() ? -1 : targetCodePage->findData(languageCodePage(target)));
    pairFiles();
}

int TranslationWindow::languageCodePage(const QString &language) const
{
    const auto read = m_scan.codePages.constFind(language.toLower());
    if (read != m_scan.codePages.cend())
        return read->codePage;   // the mission's folder, in the code page its files were read in
    return MissionTranslation::codePageOf(language, CodePages::defaultCodePage());
}

void TranslationWindow::useSourceFolder(const MissionFolder::Scan &source)
{
    m_sourceFolder = source;
    pairFiles();
}

void TranslationWindow::pairFiles()
{
    const QString target = targetLanguage->currentText().trimmed();
    m_pairedTarget = target;
    // A new language is a folder made beside the source's: never a path.
    const bool named = target.isEmpty() || m_scan.languages.contains(target.toLower())
        || MissionTranslation::isLanguageName(target);
    if (!named) {
        m_prompts.tell(tr("\u201C%1\u201D cannot name a language: the name of a language is the name of its folder, "
                          "of letters, digits, '-' and '_' only.")
                           .arg(target));
    }
    if (m_sourceFolder && targetCodePage->currentIndex() < 0)   // the mission itself is the target
        targetCodePage->setCurrentIndex(targetCodePage->findData(languageCodePage(QString())));
    const int codePage = targetCodePage->currentIndex() >= 0 ? targetCodePage->currentData().toInt()
                                                             : CodePages::defaultCodePage();
    m_switching = true;
    m_filter->setSourceModel(nullptr);
    m_switching = false;
    m_shown = -1;
    m_fileList->removeRows(0, m_fileList->rowCount());
    QStringList unused;
    m_pairing = true;
    if (named || m_sourceFolder)
        unused = m_set.open(m_scan, sourceLanguage->currentText(), m_sourceFolder ? QString() : target, codePage,
                            m_sourceFolder);
    else
        m_set.clear();
    m_pairing = false;
    if (!unused.isEmpty())
        m_prompts.warn(tr("Some of the translation record %1 could not be used; every translation is kept:\n\n%2")
                           .arg(QDir::toNativeSeparators(m_set.recordPath()), unused.join(u'\n')));
    for (int i = 0; i < m_set.size(); ++i) {
        const TranslationSet::File &file = m_set.files().at(size_t(i));
        auto *name = new QStandardItem(file.names.name);
        auto *count = new QStandardItem;
        if (!file.model) {
            name->setToolTip(file.failure);
            count->setText(tr("not read"));
        }
        m_fileList->appendRow({name, count, new QStandardItem});
    }
    applyPendingMarks();
    QList<EntryPane::File> translated;
    for (int i = 0; i < m_set.size(); ++i)
        translated.append({m_set.name(i), m_set.model(i)});
    const bool record = m_set.keepsRecord();
    entryPane->setMission(translated, record ? QDir(m_scan.root).filePath(TermList::fileName(target)) : QString(),
                          target.isEmpty() ? QString() : PersonalMemory::pathOf(sourceLanguage->currentText(), target),
                          target.isEmpty() ? QString() : target.toLower(), m_scan.root);
    showCounts();
    showUnsaved();
    if (m_set.size() > 0)
        translationFiles->setCurrentIndex(translationFiles->model()->index(0, 0));
    else
        showFile(-1);
    search(translationSearch->text());   // the entries found are of these files now
    rememberLanguages();
}

void TranslationWindow::fileChanged(int file)
{
    if (file == m_shown)
        translationTable->resizeRowsToContents();
    showCounts();
    showUnsaved();
}

void TranslationWindow::showUndoOf(int file)
{
    const TranslationSet::File *held = file >= 0 && file < m_set.size() ? &m_set.files().at(size_t(file)) : nullptr;
    m_workspace.undoGroup()->setActiveStack(held && held->target ? held->target->undoStack() : nullptr);
}

void TranslationWindow::showCurrentEntry()
{
    const QModelIndex current = m_filter->mapToSource(translationTable->currentIndex());
    entryPane->showEntry(model(m_shown), current.isValid() ? current.row() : -1);
}

bool TranslationWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        showUndoOf(m_shown);   // Undo and Redo act on the file shown while the window is active
    return QWidget::event(event);
}

void TranslationWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    keepOnScreen();
}

void TranslationWindow::keepOnScreen()
{
    if (isMaximized() || isFullScreen())
        return;
    const QScreen *shownOn = parentWidget() ? parentWidget()->screen() : screen();
    if (!shownOn)
        return;
    const QRect available = shownOn->availableGeometry();
    const QSize frame = frameGeometry().size() - size();   // the window manager's frame around it
    const QSize fits(std::min(width(), available.width() - frame.width()),
                     std::min(height(), available.height() - frame.height()));
    if (fits.width() < minimumWidth() || fits.height() < minimumHeight())   // its rows wider than a small screen
        setMinimumSize(std::min(minimumWidth(), fits.width()), std::min(minimumHeight(), fits.height()));
    if (fits != size())
        resize(fits);
    QRect outer = frameGeometry();
    outer.moveRight(std::min(outer.right(), available.right()));
    outer.moveBottom(std::min(outer.bottom(), available.bottom()));
    outer.moveLeft(std::max(outer.left(), available.left()));
    outer.moveTop(std::max(outer.top(), available.top()));
    if (outer.topLeft() != frameGeometry().topLeft())
        move(outer.topLeft());
}

TranslationTableModel *TranslationWindow::model(int file) const
{
    return m_set.model(file);
}

void TranslationWindow::showFile(int file)
{
    if (file == m_shown)
        return;
    m_shown = file;
    if (isActiveWindow())
        showUndoOf(file);
    TranslationTableModel *shown = model(file);
    m_switching = true;
    m_filter->setSourceModel(shown);
    m_switching = false;
    if (!shown) {
        fileCounts->setText(file >= 0 ? m_fileList->item(file)->toolTip() : QString());
        showCurrentEntry();
        return;
    }
    QHeaderView *header = translationTable->horizontalHeader();
    header->setSectionResizeMode(TranslationTableModel::KeyColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(TranslationTableModel::SourceColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TranslationTableModel::TranslationColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TranslationTableModel::StateColumn, QHeaderView::ResizeToContents);
    translationTable->resizeRowsToContents();
    showCounts();
    confirmTarget(file);
}

bool TranslationWindow::confirmTarget(int file)
{
    TranslationTableModel *shown = model(file);
    if (!shown || shown->pair().isSafeToWrite())
        return true;
    const Prompts::Message question{
        Prompts::Icon::Warning, Prompts::applicationTitle(),
        tr("%1 is left as it is: %2\n\nTranslate into it anyway? Saving then writes it as a .str file in %3.")
            .arg(QDir::toNativeSeparators(m_set.files().at(size_t(file)).names.targetPath), shown->pair().unsafeReason(),
                 CodePages::description(shown->pair().targetCodePage())),
        {Prompts::Button::Yes, Prompts::Button::No}, Prompts::Button::No, {},
        /*guarded=*/true};   // asked from the table, perhaps with keys still held
    if (m_prompts.show(question) != Prompts::Button::Yes)
        return false;
    shown->acceptTarget();
    return true;
}

void TranslationWindow::showCounts()
{
    for (int i = 0; i < m_set.size(); ++i) {
        if (const TranslationTableModel *table = model(i))
            showFileProgress(i, table->pair().counts());
    }
    filterFiles();
    translationCounts->setText(m_set.size() == 0 ? tr("Choose the languages to translate from and into.")
                                                 : TranslationPair::progressText(m_set.counts()));
    if (TranslationTableModel *shown = model(m_shown))
        fileCounts->setText(TranslationPair::progressText(shown->pair().counts()));
}

void TranslationWindow::showUnsaved()
{
    if (m_pairing)
        return;
    for (int i = 0; i < m_set.size() && i < m_fileList->rowCount(); ++i) {
        const TranslationSet::File &file = m_set.files().at(size_t(i));
        const bool unsaved = m_set.holds(file.target) && file.target->isModified();
        if (QStandardItem *name = m_fileList->item(i); name && name->text() != listedName(file.names.name, unsaved))
            name->setText(listedName(file.names.name, unsaved));
    }
    setWindowModified(!unsavedWork().isEmpty());
}

QStringList TranslationWindow::unsavedWork() const
{
    QStringList work;
    for (const WorkspaceDocument *document : m_set.changedDocuments()) {
        work.append(tr("the translation of %1")
                        .arg(QDir::toNativeSeparators(QDir(m_scan.root).relativeFilePath(document->path()))));
    }
    // Done marks and notes live in the record alone, written with the translations.
    if (const QVariantMap marks = marksDraft(); !marks.isEmpty())
        work.append(tr("the done marks and notes of the %1 translation").arg(marks.value(QStringLiteral("target")).toString()));
    return work;
}

QVariantMap TranslationWindow::marksDraft() const
{
    if (const QVariantList changed = m_set.changedMarks(); !changed.isEmpty())
        return {{QStringLiteral("mission"), m_scan.root},
                {QStringLiteral("target"), m_pairedTarget},
                {QStringLiteral("entries"), changed}};
    return m_pendingMarks.toVariantMap();
}

void TranslationWindow::restoreMarks(const QJsonObject &marks)
{
    m_pendingMarks = marks;
    applyPendingMarks();
}

void TranslationWindow::applyPendingMarks()
{
    if (m_pendingMarks.isEmpty() || m_sourceFolder || m_set.size() == 0
        || m_pendingMarks.value(QStringLiteral("target")).toString().compare(m_pairedTarget, Qt::CaseInsensitive) != 0
        || MissionWorkspace::identity(m_pendingMarks.value(QStringLiteral("mission")).toString())
               != MissionWorkspace::identity(m_scan.root))
        return;
    const QJsonArray entries = m_pendingMarks.value(QStringLiteral("entries")).toArray();
    m_pendingMarks = {};
    m_set.applyMarks(entries);
}

bool TranslationWindow::holds(const WorkspaceDocument *document) const
{
    return m_set.holds(document);
}

bool TranslationWindow::saveAll()
{
    // A text that cannot be written is shown where it was typed before anything is written.
    if (const std::optional<TranslationSet::Refusal> refused = m_set.check()) {
        showEntry(refused->file, refused->refusal.row);
        m_prompts.warn(tr("%1 cannot be saved:\n\n%2")
                           .arg(QDir::toNativeSeparators(QDir(m_scan.root).relativeFilePath(
                                    m_set.files().at(size_t(refused->file)).names.targetPath)),
                                refused->refusal.message));
        return false;
    }
    QString recordProblem;
    const bool saved = m_set.save(m_prompts, &recordProblem);
    if (saved && !recordProblem.isEmpty())
        m_prompts.warn(tr("%1\n\nThe translations were saved.").arg(recordProblem));
    if (saved)
        feedMemory();   // the translator's own memory, across missions
    showCounts();
    showUnsaved();
    return saved;
}
