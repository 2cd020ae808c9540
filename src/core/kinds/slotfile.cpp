#include "core/kinds/slotfile.h"

#include <QCoreApplication>
#include <QSet>

namespace SlotFile {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SlotFile", text);
}

Error malformed(const Piece &piece, qsizetype index, const QString &reason, int codePage)
{
    TextCheck::Problem problem = TextCheck::placed(piece, index, TextCheck::Problem::Malformed, 0);
    problem.reason = reason;
    return TextCheck::refusal(problem, codePage);
}

} // namespace

std::optional<Error> apply(StrDocument &document, const SlotList &list, const Kind &kind,
                                        const std::function<QString(int slot)> &placeOf, int codePage)
{
    QSet<int> kept;
    for (int slot = 0; slot < list.count(); ++slot) {
        const QString &text = list.at(slot);
        const SlotList::Origin &origin = list.origin(slot);
        if (!origin.entries.isEmpty() && text == origin.text) {
            for (const int entry : origin.entries)
                kept.insert(entry);
            continue;
        }
        const Piece check = multiLine(text, placeOf(slot));
        if (std::optional<Error> refused = TextCheck::refusal({check}, codePage))
            return refused;
        if (origin.composed && text == origin.text) {   // added as the program writes it
            document.insertLines(document.insertionPoint(kind.prefixes), text, {check});
            continue;
        }
        if (text.trimmed().isEmpty()) {   // emptied: its entries go
            if (!kind.opened && !origin.entries.isEmpty()) {
                // A list of the program's own writes the empty line, where the entry stood.
                const StrDocument::Entry &first = document.entries().at(origin.entries.constFirst());
                document.replace(first.start, first.afterEnd, text, {check});
                for (const int entry : origin.entries.sliced(1))
                    document.removeEntry(entry);
                continue;
            }
            for (const int entry : origin.entries)
                document.removeEntry(entry);
            if (!kind.opened)
                document.insertLines(document.insertionPoint(kind.prefixes), text, {check});
            continue;
        }
        const StrSyntax::HandEntries parsed = StrSyntax::parseHandEntries(text);
        if (!parsed.error.isEmpty())
            return malformed(check, parsed.errorIndex, parsed.error, codePage);
        const QList<StrSyntax::HandEntry> expected = StrSyntax::parseHandEntries(origin.text).entries;
        qsizetype lineStart = 0;
        for (const StrSyntax::HandEntry &entry : parsed.entries) {
            const qsizetype at = text.indexOf(entry.line, lineStart);
            lineStart = at + entry.line.size();
            const bool ofKind = std::any_of(kind.prefixes.cbegin(), kind.prefixes.cend(), [&](QLatin1String prefix) {
                return entry.key.startsWith(prefix, Qt::CaseInsensitive);
            });
            if (!ofKind)
                return malformed(check, at, tr("%1 is not a key of %2").arg(entry.key, kind.name), codePage);
            const bool own = expected.isEmpty() || std::any_of(expected.cbegin(), expected.cend(), [&](const auto &e) {
                return e.key.compare(entry.key, Qt::CaseInsensitive) == 0;
            });
            if (!own) {
                QStringList keys;
                for (const StrSyntax::HandEntry &e : expected)
                    keys.append(e.key);
                return malformed(check, at, tr("the key %1 does not belong to this slot, which holds %2")
                                                .arg(entry.key, keys.join(QLatin1String(", "))),
                                 codePage);
            }
        }

        // Each entry of the slot takes the place of the file's entry with its key.
        QList<int> unmatched = origin.entries;
        QStringList newLines;
        bool checked = false;
        const auto checks = [&]() -> Pieces {
            if (checked)
                return {};
            checked = true;
            return {check};
        };
        for (const StrSyntax::HandEntry &entry : parsed.entries) {
            const auto found = std::find_if(unmatched.begin(), unmatched.end(), [&](int e) {
                return document.key(e).compare(entry.key, Qt::CaseInsensitive) == 0;
            });
            if (found == unmatched.end()) {
                newLines.append(entry.line);
                continue;
            }
            document.setEntryLine(*found, entry.line, checks());
            kept.insert(*found);
            unmatched.erase(found);
        }
        if (!newLines.isEmpty()) {
            const qsizetype at = origin.entries.isEmpty() ? document.insertionPoint(kind.prefixes)
                                                          : document.entries().at(origin.entries.constLast()).end;
            document.insertLines(at, newLines.join(QLatin1String("\r\n")), checks());
        }
        for (const int entry : std::as_const(unmatched))
            document.removeEntry(entry);
    }
    for (const int entry : list.openedEntries()) {
        if (!kept.contains(entry))
            document.removeEntry(entry);
    }
    return std::nullopt;
}

std::optional<Error> applyLast(StrDocument &document, const SlotList &list, const Kind &kind,
                               const std::function<QString(int slot)> &placeOf, int codePage)
{
    const int slot = list.count() - 1;
    const Piece check = multiLine(list.at(slot), placeOf(slot));
    if (std::optional<Error> refused = TextCheck::refusal({check}, codePage))
        return refused;
    document.insertLines(document.insertionPoint(kind.prefixes), check.text, {check});
    return std::nullopt;
}

} // namespace SlotFile
