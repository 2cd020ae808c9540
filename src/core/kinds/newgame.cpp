#include "core/kinds/newgame.h"

#include "core/kinds/kind.h"

#include <QCoreApplication>

namespace NewgameFile {

namespace {

std::array<QString, 4> values(const Texts &texts)
{
    return {texts.title, texts.easy, texts.middle, texts.hardest};
}

const char *const Places[] = {
    QT_TRANSLATE_NOOP("NewgameFile", "the \"Mission Title\" box"),
    QT_TRANSLATE_NOOP("NewgameFile", "the first \"Difficulty\" box (diff_0)"),
    QT_TRANSLATE_NOOP("NewgameFile", "the second \"Difficulty\" box (diff_1)"),
    QT_TRANSLATE_NOOP("NewgameFile", "the third \"Difficulty\" box (diff_2)"),
};

} // namespace

StrDocument newDocument()
{
    return StrDocument::fromTemplate(Kinds::descriptor(Kinds::Kind::Newgame).newFileText);
}

Texts texts(const StrDocument &document)
{
    std::array<QString, 4> found;
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        const int entry = document.find(Keys[i]);
        if (entry >= 0)
            found[i] = document.text(entry);
    }
    return {found[0], found[1], found[2], found[3]};
}

StrDocument document(const StrDocument &document, const Texts &opened, const Texts &texts)
{
    StrDocument file = document;
    const std::array<QString, 4> before = values(opened);
    const std::array<QString, 4> now = values(texts);
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        if (now[i] == before[i])
            continue;
        const Piece check = oneLine(now[i], QCoreApplication::translate("NewgameFile", Places[i]));
        const int entry = file.find(Keys[i]);
        if (entry >= 0) {
            file.setText(entry, now[i], check);
            continue;
        }
        const QLatin1String prefix = i == 0 ? QLatin1String("skip_training") : QLatin1String("diff_");
        const StrDocument::Style style =
            file.style(prefix, {prefix, i == 0 ? QStringLiteral(": \"") : QStringLiteral(":  \"")});
        const QString key = i == 0 ? style.prefix : style.prefix + QString::number(i - 1);
        file.insertEntry(file.insertionPoint({QLatin1String("skip_training"), QLatin1String("diff_")}), key, now[i],
                         {check}, {QString(), style.separator, QString()});
    }
    return file;
}

} // namespace NewgameFile
