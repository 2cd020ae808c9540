#include "core/mission/folder.h"

#include "core/document/codepages.h"
#include "core/document/codepagedetect.h"
#include "core/document/safefile.h"
#include "core/document/lineendings.h"
#include "core/mission/check/acrossfiles.h"
#include "core/mission/check/fileproblems.h"
#include "core/mission/fileplace.h"
#include "core/mission/missionsettings.h"
#include "core/mission/workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

#include <algorithm>
#include <type_traits>

namespace MissionFolder {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

Error notRead(const QString &folder, const QString &message)
{
    return {Error::Kind::NotRead, message, folder, {}};
}

// ---------------------------------------------------------------- Folders

struct Language {
    QLatin1String name;
    int codePage;
};

const Language Languages[] = {
    {QLatin1String("english"), 1252},   {QLatin1String("german"), 1252},     {QLatin1String("french"), 1252},
    {QLatin1String("italian"), 1252},   {QLatin1String("spanish"), 1252},    {QLatin1String("portuguese"), 1252},
    {QLatin1String("dutch"), 1252},     {QLatin1String("danish"), 1252},     {QLatin1String("swedish"), 1252},
    {QLatin1String("norwegian"), 1252}, {QLatin1String("finnish"), 1252},    {QLatin1String("polish"), 1250},
    {QLatin1String("czech"), 1250},     {QLatin1String("hungarian"), 1250},  {QLatin1String("slovak"), 1250},
    {QLatin1String("slovenian"), 1250}, {QLatin1String("croatian"), 1250},   {QLatin1String("romanian"), 1250},
    {QLatin1String("russian"), 1251},   {QLatin1String("ukrainian"), 1251},  {QLatin1String("bulgarian"), 1251},
    {QLatin1String("greek"), 1253},     {QLatin1String("turkish"), 1254},    {QLatin1String("hebrew"), 1255},
    {QLatin1String("arabic"), 1256},    {QLatin1String("lithuanian"), 1257}, {QLatin1String("latvian"), 1257},
    {QLatin1String("estonian"), 1257},  {QLatin1String("vietnamese"), 1258}, {QLatin1String("thai"), 874},
};

bool isKnownLanguage(const QString &name)
{
    return std::any_of(std::begin(Languages), std::end(Languages),
                       [&](const Language &language) { return name.compare(language.name, Qt::CaseInsensitive) == 0; });
}

bool isMissionFolder(const QString &name)
{
    static const QRegularExpression mission(QStringLiteral("^miss[0-9]+$"), QRegularExpression::CaseInsensitiveOption);
    return mission.match(name).hasMatch();
}

bool named(const QString &name, const char *word)
{
    return name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Whether folders[i] stands where the game keeps one folder per language:
// books/, strings/, intrface/ or intrface/missNN/.
bool inLanguageLayout(const QStringList &folders, qsizetype i)
{
    if (i < 1)
        return false;
    const QString &parent = folders.at(i - 1);
    if (named(parent, "books") || named(parent, "strings"))
        return true;
    if (named(parent, "intrface"))
        return !isMissionFolder(folders.at(i));
    return isMissionFolder(parent) && i >= 2 && named(folders.at(i - 2), "intrface");
}

QString parentKey(const QStringList &folders, qsizetype i)
{
    return folders.first(i).join(u'/').toLower();
}

struct Found {
    QString path;
    QString relativePath;
};

// Where a file stands: its language (and at which of its relative path's
// parts, -1 when none or above the folder scanned) and mission.
struct Place {
    QString language;
    qsizetype languagePart = -1;
    QString mission;
};

class Places
{
public:
    // The files of the folder `root`, or (`root` empty) files named on their own.
    Places(const QString &root, const QList<Found> &files)
        : m_inFolder(!root.isEmpty())
        , m_above(m_inFolder ? foldersOf(QFileInfo(root).absoluteFilePath() + QLatin1String("/.")) : QStringList())
    {
        for (const Found &file : files) {
            const QStringList folders = m_inFolder ? foldersOf(file.relativePath) : QStringList();
            for (qsizetype i = 0; i < folders.size(); ++i) {
                if (isKnownLanguage(folders.at(i)) && inLanguageLayout(folders, i))
                    m_beside.insert(parentKey(folders, i));
            }
        }
    }

    Place of(const Found &file) const
    {
        Place place;
        const QStringList inside = foldersOf(m_inFolder ? file.relativePath : file.path);
        const QStringList folders = m_above + inside;
        for (qsizetype i = folders.size() - 1; i >= 0 && place.language.isEmpty(); --i) {
            const qsizetype part = m_inFolder ? i - m_above.size() : -1;
            const bool beside = part >= 0 && inLanguageLayout(inside, part) && m_beside.contains(parentKey(inside, part));
            if (isKnownLanguage(folders.at(i)) || beside) {
                place.language = folders.at(i).toLower();
                place.languagePart = part;
            }
        }
        for (qsizetype i = 1; i < folders.size(); ++i) {
            if (isMissionFolder(folders.at(i)) && named(folders.at(i - 1), "intrface"))
                place.mission = folders.at(i);
        }
        return place;
    }

private:
    static QStringList foldersOf(const QString &path)
    {
        QStringList parts = QDir::fromNativeSeparators(path).split(u'/', Qt::SkipEmptyParts);
        if (!parts.isEmpty())
            parts.removeLast();
        return parts;
    }

    bool m_inFolder;
    QStringList m_above;      // the folders above the one scanned
    QSet<QString> m_beside;   // folders with a known language folder in them
};

// The folders and .str files in `folder` whose names are not valid UTF-8,
// which Qt leaves out of its listings: each shown with U+FFFD for what cannot
// be read. Windows names are always Unicode.
QStringList undecodableNames(const QString &folder)
{
    QStringList names;
#ifdef Q_OS_UNIX
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(name);
        if (!utf8.hasError())
            continue;
        const bool str = name.toLower().endsWith(".str");
        if (entry->d_type == DT_DIR || str || (entry->d_type != DT_REG && !name.contains('.')))
            names.append(decoded);
    }
    ::closedir(dir);
    names.sort();
#else
    Q_UNUSED(folder)
#endif
    return names;
}

// Gathers the .str files under a folder: each once, symbolic links followed
// once, never round a loop, at most MaxDepth levels and MaxFiles files.
class Walk
{
public:
    Walk(Scan &scan, const std::atomic_bool *cancel)
        : m_scan(scan)
        , m_cancel(cancel)
    {
    }

