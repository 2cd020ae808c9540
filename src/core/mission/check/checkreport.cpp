#include "core/mission/check/checkreport.h"

#include "core/mission/translation/memory.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/workspace.h"
#include "core/mission/translation/missiontranslation.h"
#include "core/app/version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUrl>

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

QJsonObject text(const QString &message)
{
    return {{QStringLiteral("text"), message}};
}

QJsonArray locations(const Problem &problem, bool relative)
{
    QJsonObject artifact{{QStringLiteral("uri"), QString::fromLatin1(QUrl::toPercentEncoding(problem.file, "/"))}};
    if (relative)
        artifact.insert(QStringLiteral("uriBaseId"), QStringLiteral("MISSION"));
    QJsonObject physical{{QStringLiteral("artifactLocation"), artifact}};
    if (problem.line > 0) {
        QJsonObject region{{QStringLiteral("startLine"), problem.line}};
        if (problem.column > 0)
            region.insert(QStringLiteral("startColumn"), problem.column);
        physical.insert(QStringLiteral("region"), region);
    }
    return {QJsonObject{{QStringLiteral("physicalLocation"), physical}}};
}

// The line and column (from 1, in characters) where the text of an entry starts.
std::pair<int, int> textStart(const StrDocument &document, int entry)
{
    const qsizetype at = document.entries().at(entry).textStart;
    return {document.lineOf(entry, at), document.columnOf(at)};
}

} // namespace

QList<Problem> spellingProblems(const Scan &scan, const QStringList &dictionaryFolders, Severity severity)
{
    QList<Problem> problems;
    const QString mainLanguage = Spelling::missionLanguage(scan.root);
    struct Language {
        std::shared_ptr<Spelling::SpellChecker> checker;
        QSet<QString> missionWords;
    };
    QHash<QString, Language> languages;
    QHash<QString, QString> said;   // language and word -> its message, for the unknown words met before
    QSet<QString> known;            // language and word, for the known ones
    for (const File &file : scan.files) {
        if (file.failure)
            continue;
        const QString language = file.language.isEmpty() ? mainLanguage : file.language;
        auto it = languages.find(language);
        if (it == languages.end()) {
            Language loaded;
            Error error;
            loaded.checker = Spelling::openDictionary(language, dictionaryFolders, &error, Spelling::Suggesting::Quick);
            if (!loaded.checker)
                problems.append({file.relativePath, 0, error.message, Severity::Note});
            if (!scan.root.isEmpty()) {
                const QString path = Spelling::wordListPath(scan.root, language);
                const Spelling::WordList list = Spelling::readWordList(path);
                loaded.missionWords = QSet<QString>(list.words.cbegin(), list.words.cend());
                if (!list.problem.isEmpty())
                    problems.append({QDir(scan.root).relativeFilePath(path), 0, list.problem, Severity::Warning});
            }
            it = languages.insert(language, loaded);
        }
        if (!it->checker)
            continue;
        const StrDocument &document = file.read.document;
        bool saidTooLong = false;    // once a file each
        bool saidScript = false;
        for (int entry = 0; entry < document.entries().size(); ++entry) {
            const QString raw = document.rawText(entry);
            const std::pair<int, int> start = textStart(document, entry);
            const int firstLine = start.first;   // plain names: lambdas below take them
            const int firstColumn = start.second;
            for (const Spelling::Word &word : Spelling::words(raw)) {
                const QString text = raw.sliced(word.start, word.length);
                if (it->missionWords.contains(text))
                    continue;
                // The word's line and column in the file.
                const auto at = [&](const Spelling::Word &found) {
                    const QStringView before = QStringView(raw).first(found.start);
                    const qsizetype breaks = before.count(u'\n');
                    const int column = breaks == 0 ? firstColumn + static_cast<int>(found.start)
                                                   : static_cast<int>(found.start - before.lastIndexOf(u'\n'));
                    return std::pair{firstLine + static_cast<int>(breaks), column};
                };
                if (!it->checker->canCheck(text)) {
                    const bool tooLong = text.size() > Spelling::MaxWordLength;
                    bool &told = tooLong ? saidTooLong : saidScript;
                    if (!told) {
                        told = true;
                        const auto [line, column] = at(word);
                        problems.append({file.relativePath, line,
                                         tooLong ? say("A word of %1 letters is too long to be checked; such words are left out.")
                                                       .arg(text.size())
                                                 : say("\"%1\" is in a script the %2 dictionary does not know; such words are left out.")
                                                       .arg(text, language),
                                         Severity::Note, column});
                    }
                    continue;
                }
                const QString key = language + u'\n' + text;
                if (known.contains(key))
                    continue;
                QString message = said.value(key);
                if (message.isEmpty()) {
                    if (it->checker->isKnown(text)) {
                        known.insert(key);
                        continue;
                    }
                    const QStringList suggestions = it->checker->suggestions(text).mid(0, 5);
                    message = suggestions.isEmpty()
                        ? say("\"%1\" is not in the %2 dictionary.").arg(text, language)
                        : say("\"%1\" is not in the %2 dictionary; perhaps %3.")
                              .arg(text, language, suggestions.join(QLatin1String(", ")));
                    said.insert(key, message);
                }
                const auto [line, column] = at(word);
                problems.append({file.relativePath, line, message, severity, column});
            }
        }
    }
    return problems;
}

