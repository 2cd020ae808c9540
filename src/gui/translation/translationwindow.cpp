#include "gui/translation/translationwindow.h"

#include "core/mission/translation/personalmemory.h"
#include "core/mission/translation/translationrecord.h"

#include "core/document/codepages.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "gui/translation/entrypane.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeView>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The translation is edited on one line, or on several where the source has
// several (Return then breaks the line; Tab or leaving the cell ends the edit).
class TranslationDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString source = index.siblingAtColumn(TranslationTableModel::SourceColumn).data(Qt::EditRole).toString();
        const QString target = index.data(Qt::EditRole).toString();
        if (!source.contains(u'\n') && !target.contains(u'\n')) {
            auto *line = new QLineEdit(parent);   // also for a row not yet translated, which holds no text
            line->setObjectName(QStringLiteral("translationEditor"));
            line->setFrame(false);
            return line;
        }
        Q_UNUSED(option);
        auto *editor = new QPlainTextEdit(parent);
        editor->setObjectName(QStringLiteral("translationEditor"));
        editor->setTabChangesFocus(true);
        return editor;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QPlainTextEdit *>(editor))
            box->setPlainText(index.data(Qt::EditRole).toString());
        else if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QPlainTextEdit *>(editor))
            model->setData(index, box->toPlainText());
        else if (auto *line = qobject_cast<QLineEdit *>(editor))
            model->setData(index, line->text());
    }
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        QRect area = option.rect;
        if (qobject_cast<QPlainTextEdit *>(editor))
            area.setHeight(std::max(area.height(), editor->fontMetrics().lineSpacing() * 5));
        editor->setGeometry(area);
    }
};

struct Filter {
    const char *name;
    QList<TranslationPair::State> states;
};
const Filter Filters[] = {
    {QT_TRANSLATE_NOOP("TranslationWindow", "All entries"), {}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Untranslated"), {TranslationPair::State::Untranslated}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Identical to the source"), {TranslationPair::State::Identical}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Suspicious"), {TranslationPair::State::Suspicious}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Outdated"), {TranslationPair::State::Outdated}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Not done"),
     {TranslationPair::State::Untranslated, TranslationPair::State::Identical, TranslationPair::State::Suspicious,
      TranslationPair::State::Outdated}},
    {QT_TRANSLATE_NOOP("TranslationWindow", "Done"), {TranslationPair::State::Done}},
};

bool untranslated(const TranslationPair::Row &row)
{
    return row.state == TranslationPair::State::Untranslated && !row.readOnly;
}

} // namespace

TranslationWindow::TranslationWindow(MissionWorkspace &workspace, Prompts &prompts, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_workspace(workspace)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("translationView"));
    setWindowTitle(tr("Translate the Mission"));
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
    translationFiles->setModel(m_fileList);
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
    m_filter = new TranslationFilterModel(this);
    translationTable = new QTableView(right);
    translationTable->setObjectName(QStringLiteral("translationTable"));
    translationTable->setModel(m_filter);
    translationTable->setItemDelegate(new TranslationDelegate(translationTable));
    translationTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    translationTable->setSelectionMode(QAbstractItemView::SingleSelection);
    translationTable->setWordWrap(true);
    translationTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                      | QAbstractItemView::AnyKeyPressed);
    translationTable->horizontalHeader()->setStretchLastSection(false);
    translationTable->setAccessibleName(tr("Entries of the file"));
    auto *entrySplitter = new QSplitter(Qt::Vertical, right);   // the table above, the entry pane below
    entrySplitter->addWidget(translationTable);
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
    markDone->setToolTip(tr("The entry is translated as it stands (Ctrl+Return)"));
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
    connect(translationTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TranslationWindow::showCurrentEntry);
    connect(m_filter, &QAbstractItemModel::modelReset, this, &TranslationWindow::showCurrentEntry);
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
        useSourceFolder(MissionFolder::scan(folder));
    });
    connect(translationSave, &QPushButton::clicked, this, [this] { saveAll(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), this), &QShortcut::activated, this,
            [this] { goToUntranslated(true); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), this), &QShortcut::activated, this,
            [this] { goToUntranslated(false); });
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
}

TranslationWindow::~TranslationWindow() = default;

