#include "core/mission/check/checkreport.h"

#include "core/mission/check/acrossfiles.h"
#include "core/mission/check/baseline.h"
#include "core/mission/check/sarif.h"
#include "core/mission/check/silencing.h"
#include "core/mission/check/spellingcheck.h"
#include "core/mission/missionsettings.h"
#include "core/mission/spelling/spelling.h"
#include "core/save/fileoutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace MissionFolder {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

// A message on one line: its line breaks as \n.
QString oneLine(const QString &message)
{
    QString line = message;
    line.replace(QLatin1String("\r\n"), QLatin1String("\\n")).replace(u'\n', QLatin1String("\\n"));
    return line.replace(u'\r', QLatin1String("\\n"));
}

// "1 error", "2 warnings and 1 note", ...
QString counted(int errors, int warnings, int notes)
{
    QStringList parts;
    if (errors > 0)
        parts.append(errors == 1 ? say("1 error") : say("%1 errors").arg(QString::number(errors)));
    if (warnings > 0)
        parts.append(warnings == 1 ? say("1 warning") : say("%1 warnings").arg(QString::number(warnings)));
    if (notes > 0)
        parts.append(notes == 1 ? say("1 note") : say("%1 notes").arg(QString::number(notes)));
    if (parts.size() < 2)
        return parts.join(QString());
    const QString last = parts.takeLast();
    return say("%1 and %2").arg(parts.join(QLatin1String(", ")), last);
}

// A finding as the check reports it: with what a baseline knows it by, and
// the file's absolute path (for SARIF's URIs).
struct Reported {
    Problem problem;
    Baseline::Identity identity;
    QString absolutePath;
};

// Everything the check gathers from its scans.
struct Gathered {
    QList<Reported> findings;
    QSet<QString> checked;   // the files found, as the problems name them
    int readable = 0;
    QStringList unknownWords;
};

void take(const Scan &scan, const QString &prefix, const CheckOptions &options, const QStringList &dictionaryFolders,
          Gathered &gathered)
{
    QList<Problem> found = allProblems(scan);
    found += AcrossFiles::termProblems(scan);
    if (options.spelling || options.unknownWords) {
        const SpellingCheck::Result spelling = SpellingCheck::check(
            scan, {dictionaryFolders, options.spellingAsErrors ? Severity::Error : Severity::Note, options.suggest});
        found += spelling.problems;
        gathered.unknownWords += SpellingCheck::unknownWordLines(scan, spelling);
    }
    found = Silencing::withoutSilenced(scan, found,
                                       scan.root.isEmpty() ? MissionSettings::Settings() : MissionSettings::read(scan.root));
    const Baseline::Identifier identifier(scan);
    const bool identified = options.sarif || !options.baseline.isEmpty() || !options.writeBaseline.isEmpty();
    for (const Problem &problem : std::as_const(found)) {
        if (options.noNotes && problem.severity == Severity::Note && !problem.unchecked)
            continue;
        Reported reported{problem, identified ? identifier.identify(problem) : Baseline::Identity(), QString()};
        reported.absolutePath = scan.root.isEmpty() ? QFileInfo(problem.file).absoluteFilePath()
                                                    : scan.root + u'/' + problem.file;
        reported.problem.file.prepend(prefix);
        reported.identity.file.prepend(prefix);
        gathered.findings.append(reported);
    }
    for (const File &file : scan.files) {
        gathered.checked.insert(prefix + file.relativePath);
        // Read, or text without an entry whose lines were checked.
        gathered.readable += !file.failure
                || std::any_of(file.problems.cbegin(), file.problems.cend(), [](const Problem &p) { return p.line > 0; })
            ? 1
            : 0;
    }
    if (scan.truncated) {
        const QString where = prefix.isEmpty() ? QStringLiteral("./") : prefix;
        gathered.findings.append({{"too-many-files", where, 0,
                                   say("Only the first %1 .str files or %2 folders of the folder were checked; the "
                                       "others were not read.")
                                       .arg(QString::number(MaxFiles), QString::number(MaxFolders)),
                                   Severity::Error, 0, true},
                                  {},
                                  scan.root});
    }
}

