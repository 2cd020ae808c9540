#include "core/missflagfile.h"

#include "core/keypieces.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace MissflagFile {

MissionNumber readMissionNumber(const QString &typed, const QLocale &locale)
{
    const auto alternatives = [](const QStringList &texts) {
        QStringList escaped;
        for (const QString &text : texts) {
            if (!text.isEmpty())
                escaped.append(QRegularExpression::escape(text));
        }
        return escaped.join(QLatin1Char('|'));
    };
    const QRegularExpression pattern(
        QStringLiteral("^ *(?:(%1)|%2)?([0-9]+)(?:(?:%3)([0-9]+))? *$")
            .arg(alternatives({QStringLiteral("-"), locale.negativeSign()}),
                 alternatives({QStringLiteral("+"), locale.positiveSign()}),
                 alternatives({locale.decimalPoint()})));
    const QRegularExpressionMatch match = pattern.match(typed);
    if (!match.hasMatch())
        return {};
    if (match.hasCaptured(1))   // negative: no mission below it
        return {Reading::Accepted, 0};

    // Only the whole part matters: for a mission number N with whole part W,
    // the whole numbers i with 1 <= i <= N - 1 are exactly 1 .. W - 1.
    QStringView whole = match.capturedView(2);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole = whole.sliced(1);
    const bool fractionIsZero = !match.capturedView(3).contains(QRegularExpression(QStringLiteral("[1-9]")));
    const int wholeValue = whole.size() > 3 ? HighestMissionNumber + 1 : whole.toInt();   // no overflow
    if (wholeValue > HighestMissionNumber || (wholeValue == HighestMissionNumber && !fractionIsZero))
        return {Reading::AboveHighest, 0};
    return {Reading::Accepted, wholeValue > 1 ? wholeValue - 1 : 0};
}

FileContent content(const QString &number, int skipLines, const QString &briefing)
{
    FileContent file;
    for (const char *line : {"// Valid mission flags",
                             "//",
                             "// skip         This mission doesn't exist; it should be skipped.",
                             "// no_briefing  Skip the briefing movie",
                             "// no_loadout   Skip the loadout",
                             "// cutscene     Play a cutscene immediately afterward",
                             "// end          End the game when this mission is completed",
                             "//"})
        file.line(QLatin1String(line));
    const QLatin1String open(":\"");
    for (int i = 1; i <= skipLines; ++i)
        file.line(entry({fixed(QLatin1String("miss_") + QString::number(i))}, open, {fixed(QStringLiteral("skip"))}));
    file.line(entry({fixed(QStringLiteral("miss_")),
                     oneLine(number, QCoreApplication::translate("MissflagFile", "the \"Mission No.\" box"))},
                    open,
                    {oneLine(briefing, QCoreApplication::translate("MissflagFile", "the \"Briefing No.\" box")),
                     fixed(QLatin1String(" ,") + KeyPieces::LoadoutFlagWord + KeyPieces::EndFlagWord)}));
    return file;
}

} // namespace MissflagFile