void TranslationWindow::setMission(const MissionFolder::Scan &scan)
{
    m_scan = scan;
    m_sourceFolder.reset();
    const QSignalBlocker sources(sourceLanguage);
    const QSignalBlocker targets(targetLanguage);
    sourceLanguage->clear();
    targetLanguage->clear();
    sourceLanguage->addItems(scan.languages);
    targetLanguage->addItems(scan.languages);
    const qsizetype english = scan.languages.indexOf(QStringLiteral("english"));
    sourceLanguage->setCurrentIndex(english >= 0 ? int(english) : 0);
    targetLanguage->setCurrentIndex(-1);
    targetLanguage->setEditText(QString());
    targetCodePage->setCurrentIndex(-1);
    pairFiles();
}

bool TranslationWindow::chooseLanguages(const QString &source, const QString &target)
{
    const int from = sourceLanguage->findText(source, Qt::MatchFixedString);
    if (from < 0)
        return false;
    sourceLanguage->setCurrentIndex(from);
    const int into = targetLanguage->findText(target, Qt::MatchFixedString);
    if (into >= 0)
        targetLanguage->setCurrentIndex(into);
    else
        targetLanguage->setEditText(target);
    targetChosen();
    return true;
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
    for (const TargetFile &file : m_targets) {
        if (file.document)
            file.document->disconnect(this);
    }
    m_files.clear();
    m_pairedTarget = target;
    // A new language is a folder made beside the source's: never a path.
    const bool named = target.isEmpty() || m_scan.languages.contains(target.toLower())
        || MissionTranslation::isLanguageName(target);
    if (!named) {
        m_prompts.tell(tr("\u201C%1\u201D cannot name a language: the name of a language is the name of its folder, "
                          "of letters, digits, '-' and '_' only.")
                           .arg(target));
    }
    if (m_sourceFolder)
        m_files = MissionTranslation::pairFolders(*m_sourceFolder, m_scan);
    else if (named && !target.isEmpty() && target.compare(sourceLanguage->currentText(), Qt::CaseInsensitive) != 0)
        m_files = MissionTranslation::pairLanguages(m_scan, sourceLanguage->currentText(), target);
    if (!m_files.isEmpty() && targetCodePage->currentIndex() < 0)   // the mission itself is the target
        targetCodePage->setCurrentIndex(targetCodePage->findData(languageCodePage(QString())));
    const int codePage = targetCodePage->currentIndex() >= 0 ? targetCodePage->currentData().toInt()
                                                             : CodePages::defaultCodePage();
    m_targets.clear();
    m_fileList->removeRows(0, m_fileList->rowCount());
    m_record = {};
    if (!m_files.isEmpty() && !m_sourceFolder) {
        const TranslationRecord::Loaded loaded =
            TranslationRecord::load(recordPath(), QFileInfo(m_scan.root).fileName(), target);
        m_record = loaded.record;
        if (!loaded.unused.isEmpty())
            m_prompts.warn(tr("Some of the translation record %1 could not be used; every translation is kept:\n\n%2")
                               .arg(QDir::toNativeSeparators(recordPath()), loaded.unused.join(u'\n')));
    }
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        const MissionTranslation::FilePair &file = m_files.at(i);
        auto opened = TranslationPair::open(file.sourcePath, file.sourceCodePage, file.targetPath, codePage);
        auto *name = new QStandardItem(file.name);
        auto *count = new QStandardItem;
        TargetFile translated;
        translated.codePage = codePage;
        if (auto *pair = std::get_if<TranslationPair>(&opened)) {
            // The target as the workspace holds it (unsaved changes made
            // elsewhere included), else as read, held from now on.
            WorkspaceDocument *document = m_workspace.find(file.targetPath);
            if (document) {
                translated.codePage = document->codePage();
                TranslationPair::Target held =
                    Error{Error::Kind::Unwritable,
                          tr("It holds changes that cannot be written in %1.")
                              .arg(CodePages::description(document->codePage())),
                          file.targetPath, {}};
                if (std::optional<StrReader::Result> back = document->readBack())
                    held = std::move(*back);
                *pair = TranslationPair(pair->source(), std::move(held), translated.codePage);
            } else if (pair->targetExists()) {
                document = m_workspace.adopt(file.targetPath, codePage, pair->targetDocument());
            }
            pair->applyRecord(m_record.files.value(file.name));
            translated.recorded = pair->recordEntries();
            translated.base = pair->targetDocument();
            translated.onDisk = document || pair->targetExists();
            translated.model = std::make_unique<TranslationTableModel>();
            translated.model->setPair(std::move(*pair));
            const int index = int(i);
            connect(translated.model.get(), &TranslationTableModel::dataChanged, this,
                    [this, index](const QModelIndex &topLeft) { m_targets.at(size_t(index)).lastRow = topLeft.row(); });
            connect(translated.model.get(), &TranslationTableModel::changed, this,
                    [this, index] { tableChanged(index); });
            connect(translated.model.get(), &TranslationTableModel::markChanged, this,
                    &TranslationWindow::marksChanged);
            m_targets.push_back(std::move(translated));
            if (document)
                watch(index, document);
        } else {
            m_targets.push_back(std::move(translated));
            name->setToolTip(std::get<Error>(opened).message);
            count->setText(tr("not read"));
        }
        m_fileList->appendRow({name, count, new QStandardItem});
    }
    applyPendingMarks();
    QList<EntryPane::File> translated;
    for (qsizetype i = 0; i < m_files.size(); ++i)
        translated.append({m_files.at(i).name, m_targets.at(size_t(i)).model.get()});
    entryPane->setMission(translated,
                          m_sourceFolder || target.isEmpty() ? QString()
                                                             : QDir(m_scan.root).filePath(TermList::fileName(target)),
                          target.isEmpty() ? QString() : PersonalMemory::pathOf(sourceLanguage->currentText(), target));
    m_shown = -1;
    showCounts();
    if (!m_files.isEmpty())
        translationFiles->setCurrentIndex(translationFiles->model()->index(0, 0));
    else
        showFile(-1);
    search(translationSearch->text());   // the entries found are of these files now
}

