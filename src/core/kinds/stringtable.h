#pragma once

#include "core/document/strdocument.h"

#include <QAbstractTableModel>
#include <QHash>

// A string table (object names, descriptions, interface texts: any .str file
// that is none of the five kinds) as a table of its entries: the key, and the
// text as the player reads it, which can be edited. Everything else in the
// file is kept through its document.
class StringTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { KeyColumn, TextColumn, ColumnCount };

    explicit StringTableModel(QObject *parent = nullptr);

    // Shows `document`, with no edits.
    void setDocument(const StrDocument &document);
    const StrDocument &opened() const { return m_document; }

    // The document with the edited texts laid over it.
    StrDocument document() const;
    bool isEdited() const { return !m_texts.isEmpty(); }
    // The texts edited, by entry, for a draft; and back.
    QHash<int, QString> editedTexts() const { return m_texts; }
    void setEditedTexts(const QHash<int, QString> &texts);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void changed();

private:
    QString text(int entry) const;

    StrDocument m_document;
    QHash<int, QString> m_texts;   // entry -> the text typed, line breaks as LF
};
