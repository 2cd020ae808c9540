#pragma once

#include "core/mission/folder.h"

#include <QByteArray>
#include <QStringList>

// The check as a SARIF 2.1.0 log for code scanning: the rules
// (tool.driver.rules, with a short and a full description and a help text),
// a result per finding with its rule, level, message, a region (line 1 for a
// finding about a whole file) and a fingerprint that a line moved does not
// change (partialFingerprints); what could not be checked as notifications
// of the run, which then did not succeed. File URIs are relative to
// %SRCROOT% (originalUriBaseIds), so the log names no folder of the machine
// that wrote it.
namespace MissionFolder::Sarif {

struct Finding {
    Problem problem;
    QString uri;           // relative to %SRCROOT%, with '/'
    QString fingerprint;   // Baseline::fingerprints()
};

// `root`: what %SRCROOT% is, in words ("the folder the check ran in").
QByteArray log(const QList<Finding> &findings, const QString &root, int exitCode);

} // namespace MissionFolder::Sarif
