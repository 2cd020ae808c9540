#include "core/newgamefile.h"

#include <QCoreApplication>

namespace NewgameFile {

namespace {

Pieces keyed(const char *key, const char *open, const Piece &value)
{
    return entry({fixed(QLatin1String(key))}, QLatin1String(open), {value});
}

Piece box(const QString &text, const char *place)
{
    return oneLine(text, QCoreApplication::translate("NewgameFile", place));
}

} // namespace

FileContent content(const Texts &texts)
{
    FileContent file;
    file.line(keyed("difficulty", ": \"", fixed(QStringLiteral("Difficulty:"))))
        .line(QStringLiteral("// This mission's title."))
        .line(keyed("skip_training", ": \"", box(texts.title, "the \"Mission Title\" box")))
        .line(QString())
        .line(keyed("options", ": \"", fixed(QStringLiteral("Options"))))
        .line(keyed("cancel", ": \"", fixed(QStringLiteral("Cancel"))))
        .line(QString())
        // Two blanks after the colon of the difficulty keys.
        .line(keyed("diff_0", ":  \"", box(texts.easy, "the first \"Difficulty\" box (diff_0)")))
        .line(keyed("diff_1", ":  \"", box(texts.middle, "the second \"Difficulty\" box (diff_1)")))
        .line(keyed("diff_2", ":  \"", box(texts.hardest, "the third \"Difficulty\" box (diff_2)")));
    return file;
}

} // namespace NewgameFile
