#include "missionfiles/newgamefile.h"

#include <QCoreApplication>

namespace NewgameFile {

namespace {

// key, a double quote, the value exactly as given, a double quote
QString entry(QLatin1String keyAndBlanks, const QString &value)
{
    return keyAndBlanks + QLatin1Char('"') + value + QLatin1Char('"');
}

QString box(const char *words)
{
    return QCoreApplication::translate("NewgameFile", words);
}

} // namespace

QStringList lines(const Texts &texts)
{
    return {
        entry(QLatin1String("difficulty: "), QStringLiteral("Difficulty:")),
        QStringLiteral("// This mission's title."),
        entry(QLatin1String("skip_training: "), texts.title),
        QString(),
        entry(QLatin1String("options: "), QStringLiteral("Options")),
        entry(QLatin1String("cancel: "), QStringLiteral("Cancel")),
        QString(),
        // Two blanks after the colon of the difficulty keys.
        entry(QLatin1String("diff_0:  "), texts.easy),
        entry(QLatin1String("diff_1:  "), texts.middle),
        entry(QLatin1String("diff_2:  "), texts.hardest),
    };
}

TextSources sources(const Texts &texts)
{
    return {
        {box("the \"Mission Title\" box"), texts.title},
        {box("the first \"Difficulty\" box (diff_0)"), texts.easy},
        {box("the second \"Difficulty\" box (diff_1)"), texts.middle},
        {box("the third \"Difficulty\" box (diff_2)"), texts.hardest},
    };
}

} // namespace NewgameFile
