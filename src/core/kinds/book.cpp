#include "core/kinds/book.h"

#include "core/kinds/keypieces.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstring>

namespace BookFile {

namespace {

const StrDocument::Style NewBookStyle{KeyPieces::PageKeyPrefix, KeyPieces::PageValueOpen};

// The key of the entry a slot holds, for naming it in messages.
QString slotKey(const SlotList &pages, int slot)
{
    const StrSyntax::HandEntries parsed = StrSyntax::parseHandEntries(pages.origin(slot).text);
    return parsed.entries.isEmpty() ? KeyPieces::PageKeyPrefix + QString::number(slot) : parsed.entries.first().key;
}

QList<QList<int>> origins(const QList<int> &entries)
{
    QList<QList<int>> result;
    for (const int entry : entries)
        result.append(QList<int>{entry});
    return result;
}

} // namespace

QString pageEntry(const StrDocument &document, int number, const QString &text)
{
    const StrDocument::Style style = document.style(PagePrefix, NewBookStyle);
    return document.newEntryLine(style.prefix + QString::number(number), text, {QString(), style.separator, QString()});
}

int nextPageNumber(const BookState &book)
{
    for (int slot = book.PageCount() - 1; slot >= 0; --slot) {
        const StrSyntax::HandEntries parsed = StrSyntax::parseHandEntries(book.Pg.origin(slot).text);
        if (!parsed.entries.isEmpty()) {
            if (const std::optional<int> number = StrSyntax::numberedKey(parsed.entries.first().key, PagePrefix))
                return *number + 1;
        }
    }
    return book.PageCount();
}

std::optional<int> slotFromText(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([0-9]{1,4})\\s*$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int slot = match.captured(1).toInt();
    if (slot >= BookState::SlotCount)
        return std::nullopt;
    return slot;
}

QList<int> shownPages(const StrDocument &document)
{
    QList<int> shown;
    QList<bool> seen(BookState::SlotCount);
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const std::optional<int> number = StrSyntax::numberedKey(document.rawKey(static_cast<int>(i)), PagePrefix);
        if (number && *number < BookState::SlotCount && !seen[*number]) {
            seen[*number] = true;
            shown.append(static_cast<int>(i));
        }
    }
    return shown;
}

namespace {

// Where the text of a "// Book Location - " line starts (any spacing and
// case), or -1 when the line from `at` to `end` is no such line.
qsizetype locationText(const QByteArray &bytes, qsizetype at, qsizetype end)
{
    const auto blanks = [&](qsizetype from) {
        while (from < end && (bytes[from] == ' ' || bytes[from] == '\t'))
            ++from;
        return from;
    };
    const auto word = [&](qsizetype from, const char *expected) {
        const qsizetype length = qsizetype(qstrlen(expected));
        return end - from >= length && qstrnicmp(bytes.constData() + from, expected, size_t(length)) == 0 ? from + length : -1;
    };
    at = blanks(at);
    if (end - at < 2 || bytes[at] != '/' || bytes[at + 1] != '/')
        return -1;
    at = word(blanks(at + 2), "book");
    if (at < 0 || blanks(at) == at)
        return -1;
    at = word(blanks(at), "location");
    if (at < 0)
        return -1;
    at = blanks(at);
    return at < end && bytes[at] == '-' ? at + 1 : -1;
}

} // namespace

std::optional<Location> locationLine(const StrDocument &document)
{
    const QByteArray &bytes = document.bytes();
    const qsizetype limit = document.entries().isEmpty() ? bytes.size() : document.entries().first().start;
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;   // after a UTF-8 byte-order mark
    while (start < limit) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0 || end > limit)
            end = limit;
        qsizetype contentEnd = end;
        if (contentEnd > start && bytes[contentEnd - 1] == '\r')
            --contentEnd;
        if (qsizetype textFrom = locationText(bytes, start, contentEnd); textFrom >= 0) {
            // The text follows one blank after the mark as the program writes
            // it, or any blanks in a line written by hand.
            if (!QByteArrayView(bytes).sliced(start, contentEnd - start).startsWith(LocationPrefix.latin1())) {
                while (textFrom < contentEnd && (bytes[textFrom] == ' ' || bytes[textFrom] == '\t'))
                    ++textFrom;
            } else {
                textFrom = start + LocationPrefix.size();
            }
            return Location{textFrom, contentEnd, document.decoded(textFrom, contentEnd)};
        }
        start = end + 1;
    }
    return std::nullopt;
}

void load(BookState &book, const StrDocument &document)
{
    book.opened = true;
    const QList<int> pages = shownPages(document);
    QStringList lines;
    for (const int entry : pages)
        lines.append(document.entryLine(entry));
    book.Pg.load(lines, origins(pages));
    book.document = document;
    book.BookLocationGiven = locationLine(document).has_value();
}

void show(BookState &book, const StrDocument &document)
{
    const QList<int> pages = shownPages(document);
    QStringList lines;
    for (const int entry : pages)
        lines.append(document.entryLine(entry));
    book.Pg.show(lines, origins(pages));
    book.document = document;
    book.BookLocationGiven = locationLine(document).has_value();
}

std::variant<StrDocument, Error> document(const BookState &book, const QString &location, int codePage)
{
    StrDocument file = book.document;
    const bool wanted = book.BookLocationGiven && !location.isEmpty();
    const Piece place = oneLine(location, QCoreApplication::translate("BookFile", "the \"Place of Book\" box"));
    if (wanted) {
        if (std::optional<Error> refused = TextCheck::refusal({place}, codePage))
            return *refused;
    }
    if (const std::optional<Location> line = locationLine(file)) {
        if (!wanted) {
            qsizetype end = file.bytes().indexOf('\n', line->textTo);
            end = end < 0 ? file.bytes().size() : end + 1;
            qsizetype start = file.bytes().lastIndexOf('\n', line->textFrom - 1) + 1;
            file.replace(start, end, QString());
        } else if (location != line->text) {
            file.replace(line->textFrom, line->textTo, location, {place});
        }
    } else if (wanted) {
        file.insertLines(0, LocationPrefix + location, {place});
    }
    const SlotFile::Kind kind{{PagePrefix}, QCoreApplication::translate("BookFile", "a book file"), book.opened};
    const auto placeOf = [&book](int slot) {
        return QCoreApplication::translate("BookFile", "page %1 (%2)").arg(slot + 1).arg(slotKey(book.Pg, slot));
    };
    if (std::optional<Error> refused = SlotFile::apply(file, book.Pg, kind, placeOf, codePage))
        return *refused;
    return file;
}

std::variant<StrDocument, Error> withLastPage(const BookState &book, StrDocument file, int codePage)
{
    const SlotFile::Kind kind{{PagePrefix}, QCoreApplication::translate("BookFile", "a book file"), book.opened};
    const auto placeOf = [&book](int slot) {
        return QCoreApplication::translate("BookFile", "page %1 (%2)").arg(slot + 1).arg(slotKey(book.Pg, slot));
    };
    if (std::optional<Error> problem = SlotFile::applyLast(file, book.Pg, kind, placeOf, codePage))
        return *problem;
    return file;
}

QString suggestedName(const QString &bookName)
{
    return bookName + QLatin1String(".str");
}

} // namespace BookFile