    void folder(const QString &path, const QString &relative, int depth)
    {
        if (m_stopped || cancelled())
            return;
        const QDir dir(path);
        const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden
                                                            | QDir::System,
                                                        QDir::Name | QDir::IgnoreCase);
        if (entries.isEmpty() && !dir.isReadable()) {
            m_scan.problems.append({"not-read", relative + u'/', 0, say("The folder cannot be read, so its files were not checked."),
                                    Severity::Error, 0, true});
            return;
        }
        for (const QString &name : undecodableNames(path)) {
            m_scan.problems.append({"not-read", relative.isEmpty() ? name : relative + u'/' + name, 0,
                                    say("The name is not valid UTF-8, so it could not be opened and was not checked; "
                                        "rename it."),
                                    Severity::Error, 0, true});
        }
        for (const QFileInfo &info : entries) {
            if (m_stopped)
                return;
            const QString relativePath = relative.isEmpty() ? info.fileName() : relative + u'/' + info.fileName();
            if (info.isDir()) {
                const QString canonical = info.canonicalFilePath();
                if (canonical.isEmpty() || m_folders.contains(canonical))
                    continue;   // a link round a loop, or a second way to a folder already walked
                if (m_folders.size() > MaxFolders) {
                    m_scan.truncated = true;
                    m_stopped = true;
                    return;
                }
                if (depth >= MaxDepth) {
                    if (!m_tooDeep) {
                        m_scan.problems.append({"not-read", relativePath + u'/', 0,
                                                say("Folders more than %1 levels deep are not checked.")
                                                    .arg(QString::number(MaxDepth)),
                                                Severity::Error, 0, true});
                    }
                    m_tooDeep = true;
                    continue;
                }
                m_folders.insert(canonical);
                folder(info.filePath(), relativePath, depth + 1);
            } else if (info.fileName().endsWith(QLatin1String(".str"), Qt::CaseInsensitive)) {
                const QString canonical = info.canonicalFilePath();
                if (!canonical.isEmpty() && m_files.contains(canonical))
                    continue;
                if (files.size() == MaxFiles) {
                    m_scan.truncated = true;
                    m_stopped = true;
                    return;
                }
                m_files.insert(canonical);
                files.append({info.absoluteFilePath(), relativePath});
            }
        }
    }

    void start(const QString &root) { m_folders.insert(QFileInfo(root).canonicalFilePath()); }
    bool cancelled() const { return m_cancel && m_cancel->load(); }

    QList<Found> files;

private:
    Scan &m_scan;
    const std::atomic_bool *m_cancel;
    QSet<QString> m_folders;
    QSet<QString> m_files;
    bool m_stopped = false;
    bool m_tooDeep = false;
};

// ---------------------------------------------------------------- One file

