#include "missionfiles/titlesfile.h"

#include <QCoreApplication>

namespace TitlesFile {

namespace {

QString entry(QLatin1String key, const QString &number, const QString &title)
{
    return key + number + QLatin1String(": \"") + title + QLatin1Char('"');
}

} // namespace

QStringList lines(const QString &number, const QString &title)
{
    return {
        QStringLiteral("// Objectives screen text."),
        entry(QLatin1String("title_"), number, title),
        QStringLiteral("// Save game dialog text."),
        entry(QLatin1String("short_"), number, title),
    };
}

TextSources sources(const QString &number, const QString &title)
{
    return {
        {QCoreApplication::translate("TitlesFile", "the \"Mission No.\" box"), number},
        {QCoreApplication::translate("TitlesFile", "the \"Mission Title\" box"), title},
    };
}

} // namespace TitlesFile
