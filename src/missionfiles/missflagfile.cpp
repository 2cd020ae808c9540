#include "missionfiles/missflagfile.h"

#include "app/keypieces.h"

#include <QCoreApplication>
#include <QStringView>

namespace MissflagFile {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Removes the leading run of ASCII digits from `rest` and returns it.
QStringView takeDigits(QStringView &rest)
{
    qsizetype count = 0;
    while (count < rest.size() && isDigit(rest[count]))
        ++count;
    const QStringView digits = rest.first(count);
    rest = rest.sliced(count);
    return digits;
}

bool takePrefix(QStringView &rest, QStringView prefix)
{
    if (prefix.isEmpty() || !rest.startsWith(prefix))
        return false;
    rest = rest.sliced(prefix.size());
    return true;
}

bool allZeros(QStringView digits)
{
    for (const QChar c : digits) {
        if (c != QLatin1Char('0'))
            return false;
    }
    return true;
}

// The eight comment lines that list the flags and what each does.
QStringList header()
{
    return {
        QStringLiteral("// Valid mission flags"),
        QStringLiteral("//"),
        QStringLiteral("// skip         This mission doesn't exist; it should be skipped."),
        QStringLiteral("// no_briefing  Skip the briefing movie"),
        QStringLiteral("// no_loadout   Skip the loadout"),
        QStringLiteral("// cutscene     Play a cutscene immediately afterward"),
        QStringLiteral("// end          End the game when this mission is completed"),
        QStringLiteral("//"),
    };
}

} // namespace

MissionNumber readMissionNumber(const QString &typed, const QLocale &locale)
{
    QStringView rest(typed);
    while (rest.startsWith(QLatin1Char(' ')))
        rest = rest.sliced(1);
    while (rest.endsWith(QLatin1Char(' ')))
        rest.chop(1);

    const QString negativeSign = locale.negativeSign();
    const QString positiveSign = locale.positiveSign();
    const bool negative = takePrefix(rest, u"-") || takePrefix(rest, negativeSign);
    if (!negative && !takePrefix(rest, u"+"))
        takePrefix(rest, positiveSign);

    QStringView whole = takeDigits(rest);
    QStringView fraction;
    if (takePrefix(rest, locale.decimalPoint())) {
        fraction = takeDigits(rest);
        if (fraction.isEmpty())
            return {};
    }
    if (whole.isEmpty() || !rest.isEmpty())
        return {};

    // Only the whole part matters: for a mission number N with whole part W,
    // the whole numbers i with 1 <= i <= N - 1 are exactly 1 .. W - 1.
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole = whole.sliced(1);
    if (negative)
        return {Reading::Accepted, 0};
    const bool wholeTooLong = whole.size() > 9;   // nine digits always fit an int
    const int wholeValue = wholeTooLong ? 0 : whole.toInt();
    if (wholeTooLong || wholeValue > HighestMissionNumber
        || (wholeValue == HighestMissionNumber && !allZeros(fraction)))
        return {Reading::AboveHighest, 0};
    return {Reading::Accepted, wholeValue > 1 ? wholeValue - 1 : 0};
}

QStringList lines(const QString &number, int skipLines, const QString &briefing)
{
    QStringList result = header();
    for (int i = 1; i <= skipLines; ++i)
        result.append(QLatin1String("miss_") + QString::number(i) + QLatin1String(":\"skip\""));
    result.append(QLatin1String("miss_") + number + QLatin1String(":\"") + briefing + QLatin1String(" ,")
                  + KeyPieces::LoadoutFlagWord + KeyPieces::EndFlagWord + QLatin1Char('"'));
    return result;
}

TextSources sources(const QString &number, const QString &briefing)
{
    return {
        {QCoreApplication::translate("MissflagFile", "the \"Mission No.\" box"), number},
        {QCoreApplication::translate("MissflagFile", "the \"Briefing No.\" box"), briefing},
    };
}

} // namespace MissflagFile
