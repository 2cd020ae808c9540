#include "core/mission/check/fileproblems.h"

#include "core/document/codepagedetect.h"
#include "core/document/codepages.h"
#include "core/mission/check/syntaxcheck.h"
#include "core/save/textcheck.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>

namespace MissionFolder::FileCheck {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

// A file is said to be in a DOS code page by its letters in general only when
// at least this many bytes of its texts are beyond ASCII: one odd byte tells
// nothing without the language's letters.
constexpr qsizetype MinDosBytes = 3;
constexpr int MaxByteLines = 20;   // lines with undefined bytes told one by one

void addFindings(const QString &path, const QList<Kinds::Finding> &findings, QList<Problem> &problems)
{
    for (const Kinds::Finding &finding : findings) {
        if (finding.severity == Kinds::Finding::Kept)
            continue;
        const Severity severity = finding.severity == Kinds::Finding::Error ? Severity::Error
            : finding.severity == Kinds::Finding::Note                      ? Severity::Note
                                                                            : Severity::Warning;
        problems.append({finding.rule, path, finding.line, finding.text, severity, finding.column});
    }
}

QString hexByte(char c)
{
    return QLatin1String("0x") + QString::number(static_cast<unsigned char>(c), 16).toUpper().rightJustified(2, u'0');
}

// A file saved as UTF-8: once for the file, then the first letter its code
// page lacks and each line with bytes that are not UTF-8.
void utf8Problems(const File &file, QList<Problem> &problems)
{
    const StrDocument &document = file.read.document;
    const QString codePage = CodePages::shortName(file.codePage);
    problems.append({"utf8-file", file.relativePath, 0,
                     say("The file is saved as UTF-8, but the game reads it in %1.").arg(codePage), Severity::Error});
    QString text = document.decoded(0, document.bytes().size());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);   // the byte-order mark, not a character of the text
    if (const auto bad = CodePages::firstUnencodable(text, file.codePage)) {
        const QStringView before = QStringView(text).first(bad->index);
        problems.append({"not-in-code-page", file.relativePath, static_cast<int>(before.count(u'\n')) + 1,
                         say("%1 \u201C\u2068%2\u2069\u201D is not in %3.")
                             .arg(TextCheck::codePointName(bad->codePoint),
                                  QStringView(QChar::fromUcs4(bad->codePoint)).toString(), codePage),
                         Severity::Error, static_cast<int>(before.size() - before.lastIndexOf(u'\n'))});
    }
    const QList<QByteArray> lines = document.bytes().split('\n');
    for (qsizetype i = 0; i < lines.size() && i < MaxByteLines; ++i) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(i == 0 && lines.at(i).startsWith("\xEF\xBB\xBF") ? lines.at(i).mid(3) : lines.at(i));
        if (!utf8.hasError())
            continue;
        problems.append({"invalid-utf8", file.relativePath, static_cast<int>(i) + 1,
                         say("The line holds bytes that are not valid UTF-8; they are read as %1.")
                             .arg(QChar(QChar::ReplacementCharacter)),
                         Severity::Error, static_cast<int>(decoded.indexOf(QChar(QChar::ReplacementCharacter))) + 1});
    }
}

// Bytes the code page leaves undefined: a finding a line, at its first such byte.
void undefinedBytes(const File &file, QList<Problem> &problems)
{
    const QByteArray &bytes = file.read.document.bytes();
    QList<qsizetype> offsets = CodePages::decode(bytes, file.codePage).undefinedBytes;
    std::sort(offsets.begin(), offsets.end());
    const QString codePage = CodePages::shortName(file.codePage);
    const QString replacement(QChar::ReplacementCharacter);
    int line = 1, more = 0, told = 0;
    qsizetype counted = 0;
    for (qsizetype i = 0; i < offsets.size();) {
        line += static_cast<int>(std::count(bytes.begin() + counted, bytes.begin() + offsets.at(i), '\n'));
        counted = offsets.at(i);
        const qsizetype lineEnd = bytes.indexOf('\n', offsets.at(i));
        QStringList values;
        const qsizetype first = offsets.at(i);
        for (; i < offsets.size() && (lineEnd < 0 || offsets.at(i) < lineEnd); ++i) {
            if (const QString value = hexByte(bytes.at(offsets.at(i))); !values.contains(value))
                values.append(value);
        }
        if (told == MaxByteLines) {
            ++more;
            continue;
        }
        ++told;
        QString message = (values.size() == 1 ? say("The byte %1 is not defined in %2; it is read as %3.")
                                              : say("The bytes %1 are not defined in %2; they are read as %3."))
                              .arg(values.join(QLatin1String(", ")), codePage, replacement);
        // The letter it is in the code page's DOS sibling, where that is one.
        const int dos = CodePageDetect::sibling(file.codePage);
        const std::optional<QChar> letter = CodePageDetect::character(dos, static_cast<unsigned char>(bytes.at(first)));
        if (dos != 0 && letter && letter->isLetter()) {
            message += u' ' + say("In the DOS code page %1 it is \u201C%2\u201D.")
                                  .arg(CodePageDetect::shortName(dos), QString(*letter));
        }
        problems.append({"undefined-byte", file.relativePath, line, message, Severity::Error,
                         file.read.document.columnOf(first)});
    }
    if (more > 0) {
        problems.append({"undefined-byte", file.relativePath, 0,
                         say("Undefined bytes on %1 more lines are read as %2 as well.").arg(QString::number(more), replacement),
                         Severity::Error});
    }
}

