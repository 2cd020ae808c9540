#include "core/mission/check/baseline.h"

#include "core/document/safefile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <tuple>

namespace MissionFolder::Baseline {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

QString hashOf(QByteArrayView bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().first(16));
}

} // namespace

size_t qHash(const Identity &identity, size_t seed)
{
    return ::qHash(identity.rule, seed) ^ ::qHash(identity.file, seed * 3 + 1) ^ ::qHash(identity.key, seed * 5 + 2)
        ^ ::qHash(identity.hash, seed * 7 + 3);
}

Identifier::Identifier(const Scan &scan)
{
    for (const File &file : scan.files) {
        if (!file.failure)
            m_files.insert(file.relativePath, &file);
    }
}

Identity Identifier::identify(const Problem &problem) const
{
    Identity identity{problem.rule, problem.file, QString(), QString()};
    const File *file = m_files.value(problem.file);
    if (!file || problem.line <= 0) {
        identity.hash = hashOf(problem.message.toUtf8());
        return identity;
    }
    const StrDocument &document = file->read.document;
    const QByteArray &bytes = document.bytes();
    auto starts = m_lineStarts.find(file);
    if (starts == m_lineStarts.end()) {
        QList<qsizetype> lines{0};
        for (qsizetype at = bytes.indexOf('\n'); at >= 0; at = bytes.indexOf('\n', at + 1))
            lines.append(at + 1);
        starts = m_lineStarts.insert(file, lines);
    }
    if (problem.line > starts->size()) {
        identity.hash = hashOf(problem.message.toUtf8());
        return identity;
    }
    const qsizetype start = starts->at(problem.line - 1);
    const qsizetype end = bytes.indexOf('\n', start);
    identity.hash = hashOf(QByteArrayView(bytes).sliced(start, (end < 0 ? bytes.size() : end) - start).trimmed());
    // The entry whose lines hold it.
    const QList<StrDocument::Entry> &entries = document.entries();
    const auto after = std::upper_bound(entries.cbegin(), entries.cend(), start,
                                        [](qsizetype at, const StrDocument::Entry &e) { return at < e.start; });
    if (after != entries.cbegin()) {
        const StrDocument::Entry &e = *(after - 1);
        if (start < e.end)
            identity.key = document.key(static_cast<int>(after - 1 - entries.cbegin()));
    }
    return identity;
}

QStringList fingerprints(const QList<Identity> &identities)
{
    QHash<Identity, int> seen;
    QStringList prints;
    for (const Identity &identity : identities) {
        const QByteArray whole = (identity.rule + u'\n' + identity.file.toLower() + u'\n' + identity.key.toLower()
                                  + u'\n' + identity.hash).toUtf8();
        prints.append(hashOf(whole) + u':' + QString::number(seen[identity]++ + 1));
    }
    return prints;
}

QByteArray text(const QList<std::pair<Problem, Identity>> &problems)
{
    QList<std::pair<Problem, Identity>> sorted = problems;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) {
        return std::tie(a.second.file, a.second.rule, a.second.key, a.second.hash)
            < std::tie(b.second.file, b.second.rule, b.second.key, b.second.hash);
    });
    QJsonArray findings;
    for (const auto &[problem, identity] : std::as_const(sorted)) {
        QJsonObject finding{{QStringLiteral("rule"), identity.rule},
                            {QStringLiteral("file"), identity.file},
                            {QStringLiteral("text"), identity.hash},
                            {QStringLiteral("message"), problem.message}};
        if (!identity.key.isEmpty())
            finding.insert(QStringLiteral("key"), identity.key);
        findings.append(finding);
    }
    const QJsonObject baseline{{QStringLiteral("quillwright-baseline"), 1}, {QStringLiteral("findings"), findings}};
    return QJsonDocument(baseline).toJson(QJsonDocument::Indented);
}

std::variant<Known, Error> read(const QString &path)
{
    std::variant<QByteArray, Error> bytes = SafeFile::read(path, SafeFile::BaselineCap);
    if (auto *failure = std::get_if<Error>(&bytes))
        return std::move(*failure);
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(std::get<QByteArray>(bytes), &parsed);
    const QJsonObject root = document.object();
    if (parsed.error != QJsonParseError::NoError || !root.value(QStringLiteral("findings")).isArray()
        || root.value(QStringLiteral("quillwright-baseline")).toInt() != 1) {
        return Error{Error::Kind::NotRead,
                     say("%1 is not a baseline of the check (--write-baseline writes one).").arg(SafeFile::shown(path)),
                     path, {}};
    }
    Known known;
    for (const QJsonValue finding : root.value(QStringLiteral("findings")).toArray()) {
        ++known[{finding[QStringLiteral("rule")].toString(), finding[QStringLiteral("file")].toString(),
                 finding[QStringLiteral("key")].toString(), finding[QStringLiteral("text")].toString()}];
    }
    return known;
}

} // namespace MissionFolder::Baseline
