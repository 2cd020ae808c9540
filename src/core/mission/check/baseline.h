#pragma once

#include "core/document/error.h"
#include "core/mission/folder.h"

#include <QHash>

#include <optional>
#include <variant>

// A baseline: the findings a team accepts for now (`--write-baseline FILE`),
// so that the check fails only on new ones (`--baseline FILE`). A finding is
// known by its rule, its file, the key of the entry it is in (if any) and a
// hash of the text it is about (the line it points at, or for a whole file
// its message) -- never by its line number, so a line inserted above it
// keeps it known. The file is JSON, sorted, made to be kept under version
// control.
namespace MissionFolder::Baseline {

struct Identity {
    QString rule;
    QString file;
    QString key;    // the entry's key as written, "" for none
    QString hash;   // of the text it is about: 16 hex digits
    bool operator==(const Identity &) const = default;
};
size_t qHash(const Identity &identity, size_t seed = 0);

// How the findings of one scan are known: `files` (relative paths, as the
// problems name them) are the scan's.
class Identifier
{
public:
    explicit Identifier(const Scan &scan);
    Identity identify(const Problem &problem) const;

private:
    QHash<QString, const File *> m_files;
    mutable QHash<const File *, QList<qsizetype>> m_lineStarts;   // of each file asked about
};

// A stable fingerprint of each of `identities` for SARIF's
// partialFingerprints: its identity's hash, and how many the same came before.
QStringList fingerprints(const QList<Identity> &identities);

// The baseline's text for `problems` (each with its identity).
QByteArray text(const QList<std::pair<Problem, Identity>> &problems);

// The identities a baseline file holds, each with how often; or why it cannot be read.
using Known = QHash<Identity, int>;
std::variant<Known, Error> read(const QString &path);

} // namespace MissionFolder::Baseline
