// The translation window's view of the whole mission at once: the files'
// progress and their order, the filter across files, the search of every
// text, the exchange with other tools and the translator's own memory.
#include "gui/translation/translationwindow.h"

#include "core/document/safefile.h"
#include "core/save/fileoutput.h"
#include "core/mission/backgroundjob.h"
#include "core/mission/translation/exchange.h"
#include "core/mission/translation/personalmemory.h"
#include "core/mission/translation/translationsearch.h"
#include "core/save/prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

enum { SortRole = Qt::UserRole + 1, FileRole, RowRole };
enum FileColumn { NameColumn, TranslatedColumn, LeftColumn };

// The files in the order chosen (the source's, by name, by the share
// translated or by what is left to do), and only those the filter shows.
class FileOrderModel : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    std::function<bool(int)> shows;
    void refilter() { invalidateFilter(); }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &) const override { return !shows || shows(row); }
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        if (left.column() == NameColumn)
            return QSortFilterProxyModel::lessThan(left, right);
        return left.data(SortRole).toDouble() < right.data(SortRole).toDouble();   // a file not read: 0
    }
};

const QString XliffFilter = QStringLiteral("XLIFF 1.2 (*.xlf *.xliff)");
const QString PoFilter = QStringLiteral("gettext PO (*.po)");
const QString TmxFilter = QStringLiteral("TMX 1.4 (*.tmx)");

QString number(qsizetype value)
{
    return QLocale(QLocale::English).toString(value);
}

} // namespace

QWidget *TranslationWindow::missionPane(QWidget *parent)
{
    auto *pane = new QWidget(parent);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *order = new FileOrderModel(this);
    order->setSourceModel(m_fileList);
    order->shows = [this](int file) { return fileShown(file); };
    m_fileOrder = order;
    translationFiles->setModel(order);
    translationFiles->setTextElideMode(Qt::ElideMiddle);   // the progress stays in sight, the name gives way
    QHeaderView *header = translationFiles->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TranslatedColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(LeftColumn, QHeaderView::ResizeToContents);
    header->setSortIndicator(-1, Qt::AscendingOrder);   // the source's order until a title is clicked
    header->setToolTip(tr("Click a title to sort the files by it: by \u201CLeft\u201D for what is left to do"));
    translationFiles->setSortingEnabled(true);
    layout->addWidget(translationFiles, 3);

    translationSearch = new QLineEdit(pane);
    translationSearch->setObjectName(QStringLiteral("translationSearch"));
    translationSearch->setPlaceholderText(tr("Search every file\u2019s texts"));
    translationSearch->setClearButtonEnabled(true);
    translationSearch->setAccessibleName(tr("Search the source and translation texts of the mission"));
    searchCounts = new QLabel(pane);
    searchCounts->setObjectName(QStringLiteral("searchCounts"));
    auto *found = new QStandardItemModel(0, 3, this);
    found->setHorizontalHeaderLabels({tr("Text"), tr("Key"), tr("File")});
    searchResults = new QTreeView(pane);
    searchResults->setObjectName(QStringLiteral("searchResults"));
    searchResults->setModel(found);
    searchResults->setRootIsDecorated(false);
    searchResults->setUniformRowHeights(true);
    searchResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    searchResults->setAccessibleName(tr("Entries found"));
    searchResults->hide();
    layout->addWidget(translationSearch);
    layout->addWidget(searchCounts);
    layout->addWidget(searchResults, 2);

    // Fast enough to run on every key (a mission's texts are in memory), but
    // off the GUI thread all the same: a newer text abandons the search under way.
    m_search = new BackgroundJob(this);
    connect(translationSearch, &QLineEdit::textChanged, this, &TranslationWindow::search);
    const auto choose = [this](const QModelIndex &index) {
        const QModelIndex first = index.siblingAtColumn(0);
        showEntry(first.data(FileRole).toInt(), first.data(RowRole).toInt());
    };
    connect(searchResults, &QTreeView::activated, this, choose);
    connect(searchResults, &QTreeView::clicked, this, choose);
    return pane;
}

