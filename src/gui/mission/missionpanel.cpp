#include "gui/mission/missionpanel.h"

#include "core/document/codepages.h"
#include "core/mission/entrymerge.h"
#include "core/mission/missionsettings.h"
#include "core/mission/scantexts.h"
#include "core/mission/workspace.h"
#include "gui/mission/treestate.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Rows of find results listed at most: more are no use to read through, and
// a list of hundreds of thousands takes the window a while to lay out.
constexpr qsizetype MaxListed = 10000;

// Draws a result's line with the match marked.
class MatchDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const qsizetype length = index.data(MissionResultsModel::MatchLengthRole).toLongLong();
        if (index.column() != MissionResultsModel::TextColumn || length <= 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        item.widget->style()->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        const qsizetype start = index.data(MissionResultsModel::MatchStartRole).toLongLong();
        QTextDocument document;
        document.setDefaultFont(item.font);
        document.setDocumentMargin(0);
        document.setHtml(text.first(start).toHtmlEscaped() + QLatin1String("<b><u>")
                         + text.sliced(start, length).toHtmlEscaped() + QLatin1String("</u></b>")
                         + text.sliced(start + length).toHtmlEscaped());
        painter->save();
        painter->translate(item.rect.topLeft() + QPoint(3, (item.rect.height() - int(document.size().height())) / 2));
        painter->setClipRect(QRect(QPoint(0, 0), item.rect.size()));
        document.drawContents(painter);
        painter->restore();
    }
};

} // namespace

