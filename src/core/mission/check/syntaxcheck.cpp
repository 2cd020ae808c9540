#include "core/mission/check/syntaxcheck.h"

#include "core/document/lineendings.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>

namespace MissionFolder::SyntaxCheck {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

QString quoted(QStringView text)
{
    constexpr qsizetype Longest = 60;
    const QString shown = text.size() > Longest ? text.first(Longest).toString() + QChar(0x2026) : text.toString();
    return QChar(0x201C) + shown + QChar(0x201D);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

class Pass
{
public:
    Pass(const QByteArray &bytes, const StrDocument *document, const Context &context)
        : m_bytes(bytes)
        , m_document(document)
        , m_context(context)
    {
        StrSyntax::Tokenizer tokens(bytes);
        StrSyntax::Item item;
        while (tokens.next(item))
            m_items.append(item);
    }

    QList<int> faulty;   // entries with an error of their own

    QList<Problem> run(QStringList *takenKeys)
    {
        int entry = -1;
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            const StrSyntax::Item &item = m_items.at(i);
            if (item.kind == StrSyntax::ItemKind::Entry) {
                flushRun();
                ++entry;
                if (m_document)
                    judgeEntry(entry, i, takenKeys);
            } else if (item.kind == StrSyntax::ItemKind::Stray) {
                if (!m_absorbed.contains(item.line))
                    judgeStray(item);
            } else {
                flushRun();
            }
        }
        flushRun();
        if (m_keyless > 0) {
            m_problems.append({"keyless-lines", m_context.path, m_firstKeyless,
                               m_keyless == 1
                                   ? say("This line is no entry but a text in quotes or a ; comment, as translators "
                                         "keep their originals; the game skips it.")
                                   : say("This line and %1 more are no entries but texts in quotes or ; comments, as "
                                         "translators keep their originals; the game skips them.")
                                         .arg(m_keyless - 1),
                               Severity::Note, 1});
        }
        std::stable_sort(m_problems.begin(), m_problems.end(),
                         [](const Problem &a, const Problem &b) { return a.line < b.line; });
        return m_problems;
    }

private:
    QByteArrayView content(const StrSyntax::Item &item) const
    {
        return QByteArrayView(m_bytes).sliced(item.keyStart, item.afterEnd - item.keyStart);
    }

    int columnOf(const StrSyntax::Item &item, qsizetype offset) const
    {
        if (m_document)
            return m_document->columnOf(offset);
        return static_cast<int>(offset - item.start) + 1;
    }

    // A translator's original kept under its entry: a line that starts with a quote.
    bool keptOriginal(const StrSyntax::Item &item) const { return content(item).startsWith('"'); }

    // The stray lines after entry item `at` up to the next entry that hold a
    // quote and are no kept originals: the text cut early was meant to run on
    // to the last of them.
    int lastCutLine(qsizetype at) const
    {
        int last = 0;
        for (qsizetype j = at + 1; j < m_items.size() && m_items.at(j).kind != StrSyntax::ItemKind::Entry; ++j) {
            const StrSyntax::Item &item = m_items.at(j);
            if (item.kind == StrSyntax::ItemKind::Stray && content(item).contains('"') && !keptOriginal(item))
                last = item.line;
        }
        return last;
    }

    void absorb(qsizetype at, int lastLine)
    {
        for (qsizetype j = at + 1; j < m_items.size() && m_items.at(j).kind != StrSyntax::ItemKind::Entry; ++j) {
            if (m_items.at(j).kind == StrSyntax::ItemKind::Stray && m_items.at(j).line <= lastLine)
                m_absorbed.insert(m_items.at(j).line);
        }
    }

    void judgeEntry(int entry, qsizetype at, QStringList *takenKeys)
    {
        static const QRegularExpression opening(QStringLiteral("\\n[ \\t]*([^\\s:\"]+)[ \\t]*:\\s*$"));
        const StrDocument &document = *m_document;
        const StrDocument::Entry &e = document.entries().at(entry);
        const QString key = document.key(entry);
        const QByteArrayView after = QByteArrayView(m_bytes).sliced(e.closed ? e.textEnd + 1 : e.textEnd,
                                                                    e.afterEnd - (e.closed ? e.textEnd + 1 : e.textEnd));
        const QByteArrayView rest = after.trimmed();
        const int cutTo = lastCutLine(at);
        if (!e.closed) {
            QByteArrayView taken = QByteArrayView(m_bytes).sliced(e.start, e.textEnd - e.start);
            while (taken.endsWith('\n') || taken.endsWith('\r'))
                taken.chop(1);   // the file's last line end ends no line taken in
            swallowed(entry, e.line + 1, e.line + static_cast<int>(taken.count('\n')));
            return;
        }
        // Closed by the opening quote of a line that starts an entry, with that entry's text after it (a text
        // whose last line ends in a colon ends just so, with nothing after its quote).
        const QRegularExpressionMatch match = opening.match(LineEndings::toLf(document.rawText(entry)));
        if (match.hasMatch() && ((!rest.isEmpty() && !rest.startsWith("//")) || cutTo > 0)) {
            if (takenKeys)
                takenKeys->append(match.captured(1).toLower());
            int last = document.lineOf(entry, e.textEnd);
            for (qsizetype j = at + 1; j < m_items.size() && m_items.at(j).kind == StrSyntax::ItemKind::Stray; ++j)
                last = m_items.at(j).line;
            absorb(at, last);
            swallowed(entry, e.line + 1, last);
            return;
        }
        const int line = document.lineOf(entry, e.textEnd);
        const int column = document.columnOf(e.textEnd);
        const bool commented = rest.isEmpty() || rest.startsWith("//");
        qsizetype words = 0;   // what the quotes and blanks after the closing quote leave
        while (words < rest.size() && (rest.at(words) == '"' || isBlank(rest.at(words))))
            ++words;
        if (!commented && (words == rest.size() || rest.sliced(words).startsWith("//"))) {
            const qsizetype quote = e.textEnd + 1 + after.indexOf('"');
            m_problems.append({"stray-quote", m_context.path, line,
                               say("A stray quote follows the closing quote of %1; the game shows the whole text and "
                                   "skips the quote.")
                                   .arg(key),
                               Severity::Warning, document.columnOf(quote)});
            return;
        }
        if (!commented && !rest.contains('"') && cutTo == 0) {
            faulty.append(entry);
            m_problems.append({"text-after-quote", m_context.path, line,
                               say("The game stops reading %1 at its closing quote and does not show %2.")
                                   .arg(key, quoted(document.after(entry).trimmed())),
                               Severity::Error, column});
            return;
        }
        if (commented && cutTo == 0)
            return;
        absorb(at, cutTo);
        faulty.append(entry);
        QString message = say("%1 holds a quote that ends its text early: the game shows only %2.")
                              .arg(key, quoted(LineEndings::toLf(document.text(entry))));
        if (cutTo == line + 1)
            message += u' ' + say("Line %1, which the text was meant to run on to, is lost too.").arg(cutTo);
        else if (cutTo > line)
            message += u' ' + say("Lines %1-%2, which the text was meant to run on to, are lost too.")
                                  .arg(QString::number(line + 1), QString::number(cutTo));
        m_problems.append({"early-quote", m_context.path, line, message, Severity::Error, column});
    }

    void swallowed(int entry, int first, int last)
    {
        faulty.append(entry);
        const StrDocument &document = *m_document;
        const StrDocument::Entry &e = document.entries().at(entry);
        const QString key = document.key(entry);
        m_problems.append({"unclosed-quote", m_context.path, document.lineOf(entry, e.textStart - 1),
                           last < first ? say("%1 has no closing quote.").arg(key)
                           : last == first
                               ? say("%1 has no closing quote: it takes in line %2.").arg(key, QString::number(first))
                               : say("%1 has no closing quote: it takes in lines %2-%3.")
                                     .arg(key, QString::number(first), QString::number(last)),
                           Severity::Error, document.columnOf(e.textStart - 1)});
    }

    void judgeStray(const StrSyntax::Item &item)
    {
        const QByteArrayView line = content(item);
        const bool semicolon = line.startsWith(';');
        if (semicolon && Kinds::descriptor(m_context.kind).semicolonComments) {
            flushRun();
            return;
        }
        if (m_context.translation && (semicolon || keptOriginal(item))) {
            flushRun();
            if (m_keyless++ == 0)
                m_firstKeyless = item.line;
            return;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && !line.first(colon).contains('"') && !line.first(colon).contains(' ')) {
            flushRun();
            qsizetype quote = item.keyStart + colon + 1;   // where the opening quote belongs
            while (quote < item.afterEnd && isBlank(m_bytes.at(quote)))
                ++quote;
            m_problems.append({"no-opening-quote", m_context.path, item.line,
                               say("%1 has no opening quote after its colon, so the game does not read it.")
                                   .arg(QString::fromLatin1(line.first(colon))),
                               Severity::Error, columnOf(item, quote)});
            return;
        }
        if (m_runFirst == 0) {
            m_runFirst = item.line;
            m_runColumn = columnOf(item, item.keyStart);
        }
        m_runLast = item.line;
    }

    void flushRun()
    {
        if (m_runFirst > 0) {
            m_problems.append({"stray-line", m_context.path, m_runFirst,
                               m_runFirst == m_runLast ? say("This line is not an entry; the game skips it.")
                                                       : say("Lines %1 to %2 are not entries; the game skips them.")
                                                             .arg(QString::number(m_runFirst), QString::number(m_runLast)),
                               Severity::Warning, m_runColumn});
        }
        m_runFirst = 0;
    }

    const QByteArray &m_bytes;
    const StrDocument *m_document;
    const Context &m_context;
    QList<StrSyntax::Item> m_items;
    QSet<int> m_absorbed;   // stray lines that belong to an entry's finding
    QList<Problem> m_problems;
    int m_runFirst = 0;
    int m_runLast = 0;
    int m_runColumn = 1;
    int m_keyless = 0;
    int m_firstKeyless = 0;
};

} // namespace

QList<Problem> problems(const StrDocument &document, const Context &context, QStringList *takenKeys,
                        QList<int> *faulty)
{
    Pass pass(document.bytes(), &document, context);
    QList<Problem> found = pass.run(takenKeys);
    if (faulty)
        *faulty = pass.faulty;
    return found;
}

QList<Problem> strayProblems(const QByteArray &bytes, const Context &context)
{
    return Pass(bytes, nullptr, context).run(nullptr);
}

} // namespace MissionFolder::SyntaxCheck