QPushButton *TranslationWindow::makeExchangeButton()
{
    exchangeButton = new QPushButton(tr("E&xchange"), this);
    exchangeButton->setObjectName(QStringLiteral("exchangeButton"));
    exchangeButton->setToolTip(tr("Hand the translation to other tools and take their work back"));
    auto *menu = new QMenu(exchangeButton);
    exportXliffAction = menu->addAction(tr("Export as XLIFF 1.2\u2026"));
    exportXliffAction->setObjectName(QStringLiteral("exportXliff"));
    exportPoAction = menu->addAction(tr("Export as PO\u2026"));
    exportPoAction->setObjectName(QStringLiteral("exportPo"));
    importAction = menu->addAction(tr("Import XLIFF or PO\u2026"));
    importAction->setObjectName(QStringLiteral("importTranslation"));
    menu->addSeparator();
    exportMemoryAction = menu->addAction(tr("Export Translation Memory as TMX\u2026"));
    exportMemoryAction->setObjectName(QStringLiteral("exportMemory"));
    exchangeButton->setMenu(menu);
    connect(exportXliffAction, &QAction::triggered, this, [this] { exportTarget(ExchangeFormat::Xliff); });
    connect(exportPoAction, &QAction::triggered, this, [this] { exportTarget(ExchangeFormat::Po); });
    connect(importAction, &QAction::triggered, this, [this] { importTarget(); });
    connect(exportMemoryAction, &QAction::triggered, this, [this] { exportMemory(); });
    return exchangeButton;
}