QList<Problem> termProblems(const Scan &scan)
{
    QList<Problem> problems;
    if (scan.root.isEmpty())
        return problems;
    const QString prefix = TermList::fileName(QStringLiteral("*"));
    const QDir root(scan.root);
    QHash<QString, const File *> byPath;
    for (const File &file : scan.files) {
        if (!file.failure)
            byPath.insert(file.identity, &file);
    }
    const QString source = Spelling::missionLanguage(scan.root);
    for (const QString &listName : root.entryList({prefix}, QDir::Files, QDir::Name)) {
        const qsizetype star = prefix.indexOf(u'*');
        const QString target = listName.sliced(star, listName.size() - prefix.size() + 1);
        if (!MissionTranslation::isLanguageName(target) || target.compare(source, Qt::CaseInsensitive) == 0)
            continue;
        QString problem;
        const TermList::Terms terms = TermList::load(root.filePath(listName), &problem);
        if (!problem.isEmpty()) {
            problems.append({listName, 0, problem, Severity::Warning});
            continue;
        }
        if (terms.isEmpty())
            continue;
        for (const MissionTranslation::FilePair &pair : MissionTranslation::pairLanguages(scan, source, target)) {
            const File *from = byPath.value(MissionWorkspace::identity(pair.sourcePath));
            const File *into = pair.targetExists ? byPath.value(MissionWorkspace::identity(pair.targetPath)) : nullptr;
            if (!from || !into)
                continue;
            const StrDocument &original = from->read.document;
            const StrDocument &translated = into->read.document;
            QHash<QString, int> targetEntries;   // key in lower case -> entry
            for (int entry = 0; entry < translated.entries().size(); ++entry)
                targetEntries.insert(translated.key(entry).toLower(), entry);
            QList<TranslationMemory::Unit> units;
            for (int entry = 0; entry < original.entries().size(); ++entry) {
                const int other = targetEntries.value(original.key(entry).toLower(), -1);
                if (other >= 0 && !translated.text(other).isEmpty() && translated.text(other) != original.text(entry))
                    units.append({pair.name, original.key(entry), original.text(entry), translated.text(other)});
            }
            for (const TermList::Finding &finding : TermList::check(terms, units)) {
                const int entry = targetEntries.value(finding.key.toLower());
                problems.append({into->relativePath, translated.entries().at(entry).line,
                                 say("The translation of %1 leaves out \"%2\", the term list's rendering of \"%3\".")
                                     .arg(finding.key, finding.expected, finding.term),
                                 Severity::Warning});
            }
        }
    }
    return problems;
}

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
    return place + QLatin1String(": ") + severityName(problem.severity) + QLatin1String(": ") + oneLine(problem.message);
}

QByteArray sarifLog(const QList<Problem> &problems, const QString &root, int exitCode)
{
    QJsonArray results, notifications;
    for (const Problem &problem : problems) {
        QJsonObject result{{QStringLiteral("level"), severityName(problem.severity)},
                           {QStringLiteral("message"), text(problem.message)},
                           {QStringLiteral("locations"), locations(problem, !root.isEmpty())}};
        (problem.unchecked ? notifications : results).append(result);
    }
    QJsonObject invocation{{QStringLiteral("executionSuccessful"), notifications.isEmpty()},
                           {QStringLiteral("exitCode"), exitCode}};
    if (!notifications.isEmpty())
        invocation.insert(QStringLiteral("toolExecutionNotifications"), notifications);
    QJsonObject run{
        {QStringLiteral("tool"),
         QJsonObject{{QStringLiteral("driver"),
                      QJsonObject{{QStringLiteral("name"), QStringLiteral("Quillwright")},
                                  {QStringLiteral("version"), Version::buildVersion()}}}}},
        {QStringLiteral("columnKind"), QStringLiteral("utf16CodeUnits")},
        {QStringLiteral("invocations"), QJsonArray{invocation}},
        {QStringLiteral("results"), results}};
    if (!root.isEmpty()) {
        QString uri = QUrl::fromLocalFile(QFileInfo(root).absoluteFilePath()).toString(QUrl::FullyEncoded);
        if (!uri.endsWith(u'/'))
            uri += u'/';
        run.insert(QStringLiteral("originalUriBaseIds"),
                   QJsonObject{{QStringLiteral("MISSION"), QJsonObject{{QStringLiteral("uri"), uri}}}});
    }
    const QJsonObject log{{QStringLiteral("$schema"), QStringLiteral("https://json.schemastore.org/sarif-2.1.0.json")},
                          {QStringLiteral("version"), QStringLiteral("2.1.0")},
                          {QStringLiteral("runs"), QJsonArray{run}}};
    return QJsonDocument(log).toJson(QJsonDocument::Indented);
}

