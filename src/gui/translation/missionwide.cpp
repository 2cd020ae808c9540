// The translation window's view of the whole mission at once: the files'
// progress and their order, the filter across files and the search of every
// text.
#include "gui/translation/translationwindow.h"

#include "core/mission/backgroundjob.h"
#include "core/mission/translation/translationsearch.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
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

void TranslationWindow::showFileProgress(int file, const TranslationPair::Counts &counts)
{
    QStandardItem *translated = m_fileList->item(file, TranslatedColumn);
    QStandardItem *left = m_fileList->item(file, LeftColumn);
    if (!translated || !left)
        return;
    translated->setText(tr("%1 of %2").arg(number(counts.translated), number(counts.total)));
    translated->setData(counts.total > 0 ? double(counts.translated) / counts.total : 1.0, SortRole);
    left->setText(number(counts.left()));
    left->setData(counts.left(), SortRole);
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
    for (int i = 0; i < m_set.size() && !all; ++i) {
        const TranslationTableModel *table = model(i);
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
    if (text.trimmed().isEmpty() || m_set.size() == 0) {
        m_search->cancel();
        found->removeRows(0, found->rowCount());
        searchResults->hide();
        searchCounts->clear();
        return;
    }
    QList<TranslationSearch::File> files;
    for (int i = 0; i < m_set.size(); ++i) {
        const TranslationTableModel *table = model(i);
        files.append({m_set.name(i), table ? table->pair().rows() : QList<TranslationPair::Row>()});
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
        auto *file = new QStandardItem(m_set.name(hit.file));
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
