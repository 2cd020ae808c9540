#pragma once

#include "core/mission/translation/translation.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSortFilterProxyModel>

// The rows of one pair: Key, Source, Translation (editable), State. Texts
// are shown with LF line breaks.
class TranslationTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { KeyColumn, SourceColumn, TranslationColumn, StateColumn, ColumnCount };
    enum Role { StateRole = Qt::UserRole + 1 };   // the row's TranslationPair::State, as an int

    explicit TranslationTableModel(QObject *parent = nullptr);

    void setPair(TranslationPair pair);
    const TranslationPair &pair() const { return m_pair; }
    // The done mark, the review and the translator's note of the row: kept
    // in the record, no change of the file (markChanged(), not changed()).
    bool setMarkedDone(int row, bool done);
    bool setReview(int row, bool review);
    bool setNote(int row, const QString &note);
    // A text taken from elsewhere (a suggestion under 100 %, with `review`):
    // a change of the file like one typed.
    bool setTranslation(int row, const QString &text, bool review);
    void acceptTarget();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // A translation typed: the target file's text changed.
    void changed();
    // A done mark, a review or a note changed: the record's, not the file's.
    void markChanged();

private:
    void rowChanged(int row);

    TranslationPair m_pair;
};

// The rows of the states chosen (all when none is).
class TranslationFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setStates(const QList<TranslationPair::State> &states);
    // Whether a row of any file is among the states chosen.
    bool accepts(const TranslationPair::Row &row) const { return m_states.isEmpty() || m_states.contains(row.state); }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QList<TranslationPair::State> m_states;
};
