#include "core/mission/translation/translationsearch.h"

namespace TranslationSearch {

namespace {

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

Result find(const QList<File> &files, const QString &text, int limit, const std::atomic_bool *cancelled)
{
    Result result;
    result.text = text;
    const QString wanted = oneLine(text).trimmed();
    if (wanted.isEmpty())
        return result;
    for (qsizetype f = 0; f < files.size(); ++f) {
        if (cancelled && cancelled->load())
            return result;
        const QList<TranslationPair::Row> &rows = files.at(f).rows;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const TranslationPair::Row &row = rows.at(r);
            const QString source = oneLine(row.source);
            const QString target = row.hasTarget ? oneLine(row.target) : QString();
            const bool inTarget = target.contains(wanted, Qt::CaseInsensitive);
            if (!inTarget && !source.contains(wanted, Qt::CaseInsensitive))
                continue;
            if (result.hits.size() >= limit) {
                result.more = true;
                return result;
            }
            result.hits.append({int(f), int(r), row.key, inTarget ? target : source, inTarget});
        }
    }
    return result;
}

} // namespace TranslationSearch