// A file's bytes, or nothing when it cannot be read or is too large to be.
QByteArray bytesOf(const QString &path)
{
    std::variant<QByteArray, Error> read = SafeFile::read(path, StrReader::MaxFileSize);
    return std::holds_alternative<QByteArray>(read) ? std::get<QByteArray>(std::move(read)) : QByteArray();
}

// What was read of `file`, its document and notes or why it could not be
// read, and what the check finds in it. `detected` is the code page told
// from the texts of the file's language; `translation`: the file is in a
// language folder other than the source's.
void take(File &file, std::variant<StrReader::Result, Error> read, int detected, bool translation)
{
    if (const auto *failure = std::get_if<Error>(&read)) {
        file.unread = unreadReason(file.path, *failure);
        file.failure = Error{failure->kind, failure->message, failure->path, {}};   // not its bytes
        file.kind = Kinds::kindOfPath(file.relativePath).value_or(Kinds::Kind::Other);
        file.problems = FileCheck::failureProblems(file, *failure, translation);
        return;
    }
    file.failure.reset();
    file.unread.clear();
    file.read = std::move(std::get<StrReader::Result>(read));
    file.kind = file.read.kind;
    file.entries = static_cast<int>(file.read.document.entries().size());
    file.dosCodePage = FileCheck::dosCodePageOf(file, detected);
    file.problems = FileCheck::problemsOf(file, translation);
}

File readOne(const Found &found, const Place &place, int codePage, int detected, bool translation)
{
    File file;
    file.path = found.path;
    file.identity = MissionWorkspace::identity(found.path);   // here, off the window's thread
    file.relativePath = found.relativePath;
    file.language = place.language;
    file.mission = place.mission;
    file.codePage = codePage;
    take(file, StrReader::readFile(found.path, file.codePage), detected, translation);
    return file;
}

// The texts of a language's files detection reads at most: plenty to tell.
constexpr qsizetype MaxDetectedText = 256 * 1024;

// The code page of each language's files ("" for those in none).
QMap<QString, LanguageCodePage> codePagesOf(const QList<Found> &found, const Places &places,
                                            std::optional<int> codePage, const MissionSettings::Settings &settings,
                                            const std::atomic_bool *cancel)
{
    QMap<QString, QByteArray> texts;
    QMap<QString, LanguageCodePage> pages;
    for (const Found &file : found) {
        const QString language = places.of(file).language;
        if (!pages.contains(language)) {
            LanguageCodePage page;
            page.named = codePageOfLanguage(language, CodePages::defaultCodePage());
            pages.insert(language, page);
        }
        if (texts[language].size() >= MaxDetectedText || (cancel && cancel->load()))
            continue;
        texts[language].append(CodePageDetect::entryTexts(bytesOf(file.path)));
    }
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        LanguageCodePage &page = it.value();
        page.detected = CodePageDetect::detect(texts.value(it.key()), page.named);
        if (codePage) {   // detected all the same: a file in a DOS code page is told alike
            page.codePage = *codePage;
            page.source = LanguageCodePage::Source::Given;
            continue;
        }
        if (const std::optional<int> chosen = settings.codePageOf(it.key())) {
            page.codePage = *chosen;
            page.source = LanguageCodePage::Source::Settings;
        } else if (CodePages::isSupported(page.detected) && page.detected != page.named) {
            page.codePage = page.detected;
            page.source = LanguageCodePage::Source::Detected;
        } else {
            page.codePage = page.named;
        }
    }
    return pages;
}

