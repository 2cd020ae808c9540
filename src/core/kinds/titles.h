#pragma once

#include "core/kinds/missiontable.h"
#include "core/document/strdocument.h"



// Titles.str: the mission title for the objectives screen ("title_") and the
// save-game dialog ("short_"), both keyed by the mission number as typed. An
// opened file keeps every line but those of the mission the tab edits.
namespace TitlesFile {

inline constexpr QLatin1String FileName{"Titles.str"};
inline constexpr QLatin1String TitlePrefix{"title_"};
inline constexpr QLatin1String ShortPrefix{"short_"};

// A new file: a comment and a title_ entry, a comment and a short_ entry,
// each entry with one blank after its colon.
StrDocument content(const QString &number, const QString &title);

// The title_ entries of a file, one per mission.
QList<int> missions(const StrDocument &document);

// The short_ entry of the same mission as the title_ entry `title`; -1 if none.
int shortTitle(const StrDocument &document, int title);

// A mission as the one-mission form shows it.
struct Mission {
    QString number;   // as written after "title_"
    QString title;
};

} // namespace TitlesFile

// The campaign table of Titles.str: the missions of the file as rows, over the
// same document the one-mission form edits.
// Titles.str of a campaign as a table: one row per mission, its title_ (the
// objectives screen) and its short_ entry (the save dialog; the short title
// names the save game), paired by number.
//
// A new row is written as the program writes a Titles.str of one mission:
// the comment line and entry of the title, then those of the short title.
// In an opened file it goes after the row of the next lower number (before
// the next higher one when there is none) in that row's style: as a block
// with its comment lines when that row's two entries stand together, else
// the title beside the titles and the short title beside the short titles.
// A deleted row takes its entries with it, and the program's comment line
// above each when they form such a block.
class TitlesTable : public MissionTable
{
    Q_OBJECT

public:
    enum Column { Number, Title, Short, ColumnCount };

    // The longest short title the save dialog is taken to show whole. The
    // game's dialog has not been measured: this is the length of the short
    // titles published campaigns write when the long title does not fit
    // ("Prolog (Gellert)", 16 characters, is saved as "prologue", 8).
    static constexpr int ShortTitleLimit = 8;

    explicit TitlesTable(StrDocument document, QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    StrDocument document() const override;

    // Why the short title is marked; empty when it is not.
    static QString shortTitleProblem(const QString &shortTitle);

protected:
    QList<Row> readRows() const override;
    QList<std::optional<QString>> newTexts() const override { return {QString(), QString()}; }
    QVariant cellData(const Row &row, int column, int role) const override;
    bool setCellData(Row &row, int column, const QVariant &value, int role) override;
    Qt::ItemFlags cellFlags(int) const override { return Qt::ItemIsEditable; }
    QString missingInOther(const QString &number) const override;
};
