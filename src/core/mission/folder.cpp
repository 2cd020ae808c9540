#include "core/mission/folder.h"

#include "core/document/codepages.h"
#include "core/document/codepagedetect.h"
#include "core/document/lineendings.h"
#include "core/document/safefile.h"
#include "core/mission/missionsettings.h"
#include "core/mission/workspace.h"
#include "core/kinds/missflag.h"
#include "core/save/textcheck.h"
#include "core/kinds/titles.h"

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
            m_scan.problems.append({relative + u'/', 0, say("The folder cannot be read, so its files were not checked."),
                                    Severity::Error, 0, true});
            return;
        }
        for (const QString &name : undecodableNames(path)) {
            m_scan.problems.append({relative.isEmpty() ? name : relative + u'/' + name, 0,
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
                        m_scan.problems.append({relativePath + u'/', 0,
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

QString quoted(QStringView text)
{
    constexpr qsizetype Longest = 60;
    const QString shown = text.size() > Longest ? text.first(Longest).toString() + QChar(0x2026) : text.toString();
    return QChar(0x201C) + shown + QChar(0x201D);
}

// The findings of the kinds' checks as the check reports them; what is only
// kept as it stands is none.
void addFindings(const QString &path, const QList<Kinds::Finding> &findings, QList<Problem> &problems)
{
    for (const Kinds::Finding &finding : findings) {
        if (finding.severity == Kinds::Finding::Kept)
            continue;
        const Severity severity = finding.severity == Kinds::Finding::Error ? Severity::Error
            : finding.severity == Kinds::Finding::Note                      ? Severity::Note
                                                                            : Severity::Warning;
        problems.append({path, finding.line, finding.text, severity, finding.column});
    }
}

QList<Problem> problemsOf(const File &file)
{
    QList<Problem> problems;
    const StrReader::Result &read = file.read;
    const StrDocument &document = read.document;
    const QString codePage = CodePages::shortName(file.codePage);
    if (read.utf8) {
        problems.append({file.relativePath, 0, say("The file is saved as UTF-8, but the game reads it in %1.").arg(codePage),
                         Severity::Error});
        QString text = document.decoded(0, document.bytes().size());
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);   // the byte-order mark, not a character of the text
        if (const auto bad = CodePages::firstUnencodable(text, file.codePage)) {
            const QStringView before = QStringView(text).first(bad->index);
            problems.append({file.relativePath, static_cast<int>(before.count(u'\n')) + 1,
                             say("%1 \u201C\u2068%2\u2069\u201D is not in %3.")
                                 .arg(TextCheck::codePointName(bad->codePoint),
                                      QStringView(QChar::fromUcs4(bad->codePoint)).toString(), codePage),
                             Severity::Error, static_cast<int>(before.size() - before.lastIndexOf(u'\n'))});
        }
    }
    // An entry without its closing quote: one problem for it and all it takes in.
    QList<Kinds::Swallow> swallowed = Kinds::swallows(document);
    addFindings(file.relativePath, Kinds::strayLines(document.bytes(), read.kind, swallowed), problems);
    QSet<int> swallowing;
    for (const Kinds::Swallow &swallow : std::as_const(swallowed)) {
        swallowing.insert(swallow.entry);
        const StrDocument::Entry &e = document.entries().at(swallow.entry);
        const QString key = document.key(swallow.entry);
        problems.append({file.relativePath, document.lineOf(swallow.entry, e.textStart - 1),
                         swallow.last < swallow.first ? say("%1 has no closing quote.").arg(key)
                         : swallow.last == swallow.first
                             ? say("%1 has no closing quote: it takes in line %2.").arg(key, QString::number(swallow.first))
                             : say("%1 has no closing quote: it takes in lines %2-%3.")
                                   .arg(key, QString::number(swallow.first), QString::number(swallow.last)),
                         Severity::Error, document.columnOf(e.textStart - 1)});
    }
    if (file.dosCodePage != 0) {
        // At the first letter that reads wrongly, with how many lines hold such letters.
        const QByteArray &bytes = document.bytes();
        int line = 1, firstLine = 0, firstColumn = 0, lines = 0, lastCounted = 0;
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes.at(i) == '\n') {
                ++line;
                lineStart = i + 1;
            } else if (static_cast<unsigned char>(bytes.at(i)) >= 0x80 && lastCounted != line) {
                lastCounted = line;
                ++lines;
                if (firstLine == 0) {
                    firstLine = line;
                    firstColumn = static_cast<int>(i - lineStart) + 1;
                }
            }
        }
        problems.append({file.relativePath, firstLine,
                         say("The file seems to be written in the DOS code page %1, which the game does not read; "
                             "it was read in %2.")
                                 .arg(CodePageDetect::shortName(file.dosCodePage), codePage)
                             + (lines == 0 ? QString()
                                : u' '
                                    + (lines == 1 ? say("The letters beyond ASCII read wrongly on 1 line, from here.")
                                                  : say("The letters beyond ASCII read wrongly on %1 lines, the first here.")
                                                        .arg(lines))),
                         Severity::Error, firstColumn});
    }
    // What the game reads otherwise than the file stands, in the reader's words;
    // a bare quote without the tab's remedy. Bytes undefined in the code page
    // are not listed one by one in a file written in a DOS code page.
    for (const StrReader::Note &note : read.notes) {
        if (note.severity != StrReader::Note::Differs || swallowing.contains(note.entry)
            || (note.undefinedBytes && file.dosCodePage != 0))
            continue;
        const qsizetype at = note.entry < 0 ? 0 : document.entries().at(note.entry).textEnd;
        const int line = note.entry < 0 ? note.line : document.lineOf(note.entry, at);
        const int column = note.entry < 0 ? 0 : document.columnOf(at);
        if (note.repairEntry >= 0) {
            problems.append({file.relativePath, line,
                             say("%1 holds a quote that ends its text early: the game shows only %2.")
                                 .arg(document.key(note.repairEntry),
                                      quoted(LineEndings::toLf(document.text(note.repairEntry)))),
                             Severity::Error, column});
        } else {
            problems.append({file.relativePath, line, note.text, Severity::Error, column});
        }
    }
    QHash<QString, int> firstEntry;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const StrDocument::Entry &e = document.entries().at(i);
        const QString key = QString(document.rawKey(entry)).toLower();
        if (const auto first = firstEntry.constFind(key); first != firstEntry.cend()) {
            const bool same = document.rawText(*first) == document.rawText(entry);
            problems.append({file.relativePath, e.line,
                             (same ? say("%1 appears again (first on line %2), with the same text.")
                                   : say("%1 appears again (first on line %2), with a different text."))
                                 .arg(document.key(entry), QString::number(document.entries().at(*first).line)),
                             Severity::Warning, document.columnOf(e.keyStart)});
        } else {
            firstEntry.insert(key, entry);
        }
    }
    QStringList takenKeys;
    for (const Kinds::Swallow &swallow : std::as_const(swallowed))
        takenKeys.append(swallow.key);
    addFindings(file.relativePath, Kinds::check(read.kind, document, takenKeys), problems);
    std::stable_sort(problems.begin(), problems.end(), [](const Problem &a, const Problem &b) { return a.line < b.line; });
    return problems;
}

// A file's bytes, or nothing when it cannot be read or is too large to be:
// read through the safe open, so that a pipe put in a file's place is never
// waited on.
QByteArray bytesOf(const QString &path)
{
    auto read = SafeFile::read(path, StrReader::MaxFileSize);
    if (auto *bytes = std::get_if<QByteArray>(&read))
        return std::move(*bytes);
    return {};
}

// A file is said to be in a DOS code page only when at least this many of the
// bytes of its texts are beyond ASCII: one odd byte tells nothing.
constexpr qsizetype MinDosBytes = 3;

// `detected` is the code page told from the texts of the file's language.
File readOne(const Found &found, const Place &place, int codePage, int detected)
{
    File file;
    file.path = found.path;
    file.identity = MissionWorkspace::identity(found.path);   // here, off the window's thread
    file.relativePath = found.relativePath;
    file.language = place.language;
    file.mission = place.mission;
    file.codePage = codePage;
    auto read = StrReader::readFile(found.path, file.codePage);
    if (const auto *failure = std::get_if<Error>(&read)) {
        file.failure = failure->message;
        file.kind = Kinds::kindOfPath(found.relativePath).value_or(Kinds::Kind::Other);
        if (!failure->text.isEmpty()) {   // text without an entry: the lines that are none, where they are
            QList<Kinds::Swallow> none;
            addFindings(file.relativePath, Kinds::strayLines(failure->text, file.kind, none), file.problems);
        }
        if (file.problems.isEmpty())
            file.problems.append({file.relativePath, 0, file.failure, Severity::Error, 0, failure->unread()});
        return file;
    }
    file.read = std::move(std::get<StrReader::Result>(read));
    file.kind = file.read.kind;
    file.entries = static_cast<int>(file.read.document.entries().size());
    // Bytes the code page lacks, or a language that seems to be in a DOS code
    // page: the file's own texts tell whether it is in one.
    const bool undefinedBytes = std::any_of(file.read.notes.cbegin(), file.read.notes.cend(),
                                            [](const StrReader::Note &note) { return note.undefinedBytes; });
    if (!file.read.utf8 && (undefinedBytes || CodePageDetect::isDosCodePage(detected))) {
        const QByteArray texts = CodePageDetect::entryTexts(file.read.document.bytes());
        const int own = CodePageDetect::detect(texts, codePage);
        const auto nonAscii = std::count_if(texts.cbegin(), texts.cend(), [](char c) { return c & 0x80; });
        if (CodePageDetect::isDosCodePage(own) && nonAscii >= MinDosBytes)
            file.dosCodePage = own;
    }
    file.problems = problemsOf(file);
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
        if (codePage || texts[language].size() >= MaxDetectedText || (cancel && cancel->load()))
            continue;
        texts[language].append(CodePageDetect::entryTexts(bytesOf(file.path)));
    }
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        LanguageCodePage &page = it.value();
        if (codePage) {
            page.codePage = *codePage;
            page.source = LanguageCodePage::Source::Given;
            continue;
        }
        page.detected = CodePageDetect::detect(texts.value(it.key()), page.named);
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

// ---------------------------------------------------------------- Across files

QString listed(QStringList names)
{
    if (names.size() < 2)
        return names.join(QString());
    const QString last = names.takeLast();
    return say("%1 and %2").arg(names.join(QLatin1String(", ")), last);
}

QString missionNumber(const QString &key, qsizetype prefix)
{
    const QString number = key.sliced(prefix).trimmed();
    bool ok = false;
    const int value = number.toInt(&ok);
    return ok ? QString::number(value) : number.toLower();
}

// Mission lines of missflag.str against the title_ entries of Titles.str.
void compareTitlesAndFlags(Scan &scan)
{
    QList<int> flagFiles, titleFiles;
    for (qsizetype i = 0; i < scan.files.size(); ++i) {
        const File &file = scan.files.at(i);
        if (file.failure.isEmpty() && file.kind == Kinds::Kind::Missflag)
            flagFiles.append(static_cast<int>(i));
        if (file.failure.isEmpty() && file.kind == Kinds::Kind::Titles)
            titleFiles.append(static_cast<int>(i));
    }
    if (flagFiles.isEmpty() || titleFiles.isEmpty())
        return;
    // Missions by number: entry, for each file.
    const auto missions = [&](int index, const QList<int> &entries, qsizetype prefix) {
        QMap<QString, int> found;
        const StrDocument &document = scan.files.at(index).read.document;
        for (const int entry : entries)
            found.insert(missionNumber(document.key(entry), prefix), entry);
        return found;
    };
    QHash<int, QMap<QString, int>> byFile;
    QHash<int, QMap<QString, int>> present;   // a skip line gives its mission flags too
    for (const int index : flagFiles) {
        byFile.insert(index, missions(index, MissflagFile::missions(scan.files.at(index).read.document),
                                      MissflagFile::MissionPrefix.size()));
        present.insert(index, missions(index, MissflagFile::missionKeys(scan.files.at(index).read.document),
                                       MissflagFile::MissionPrefix.size()));
    }
    for (const int index : titleFiles) {
        byFile.insert(index, missions(index, TitlesFile::missions(scan.files.at(index).read.document),
                                      TitlesFile::TitlePrefix.size()));
        present.insert(index, byFile.value(index));
    }
    // The files of the other kind a file is compared with: those of its own
    // language if there are any, else those without a language, else all.
    const auto counterparts = [&](int index, const QList<int> &others) {
        for (const bool sameLanguage : {true, false}) {
            QList<int> chosen;
            for (const int other : others) {
                const QString &language = scan.files.at(other).language;
                if (sameLanguage ? language == scan.files.at(index).language : language.isEmpty())
                    chosen.append(other);
            }
            if (!chosen.isEmpty())
                return chosen;
        }
        return others;
    };
    const auto compare = [&](const QList<int> &files, const QList<int> &others, const char *message) {
        for (const int index : files) {
            const File &file = scan.files.at(index);
            const QList<int> compared = counterparts(index, others);
            for (auto mission = byFile[index].cbegin(); mission != byFile[index].cend(); ++mission) {
                QStringList lacking;
                for (const int other : compared) {
                    if (!present[other].contains(mission.key()))
                        lacking.append(scan.files.at(other).relativePath);
                }
                if (lacking.isEmpty())
                    continue;
                const int entry = mission.value();
                const qsizetype prefix = file.kind == Kinds::Kind::Missflag ? MissflagFile::MissionPrefix.size()
                                                                       : TitlesFile::TitlePrefix.size();
                scan.problems.append({file.relativePath, file.read.document.entries().at(entry).line,
                                      say(message).arg(file.read.document.key(entry).sliced(prefix).trimmed(),
                                                       listed(lacking)),
                                      Severity::Warning});
            }
        }
    };
    compare(flagFiles, titleFiles, QT_TRANSLATE_NOOP("MissionFolder", "Mission %1 has flags but no title in %2."));
    compare(titleFiles, flagFiles, QT_TRANSLATE_NOOP("MissionFolder", "Mission %1 has a title but no flags in %2."));
}

// Files and entries present in one language and missing in another.
void compareLanguages(Scan &scan, const QMap<int, qsizetype> &languageParts)
{
    QHash<QString, QString> spelling;   // language -> its folder's name as first found
    QMap<QString, QList<int>> sameFile;  // the path with its language folder left out -> files
    QStringList languages;               // those of the folders inside the one scanned
    for (auto it = languageParts.cbegin(); it != languageParts.cend(); ++it) {
        QStringList parts = scan.files.at(it.key()).relativePath.split(u'/');
        const QString &language = scan.files.at(it.key()).language;
        if (!spelling.contains(language)) {
            spelling.insert(language, parts.at(it.value()));
            languages.append(language);
        }
        parts[it.value()] = QStringLiteral("\x1F");
        sameFile[parts.join(u'/').toLower()].append(it.key());
    }
    languages.sort();
    for (QList<int> &files : sameFile) {
        std::sort(files.begin(), files.end());
        QStringList present;
        for (const int index : std::as_const(files))
            present.append(scan.files.at(index).language);
        present.sort();
        present.removeDuplicates();
        const File &model = scan.files.at(files.constFirst());
        for (const QString &language : std::as_const(languages)) {
            if (present.contains(language))
                continue;
            QStringList parts = model.relativePath.split(u'/');
            parts[languageParts.value(files.constFirst())] = spelling.value(language, language);
            scan.problems.append({parts.join(u'/'), 0, say("Missing here, present in %1.").arg(listed(present)),
                                  Severity::Warning});
        }
        // Keys (without regard to case) each file lacks that another language's has.
        QHash<int, QSet<QString>> keys;
        for (const int index : std::as_const(files)) {
            const StrDocument &document = scan.files.at(index).read.document;
            for (qsizetype i = 0; i < document.entries().size(); ++i)
                keys[index].insert(QString(document.rawKey(static_cast<int>(i))).toLower());
        }
        for (const int index : std::as_const(files)) {
            const File &file = scan.files.at(index);
            if (!file.failure.isEmpty())
                continue;
            QStringList reported;
            for (const int other : std::as_const(files)) {
                const File &otherFile = scan.files.at(other);
                const StrDocument &document = otherFile.read.document;
                for (qsizetype i = 0; i < document.entries().size(); ++i) {
                    const QString key = QString(document.rawKey(static_cast<int>(i))).toLower();
                    if (keys[index].contains(key) || reported.contains(key))
                        continue;
                    reported.append(key);
                    QStringList having;
                    for (const int third : std::as_const(files)) {
                        if (keys[third].contains(key) && !having.contains(scan.files.at(third).language))
                            having.append(scan.files.at(third).language);
                    }
                    having.sort();
                    scan.problems.append({file.relativePath, 0,
                                          say("%1 is missing here, present in %2.")
                                              .arg(document.key(static_cast<int>(i)), listed(having)),
                                          Severity::Warning});
                }
            }
        }
    }
}

bool pathBefore(const QString &a, const QString &b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

// Reads the files found, then compares them.
void readAll(Scan &scan, const QList<Found> &found, const Places &places, std::optional<int> codePage,
             const MissionSettings::Settings &settings, const std::function<void(int, int)> &progress,
             const std::atomic_bool *cancel)
{
    scan.codePages = codePagesOf(found, places, codePage, settings, cancel);
    QList<std::pair<File, qsizetype>> read;   // each file with its language folder's part
    for (const Found &file : found) {
        if (cancel && cancel->load()) {
            scan.cancelled = true;
            break;
        }
        const Place place = places.of(file);
        const LanguageCodePage &page = scan.codePages[place.language];
        read.append({readOne(file, place, page.codePage, page.detected), place.languagePart});
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
    compareTitlesAndFlags(scan);
    compareLanguages(scan, languageParts);
    std::stable_sort(scan.problems.begin(), scan.problems.end(), [](const Problem &a, const Problem &b) {
        return a.file != b.file ? pathBefore(a.file, b.file) : a.line < b.line;
    });
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
        result.failure = say("There is no such folder.");
        return result;
    }
    if (!info.isDir()) {
        result.failure = say("This is not a folder.");
        return result;
    }
    if (!QDir(root).isReadable()) {
        result.failure = say("The folder cannot be read.");
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
        result.failure = say("There is no .str file in the folder or below it.");
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

QList<Problem> allProblems(const Scan &scan)
{
    QList<Problem> problems;
    for (const File &file : scan.files)
        problems.append(file.problems);
    problems.append(scan.problems);
    return problems;
}

} // namespace MissionFolder
