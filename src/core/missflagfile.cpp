#include "core/missflagfile.h"

#include "core/keypieces.h"
#include "core/kinds/kind.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace MissflagFile {

namespace {

Piece numberBox(const QString &number)
{
    return oneLine(number, QCoreApplication::translate("MissflagFile", "the \"Mission No.\" box"));
}

Piece briefingBox(const QString &briefing)
{
    return oneLine(briefing, QCoreApplication::translate("MissflagFile", "the \"Briefing No.\" box"));
}

QString programFlags()
{
    return QLatin1String(" ,") + KeyPieces::LoadoutFlagWord + KeyPieces::EndFlagWord;
}

} // namespace

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

StrDocument content(const QString &number, int skipLines, const QString &briefing)
{
    QString text = Kinds::descriptor(Kinds::Kind::Missflag).newFileText;
    for (int i = 1; i <= skipLines; ++i)
        text += QLatin1String("miss_") + QString::number(i) + QLatin1String(":\"skip\"\r\n");
    text += QLatin1String("miss_0:\"\"\r\n");
    const QByteArray bytes = text.toLatin1();
    StrDocument file = StrDocument::fromTemplate(QLatin1String(bytes.constData(), bytes.size()));
    const int mission = static_cast<int>(file.entries().size()) - 1;
    file.setEntryLine(mission,
                      MissionPrefix + number + QLatin1String(":\"")
                          + StrSyntax::escape(briefing + programFlags(), u"\r\n") + u'"',
                      {numberBox(number), briefingBox(briefing)});
    return file;
}

bool isMissionKey(QLatin1String key)
{
    return key.size() > MissionPrefix.size() && key.startsWith(MissionPrefix, Qt::CaseInsensitive)
        && !key.sliced(MissionPrefix.size()).contains(u'_');
}

QList<int> missionKeys(const StrDocument &document)
{
    QList<int> found;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        if (isMissionKey(document.rawKey(static_cast<int>(i))))
            found.append(static_cast<int>(i));
    }
    return found;
}

QList<int> missions(const StrDocument &document)
{
    QList<int> found;
    for (const int entry : missionKeys(document)) {
        if (document.text(entry).trimmed().compare(QLatin1String("skip"), Qt::CaseInsensitive) != 0)
            found.append(entry);
    }
    return found;
}

Mission mission(const StrDocument &document, int entry)
{
    const QString text = document.text(entry);
    Mission shown{document.key(entry).sliced(MissionPrefix.size()), text, QString()};
    static const QRegularExpression flags(QStringLiteral("[ \\t]*,[ \\t]*no_loadout[ \\t]*,[ \\t]*end[ \\t]*$"));
    if (const QRegularExpressionMatch match = flags.match(text); match.hasMatch()) {
        shown.briefing = text.left(match.capturedStart(0));
        shown.flags = match.captured(0);
    }
    return shown;
}

StrDocument document(const StrDocument &document, int entry, const Mission &opened, const Mission &now)
{
    StrDocument file = document;
    const QString value = now.briefing + now.flags;
    if (entry < 0) {
        const StrDocument::Style style = file.style(MissionPrefix, {MissionPrefix, QStringLiteral(":\"")});
        file.insertLines(file.insertionPoint({MissionPrefix}),
                         style.prefix + now.number + style.separator
                             + StrSyntax::escape(value, u"\r\n") + u'"',
                         {numberBox(now.number), briefingBox(now.briefing)});
        return file;
    }
    if (now.number != opened.number) {
        const QString prefix = file.key(entry).left(MissionPrefix.size());
        const QString raw = now.briefing == opened.briefing ? file.rawText(entry)
                                                            : StrSyntax::escape(value, u"\r\n");
        file.setEntryLine(entry, prefix + now.number + file.separator(entry) + raw + u'"',
                          {numberBox(now.number), briefingBox(now.briefing)});
    } else if (now.briefing != opened.briefing) {
        file.setText(entry, value, briefingBox(now.briefing));
    }
    return file;
}

} // namespace MissflagFile