MissionPanel::MissionPanel(QWidget *parent)
    : QDockWidget(tr("Mission"), parent)
{
    setObjectName(QStringLiteral("missionPanel"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    missionFolderName = new QLabel(body);
    missionFolderName->setObjectName(QStringLiteral("missionFolderName"));
    missionFolderName->setWordWrap(true);
    layout->addWidget(missionFolderName);
    // The code pages, each list labelled and shown whole (its longest name
    // sets its width), so that none reads "Central European (Windows".
    auto *codePages = new QGridLayout;
    const auto codePageBox = [body, codePages](const char *name, const QString &label, const QString &tip) {
        auto *box = new QComboBox(body);
        box->setObjectName(QLatin1String(name));
        box->setAccessibleName(label);
        box->setToolTip(tip);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto *named = new QLabel(label, body);
        named->setObjectName(QLatin1String(name) + QLatin1String("Label"));
        named->setBuddy(box);
        named->setToolTip(tip);
        const int row = codePages->rowCount();
        codePages->addWidget(named, row, 0);
        codePages->addWidget(box, row, 1, Qt::AlignLeft);
        return box;
    };
    missionCodePage = codePageBox("missionCodePage", tr("Mission:"),
                                  tr("The code page the mission's files are read and written in, kept in its "
                                     "quillwright.ini. Automatic: as their bytes and their folders' names tell."));
    codePageLanguage = codePageBox("codePageLanguage", tr("Language folder:"),
                                   tr("A language folder of the mission, whose code page \u201CRead as\u201D shows "
                                      "and sets."));
    languageCodePage = codePageBox("languageCodePage", tr("Read as:"),
                                   tr("The code page the files of the language folder chosen above are read and "
                                      "written in, when it is not the mission's."));
    codePages->setColumnStretch(1, 1);
    layout->addLayout(codePages);
    connect(missionCodePage, &QComboBox::activated, this,
            [this] { setMissionCodePage(missionCodePage->currentData().toInt()); });
    connect(codePageLanguage, &QComboBox::currentIndexChanged, this, &MissionPanel::showCodePages);
    connect(languageCodePage, &QComboBox::activated, this, [this] {
        setLanguageCodePage(codePageLanguage->currentData().toString(), languageCodePage->currentData().toInt());
    });
    folderProgress = new QProgressBar(body);
    folderProgress->setObjectName(QStringLiteral("folderProgress"));
    folderProgress->hide();
    layout->addWidget(folderProgress);

    missionTree = new QTreeView(body);
    missionTree->setObjectName(QStringLiteral("missionTree"));
    missionTree->setModel(&m_tree);
    missionTree->setAccessibleName(tr("The files of the mission"));
    missionTree->setUniformRowHeights(true);   // thousands of files are laid out at once
    missionTree->header()->setSectionResizeMode(MissionTreeModel::NameColumn, QHeaderView::Stretch);
    missionTree->header()->setStretchLastSection(false);
    layout->addWidget(missionTree, 3);

    auto *findRow = new QHBoxLayout;
    findText = new QLineEdit(body);
    findText->setObjectName(QStringLiteral("findText"));
    findText->setPlaceholderText(tr("Find in the mission"));
    findText->setAccessibleName(tr("Find in the mission"));
    findButton = new QPushButton(tr("Find"), body);
    findButton->setObjectName(QStringLiteral("findButton"));
    findRow->addWidget(findText, 1);
    findRow->addWidget(findButton);
    layout->addLayout(findRow);
    auto *options = new QHBoxLayout;
    findWholeWords = new QCheckBox(tr("Whole words"), body);
    findWholeWords->setObjectName(QStringLiteral("findWholeWords"));
    findCase = new QCheckBox(tr("Match case"), body);
    findCase->setObjectName(QStringLiteral("findCase"));
    findRegex = new QCheckBox(tr("Regular expression"), body);
    findRegex->setObjectName(QStringLiteral("findRegex"));
    checkButton = new QPushButton(tr("Check"), body);
    checkButton->setObjectName(QStringLiteral("checkButton"));
    checkButton->setToolTip(tr("Lists every problem of the mission's files"));
    for (QWidget *option : {static_cast<QWidget *>(findWholeWords), static_cast<QWidget *>(findCase),
                            static_cast<QWidget *>(findRegex)})
        options->addWidget(option);
    options->addStretch();
    options->addWidget(checkButton);
    layout->addLayout(options);
    auto *replaceRow = new QHBoxLayout;
    replaceText = new QLineEdit(body);
    replaceText->setObjectName(QStringLiteral("replaceText"));
    replaceText->setPlaceholderText(tr("Replace with"));
    replaceText->setAccessibleName(tr("Replace with"));
    replaceButton = new QPushButton(tr("Replace All\u2026"), body);
    replaceButton->setObjectName(QStringLiteral("replaceButton"));
    replaceRow->addWidget(replaceText, 1);
    replaceRow->addWidget(replaceButton);
    layout->addLayout(replaceRow);
    auto *pendingRow = new QHBoxLayout;
    saveReplaced = new QPushButton(tr("Save Replaced Files"), body);
    saveReplaced->setObjectName(QStringLiteral("saveReplaced"));
    undoReplace = new QPushButton(tr("Undo Replace"), body);
    undoReplace->setObjectName(QStringLiteral("undoReplace"));
    saveReplaced->hide();
    undoReplace->hide();
    pendingRow->addWidget(saveReplaced);
    pendingRow->addWidget(undoReplace);
    pendingRow->addStretch();
    layout->addLayout(pendingRow);
    resultsLabel = new QLabel(body);
    resultsLabel->setWordWrap(true);
    resultsLabel->setObjectName(QStringLiteral("resultsLabel"));
    layout->addWidget(resultsLabel);
    searchProgress = new QProgressBar(body);
    searchProgress->setObjectName(QStringLiteral("searchProgress"));
    searchProgress->hide();
    layout->addWidget(searchProgress);
    findResults = new QTreeView(body);
    findResults->setObjectName(QStringLiteral("findResults"));
    findResults->setRootIsDecorated(false);
    findResults->setUniformRowHeights(true);
    findResults->setModel(&m_results);
    findResults->setItemDelegate(new MatchDelegate(findResults));
    findResults->setAccessibleName(tr("Found in the mission"));
    layout->addWidget(findResults, 2);
    setWidget(body);

    connect(findText, &QLineEdit::returnPressed, this, &MissionPanel::find);
    connect(findButton, &QPushButton::clicked, this, &MissionPanel::find);
    connect(checkButton, &QPushButton::clicked, this, &MissionPanel::check);
    connect(replaceButton, &QPushButton::clicked, this, &MissionPanel::replaceRequested);
    connect(saveReplaced, &QPushButton::clicked, this, &MissionPanel::saveReplacedRequested);
    connect(undoReplace, &QPushButton::clicked, this, &MissionPanel::undoReplaceRequested);
    connect(missionTree, &QTreeView::activated, this, [this](const QModelIndex &index) {
        const int file = index.data(MissionTreeModel::FileRole).toInt();
        if (file >= 0)
            Q_EMIT fileChosen(file, -1);
    });
    connect(findResults, &QTreeView::activated, this, &MissionPanel::chooseResult);

    m_reader = new BackgroundJob(this);
    connect(m_reader, &BackgroundJob::progressed, this, [this](int done, int total) {
        folderProgress->setRange(0, total);
        folderProgress->setValue(done);
    });
    m_searcher = new BackgroundJob(this);
    m_searcher->setTimeLimit(std::chrono::seconds(10));
    connect(m_searcher, &BackgroundJob::progressed, this, [this](int done, int total) {
        searchProgress->setRange(0, total);
        searchProgress->setValue(done);
    });
}

// Esc in the panel (the find box, the lists: none of them takes it) stops a find or check.
void MissionPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && m_searcher->isRunning()) {
        m_searcher->cancel();
        stopSearch(m_searchStopped);
        event->accept();
        return;
    }
    QDockWidget::keyPressEvent(event);
}