void TranslationWindow::showFileProgress(int file, const TranslationPair::Counts &counts)
{
    QStandardItem *translated = m_fileList->item(file, TranslatedColumn);
    QStandardItem *left = m_fileList->item(file, LeftColumn);
    if (!translated || !left)
        return;
    translated->setText(tr("%1 of %2").arg(number(counts.translated), number(counts.total)));
    translated->setData(counts.total > 0 ? double(counts.translated) / counts.total : 1.0, SortRole);
    left->setText(number(counts.total - counts.translated));
    left->setData(counts.total - counts.translated, SortRole);
    left->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

bool TranslationWindow::fileShown(int file) const
{
    if (translationFilter->currentIndex() <= 0 || file == m_shown)
        return true;   // the file shown stays listed while its entries change state
    const TranslationTableModel *table = model(file);
    if (!table)
        return false;
    const QList<TranslationPair::Row> &rows = table->pair().rows();
    return std::any_of(rows.cbegin(), rows.cend(), [this](const TranslationPair::Row &row) {
        return m_filter->accepts(row);
    });
}

void TranslationWindow::filterFiles(bool chosen)
{
    if (!m_fileOrder)
        return;
    const bool all = translationFilter->currentIndex() <= 0;
    int entries = 0;
    int files = 0;
    int first = -1;   // the first file, as listed, with entries the filter shows
    for (size_t i = 0; i < m_targets.size() && !all; ++i) {
        const TranslationTableModel *table = m_targets.at(i).model.get();
        if (!table)
            continue;
        const QList<TranslationPair::Row> &rows = table->pair().rows();
        const auto shown = std::count_if(rows.cbegin(), rows.cend(),
                                         [this](const TranslationPair::Row &row) { return m_filter->accepts(row); });
        entries += int(shown);
        files += shown > 0 ? 1 : 0;
    }
    static_cast<FileOrderModel *>(m_fileOrder)->refilter();
    filterCounts->setText(all ? QString()
                              : (entries == 1 ? tr("1 entry") : tr("%1 entries").arg(number(entries)))
                                    + (files == 1 ? tr(" in 1 file") : tr(" in %1 files").arg(number(files))));
    // A filter chosen while the file shown has nothing to show goes to the first file that has.
    const TranslationTableModel *shown = model(m_shown);
    if (all || !shown || files == 0)
        return;
    const QList<TranslationPair::Row> &rows = shown->pair().rows();
    if (std::any_of(rows.cbegin(), rows.cend(), [this](const TranslationPair::Row &row) { return m_filter->accepts(row); }))
        return;
    for (int row = 0; row < m_fileOrder->rowCount() && first < 0; ++row) {
        const int file = m_fileOrder->mapToSource(m_fileOrder->index(row, 0)).row();
        if (file != m_shown)
            first = file;
    }
    if (first >= 0 && chosen)
        translationFiles->setCurrentIndex(m_fileOrder->mapFromSource(m_fileList->index(first, 0)));
}

void TranslationWindow::showEntry(int file, int row)
{
    if (file < 0 || file >= m_fileList->rowCount())
        return;
    QModelIndex listed = m_fileOrder->mapFromSource(m_fileList->index(file, 0));
    if (!listed.isValid()) {   // the filter leaves the file out: show every entry
        translationFilter->setCurrentIndex(0);
        listed = m_fileOrder->mapFromSource(m_fileList->index(file, 0));
    }
    translationFiles->setCurrentIndex(listed);
    TranslationTableModel *table = model(file);
    if (!table || m_shown != file || row < 0 || row >= table->rowCount())
        return;
    const QModelIndex cell = table->index(row, TranslationTableModel::TranslationColumn);
    QModelIndex at = m_filter->mapFromSource(cell);
    if (!at.isValid()) {   // hidden by the filter: show every entry
        translationFilter->setCurrentIndex(0);
        at = m_filter->mapFromSource(cell);
    }
    translationTable->setCurrentIndex(at);
    translationTable->scrollTo(at);
}

void TranslationWindow::search(const QString &text)
{
    auto *found = static_cast<QStandardItemModel *>(searchResults->model());
    if (text.trimmed().isEmpty() || m_files.isEmpty()) {
        m_search->cancel();
        found->removeRows(0, found->rowCount());
        searchResults->hide();
        searchCounts->clear();
        return;
    }
    QList<TranslationSearch::File> files;
    for (size_t i = 0; i < m_targets.size(); ++i) {
        const TranslationTableModel *table = m_targets.at(i).model.get();
        files.append({m_files.at(int(i)).name, table ? table->pair().rows() : QList<TranslationPair::Row>()});
    }
    searchCounts->setText(tr("Searching\u2026"));
    m_search->start(
        [files, text](const BackgroundJob::Control &control) {
            return TranslationSearch::find(files, text, 1000, control.cancelFlag());
        },
        [this](const TranslationSearch::Result &result) { showSearch(result); });
}

void TranslationWindow::showSearch(const TranslationSearch::Result &result)
{
    auto *found = static_cast<QStandardItemModel *>(searchResults->model());
    found->removeRows(0, found->rowCount());
    for (const TranslationSearch::Hit &hit : result.hits) {
        auto *text = new QStandardItem(hit.text);
        text->setToolTip(hit.inTranslation ? tr("In the translation: %1").arg(hit.text)
                                           : tr("In the source: %1").arg(hit.text));
        text->setData(hit.file, FileRole);
        text->setData(hit.row, RowRole);
        auto *file = new QStandardItem(m_files.value(hit.file).name);
        file->setToolTip(file->text());
        found->appendRow({text, new QStandardItem(hit.key), file});
    }
    if (result.more)
        searchCounts->setText(tr("The first %1 entries found").arg(number(result.hits.size())));
    else if (result.hits.isEmpty())
        searchCounts->setText(tr("Not found"));
    else
        searchCounts->setText(result.hits.size() == 1 ? tr("1 entry found")
                                                      : tr("%1 entries found").arg(number(result.hits.size())));
    searchResults->setVisible(true);
    searchResults->setColumnWidth(0, searchResults->viewport()->width() / 2);
    searchResults->resizeColumnToContents(1);
}

QString TranslationWindow::exchangeName(const QString &suffix) const
{
    const QString mission = QFileInfo(m_scan.root).fileName();
    const QString target = m_pairedTarget.isEmpty() ? QStringLiteral("translation") : m_pairedTarget.toLower();
    return QDir(m_scan.root).filePath(QStringLiteral("%1-%2.%3").arg(mission, target, suffix));
}

bool TranslationWindow::exportTarget(ExchangeFormat format)
{
    if (m_files.isEmpty()) {
        m_prompts.tell(tr("Choose the languages to translate from and into."));
        return false;
    }
    const bool xliff = format == ExchangeFormat::Xliff;
    const QString path = m_prompts.exportPath(exchangeName(xliff ? QStringLiteral("xlf") : QStringLiteral("po")),
                                              xliff ? XliffFilter : PoFilter);
    if (path.isEmpty())
        return false;
    QList<Exchange::Unit> units;
    for (size_t i = 0; i < m_targets.size(); ++i) {
        if (const TranslationTableModel *table = m_targets.at(i).model.get())
            units += Exchange::unitsOf(table->pair(), m_files.at(int(i)).name);
    }
    const QString target = PersonalMemory::languageTag(m_pairedTarget);
    const QByteArray bytes = xliff ? Exchange::toXliff(units, PersonalMemory::languageTag(sourceLanguage->currentText()), target)
                                   : Exchange::toPo(units, target);
    if (const std::optional<Error> failed = FileOutput::writeFile(path, bytes)) {
        m_prompts.warn(tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), failed->message));
        return false;
    }
    return true;
}

