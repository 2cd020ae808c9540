#include "core/opening.h"

#include "core/codepages.h"
#include "core/textcheck.h"

#include <QCoreApplication>

namespace Opening {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Opening", text);
}

} // namespace

StrReader::Decoder decoder(int codePage)
{
    return [codePage](QByteArrayView bytes, QList<qsizetype> *undefinedOffsets) {
        CodePages::Decoded decoded = CodePages::decode(bytes, codePage);
        if (undefinedOffsets)
            undefinedOffsets->append(decoded.undefinedBytes);
        return decoded.text;
    };
}

QList<NamedText> texts(const StrReader::Result &file)
{
    QList<NamedText> named;
    switch (file.kind) {
    case StrReader::Kind::Book:
        if (file.book.hasLocation)
            named.append({tr("the place of the book"), file.book.location});
        for (auto it = file.book.pages.cbegin(); it != file.book.pages.cend(); ++it)
            named.append({QStringLiteral("Page_%1").arg(it.key()), it.value()});
        break;
    case StrReader::Kind::Goals:
        for (auto it = file.goals.fiction.cbegin(); it != file.goals.fiction.cend(); ++it)
            named.append({QStringLiteral("fiction_%1").arg(it.key()), it.value()});
        for (auto it = file.goals.text.cbegin(); it != file.goals.text.cend(); ++it)
            named.append({QStringLiteral("text_%1").arg(it.key()), it.value()});
        break;
    case StrReader::Kind::Newgame:
        named = {{QStringLiteral("skip_training"), file.newgame.title},
                 {QStringLiteral("diff_0"), file.newgame.easy},
                 {QStringLiteral("diff_1"), file.newgame.middle},
                 {QStringLiteral("diff_2"), file.newgame.hardest}};
        break;
    case StrReader::Kind::Missflag:
        named = {{tr("the mission number"), file.missflag.number}, {tr("the briefing flag"), file.missflag.briefing}};
        break;
    case StrReader::Kind::Titles:
        named = {{tr("the mission number"), file.titles.number}, {tr("the mission title"), file.titles.title}};
        break;
    }
    return named;
}

QStringList losses(const StrReader::Result &file, int codePage)
{
    QStringList lines;
    for (const StrReader::Note &note : file.notes)
        lines.append(note.line > 0 ? tr("Line %1: %2").arg(note.line).arg(note.text) : note.text);

    if (file.utf8) {
        lines.append(tr("The file is written in UTF-8. It will be saved in %1.").arg(CodePages::description(codePage)));
        for (const NamedText &named : texts(file)) {
            if (const auto bad = CodePages::firstUnencodable(named.text, codePage)) {
                const char32_t c = bad->codePoint;
                lines.append(tr("%1 holds %2 \u201C\u2068%3\u2069\u201D, which that code page cannot hold: "
                                "replace it before saving.")
                                 .arg(named.place, TextCheck::codePointName(c),
                                      QStringView(QChar::fromUcs4(c)).toString()));
            }
        }
    }
    return lines;
}

} // namespace Opening