MissionPanel::~MissionPanel()
{
    // Before the models go: a job's threads never touch the panel, but its
    // destructor waits briefly for them.
    delete m_searcher;
    delete m_reader;
}

bool MissionPanel::isReading() const
{
    return m_reader->isRunning();
}

bool MissionPanel::isSearching() const
{
    return m_searcher->isRunning();
}

void MissionPanel::setSearchTimeLimit(std::chrono::milliseconds limit)
{
    m_searcher->setTimeLimit(limit);
}

void MissionPanel::openFolder(const QString &folder)
{
    if (m_reader->isRunning() && folder == m_folder) {   // read again once this reading is done
        m_readAgain = true;
        return;
    }
    // Another folder abandons the reading under way: its thread stops at the
    // next file and what it read is never shown.
    m_readAgain = false;
    m_folder = folder;
    missionFolderName->setText(QDir::toNativeSeparators(folder));
    folderProgress->setRange(0, 0);
    folderProgress->show();
    if (dropResults())
        resultsLabel->setText(tr("The folder is being read; the results listed were cleared."));
    m_reader->start(
        [folder](const BackgroundJob::Control &control) {
            // The texts are not kept: find reads them when it runs (withTexts).
            return MissionFolder::withoutTexts(
                MissionFolder::scan(folder, std::nullopt, control.progressFunction(), control.cancelFlag()));
        },
        [this](const MissionFolder::Scan &read) { finishReading(read); });
}

void MissionPanel::finishReading(const MissionFolder::Scan &read)
{
    folderProgress->hide();
    dropResults();   // found in the files read before
    ++m_scanGeneration;
    // The same folder read again (after a save, say) keeps the tree as the
    // author left it; another starts with its groups open.
    const bool again = !m_tree.scan().root.isEmpty() && m_tree.scan().root == read.root;
    const TreeState state = TreeState::of(*missionTree, m_tree);
    m_tree.setScan(read);
    if (again)
        state.restore(*missionTree, m_tree);
    else
        missionTree->expandToDepth(1);
    m_identities.clear();
    for (const MissionFolder::File &file : read.files)
        m_identities.insert(file.identity);
    QString summary;
    if (read.failure)
        summary = read.failure->message;
    else if (read.files.isEmpty())
        summary = tr("The folder holds no .str file.");
    else
        summary = read.truncated ? tr("%1 files; the folder holds more, which were not read.").arg(read.files.size())
                                 : tr("%1 files.").arg(read.files.size());
    if (std::exchange(m_resultsCleared, false))
        summary += u' ' + tr("The results of the files read before were cleared.");
    resultsLabel->setText(summary);
    const QSignalBlocker blocker(codePageLanguage);
    const QString language = codePageLanguage->currentData().toString();
    codePageLanguage->clear();
    for (auto it = read.codePages.cbegin(); it != read.codePages.cend(); ++it)
        codePageLanguage->addItem(it.key().isEmpty() ? tr("(no language folder)") : it.key(), it.key());
    codePageLanguage->setCurrentIndex(std::max(0, codePageLanguage->findData(language)));
    showCodePages();
    Q_EMIT folderRead();
    if (std::exchange(m_readAgain, false))
        openFolder(m_folder);
}

// Stops a find or check and clears its results; whether there was any.
bool MissionPanel::dropResults()
{
    const bool any = dropStaleResults();
    m_resultsCleared = m_resultsCleared || any;
    return any;
}

bool MissionPanel::holdsFile(const QString &path) const
{
    return !m_identities.isEmpty() && m_identities.contains(MissionWorkspace::identity(path));
}

bool MissionPanel::dropStaleResults()
{
    const bool any = m_searcher->isRunning() || !m_results.rows().isEmpty();
    if (m_searcher->isRunning()) {
        m_searcher->cancel();
        stopSearch(QString());
    }
    if (!m_results.rows().isEmpty())
        m_results.setRows({});
    return any;
}

void MissionPanel::startFind()
{
    show();
    raise();
    findText->setFocus();
    findText->selectAll();
}