bool TranslationWindow::importTarget()
{
    if (m_files.isEmpty()) {
        m_prompts.tell(tr("Choose the languages to translate from and into."));
        return false;
    }
    const QString path = m_prompts.importPath(m_scan.root, {XliffFilter, PoFilter});
    if (path.isEmpty())
        return false;
    const QString name = QDir::toNativeSeparators(path);
    std::variant<QByteArray, Error> read = SafeFile::read(path, SafeFile::ExchangeCap);
    if (const auto *refused = std::get_if<Error>(&read)) {
        m_prompts.warn(refused->message);
        return false;
    }
    const QByteArray bytes = std::get<QByteArray>(std::move(read));
    QList<Exchange::Unit> units;
    QHash<QString, int> files;   // by name
    for (size_t i = 0; i < m_targets.size(); ++i) {
        files.insert(m_files.at(int(i)).name, int(i));
        if (const TranslationTableModel *table = m_targets.at(i).model.get())
            units += Exchange::unitsOf(table->pair(), m_files.at(int(i)).name);
    }
    const int codePage = targetCodePage->currentIndex() >= 0 ? targetCodePage->currentData().toInt() : 1252;
    const bool po = path.endsWith(QLatin1String(".po"), Qt::CaseInsensitive)
        || (!path.endsWith(QLatin1String(".xlf"), Qt::CaseInsensitive)
            && !path.endsWith(QLatin1String(".xliff"), Qt::CaseInsensitive) && !bytes.trimmed().startsWith('<'));
    const Exchange::Import taken =
        po ? Exchange::fromPo(bytes, units, codePage) : Exchange::fromXliff(bytes, units, codePage);

    // Every change must land on an entry that can take it before any is made.
    QList<Exchange::Problem> problems = taken.problems;
    QMap<int, QList<std::pair<int, Exchange::Change>>> changes;   // per file: row, change
    for (const Exchange::Change &change : taken.changes) {
        const int index = files.value(change.file, -1);
        const TranslationTableModel *table = model(index);
        const int row = table ? table->pair().rowOf(change.key) : -1;
        if (row < 0)
            problems.append(Exchange::Problem{0, change.file, change.key, tr("%1 has no entry %2.").arg(change.file, change.key)});
        else if (!table->pair().isSafeToWrite())
            problems.append(Exchange::Problem{0, change.file, change.key, table->pair().unsafeReason()});
        else if (table->pair().row(row).readOnly)
            problems.append(Exchange::Problem{0, change.file, change.key,
                                              tr("The source holds the key %1 more than once.").arg(table->pair().row(row).key)});
        else
            changes[index].append(std::pair{row, change});
    }
    if (!problems.isEmpty()) {
        QStringList lines;
        for (const Exchange::Problem &problem : std::as_const(problems)) {
            const QString where = QStringList{problem.line > 0 ? tr("line %1").arg(problem.line) : QString(),
                                              problem.file, problem.key}
                                      .filter(QRegularExpression(QStringLiteral("."))).join(u' ');
            lines.append(where.isEmpty() ? problem.message : where + QStringLiteral(": ") + problem.message);
        }
        const int shown = std::min(int(lines.size()), 10);
        m_prompts.show({Prompts::Icon::Warning, Prompts::applicationTitle(),
                        tr("%1 was not taken; nothing in the mission was changed:\n\n%2%3")
                            .arg(name, lines.mid(0, shown).join(u'\n'),
                                 lines.size() > shown ? tr("\n\u2026 and %1 more").arg(lines.size() - shown) : QString()),
                        {Prompts::Button::Ok}, Prompts::Button::Ok, lines.join(u'\n')});
        return false;
    }
    if (changes.isEmpty()) {
        m_prompts.tell(tr("%1 holds no translation that differs from the mission's; nothing was changed.").arg(name));
        return false;
    }
    // One step of undo per file changed, saved by Save All like a text typed.
    const QString description = tr("Import %1").arg(QFileInfo(path).fileName());
    int entries = 0;
    for (auto changed = changes.cbegin(); changed != changes.cend(); ++changed) {
        TranslationTableModel *table = model(changed.key());
        TranslationPair pair = table->pair();
        bool typed = false;   // a mark alone is no change of the file
        bool marked = false;
        for (const auto &[row, change] : changed.value()) {
            const bool text = pair.setTargetText(row, change.text);
            const bool mark = change.done && pair.setMarkedDone(row, *change.done);
            typed = typed || text;
            marked = marked || mark;
            entries += text || mark ? 1 : 0;
        }
        table->setPair(std::move(pair));
        if (typed)
            tableChanged(changed.key(), description);
        else
            showCounts();
        if (marked)
            Q_EMIT marksChanged();
    }
    if (model(m_shown))
        translationTable->resizeRowsToContents();
    m_prompts.tell((entries == 1 ? tr("1 translation") : tr("%1 translations").arg(number(entries)))
                   + tr(" taken from %1 into %2. Save Translations (or Save All) writes them.")
                         .arg(name, changes.size() == 1 ? tr("1 file") : tr("%1 files").arg(changes.size())));
    return true;
}