bool pathBefore(const QString &a, const QString &b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

// The problems across files, each file's language folder given by `languageParts`.
void compareAcross(Scan &scan, const QMap<int, qsizetype> &languageParts)
{
    AcrossFiles::compareTitlesAndFlags(scan);
    AcrossFiles::compareLanguages(scan, languageParts, scan.sourceLanguage);
    std::stable_sort(scan.problems.begin(), scan.problems.end(), [](const Problem &a, const Problem &b) {
        return a.file != b.file ? pathBefore(a.file, b.file) : a.line < b.line;
    });
}

// Reads the files found, then compares them.
void readAll(Scan &scan, const QList<Found> &found, const Places &places, std::optional<int> codePage,
             const MissionSettings::Settings &settings, const std::function<void(int, int)> &progress,
             const std::atomic_bool *cancel)
{
    scan.codePages = codePagesOf(found, places, codePage, settings, cancel);
    scan.sourceLanguage = settings.source();
    bool sourceFound = false;   // whether the mission has files of its source language
    for (const Found &file : found)
        sourceFound = sourceFound || places.of(file).language == scan.sourceLanguage;
    QList<std::pair<File, qsizetype>> read;   // each file with its language folder's part
    for (const Found &file : found) {
        if (cancel && cancel->load()) {
            scan.cancelled = true;
            break;
        }
        const Place place = places.of(file);
        const LanguageCodePage &page = scan.codePages[place.language];
        const bool translation = sourceFound && !place.language.isEmpty() && place.language != scan.sourceLanguage;
        read.append({readOne(file, place, page.codePage, page.detected, translation), place.languagePart});
        if (progress)
            progress(static_cast<int>(read.size()), static_cast<int>(found.size()));
    }
    std::stable_sort(read.begin(), read.end(),
                     [](const auto &a, const auto &b) { return pathBefore(a.first.relativePath, b.first.relativePath); });
    QMap<int, qsizetype> languageParts;
    for (auto &[file, part] : read) {
        if (!file.language.isEmpty() && !scan.languages.contains(file.language))
            scan.languages.append(file.language);
        if (part >= 0)
            languageParts.insert(static_cast<int>(scan.files.size()), part);
        scan.files.append(std::move(file));
    }
    scan.languages.sort();
    if (scan.cancelled)
        return;
    compareAcross(scan, languageParts);
}

} // namespace

int codePageOfLanguage(const QString &language, int fallback)
{
    for (const Language &known : Languages) {
        if (language.compare(known.name, Qt::CaseInsensitive) == 0)
            return known.codePage;
    }
    return fallback;
}

Scan scan(const QString &root, std::optional<int> codePage, const std::function<void(int done, int total)> &progress,
          const std::atomic_bool *cancel)
{
    Scan result;
    result.root = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    const QFileInfo info(root);
    if (root.isEmpty() || !info.exists()) {
        result.failure = notRead(result.root, say("There is no such folder."));
        return result;
    }
    if (!info.isDir()) {
        result.failure = notRead(result.root, say("This is not a folder."));
        return result;
    }
    if (!QDir(root).isReadable()) {
        result.failure = notRead(result.root, say("The folder cannot be read."));
        return result;
    }
    Walk walk(result, cancel);
    walk.start(root);
    walk.folder(result.root, QString(), 0);
    if (walk.cancelled()) {
        result.cancelled = true;
        return result;
    }
    if (walk.files.isEmpty()) {
        result.failure = Error{Error::Kind::NotStrFile, say("There is no .str file in the folder or below it."),
                               result.root, {}};
        return result;
    }
    readAll(result, walk.files, Places(result.root, walk.files), codePage, MissionSettings::read(result.root),
            progress, cancel);
    return result;
}

Scan scanFiles(const QStringList &paths, std::optional<int> codePage)
{
    Scan result;
    QList<Found> found;
    QSet<QString> seen;
    for (const QString &path : paths) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty() && seen.contains(canonical))
            continue;
        seen.insert(canonical);
        found.append({QFileInfo(path).absoluteFilePath(), QDir::fromNativeSeparators(path)});
    }
    readAll(result, found, Places(QString(), found), codePage, {}, {}, nullptr);
    return result;
}

void recheck(Scan &scan, const QList<int> &changed)
{
    for (const int index : changed) {
        if (index < 0 || index >= scan.files.size())
            continue;
        File &file = scan.files[index];
        const std::optional<QByteArray> bytes = file.read.document.write(file.codePage);
        if (!bytes)
            continue;   // a character the code page lacks: saving refuses it and says so
        take(file, StrReader::read(*bytes, file.codePage, Kinds::kindOfPath(file.path)),
             scan.codePages.value(file.language).detected, isTranslation(scan, file));
    }
    // Across files: all but the folders that could not be read, anew.
    scan.problems.removeIf([](const Problem &problem) { return problem.rule != QLatin1String("not-read"); });
    QList<Found> found;
    for (const File &file : std::as_const(scan.files))
        found.append({file.path, file.relativePath});
    const Places places(scan.root, found);
    QMap<int, qsizetype> languageParts;
    for (qsizetype i = 0; i < found.size(); ++i) {
        if (const qsizetype part = places.of(found.at(i)).languagePart; part >= 0)
            languageParts.insert(static_cast<int>(i), part);
    }
    compareAcross(scan, languageParts);
}

bool isTranslation(const Scan &scan, const File &file)
{
    return !file.language.isEmpty() && file.language != scan.sourceLanguage
        && scan.languages.contains(scan.sourceLanguage);
}

QList<Problem> allProblems(const Scan &scan)
{
    QList<Problem> problems;
    for (const File &file : scan.files)
        problems.append(file.problems);
    problems.append(scan.problems);
    return problems;
}

} // namespace MissionFolder
