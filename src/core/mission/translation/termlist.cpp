#include "core/mission/translation/termlist.h"

#include "core/document/safefile.h"
#include "core/save/fileoutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace TermList {

namespace {

// A term as a whole word or words, without regard to case.
QRegularExpression patternOf(const QString &term)
{
    return QRegularExpression(QStringLiteral("(?<!\\w)") + QRegularExpression::escape(term) + QStringLiteral("(?!\\w)"),
                              QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
}

QStringList wordsOf(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("[\\w'\\-]+"), QRegularExpression::UseUnicodePropertiesOption);
    QStringList found;
    auto matches = word.globalMatch(text);
    while (matches.hasNext())
        found.append(matches.next().captured().toCaseFolded());
    return found;
}

} // namespace

QString fileName(const QString &target)
{
    return QStringLiteral("quillwright-terms-%1.json").arg(target.trimmed().toLower());
}

Terms parse(const QByteArray &json, QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    Terms terms;
    if (!document.isObject() || !document.object().value(u"terms").isObject()) {
        if (problem)
            *problem = document.isObject() ? QStringLiteral("no \"terms\" object") : error.errorString();
        return terms;
    }
    const QJsonObject list = document.object().value(u"terms").toObject();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it.value().isString() && !it.key().trimmed().isEmpty())
            terms.insert(it.key().trimmed(), it.value().toString());
    }
    return terms;
}

QByteArray toJson(const Terms &terms)
{
    QJsonObject list;
    for (auto it = terms.begin(); it != terms.end(); ++it)
        list.insert(it.key(), it.value());
    return QJsonDocument(QJsonObject{{QStringLiteral("terms"), list}}).toJson(QJsonDocument::Indented);
}

Terms load(const QString &path, QString *problem)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    auto read = SafeFile::read(path, SafeFile::TermListCap);
    if (const auto *failure = std::get_if<Error>(&read)) {
        if (problem)
            *problem = failure->message;
        return {};
    }
    return parse(std::get<QByteArray>(read), problem);
}

std::optional<Error> save(const QString &path, const Terms &terms, const QString &root)
{
    const auto where = SafeFile::writablePath(path, root.isEmpty() ? QFileInfo(path).absolutePath() : root);
    std::optional<Error> failed = std::holds_alternative<Error>(where)
        ? std::get<Error>(where)
        : FileOutput::writeFile(std::get<QString>(where), toJson(terms));
    if (failed)
        failed->message = QCoreApplication::translate("TermList", "The term list %1 could not be written: %2")
                              .arg(QDir::toNativeSeparators(path), failed->message);
    return failed;
}

bool samePrefix(const QString &renderingWord, const QString &word)
{
    const QString a = renderingWord.toCaseFolded(), b = word.toCaseFolded();
    const qsizetype needed = a.size() < 4 ? a.size() : std::max<qsizetype>(4, a.size() - 1);
    if (b.size() < needed)
        return false;
    return QStringView(a).first(needed) == QStringView(b).first(needed);
}

bool holdsRendering(const QString &translation, const QString &rendering, const Stemmer &stems)
{
    if (translation.contains(rendering, Qt::CaseInsensitive))
        return true;
    const QStringList wanted = wordsOf(rendering);
    const QStringList words = wordsOf(translation);
    if (wanted.isEmpty() || words.size() < wanted.size())
        return false;
    const auto stemsOf = [&](const QString &word) {
        QStringList found = stems ? stems(word) : QStringList();
        for (QString &stem : found)
            stem = stem.toCaseFolded();
        found.append(word);
        return found;
    };
    QList<QStringList> wantedStems;
    for (const QString &word : wanted)
        wantedStems.append(stemsOf(word));
    const auto sameWord = [&](qsizetype w, const QString &word) {
        if (!stems)
            return samePrefix(wanted.at(w), word);
        const QStringList theirs = stemsOf(word);
        return std::any_of(theirs.cbegin(), theirs.cend(),
                           [&](const QString &stem) { return wantedStems.at(w).contains(stem); });
    };
    for (qsizetype start = 0; start + wanted.size() <= words.size(); ++start) {
        qsizetype w = 0;
        while (w < wanted.size() && sameWord(w, words.at(start + w)))
            ++w;
        if (w == wanted.size())
            return true;
    }
    return false;
}

QList<Finding> check(const Terms &terms, const QList<TranslationMemory::Unit> &units, const Stemmer &stems)
{
    QList<std::pair<QRegularExpression, Terms::const_iterator>> patterns;
    for (auto it = terms.begin(); it != terms.end(); ++it)
        patterns.append({patternOf(it.key()), it});
    QList<Finding> findings;
    for (qsizetype i = 0; i < units.size(); ++i) {
        const TranslationMemory::Unit &unit = units.at(i);
        if (unit.target.isEmpty())
            continue;
        for (const auto &[pattern, term] : std::as_const(patterns)) {
            const QRegularExpressionMatch match = pattern.match(unit.source);
            if (match.hasMatch() && !holdsRendering(unit.target, term.value(), stems))
                findings.append({unit.file, unit.key, term.key(), term.value(), match.capturedStart(), static_cast<int>(i)});
        }
    }
    return findings;
}

Terms held(const Terms &terms, const QString &source)
{
    Terms found;
    for (auto it = terms.begin(); it != terms.end(); ++it) {
        if (patternOf(it.key()).match(source).hasMatch())
            found.insert(it.key(), it.value());
    }
    return found;
}

std::optional<Place> placeOf(const StrDocument &document, int entry, const QString &term)
{
    if (entry < 0 || entry >= document.entries().size())
        return std::nullopt;
    // In the text as the file writes it, where an escaped line break before
    // the term stands for no letter of a word.
    const QString raw = document.rawText(entry);
    const QRegularExpression inRaw(QStringLiteral("(?:(?<!\\w)|(?<=\\\\n))") + QRegularExpression::escape(term)
                                       + QStringLiteral("(?!\\w)"),
                                   QRegularExpression::CaseInsensitiveOption
                                       | QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = inRaw.match(raw);
    if (!match.hasMatch())
        return std::nullopt;
    const qsizetype at = match.capturedStart();
    const qsizetype textStart = document.entries().at(entry).textStart;
    const QStringView before = QStringView(raw).first(at);
    const qsizetype lineBreak = before.lastIndexOf(u'\n');
    Place place;
    place.line = document.lineOf(entry, textStart) + static_cast<int>(before.count(u'\n'));
    place.column = lineBreak < 0 ? document.columnOf(textStart) + static_cast<int>(at)
                                 : static_cast<int>(at - lineBreak);
    return place;
}

} // namespace TermList
