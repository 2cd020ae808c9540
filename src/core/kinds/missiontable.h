#pragma once

#include "core/document/error.h"
#include "core/document/strdocument.h"

#include <QAbstractTableModel>
#include <QJsonObject>

#include <optional>

// The missions of a campaign file (missflag.str, Titles.str) as the rows of a
// table over its document: one row per mission, sorted by number, the
// number in the first column. The document the rows came from (the base) is
// never changed; document() lays the rows' changes over it, so a row that
// was not changed keeps its bytes, and a changed row changes its own lines.
//
// A row whose number in the file is not a whole number from 1 to 999 written
// plainly ("2.5", " 7", "019") is shown read-only and kept as it stands.
class MissionTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    // true for a cell that is marked; its tooltip says why.
    static constexpr int MarkRole = Qt::UserRole + 1;
    static constexpr int NumberColumn = 0;
    static constexpr int HighestNumber = 999;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Read-only rows stay: false when one of them is among `count`.
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

    // Adds a row for mission `number` where it sorts; returns its row.
    int addRow(const QString &number);
    // The number a new row gets: one after the highest, `first` in an empty table.
    QString nextNumber(int first) const;
    bool isReadOnly(int row) const { return m_rows.at(row).fixed; }
    // A row by its lines in the base, for a view of one row (the one-mission
    // form): the row holding `entry` in any part (-1 for none), and the entry
    // of a row's part (-1 for none).
    int rowOf(int entry) const;
    int entryOf(int row, int part) const { return m_rows.at(row).entries.at(part); }

    // `number` when it is a whole number from 1 to HighestNumber written plainly.
    static std::optional<int> wholeNumber(QStringView number);
    // A number as typed, as a row keeps it: blanks around it dropped, and
    // the zeros before a number of digits alone ("019" is mission 19).
    static QString rowNumber(const QString &typed);

    // The whole mission numbers of the editable rows.
    QList<int> missions() const;
    // The missions of the other campaign file, when it is open: rows the
    // other file lacks are marked. Nothing: no marks.
    void setOtherMissions(const std::optional<QList<int>> &numbers);

    // Why a row cannot be written (Refused, "Row 3: ..."); nothing when all can.
    std::optional<Error> problem() const;

    // The file: the base with the rows' changes, each changed text among the
    // author's texts for the checks before saving.
    virtual StrDocument document() const = 0;
    const StrDocument &base() const { return m_base; }
    // The rows afresh from `document` (the file as it was just saved).
    void reload(StrDocument document);

    // The rows as the author left them, for a draft and for telling whether
    // anything changed; restoreState() takes back what state() gave for the
    // same base, and refuses anything else.
    QJsonObject state() const;
    bool restoreState(const QJsonObject &state);

Q_SIGNALS:
    // A row added, deleted or given another number.
    void missionsChanged();
    // Anything that changes document().
    void edited();

protected:
    struct Row {
        QString number;                        // as it stands or as typed
        QString fileNumber;                    // as the file writes it; empty for a new row
        QList<int> entries;                    // per part: its entry in the base, -1 for none
        QList<std::optional<QString>> texts;   // per part: as the author set it; nothing: as the file has it
        bool fixed = false;                    // read-only, kept as it stands
    };

    MissionTable(int parts, QObject *parent);   // the subclass reads its document with reload()

    // The rows of the base, in file order (they are sorted afterwards).
    virtual QList<Row> readRows() const = 0;
    // The texts of a new row.
    virtual QList<std::optional<QString>> newTexts() const = 0;
    // The columns after the number.
    virtual QVariant cellData(const Row &row, int column, int role) const = 0;
    virtual bool setCellData(Row &row, int column, const QVariant &value, int role) = 0;
    virtual Qt::ItemFlags cellFlags(int column) const = 0;
    // Why the row's texts cannot be written, without the row's name; empty when they can.
    virtual QString textProblem(const Row &) const { return {}; }
    // The tooltip of a row that the other file lacks.
    virtual QString missingInOther(const QString &number) const = 0;
    // What state() and restoreState() keep beyond the rows.
    virtual void saveExtra(QJsonObject &) const {}
    virtual void restoreExtra(const QJsonObject &) {}

    // The rows, sorted by number.
    const QList<Row> &rows() const { return m_rows; }
    // A part's text now, as the player reads it.
    QString text(const Row &row, int part) const;
    // Whether the author changed a part's text (a new row's texts count as changed).
    bool changed(const Row &row, int part) const;
    // Whether the row stands in the file under the number it has now.
    static bool inPlace(const Row &row) { return !row.fileNumber.isEmpty() && row.number == row.fileNumber; }
    // "the flags of mission 21 (row 3)": where a text was typed, for the checks before saving.
    QString placeOf(const Row &row, const QString &what) const;
    // Base entries of rows the author deleted.
    QList<int> deletedEntries() const;

    // How a line of the file is written, for new lines beside it.
    struct LineStyle {
        QString indent;
        QString prefix;      // the key's prefix as the line spells it: "miss_", "Title_"
        QString separator;   // ":\"", ": \""
        QString lineEnd;     // "" when the file ends there without one
    };
    static LineStyle styleOf(const StrDocument &document, int entry, qsizetype prefixLength);

private:
    void sortRow(int row);

    StrDocument m_base;
    int m_parts = 1;
    QList<Row> m_rows;
    QList<int> m_baseEntries;   // the entries of the rows read from the base
    std::optional<QList<int>> m_other;
};
