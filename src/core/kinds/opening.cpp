#include "core/kinds/opening.h"

#include "core/document/codepages.h"
#include "core/save/textcheck.h"

#include <QCoreApplication>
#include <QLocale>

namespace Opening {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Opening", text);
}

QString noteLine(const StrReader::Note &note)
{
    return note.line > 0 ? tr("Line %1: %2").arg(note.line).arg(note.text) : note.text;
}

} // namespace

QStringList noteLines(const StrReader::Result &file, int codePage)
{
    QStringList lines;
    for (const StrReader::Note &note : file.notes)
        lines.append(noteLine(note));
    if (file.notesLeftOut > 0)
        lines.append(tr("%1 more notes are not listed.").arg(QLocale().toString(file.notesLeftOut)));
    if (file.utf8) {
        lines.append(tr("The file is written in UTF-8. It will be saved in %1.").arg(CodePages::description(codePage)));
        const StrDocument &document = file.document;
        const QString text = document.decoded(0, document.bytes().size());
        if (const auto bad = CodePages::firstUnencodable(text, codePage)) {
            const char32_t c = bad->codePoint;
            const int line = static_cast<int>(QStringView(text).first(bad->index).count(u'\n')) + 1;
            lines.append(tr("Line %1 holds %2 \u201C\u2068%3\u2069\u201D, which that code page cannot hold: "
                            "replace it before saving.")
                             .arg(QString::number(line), TextCheck::codePointName(c),
                                  QStringView(QChar::fromUcs4(c)).toString()));
        }
    }
    return lines;
}

std::optional<Message> message(const StrReader::Result &file, int codePage, const QString &shownPath)
{
    const QStringList lines = noteLines(file, codePage);
    if (lines.isEmpty())
        return std::nullopt;
    Message message;
    message.asks = file.utf8 || std::any_of(file.notes.cbegin(), file.notes.cend(), [](const StrReader::Note &note) {
        return note.severity == StrReader::Note::Differs;
    });
    message.repairable = std::any_of(file.notes.cbegin(), file.notes.cend(),
                                     [](const StrReader::Note &note) { return note.repairEntry >= 0; });
    QStringList shown = lines.first(std::min<qsizetype>(lines.size(), MaxShown));
    if (lines.size() > MaxShown)
        shown.append(tr("\u2026 and %1 more (see the details).").arg(QLocale().toString(lines.size() - MaxShown)));
    const QString list = shown.join(QLatin1Char('\n'));
    if (message.asks) {
        message.text = message.repairable
            ? tr("The game reads this file otherwise than it stands:\n%1\n\n%2\n\nRepair takes each line with a bare "
                 "quote whole as its text. Open it as it stands, repair it, or cancel?")
                  .arg(shownPath, list)
            : tr("Not all of this file can be kept as it stands:\n%1\n\n%2\n\nOpen it all the same?")
                  .arg(shownPath, list);
    } else {
        message.text = tr("The tab does not show everything in this file:\n%1\n\n%2\n\nAll of it is kept, and "
                          "saving writes it back as it stands.")
                           .arg(shownPath, list);
    }
    if (lines.size() > MaxShown)
        message.details = lines.join(QLatin1Char('\n'));
    return message;
}

} // namespace Opening