// SARIF's %SRCROOT%: the folder the check runs in when every file is in it,
// else the one mission folder checked; each finding's path from there.
QList<Sarif::Finding> sarifFindings(const QList<Reported> &findings, QString *root)
{
    const QString current = QDir::current().absolutePath();
    const bool inCurrent = std::all_of(findings.cbegin(), findings.cend(), [&](const Reported &reported) {
        return QDir::cleanPath(reported.absolutePath).startsWith(current + u'/');
    });
    *root = inCurrent ? say("The folder the check was run in.") : say("The mission folder checked.");
    QList<Baseline::Identity> identities;
    for (const Reported &reported : findings)
        identities.append(reported.identity);
    const QStringList prints = Baseline::fingerprints(identities);
    QList<Sarif::Finding> sarif;
    for (qsizetype i = 0; i < findings.size(); ++i) {
        const Reported &reported = findings.at(i);
        QString uri = reported.problem.file;
        if (inCurrent)
            uri = QDir(current).relativeFilePath(QDir::cleanPath(reported.absolutePath));
        else if (!QDir::isRelativePath(uri))
            uri = QFileInfo(uri).fileName();   // no folder of the machine
        if (reported.problem.file.endsWith(u'/') && !uri.endsWith(u'/'))
            uri += u'/';
        sarif.append({reported.problem, uri, prints.at(i)});
    }
    return sarif;
}

} // namespace

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QStringLiteral("error");
    case Severity::Warning:
        return QStringLiteral("warning");
    case Severity::Note:
        break;
    }
    return QStringLiteral("note");
}

QString checkLine(const Problem &problem)
{
    QString place = QDir::toNativeSeparators(problem.file);
    if (problem.line > 0)
        place += u':' + QString::number(problem.line) + u':' + QString::number(std::max(problem.column, 1));
    return place + QLatin1String(": ") + severityName(problem.severity) + QLatin1String(": ") + oneLine(problem.message)
        + QLatin1String(" [") + problem.rule + u']';
}

