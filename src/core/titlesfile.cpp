#include "core/titlesfile.h"

#include "core/kinds/kind.h"

#include <QCoreApplication>

namespace TitlesFile {

namespace {

Pieces boxes(const Mission &mission)
{
    return {oneLine(mission.number, QCoreApplication::translate("TitlesFile", "the \"Mission No.\" box")),
            oneLine(mission.title, QCoreApplication::translate("TitlesFile", "the \"Mission Title\" box"))};
}

QString escaped(const QString &text)
{
    return StrSyntax::escape(text, u"\r\n");
}

// The entry with `prefix` and `number`: a key, or a whole entry line.
void rewrite(StrDocument &file, int entry, const Mission &opened, const Mission &now, const Pieces &checks)
{
    if (now.number != opened.number) {
        const QString key = file.key(entry);
        const QString raw = now.title == opened.title ? file.rawText(entry) : escaped(now.title);
        file.setEntryLine(entry, key.left(TitlePrefix.size()) + now.number + file.separator(entry) + raw + u'"',
                          checks);
    } else if (now.title != opened.title) {
        file.setText(entry, now.title, checks.value(1));
    }
}

} // namespace

StrDocument content(const QString &number, const QString &title)
{
    StrDocument file = StrDocument::fromTemplate(Kinds::descriptor(Kinds::Kind::Titles).newFileText);
    const Mission mission{number, title};
    file.setEntryLine(0, TitlePrefix + number + QLatin1String(": \"") + escaped(title) + u'"', boxes(mission));
    file.setEntryLine(1, ShortPrefix + number + QLatin1String(": \"") + escaped(title) + u'"', boxes(mission));
    return file;
}

QList<int> missions(const StrDocument &document)
{
    QList<int> found;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const QLatin1String key = document.rawKey(static_cast<int>(i));
        if (key.size() > TitlePrefix.size() && key.startsWith(TitlePrefix, Qt::CaseInsensitive))
            found.append(static_cast<int>(i));
    }
    return found;
}

int shortTitle(const StrDocument &document, int title)
{
    const QString number = document.key(title).sliced(TitlePrefix.size()).trimmed();
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const QString key = document.key(static_cast<int>(i));
        if (key.startsWith(ShortPrefix, Qt::CaseInsensitive) && key.sliced(ShortPrefix.size()).trimmed() == number)
            return static_cast<int>(i);
    }
    return -1;
}

Mission mission(const StrDocument &document, int title)
{
    return {document.key(title).sliced(TitlePrefix.size()), document.text(title)};
}

StrDocument document(const StrDocument &document, int title, const Mission &opened, const Mission &now)
{
    StrDocument file = document;
    const Pieces checks = boxes(now);
    const int shortEntry = shortTitle(file, title);
    rewrite(file, title, opened, now, checks);
    if (shortEntry >= 0) {
        // The short title names the save game: kept when it was a title of its own.
        const bool same = file.text(shortEntry) == opened.title;
        rewrite(file, shortEntry, {opened.number, opened.title}, {now.number, same ? now.title : opened.title},
                {});
    }
    return file;
}

} // namespace TitlesFile
