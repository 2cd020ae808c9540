#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What saving a file would change, as a unified diff: the lines of the file
// on the disk against the lines that would be written, in hunks of changed
// lines with up to three lines of context around them, each under its
// "@@ -a,b +c,d @@" header, as diff -u and git print them.
namespace UnifiedDiff {

// The lines of `text`, each with its own line end (LF or CR LF, as it
// stands); the last without one when the text does not end with a line end.
// An empty text has no line.
QStringList lines(const QString &text);

struct Line {
    enum Kind { Context, Removed, Added };
    Kind kind = Context;
    QString text;   // with its line end, if it has one
};

struct Hunk {
    int oldStart = 0;   // from 1; the line before the hunk when it takes no old line
    int oldCount = 0;
    int newStart = 0;
    int newCount = 0;
    QList<Line> lines;
};

// The hunks that make `after` of `before`. Lines compare with their line
// ends: a line whose end changed is changed. Far apart changes make hunks of
// their own; changes closer than twice the context share one.
QList<Hunk> hunks(const QStringList &before, const QStringList &after, int context = 3);

// How many lines changed: in each run of removed and added lines, the larger
// of the two counts (a line changed counts once, as does one put in or taken out).
int changedLines(const QList<Hunk> &hunks);

// The hunks as text: each header on its own line, then each line after its
// mark (' ', '-' or '+') with its own line end; a line without one is
// followed by a line feed and "\ No newline at end of file".
QString format(const QList<Hunk> &hunks);

} // namespace UnifiedDiff