int check(const QStringList &paths, std::optional<int> codePage, const std::function<void(const QString &)> &out,
          const CheckOptions &options)
{
    QList<Problem> problems;
    QSet<QString> checked;   // the files found, as the problems name them
    int readable = 0;
    const QStringList dictionaryFolders =
        options.dictionaryFolders.isEmpty() ? Spelling::dictionaryFolders() : options.dictionaryFolders;
    const auto take = [&](const Scan &scan, const QString &prefix) {
        QList<Problem> found = allProblems(scan);
        found += termProblems(scan);
        if (options.spelling)
            found += spellingProblems(scan, dictionaryFolders, options.spellingAsErrors ? Severity::Error : Severity::Note);
        for (Problem problem : found) {
            problem.file.prepend(prefix);
            problems.append(problem);
        }
        for (const File &file : scan.files) {
            checked.insert(prefix + file.relativePath);
            // Read, or text without an entry whose lines were checked.
            readable += !file.failure
                    || std::any_of(file.problems.cbegin(), file.problems.cend(), [](const Problem &p) { return p.line > 0; })
                ? 1
                : 0;
        }
        if (scan.truncated) {
            problems.append({prefix.isEmpty() ? QStringLiteral("./") : prefix, 0,
                             say("Only the first %1 .str files or %2 folders of the folder were checked; the others "
                                 "were not read.")
                                 .arg(QString::number(MaxFiles), QString::number(MaxFolders)),
                             Severity::Error, 0, true});
        }
    };
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
            problems.append({given, 0, folder.failure->message, Severity::Error});
        take(folder, paths.size() == 1 ? QString() : given);
    }
    if (!files.isEmpty())
        take(scanFiles(files, codePage), QString());

    QSet<QString> named;   // the files with a problem, found or missing (not folders)
    int errors = 0, warnings = 0, notes = 0, unchecked = 0;
    for (const Problem &problem : std::as_const(problems)) {
        if (problem.unchecked)
            ++unchecked;
        else if (problem.severity == Severity::Error)
            ++errors;
        else if (problem.severity == Severity::Warning)
            ++warnings;
        else
            ++notes;
        if (!problem.file.endsWith(u'/') && !problem.unchecked)
            named.insert(problem.file);
    }
    const qsizetype found = checked.size();
    const int code = readable == 0 || unchecked > 0           ? 2
        : errors > 0 || (options.warningsAsErrors && warnings > 0) ? 1
                                                                   : 0;
    if (options.sarif) {
        out(QString::fromUtf8(sarifLog(problems, paths.size() == 1 && files.isEmpty() ? paths.constFirst() : QString(),
                                       code))
                .trimmed());
        return code;
    }
    for (const Problem &problem : std::as_const(problems))
        out(checkLine(problem));
    if (readable == 0) {
        out(found == 0 ? say("Nothing could be read.")
                       : found == 1 ? say("The file could not be read.")
                                    : say("None of the %1 files could be read.").arg(QString::number(found)));
        return code;
    }
    const qsizetype missing = (named - checked).size();
    const qsizetype total = found + missing;
    const QString notChecked = unchecked == 1 ? say("1 file or folder was not checked (named above).")
                                              : say("%1 files or folders were not checked (named above).")
                                                    .arg(QString::number(unchecked));
    if (errors + warnings + notes == 0) {
        if (unchecked > 0)
            out(say("Nothing found in the files checked, but not everything was checked: %1").arg(notChecked));
        else
            out(total == 1 ? say("No problems in 1 file.") : say("No problems in %1 files.").arg(QString::number(total)));
        return code;
    }
    const QString count = counted(errors, warnings, notes);
    QString summary = total == 1 ? say("%1 in 1 file").arg(count)
                                 : say("%1 in %2 of %3 files").arg(count, QString::number(named.size()), QString::number(total));
    if (missing > 0)
        summary += u' ' + (missing == 1 ? say("(1 of them missing)") : say("(%1 of them missing)").arg(QString::number(missing)));
    summary += u'.';
    if (unchecked > 0)
        summary += u' ' + notChecked;
    out(summary);
    return code;
}

} // namespace MissionFolder