void TranslationWindow::feedMemory()
{
    const QString source = sourceLanguage->currentText();
    const QString target = m_pairedTarget;
    if (source.isEmpty() || target.isEmpty() || m_sourceFolder)
        return;
    QList<TranslationMemory::Unit> units;
    for (size_t i = 0; i < m_targets.size(); ++i) {
        if (const TranslationTableModel *table = m_targets.at(i).model.get())
            units += TranslationMemory::translatedUnits(table->pair(), m_files.at(int(i)).name);
    }
    const QString mission = QFileInfo(m_scan.root).fileName();
    const QString path = PersonalMemory::pathOf(source, target);
    // Read, merged and written off the GUI thread: a memory of many missions is large.
    auto *job = new BackgroundJob(this);
    job->start(
        [path, mission, units, source, target](const BackgroundJob::Control &) -> QString {
            QString problem;
            const QList<PersonalMemory::Unit> kept = PersonalMemory::load(path, &problem);
            if (!problem.isEmpty())
                return TranslationWindow::tr("Your translation memory %1 could not be read, so it was left as it is: %2")
                    .arg(QDir::toNativeSeparators(path), problem);
            const QList<PersonalMemory::Unit> now = PersonalMemory::merged(kept, mission, units);
            if (now == kept)
                return {};
            if (const std::optional<Error> error = PersonalMemory::save(path, now, source, target))
                return TranslationWindow::tr("Your translation memory %1 could not be saved: %2\n\nThe translations were saved.")
                    .arg(QDir::toNativeSeparators(path), error->message);
            return {};
        },
        [this, job](const QString &error) {
            if (!error.isEmpty())
                m_prompts.warn(error);
            job->deleteLater();
        });
}

bool TranslationWindow::exportMemory()
{
    const QString source = sourceLanguage->currentText();
    const QString target = m_pairedTarget;
    if (source.isEmpty() || target.isEmpty()) {
        m_prompts.tell(tr("Choose the languages to translate from and into."));
        return false;
    }
    const QString memory = PersonalMemory::pathOf(source, target);
    QString problem;
    QList<TranslationMemory::Unit> units;
    for (size_t i = 0; i < m_targets.size(); ++i) {
        if (const TranslationTableModel *table = m_targets.at(i).model.get())
            units += TranslationMemory::translatedUnits(table->pair(), m_files.at(int(i)).name);
    }
    const QList<PersonalMemory::Unit> all =
        PersonalMemory::merged(PersonalMemory::load(memory, &problem), QFileInfo(m_scan.root).fileName(), units);
    if (!problem.isEmpty())
        m_prompts.warn(tr("Your translation memory %1 could not be read: %2\n\nOnly this mission's translations are "
                          "exported.").arg(QDir::toNativeSeparators(memory), problem));
    const QString path = m_prompts.exportPath(
        QDir(m_scan.root).filePath(QStringLiteral("%1-%2.tmx").arg(source.toLower(), target.toLower())), TmxFilter);
    if (path.isEmpty())
        return false;
    if (const std::optional<Error> failed = FileOutput::writeFile(path, PersonalMemory::toTmx(all, source, target))) {
        m_prompts.warn(tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), failed->message));
        return false;
    }
    return true;
}
