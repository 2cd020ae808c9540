#pragma once

#include "core/kinds/missiontable.h"
#include "core/document/strdocument.h"

#include <QLocale>
#include <QMap>
#include <QSet>
#include <array>

// missflag.str: a header of comment lines listing the flags, a "skip" line for
// every mission number below the author's, and the author's mission line. An
// opened file keeps every line but the one of the mission the tab edits.
namespace MissflagFile {

inline constexpr QLatin1String FileName{"missflag.str"};
inline constexpr QLatin1String MissionPrefix{"miss_"};

// The highest mission number accepted: the file gets one skip line for every
// whole number from 1 up to the mission number minus 1.
inline constexpr int HighestMissionNumber = 999;

enum class Reading {
    Accepted,
    NotANumber,    // empty, letters, a lone sign, ...
    AboveHighest,  // a number above HighestMissionNumber (999.5 included)
};

struct MissionNumber {
    Reading reading = Reading::NotANumber;
    int skipLines = 0;   // skip lines miss_1 .. miss_<skipLines>; 0 below 2
};

// Reads the typed mission number: optional blanks, an optional sign, digits,
// optionally the locale's decimal separator and more digits, optional blanks.
MissionNumber readMissionNumber(const QString &typed, const QLocale &locale = QLocale());

// A new file: the header (the kind's new file text), `skipLines` skip lines, then the mission line
// miss_<number>:"<briefing> ,no_loadout, end" with the number as typed.
StrDocument content(const QString &number, int skipLines, const QString &briefing);

// Whether `key` is a mission's: miss_ and a number (as written: "miss_2",
// "miss_2.5"), not one of the other lines the game reads there, miss_<n>_<word>
// ("miss_7_next", "miss_10_endmovie").
bool isMissionKey(QLatin1String key);

// The mission lines of a file: its mission entries that are not "skip".
QList<int> missions(const StrDocument &document);
// Its mission entries, "skip" or not.
QList<int> missionKeys(const StrDocument &document);

// A mission line as the tab shows it: the number as written after "miss_",
// the briefing, and the flags after it that the tab does not show (" ,no_loadout,
// end" as the program writes them, with any spacing; nothing when the line
// does not end so, and the whole text is the briefing).
struct Mission {
    QString number;
    QString briefing;
    QString flags;
};
// The mission of a number and its line's whole text (a row of the campaign table).
Mission mission(const QString &number, const QString &text);

} // namespace MissflagFile

// The campaign table of missflag.str: the missions of the file as rows, over the
// same document the one-mission form edits.
// missflag.str of a campaign as a table: one row per mission line (a
// miss_ entry that is not "skip"), the five flags of the header as check
// boxes, and the text itself when it holds words that are not flags (they
// are kept wherever the flags are changed).
//
// The skip lines are not rows: the file gets one for every number below the
// first mission and for every number left out between missions (but for the
// numbers an opened file already left out, which stay so), and, as an
// option (on for a new campaign; for an opened file, on when it has one), for
// the number after the last mission. Skip lines the file already has stay
// where they are; a new mission line takes the place of the skip line of its
// number; other new lines go after the line of the next lower number, in its
// style (key spelling, separator, indent, line end).
class MissflagTable : public MissionTable
{
    Q_OBJECT

public:
    enum Column { Number, Skip, NoBriefing, NoLoadout, Cutscene, End, Text, ColumnCount };
    // The flags of the header, in its order: the columns Skip to End.
    static constexpr std::array<QLatin1String, 5> Flags{QLatin1String("skip"), QLatin1String("no_briefing"),
                                                        QLatin1String("no_loadout"), QLatin1String("cutscene"),
                                                        QLatin1String("end")};

    explicit MissflagTable(StrDocument document, QObject *parent = nullptr);
    // A new campaign's file: the header of every missflag.str, no mission yet.
    static StrDocument newFile();

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    StrDocument document() const override;

    bool skipsAfterLast() const { return m_skipAfterLast; }
    void setSkipsAfterLast(bool skip);
    // The numbers that have a skip line in document(), ascending.
    QList<int> skipLines() const;

    // The flag text rules. Words are what stands between the commas, blanks
    // around them trimmed; flags compare without regard to case.
    static bool hasFlag(const QString &text, int flag);
    static bool onlyFlags(const QString &text);
    // `text` with flag `flag` (an index into Flags) set or cleared. A flag
    // set goes before the first flag that the header lists after it (else
    // after the last flag, else at the end); the other words stay in their
    // order. The words are joined the way the text joins them, when it does
    // so alike everywhere ("," otherwise).
    static QString withFlag(const QString &text, int flag, bool on);
    // What flag `flag` does, as the header of every missflag.str (the kind's
    // new file text) says it: the column's tooltip.
    static QString flagMeaning(int flag);

protected:
    QList<Row> readRows() const override;
    QList<std::optional<QString>> newTexts() const override { return {QString()}; }
    QVariant cellData(const Row &row, int column, int role) const override;
    bool setCellData(Row &row, int column, const QVariant &value, int role) override;
    Qt::ItemFlags cellFlags(int column) const override;
    QString textProblem(const Row &row) const override;
    QString missingInOther(const QString &number) const override;
    void saveExtra(QJsonObject &state) const override;
    void restoreExtra(const QJsonObject &state) override;

private:
    // The file's skip lines by number (the first of each).
    static QMap<int, int> skipLinesOf(const StrDocument &document);
    // The whole numbers below the file's last miss_ line that it has no line for.
    static QSet<int> leftOutNumbers(const StrDocument &document);
    StrDocument build(QList<int> *skipNumbers) const;

    bool m_skipAfterLast = true;
};
