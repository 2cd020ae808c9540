#include "gui/source/sourcefindings.h"

#include "core/kinds/kind.h"
#include "core/mission/check/fileproblems.h"

#include <QCoreApplication>

#include <algorithm>

namespace SourceFindings {

SourceFindingsProvider kindCheck(const QString &path)
{
    const std::optional<Kinds::Kind> named = Kinds::kindOfPath(path);
    return [named](const StrDocument &document) {
        QList<SourceFinding> found;
        const std::optional<Kinds::Kind> kind = Kinds::kindOf(document, named);
        if (!kind)
            return found;
        const QString rule = QCoreApplication::translate("SourceFindings", "the check of %1")
                                 .arg(Kinds::descriptor(*kind).kindName());
        for (const Kinds::Finding &finding : Kinds::check(*kind, document)) {
            if (finding.severity == Kinds::Finding::Kept || finding.line < 1)
                continue;
            const SourceFinding::Severity severity = finding.severity == Kinds::Finding::Error ? SourceFinding::Error
                : finding.severity == Kinds::Finding::Warning                               ? SourceFinding::Warning
                                                                                            : SourceFinding::Note;
            found.append({finding.line, std::max(1, finding.column), 0, severity, finding.text, rule});
        }
        return found;
    };
}

SourceFindingsProvider missionCheck(const MissionFolder::File &file, bool translation)
{
    MissionFolder::File base = file;
    base.problems.clear();
    return [base, translation](const StrDocument &document) {
        MissionFolder::File now = base;
        now.read.document = document;
        QList<SourceFinding> found;
        for (const MissionFolder::Problem &problem : MissionFolder::FileCheck::problemsOf(now, translation)) {
            if (problem.line < 1)
                continue;
            const SourceFinding::Severity severity = problem.severity == MissionFolder::Severity::Error
                ? SourceFinding::Error
                : problem.severity == MissionFolder::Severity::Warning ? SourceFinding::Warning
                                                                       : SourceFinding::Note;
            found.append({problem.line, std::max(1, problem.column), 0, severity, problem.message, problem.rule});
        }
        return found;
    };
}

} // namespace SourceFindings