void TranslationWindow::watch(int file, WorkspaceDocument *document)
{
    TargetFile &target = m_targets.at(size_t(file));
    if (target.document)
        target.document->disconnect(this);
    target.document = document;
    connect(document, &WorkspaceDocument::changed, this, [this, file, document](const QObject *origin) {
        if (origin != this && file < int(m_targets.size()) && m_targets.at(size_t(file)).document == document)
            documentChanged(file);
    });
}

void TranslationWindow::tableChanged(int file, const QString &description)
{
    showCounts();
    TargetFile &target = m_targets.at(size_t(file));
    const TranslationPair &pair = target.model->pair();
    const StrDocument after = pair.targetDocument();
    if (!target.document) {
        const QString &path = m_files.at(file).targetPath;
        WorkspaceDocument *document = m_workspace.find(path);
        if (!document) {
            document = target.onDisk ? m_workspace.adopt(path, target.codePage, target.base)
                                     : m_workspace.create(path, target.codePage, target.base);
        }
        watch(file, document);
    }
    const QString key = target.lastRow >= 0 && target.lastRow < pair.rows().size() ? pair.row(target.lastRow).key
                                                                                     : QString();
    target.document->change(after, description.isEmpty() ? tr("Translate %1").arg(key) : description, this);
    target.base = after;
    if (!m_documents.contains(target.document))
        m_documents.append(target.document);
    // Typed here: the main window's Edit › Undo takes it back too.
    m_workspace.undoGroup()->setActiveStack(target.document->undoStack());
}

void TranslationWindow::documentChanged(int file)
{
    TargetFile &target = m_targets.at(size_t(file));
    TranslationTableModel *table = target.model.get();
    if (!table || !target.document)
        return;
    std::optional<StrReader::Result> back = target.document->readBack();
    if (!back)
        return;   // cannot be written as it is: the table keeps what it shows until it can
    QSet<QString> marked;
    for (const TranslationPair::Row &row : table->pair().rows()) {
        if (row.markedDone)
            marked.insert(row.key.toLower());
    }
    const bool accepted = table->pair().isSafeToWrite();
    TranslationPair pair(table->pair().source(), std::move(*back), target.codePage);
    if (accepted)
        pair.acceptTarget();
    // The record's states go on: what was made from which source, done marks
    // and notes; a text that stands in for the source again is untranslated.
    TranslationRecord::FileEntries entries = table->pair().recordEntries();
    for (const TranslationPair::Row &row : pair.rows()) {
        const auto before = target.recorded.constFind(row.key);
        if (before != target.recorded.cend() && before->state == TranslationRecord::EntryState::Untranslated
            && row.target == row.source)
            entries.insert(row.key, *before);
    }
    pair.applyRecord(entries);
    target.base = pair.targetDocument();
    const QModelIndex current = file == m_shown ? m_filter->mapToSource(translationTable->currentIndex()) : QModelIndex();
    const int row = current.isValid() ? current.row() : -1;
    const int column = current.isValid() ? current.column() : 0;
    table->setPair(std::move(pair));
    for (int r = 0; r < table->rowCount(); ++r) {
        if (marked.contains(table->pair().row(r).key.toLower()))
            table->setMarkedDone(r, true);
    }
    if (row >= 0 && row < table->rowCount())
        translationTable->setCurrentIndex(m_filter->mapFromSource(table->index(row, column)));
    if (file == m_shown)
        translationTable->resizeRowsToContents();
    showCounts();
}

