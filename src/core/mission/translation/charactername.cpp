#include "core/mission/translation/charactername.h"

#include "core/document/codepages.h"
#include "core/save/textcheck.h"

#include <QChar>
#include <QCoreApplication>

namespace CharacterName {

namespace {

struct Script {
    QChar::Script script;
    const char *name;
};

// The scripts a mission's languages and their neighbours are written in.
const Script Scripts[] = {
    {QChar::Script_Common, QT_TRANSLATE_NOOP("CharacterName", "Common")},
    {QChar::Script_Inherited, QT_TRANSLATE_NOOP("CharacterName", "Inherited")},
    {QChar::Script_Latin, QT_TRANSLATE_NOOP("CharacterName", "Latin")},
    {QChar::Script_Greek, QT_TRANSLATE_NOOP("CharacterName", "Greek")},
    {QChar::Script_Cyrillic, QT_TRANSLATE_NOOP("CharacterName", "Cyrillic")},
    {QChar::Script_Armenian, QT_TRANSLATE_NOOP("CharacterName", "Armenian")},
    {QChar::Script_Hebrew, QT_TRANSLATE_NOOP("CharacterName", "Hebrew")},
    {QChar::Script_Arabic, QT_TRANSLATE_NOOP("CharacterName", "Arabic")},
    {QChar::Script_Georgian, QT_TRANSLATE_NOOP("CharacterName", "Georgian")},
    {QChar::Script_Devanagari, QT_TRANSLATE_NOOP("CharacterName", "Devanagari")},
    {QChar::Script_Thai, QT_TRANSLATE_NOOP("CharacterName", "Thai")},
    {QChar::Script_Hangul, QT_TRANSLATE_NOOP("CharacterName", "Hangul")},
    {QChar::Script_Hiragana, QT_TRANSLATE_NOOP("CharacterName", "Hiragana")},
    {QChar::Script_Katakana, QT_TRANSLATE_NOOP("CharacterName", "Katakana")},
    {QChar::Script_Han, QT_TRANSLATE_NOOP("CharacterName", "Han")},
};

bool visible(char32_t codePoint)
{
    switch (QChar::category(codePoint)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
    case QChar::Other_Control:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
    case QChar::Other_PrivateUse:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Separator_Space:
        return false;
    default:
        return true;
    }
}

} // namespace

QString scriptName(char32_t codePoint)
{
    const QChar::Script script = QChar::script(codePoint);
    for (const Script &known : Scripts) {
        if (known.script == script)
            return QCoreApplication::translate("CharacterName", known.name);
    }
    return QCoreApplication::translate("CharacterName", "another script");
}

QString describe(char32_t codePoint)
{
    const QString code = TextCheck::codePointName(codePoint) + QLatin1String(", ") + scriptName(codePoint);
    if (!visible(codePoint))
        return code;
    // First-strong isolate ... pop directional isolate: a right-to-left
    // letter stays inside its quotes.
    return QStringLiteral("\u201C\u2068%1\u2069\u201D (%2)").arg(QString::fromUcs4(&codePoint, 1), code);
}

QList<char32_t> lacking(QStringView text, int codePage)
{
    QList<char32_t> found;
    qsizetype at = 0;
    while (at < text.size()) {
        const auto bad = CodePages::firstUnencodable(text.sliced(at), codePage);
        if (!bad)
            break;
        if (!found.contains(bad->codePoint))
            found.append(bad->codePoint);
        at += bad->index + (bad->codePoint > 0xFFFF ? 2 : 1);
    }
    return found;
}

QString describeAll(const QList<char32_t> &codePoints)
{
    QStringList described;
    for (const char32_t codePoint : codePoints)
        described.append(describe(codePoint));
    return described.join(QLatin1String(", "));
}

} // namespace CharacterName