int check(const QStringList &paths, std::optional<int> codePage, const std::function<void(const QString &)> &out,
          const CheckOptions &options, const std::function<void(const QString &)> &errors)
{
    const auto fail = [&](const QString &why) {
        (errors ? errors : out)(QStringLiteral("quillwright: ") + why);
        return 2;
    };
    std::optional<Baseline::Known> known;
    if (!options.baseline.isEmpty()) {
        auto read = Baseline::read(options.baseline);
        if (const auto *failure = std::get_if<Error>(&read))
            return fail(failure->message);
        known = std::get<Baseline::Known>(std::move(read));
    }
    const QStringList dictionaryFolders =
        options.dictionaryFolders.isEmpty() ? Spelling::dictionaryFolders() : options.dictionaryFolders;
    Gathered gathered;
    QStringList files;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir()) {
            files.append(path);
            continue;
        }
        const Scan folder = scan(path, codePage);
        QString given = QDir::fromNativeSeparators(path);
        if (!given.endsWith(u'/'))
            given += u'/';
        if (folder.failure)
            gathered.findings.append({{"not-read", given, 0, folder.failure->message, Severity::Error}, {}, folder.root});
        take(folder, paths.size() == 1 ? QString() : given, options, dictionaryFolders, gathered);
    }
    if (!files.isEmpty())
        take(scanFiles(files, codePage), QString(), options, dictionaryFolders, gathered);

    // What the baseline knows is left out; what is written into one is known from now on.
    int knownFound = 0;
    if (known) {
        QList<Reported> fresh;
        for (const Reported &reported : std::as_const(gathered.findings)) {
            int &left = (*known)[reported.identity];
            if (left > 0 && !reported.problem.unchecked) {
                --left;
                ++knownFound;
            } else {
                fresh.append(reported);
            }
        }
        gathered.findings = fresh;
    }
    int errorCount = 0, warnings = 0, notes = 0, unchecked = 0;
    QSet<QString> named;   // the files with a problem, found or missing (not folders)
    for (const Reported &reported : std::as_const(gathered.findings)) {
        const Problem &problem = reported.problem;
        if (problem.unchecked)
            ++unchecked;
        else if (problem.severity == Severity::Error)
            ++errorCount;
        else if (problem.severity == Severity::Warning)
            ++warnings;
        else
            ++notes;
        if (!problem.file.endsWith(u'/') && !problem.unchecked)
            named.insert(problem.file);
    }
    const bool recorded = !options.writeBaseline.isEmpty();
    if (recorded) {
        QList<std::pair<Problem, Baseline::Identity>> all;
        for (const Reported &reported : std::as_const(gathered.findings)) {
            if (!reported.problem.unchecked)
                all.append({reported.problem, reported.identity});
        }
        if (const std::optional<Error> failed = FileOutput::writeFile(options.writeBaseline, Baseline::text(all)))
            return fail(failed->message);
    }
    const int code = gathered.readable == 0 || unchecked > 0                                      ? 2
        : recorded                                                                                ? 0
        : errorCount > 0 || (options.warningsAsErrors && warnings > 0)                            ? 1
                                                                                                  : 0;
    if (options.unknownWords) {
        for (const QString &line : std::as_const(gathered.unknownWords))
            out(line);
        return code;
    }
    if (options.sarif) {
        QString root;
        const QList<Sarif::Finding> sarif = sarifFindings(gathered.findings, &root);
        out(QString::fromUtf8(Sarif::log(sarif, root, code)).trimmed());
        return code;
    }
    for (const Reported &reported : std::as_const(gathered.findings))
        out(checkLine(reported.problem));
    const qsizetype found = gathered.checked.size();
    if (gathered.readable == 0) {
        out(found == 0 ? say("Nothing could be read.")
                       : found == 1 ? say("The file could not be read.")
                                    : say("None of the %1 files could be read.").arg(QString::number(found)));
        return code;
    }
    const qsizetype missing = (named - gathered.checked).size();
    const qsizetype total = found + missing;
    const QString notChecked = unchecked == 1 ? say("1 file or folder was not checked (named above).")
                                              : say("%1 files or folders were not checked (named above).")
                                                    .arg(QString::number(unchecked));
    QString knownOnes;
    if (knownFound > 0) {
        knownOnes = u' ' + (knownFound == 1 ? say("1 finding the baseline knows is left out.")
                                            : say("%1 findings the baseline knows are left out.").arg(knownFound));
    }
    if (recorded) {
        knownOnes += u' ' + say("The baseline %1 records %2 findings.")
                                .arg(QDir::toNativeSeparators(options.writeBaseline))
                                .arg(errorCount + warnings + notes);
    }
    if (errorCount + warnings + notes == 0) {
        if (unchecked > 0)
            out(say("Nothing found in the files checked, but not everything was checked: %1").arg(notChecked));
        else
            out((total == 1 ? say("No problems in 1 file.") : say("No problems in %1 files.").arg(QString::number(total)))
                + knownOnes);
        return code;
    }
    const QString count = counted(errorCount, warnings, notes);
    QString summary = total == 1 ? say("%1 in 1 file").arg(count)
                                 : say("%1 in %2 of %3 files").arg(count, QString::number(named.size()), QString::number(total));
    if (missing > 0)
        summary += u' ' + (missing == 1 ? say("(1 of them missing)") : say("(%1 of them missing)").arg(QString::number(missing)));
    summary += u'.';
    if (unchecked > 0)
        summary += u' ' + notChecked;
    out(summary + knownOnes);
    return code;
}

} // namespace MissionFolder
