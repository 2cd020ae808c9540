#pragma once

// What the PO and XLIFF readers share: each entry taken back is checked
// against the mission's units, and becomes a change or a problem.

#include "core/mission/translation/exchange.h"

#include <QHash>
#include <QSet>

namespace Exchange::Taking {

// One entry as a file gives it back.
struct Entry {
    int line = 0;
    QString file;
    QString key;
    QString source;       // the msgid or <source>: what it was made from
    QString text;         // the translation, empty when none
    bool review = false;
    std::optional<bool> done;
    QString previous;     // "#| msgid" or <alt-trans alttranstype="previous-version">
    std::optional<QString> note;
};

class Taker
{
public:
    Taker(const QList<Unit> &units, int codePage);

    // Whether the mission has `file`; the first time it has not, a problem.
    bool knowsFile(int line, const QString &file);
    void take(const Entry &entry);
    void problem(int line, const QString &file, const QString &key, const QString &message);
    // The changes, or none with the problems.
    Import result();

private:
    QHash<QString, QHash<QString, const Unit *>> m_units;   // by file, then folded key
    int m_codePage;
    QSet<std::pair<QString, QString>> m_seen;
    QSet<QString> m_unknownFiles;
    Import m_import;
};

} // namespace Exchange::Taking