// A file in a DOS code page: once, at the first letter that reads wrongly,
// with how many lines hold such letters.
void dosProblem(const File &file, QList<Problem> &problems)
{
    const QByteArray &bytes = file.read.document.bytes();
    int line = 1, firstLine = 0, lines = 0, lastCounted = 0;
    qsizetype first = -1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n') {
            ++line;
        } else if (static_cast<unsigned char>(bytes.at(i)) >= 0x80 && lastCounted != line) {
            lastCounted = line;
            ++lines;
            if (firstLine == 0) {
                firstLine = line;
                first = i;
            }
        }
    }
    const QString codePage = CodePages::shortName(file.codePage);
    problems.append({"dos-code-page", file.relativePath, firstLine,
                     say("The file seems to be written in the DOS code page %1, which the game does not read; "
                         "it was read in %2.")
                             .arg(CodePageDetect::shortName(file.dosCodePage), codePage)
                         + (lines == 0 ? QString()
                            : u' '
                                + (lines == 1 ? say("The letters beyond ASCII read wrongly on 1 line, from here.")
                                              : say("The letters beyond ASCII read wrongly on %1 lines, the first here.")
                                                    .arg(lines))),
                     Severity::Error, first < 0 ? 0 : file.read.document.columnOf(first)});
}

void duplicateKeys(const File &file, QList<Problem> &problems)
{
    const StrDocument &document = file.read.document;
    QHash<QString, int> firstEntry;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const StrDocument::Entry &e = document.entries().at(i);
        const QString key = QString(document.rawKey(entry)).toLower();
        if (const auto first = firstEntry.constFind(key); first != firstEntry.cend()) {
            const bool same = document.rawText(*first) == document.rawText(entry);
            problems.append({"duplicate-key", file.relativePath, e.line,
                             (same ? say("%1 appears again (first on line %2), with the same text.")
                                   : say("%1 appears again (first on line %2), with a different text."))
                                 .arg(document.key(entry), QString::number(document.entries().at(*first).line)),
                             Severity::Warning, document.columnOf(e.keyStart)});
        } else {
            firstEntry.insert(key, entry);
        }
    }
}

} // namespace

int dosCodePageOf(const File &file, int detected)
{
    if (file.read.utf8)
        return 0;
    const QByteArray texts = CodePageDetect::entryTexts(file.read.document.bytes());
    const auto nonAscii = std::count_if(texts.cbegin(), texts.cend(), [](char c) { return c & 0x80; });
    if (nonAscii == 0)
        return 0;
    if (const int dos = CodePageDetect::dosByLetters(texts, file.codePage, file.language); dos != 0)
        return dos;
    const bool undefined = !CodePages::decode(file.read.document.bytes(), file.codePage).undefinedBytes.isEmpty();
    if (undefined || CodePageDetect::isDosCodePage(detected)) {
        const int own = CodePageDetect::detect(texts, file.codePage);
        if (CodePageDetect::isDosCodePage(own) && nonAscii >= MinDosBytes)
            return own;
    }
    return 0;
}

QList<Problem> problemsOf(const File &file, bool translation)
{
    QList<Problem> problems;
    const StrDocument &document = file.read.document;
    if (file.read.utf8)
        utf8Problems(file, problems);
    else if (file.dosCodePage != 0)
        dosProblem(file, problems);
    else
        undefinedBytes(file, problems);
    QStringList takenKeys;
    QList<int> faulty;
    problems += SyntaxCheck::problems(document, {file.relativePath, file.kind, translation}, &takenKeys, &faulty);
    duplicateKeys(file, problems);
    // The blanks of a text the game reads otherwise are no cause of their own.
    QList<Kinds::Finding> findings = Kinds::check(file.kind, document, takenKeys);
    findings.removeIf([&](const Kinds::Finding &finding) {
        return std::any_of(faulty.cbegin(), faulty.cend(), [&](int entry) {
            const StrDocument::Entry &e = document.entries().at(entry);
            return finding.line >= e.line && finding.line <= document.lineOf(entry, std::max(e.start, e.end - 1));
        });
    });
    addFindings(file.relativePath, findings, problems);
    std::stable_sort(problems.begin(), problems.end(), [](const Problem &a, const Problem &b) { return a.line < b.line; });
    return problems;
}

QList<Problem> failureProblems(const File &file, const Error &failure, bool translation)
{
    QList<Problem> problems;
    if (!failure.text.isEmpty())   // text without an entry: the lines that are none, where they are
        problems = SyntaxCheck::strayProblems(failure.text, {file.relativePath, file.kind, translation});
    if (problems.isEmpty()) {
        const char *rule = failure.unread()            ? "not-read"
            : !failure.text.isEmpty()                  ? "no-entries"
            : QFileInfo(file.path).size() == 0          ? "empty-file"
                                                        : "not-text";
        problems.append({rule, file.relativePath, 0, failure.message, Severity::Error, 0, failure.unread()});
    }
    return problems;
}

} // namespace MissionFolder::FileCheck