void TranslationWindow::showUndoOf(int file)
{
    const TargetFile *target = file >= 0 && file < int(m_targets.size()) ? &m_targets.at(size_t(file)) : nullptr;
    m_workspace.undoGroup()->setActiveStack(target && target->document ? target->document->undoStack() : nullptr);
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

TranslationTableModel *TranslationWindow::model(int file) const
{
    return file >= 0 && file < int(m_targets.size()) ? m_targets.at(size_t(file)).model.get() : nullptr;
}

void TranslationWindow::showFile(int file)
{
    if (file == m_shown)
        return;
    m_shown = file;
    if (isActiveWindow())
        showUndoOf(file);
    TranslationTableModel *shown = model(file);
    m_filter->setSourceModel(shown);
    if (!shown) {
        fileCounts->setText(file >= 0 ? m_fileList->item(file)->toolTip() : QString());
        return;
    }
    QHeaderView *header = translationTable->horizontalHeader();
    header->setSectionResizeMode(TranslationTableModel::KeyColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(TranslationTableModel::SourceColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TranslationTableModel::TranslationColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TranslationTableModel::StateColumn, QHeaderView::ResizeToContents);
    translationTable->resizeRowsToContents();
    showCounts();
    const auto &pair = shown->pair();
    if (!pair.repeatedKeys().isEmpty()) {
        QStringList lines;
        for (const TranslationPair::Repeat &repeat : pair.repeatedKeys()) {
            QStringList numbers;
            for (const int line : repeat.lines)
                numbers.append(QString::number(line));
            lines.append(tr("%1 on lines %2").arg(repeat.key, numbers.join(QLatin1String(", "))));
        }
        m_prompts.tell(tr("The source %1 holds the same key more than once, so which text is meant cannot be "
                          "told; those entries are not translated here:\n\n%2")
                           .arg(m_files.at(file).name, lines.join(u'\n')));
    }
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
            .arg(QDir::toNativeSeparators(m_files.at(file).targetPath), shown->pair().unsafeReason(),
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
    TranslationPair::Counts mission;
    for (size_t i = 0; i < m_targets.size(); ++i) {
        if (!m_targets.at(i).model)
            continue;
        const TranslationPair::Counts counts = m_targets.at(i).model->pair().counts();
        mission += counts;
        showFileProgress(int(i), counts);
    }
    filterFiles();
    translationCounts->setText(m_files.isEmpty() ? tr("Choose the languages to translate from and into.")
                                                 : TranslationPair::progressText(mission));
    if (TranslationTableModel *shown = model(m_shown))
        fileCounts->setText(TranslationPair::progressText(shown->pair().counts()));
}

QStringList TranslationWindow::unsavedWork() const
{
    QStringList work;
    for (const QPointer<WorkspaceDocument> &document : m_documents) {
        if (document && document->isModified()) {
            work.append(tr("the translation of %1")
                            .arg(QDir::toNativeSeparators(QDir(m_scan.root).relativeFilePath(document->path()))));
        }
    }
    // Done marks and notes live in the record alone, written with the translations.
    if (const QVariantMap marks = marksDraft(); !marks.isEmpty())
        work.append(tr("the done marks and notes of the %1 translation").arg(marks.value(QStringLiteral("target")).toString()));
    return work;
}

QVariantList TranslationWindow::changedMarks() const
{
    QVariantList changed;
    if (m_sourceFolder || m_pairedTarget.isEmpty())
        return changed;   // no record is kept
    for (size_t i = 0; i < m_targets.size(); ++i) {
        const TargetFile &target = m_targets.at(i);
        if (!target.model)
            continue;
        const TranslationRecord::FileEntries now = target.model->pair().recordEntries();
        for (const QString &key : TranslationRecord::marksChanged(target.recorded, now)) {
            const TranslationRecord::Entry &entry = now[key];
            changed.append(QVariantMap{{QStringLiteral("file"), m_files.at(int(i)).name},
                                       {QStringLiteral("key"), key},
                                       {QStringLiteral("done"), entry.state == TranslationRecord::EntryState::Done},
                                       {QStringLiteral("note"), entry.note}});
        }
    }
    return changed;
}

QVariantMap TranslationWindow::marksDraft() const
{
    if (const QVariantList changed = changedMarks(); !changed.isEmpty())
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
    if (m_pendingMarks.isEmpty() || m_sourceFolder || m_files.isEmpty()
        || m_pendingMarks.value(QStringLiteral("target")).toString().compare(m_pairedTarget, Qt::CaseInsensitive) != 0
        || MissionWorkspace::identity(m_pendingMarks.value(QStringLiteral("mission")).toString())
               != MissionWorkspace::identity(m_scan.root))
        return;
    QHash<QString, int> files;
    for (qsizetype i = 0; i < m_files.size(); ++i)
        files.insert(m_files.at(i).name, int(i));
    for (const QJsonValue &value : m_pendingMarks.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject entry = value.toObject();
        TranslationTableModel *table = model(files.value(entry.value(QStringLiteral("file")).toString(), -1));
        if (!table)
            continue;   // a file no longer there: its marks go with it
        if (const int row = table->pair().rowOf(entry.value(QStringLiteral("key")).toString()); row >= 0) {
            table->setNote(row, entry.value(QStringLiteral("note")).toString());
            table->setMarkedDone(row, entry.value(QStringLiteral("done")).toBool());
        }
    }
    m_pendingMarks = {};
}

bool TranslationWindow::holds(const WorkspaceDocument *document) const
{
    return document && std::any_of(m_documents.cbegin(), m_documents.cend(),
                                   [document](const QPointer<WorkspaceDocument> &held) { return held == document; });
}

bool TranslationWindow::saveAll()
{
    // A text that cannot be written is shown where it was typed before anything is written.
    for (size_t i = 0; i < m_targets.size(); ++i) {
        const TargetFile &target = m_targets.at(i);
        if (!target.model || !target.document || !target.document->isModified()
            || !target.model->pair().isSafeToWrite())
            continue;
        const auto written = target.model->pair().write();
        const auto *refusal = std::get_if<TranslationPair::Refusal>(&written);
        if (!refusal)
            continue;
        showEntry(int(i), refusal->row);
        m_prompts.warn(refusal->message);
        return false;
    }
    QList<WorkspaceDocument *> documents;
    for (const QPointer<WorkspaceDocument> &document : std::as_const(m_documents)) {
        if (document && document->isModified())
            documents.append(document);
    }
    const bool saved = documents.isEmpty() || m_workspace.save(documents, m_prompts);
    if (saved) {
        saveRecord();
        feedMemory();   // the translator's own memory, across missions
    }
    showCounts();
    return saved;
}

QString TranslationWindow::recordPath() const
{
    return QDir(m_scan.root).filePath(TranslationRecord::fileName(m_pairedTarget));
}

void TranslationWindow::saveRecord()
{
    if (m_sourceFolder || m_pairedTarget.isEmpty())
        return;
    for (size_t i = 0; i < m_targets.size(); ++i) {
        TargetFile &target = m_targets.at(i);
        if (!target.model)
            continue;
        target.recorded = target.model->pair().recordEntries();
        m_record.files.insert(m_files.at(int(i)).name, target.recorded);
    }
    m_record.mission = QFileInfo(m_scan.root).fileName();
    m_record.target = m_pairedTarget;
    if (const std::optional<Error> error = TranslationRecord::save(recordPath(), m_record))
        m_prompts.warn(tr("The translation record %1 could not be saved: %2\n\nThe translations were saved.")
                           .arg(QDir::toNativeSeparators(recordPath()), error->message));
}

void TranslationWindow::goToUntranslated(bool forward)
{
    const int files = int(m_targets.size());
    if (files == 0)
        return;
    const int startFile = std::max(m_shown, 0);
    const QModelIndex current = m_filter->mapToSource(translationTable->currentIndex());
    int startRow = current.isValid() ? current.row() : (forward ? -1 : 0);
    for (int step = 0; step <= files; ++step) {
        const int file = ((forward ? startFile + step : startFile - step) % files + files) % files;
        const TranslationTableModel *table = model(file);
        if (!table)
            continue;
        const auto &rows = table->pair().rows();
        const int count = int(rows.size());
        int row = -1;
        if (step == 0) {
            for (int r = forward ? startRow + 1 : startRow - 1; r >= 0 && r < count; r += forward ? 1 : -1) {
                if (untranslated(rows.at(r))) {
                    row = r;
                    break;
                }
            }
        } else {
            for (int r = forward ? 0 : count - 1; r >= 0 && r < count; r += forward ? 1 : -1) {
                if (untranslated(rows.at(r)) && (file != startFile || (forward ? r <= startRow : r >= startRow))) {
                    row = r;
                    break;
                }
            }
        }
        if (row < 0)
            continue;
        showEntry(file, row);
        translationTable->setFocus();
        return;
    }
}
