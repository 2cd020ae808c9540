#include "core/document/strdocument.h"

#include <QJsonArray>
#include <QJsonObject>

// The document as a draft keeps it: its bytes, and its changes over them.

QVariantMap StrDocument::toDraft() const
{
    return {{QStringLiteral("bytes"), m_bytes},   // shared; in base64 in the draft's JSON
            {QStringLiteral("codePage"), m_encoding.codePage},
            {QStringLiteral("utf8"), m_encoding.utf8}};
}

std::optional<StrDocument> StrDocument::fromDraft(const QJsonObject &draft)
{
    const QJsonValue bytes = draft.value(QStringLiteral("bytes"));
    if (!bytes.isString())
        return std::nullopt;
    auto decoded = QByteArray::fromBase64Encoding(bytes.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() > 16 * 1024 * 1024)
        return std::nullopt;
    return StrDocument(std::move(decoded.decoded), {draft.value(QStringLiteral("codePage")).toInt(1252),
                                             draft.value(QStringLiteral("utf8")).toBool()});
}

QVariantMap StrDocument::toDraftWithChanges() const
{
    QVariantMap draft = toDraft();
    QVariantList changes;
    for (const Edit &edit : m_edits) {
        QVariantList checks;
        for (const Piece &check : edit.checks) {
            checks.append(QVariantMap{{QStringLiteral("text"), check.text},
                                      {QStringLiteral("kind"), static_cast<int>(check.kind)},
                                      {QStringLiteral("place"), check.place}});
        }
        changes.append(QVariantMap{{QStringLiteral("from"), static_cast<qint64>(edit.from)},
                                   {QStringLiteral("to"), static_cast<qint64>(edit.to)},
                                   {QStringLiteral("text"), edit.text},
                                   {QStringLiteral("insertion"), edit.insertion},
                                   {QStringLiteral("lineEnd"), edit.lineEnd},
                                   {QStringLiteral("checks"), checks}});
    }
    draft.insert(QStringLiteral("changes"), changes);
    return draft;
}

std::optional<StrDocument> StrDocument::fromDraftWithChanges(const QJsonObject &draft)
{
    std::optional<StrDocument> document = fromDraft(draft);
    if (!document)
        return std::nullopt;
    const qsizetype size = document->m_bytes.size();
    for (const QJsonValue &value : draft.value(QStringLiteral("changes")).toArray()) {
        const QJsonObject change = value.toObject();
        const qint64 from = change.value(QStringLiteral("from")).toInteger(-1);
        const qint64 to = change.value(QStringLiteral("to")).toInteger(-1);
        if (from < 0 || to < from || to > size || !change.value(QStringLiteral("text")).isString())
            return std::nullopt;
        Pieces checks;
        for (const QJsonValue &kept : change.value(QStringLiteral("checks")).toArray()) {
            const QJsonObject check = kept.toObject();
            const int kind = check.value(QStringLiteral("kind")).toInt();
            if (kind < Piece::Fixed || kind > Piece::MultiLine)
                return std::nullopt;
            checks.append({check.value(QStringLiteral("text")).toString(), static_cast<Piece::Kind>(kind),
                           check.value(QStringLiteral("place")).toString()});
        }
        document->m_edits.append({from, to, change.value(QStringLiteral("text")).toString(), checks,
                                  document->m_nextOrder++, change.value(QStringLiteral("insertion")).toBool(),
                                  change.value(QStringLiteral("lineEnd")).toString()});
    }
    return document;
}