MissionFolder::FindOptions MissionPanel::findOptions() const
{
    return {findWholeWords->isChecked(), findCase->isChecked(), findRegex->isChecked()};
}

void MissionPanel::setReplacementsPending(bool pending)
{
    m_pending = pending;
    saveReplaced->setVisible(m_pending);
    undoReplace->setVisible(m_pending);
    replaceButton->setEnabled(!m_pending);
    for (QComboBox *box : {missionCodePage, codePageLanguage, languageCodePage})
        box->setEnabled(!m_pending);   // a file read again in another code page would lose them
    languageCodePage->setEnabled(codePageLanguage->count() > 0 && !m_pending);
}

void MissionPanel::find()
{
    const MissionFolder::Scan searched = scan();   // shares the files' data with the tree's
    const QHash<int, StrDocument> held = heldTexts();
    const QString pattern = findText->text();
    const MissionFolder::FindOptions options = findOptions();
    search(tr("Searching the mission\u2026 Esc stops the search."), tr("The search was stopped."),
           tr("The search was stopped after %1 s: the expression takes too long on these texts."),
           [searched, held, pattern, options](const BackgroundJob::Control &control) {
               std::optional<Error> error;
               const MissionFolder::Scan texts = MissionFolder::withTexts(searched, held, control.cancelFlag());
               control.startTheClock();   // the limit is for the expression, not for reading the files
               const QList<MissionFolder::Match> matches = MissionFolder::find(
                   texts, pattern, options, &error, control.cancelFlag(), control.progressFunction());
               Found found{MissionResultsModel::matchRows(searched, matches.first(std::min(matches.size(), MaxListed))),
                           QString()};
               if (error)
                   found.summary = tr("The regular expression cannot be used: %1").arg(error->message);
               else if (matches.size() > MaxListed)
                   found.summary = tr("%1 matches; the first %2 are listed.").arg(matches.size()).arg(MaxListed);
               else
                   found.summary = matches.size() == 1 ? tr("1 match.") : tr("%1 matches.").arg(matches.size());
               return found;
           },
           BackgroundJob::Clock::FromWork);
}

QHash<int, StrDocument> MissionPanel::heldTexts(bool unsavedOnly) const
{
    QHash<int, StrDocument> held;
    if (!m_workspace)
        return held;
    const MissionFolder::Scan &read = scan();
    for (qsizetype i = 0; i < read.files.size(); ++i) {
        const WorkspaceDocument *document = m_workspace->findIdentity(read.files.at(i).identity);
        if (document && (document->isModified() || !unsavedOnly))
            held.insert(static_cast<int>(i), EntryMerge::asWritten(document->document()));
    }
    return held;
}

void MissionPanel::check()
{
    const MissionFolder::Scan checked = scan();
    // A file with changes not saved yet is checked as it would be saved,
    // and so are the comparisons across files.
    const QHash<int, StrDocument> changed = heldTexts(true);
    search(tr("Checking the mission\u2026 Esc stops the check."), tr("The check was stopped."),
           tr("The check was stopped after %1 s."), [checked, changed](const BackgroundJob::Control &control) {
               MissionFolder::Scan now = changed.isEmpty()
                   ? checked
                   : MissionFolder::withTexts(checked, changed, control.cancelFlag());
               control.startTheClock();   // reading the files is not what the limit is for
               if (!changed.isEmpty())
                   MissionFolder::recheck(now, changed.keys());
               Found found{MissionResultsModel::problemRows(now), QString()};
               const qsizetype count = found.rows.size();
               found.summary = count == 0 ? tr("No problems in %1 files.").arg(checked.files.size())
                                          : count == 1 ? tr("1 problem.") : tr("%1 problems.").arg(count);
               return found;
           },
           BackgroundJob::Clock::FromWork);
}

// Runs `work` over the scan shown on the searcher's thread; a newer find or
// check abandons it, so do Esc (`stopped` is said) and the time limit
// (`timedOut`, with the seconds). A regular expression's match in one text
// cannot be interrupted: PCRE2's own limit of steps per match (Qt keeps the
// library's default) bounds it, and the thread is left to finish it on its
// own while the window goes on; what it finds then is dropped.
void MissionPanel::search(const QString &busy, const QString &stopped, const QString &timedOut,
                          std::function<Found(const BackgroundJob::Control &)> work, BackgroundJob::Clock clock)
{
    m_results.setRows({});
    resultsLabel->setText(busy);
    searchProgress->setRange(0, 0);
    searchProgress->show();
    m_searchStopped = stopped;
    disconnect(m_searcher, &BackgroundJob::timedOut, this, nullptr);
    const double seconds = static_cast<double>(m_searcher->timeLimit().count()) / 1000.0;
    connect(m_searcher, &BackgroundJob::timedOut, this, [this, timedOut, seconds] {
        stopSearch(timedOut.arg(seconds));
    });
    const quint64 generation = m_scanGeneration;
    m_searcher->start(std::move(work), [this, generation](const Found &found) {
        stopSearch(found.summary);
        if (generation != m_scanGeneration)
            return;   // cannot be: reading again abandons the search
        m_resultsGeneration = generation;
        m_results.setRows(found.rows);
        findResults->resizeColumnToContents(MissionResultsModel::FileColumn);
    }, clock);
}

