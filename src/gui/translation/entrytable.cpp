// The translation window's table of entries: its editor, typing into any
// cell of a row, the row kept across a file's rows made anew, and the way
// to the next entry that needs work.
#include "gui/translation/translationwindow.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>

namespace {

using State = TranslationPair::State;

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

} // namespace

QTableView *TranslationWindow::makeTable(QWidget *parent)
{
    m_filter = new TranslationFilterModel(this);
    translationTable = new QTableView(parent);
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
    translationTable->installEventFilter(this);
    connect(translationTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TranslationWindow::showCurrentEntry);
    // The file's rows made anew (a change made elsewhere, an import): the
    // row shown stays the row shown.
    connect(m_filter, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex current = m_filter->mapToSource(translationTable->currentIndex());
        m_keptRow = m_switching || !current.isValid() ? -1 : current.row();
        m_keptColumn = current.isValid() ? current.column() : 0;
    });
    connect(m_filter, &QAbstractItemModel::modelReset, this, [this] {
        if (const TranslationTableModel *shown = model(m_shown); shown && m_keptRow >= 0 && m_keptRow < shown->rowCount())
            translationTable->setCurrentIndex(m_filter->mapFromSource(shown->index(m_keptRow, m_keptColumn)));
        m_keptRow = -1;
        showCurrentEntry();
    });
    return translationTable;
}

bool TranslationWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == translationTable && event->type() == QEvent::KeyPress && typedOnRow(static_cast<QKeyEvent *>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool TranslationWindow::typedOnRow(QKeyEvent *key)
{
    // A text typed on any cell of a row goes into its translation, not to the
    // table's search by first letters.
    const QModelIndex current = translationTable->currentIndex();
    if (!current.isValid() || current.column() == TranslationTableModel::TranslationColumn || key->text().isEmpty()
        || !key->text().at(0).isPrint() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QModelIndex translation = current.siblingAtColumn(TranslationTableModel::TranslationColumn);
    translationTable->setCurrentIndex(translation);
    translationTable->edit(translation);
    QWidget *editor = translationTable->indexWidget(translation);
    if (!editor)
        return false;
    QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
    QCoreApplication::sendEvent(editor, &typed);
    return true;
}

void TranslationWindow::goToWork(bool forward)
{
    // The files as listed, and in each the rows the filter shows that need work.
    QList<int> order;
    for (int row = 0; row < m_fileOrder->rowCount(); ++row)
        order.append(m_fileOrder->mapToSource(m_fileOrder->index(row, 0)).row());
    if (order.isEmpty())
        return;
    const auto wanted = [this](const TranslationPair::Row &row) {
        return m_filter->accepts(row)
            && (row.state == State::Untranslated || row.state == State::NeedsReview || row.state == State::Outdated);
    };
    const qsizetype startAt = std::max<qsizetype>(order.indexOf(m_shown), 0);
    const QModelIndex current = m_filter->mapToSource(translationTable->currentIndex());
    const int startRow = current.isValid() && order.value(startAt) == m_shown ? current.row() : -1;
    const qsizetype files = order.size();
    for (qsizetype step = 0; step <= files; ++step) {
        const int file = order.at(((forward ? startAt + step : startAt - step) % files + files) % files);
        const TranslationTableModel *table = model(file);
        if (!table)
            continue;
        const QList<TranslationPair::Row> &rows = table->pair().rows();
        const int count = int(rows.size());
        const bool first = step == 0, last = step == files;
        int from = forward ? 0 : count - 1;
        if (first && startRow >= 0)
            from = forward ? startRow + 1 : startRow - 1;
        for (int r = from; r >= 0 && r < count; r += forward ? 1 : -1) {
            if (last && startRow >= 0 && (forward ? r > startRow : r < startRow))
                break;   // round the mission, back where it started
            if (wanted(rows.at(r))) {
                showEntry(file, r);
                translationTable->setFocus();
                return;
            }
        }
    }
}