void MissionPanel::stopSearch(const QString &summary)
{
    searchProgress->hide();
    if (!summary.isEmpty())
        resultsLabel->setText(summary);
}

void MissionPanel::chooseResult(const QModelIndex &index)
{
    if (m_resultsGeneration != m_scanGeneration)
        return;   // found in files read before (the rows are cleared then; this is the guard)
    const int file = index.data(MissionResultsModel::FileRole).toInt();
    if (file < 0 || file >= scan().files.size())
        return;
    Q_EMIT fileChosen(file, index.data(MissionResultsModel::EntryRole).toInt());
    if (const int line = index.data(MissionResultsModel::LineRole).toInt(); line > 0)
        Q_EMIT placeChosen(file, line, index.data(MissionResultsModel::ColumnRole).toInt());
}

// ---------------------------------------------------------------- Code pages

void MissionPanel::showCodePages()
{
    const MissionFolder::Scan &read = scan();
    const MissionSettings::Settings settings = MissionSettings::read(m_folder);
    // What the bytes and names tell each language; the mission's: most files'.
    const auto told = [](const MissionFolder::LanguageCodePage &page) {
        return CodePages::isSupported(page.detected) ? page.detected : page.named;
    };
    QMap<int, int> filesTold;
    for (const MissionFolder::File &file : read.files)
        ++filesTold[told(read.codePages.value(file.language))];
    const int missionTold = filesTold.isEmpty()
        ? 0 : std::max_element(filesTold.cbegin(), filesTold.cend()).key();
    const QString language = codePageLanguage->currentData().toString();
    const auto fill = [](QComboBox *box, int automatic, int detected, int chosen) {
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItem(automatic ? tr("Automatic: %1").arg(CodePages::shortName(automatic)) : tr("Automatic"), 0);
        for (const int codePage : CodePages::all()) {
            box->addItem(codePage == detected ? tr("%1 \u2013 detected").arg(CodePages::name(codePage))
                                              : CodePages::name(codePage),
                         codePage);
        }
        box->setCurrentIndex(std::max(0, box->findData(chosen)));
    };
    fill(missionCodePage, settings.missionCodePage ? 0 : missionTold, missionTold, settings.missionCodePage.value_or(0));
    const MissionFolder::LanguageCodePage page = read.codePages.value(language);
    fill(languageCodePage, page.codePage, told(page), settings.languageCodePages.value(language.toLower(), 0));
    languageCodePage->setEnabled(codePageLanguage->count() > 0 && !m_pending);
}

bool MissionPanel::setMissionCodePage(int codePage)
{
    return changeCodePage(QString(), codePage, true);
}

bool MissionPanel::setLanguageCodePage(const QString &language, int codePage)
{
    return changeCodePage(language, codePage, false);
}

bool MissionPanel::changeCodePage(const QString &language, int codePage, bool wholeMission)
{
    if (m_folder.isEmpty())
        return false;
    MissionSettings::Settings settings = MissionSettings::read(m_folder);
    const MissionSettings::Settings before = settings;
    const std::optional<int> chosen = CodePages::isSupported(codePage) ? std::optional<int>(codePage) : std::nullopt;
    if (wholeMission)
        settings.missionCodePage = chosen;
    else if (chosen)
        settings.languageCodePages.insert(language.toLower(), *chosen);
    else
        settings.languageCodePages.remove(language.toLower());
    if (settings == before)
        return true;
    if (const std::optional<Error> error = MissionSettings::write(m_folder, settings)) {
        resultsLabel->setText(tr("The code page could not be kept in %1: %2")
                                  .arg(QDir::toNativeSeparators(MissionSettings::pathIn(m_folder)), error->message));
        showCodePages();
        return false;
    }
    openFolder(m_folder);
    Q_EMIT codePageChanged(m_folder);
    return true;
}
