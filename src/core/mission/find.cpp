#include "core/mission/find.h"

#include "core/document/lineendings.h"
#include "core/save/textcheck.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <type_traits>

namespace MissionFolder {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

class Finder
{
public:
    Finder(const QString &pattern, const FindOptions &options, std::optional<Error> *error)
        : m_pattern(pattern)
        , m_case(options.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive)
        , m_plain(!options.regularExpression && !options.wholeWords)
    {
        if (error)
            error->reset();
        if (pattern.isEmpty() || m_plain)
            return;
        const QRegularExpression::PatternOptions flags =
            QRegularExpression::UseUnicodePropertiesOption
            | (options.caseSensitive ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption);
        QString source = options.regularExpression ? pattern : QRegularExpression::escape(pattern);
        const QRegularExpression given(source, flags);
        if (!given.isValid()) {
            if (error) {
                *error = Error{Error::Kind::Refused,
                               say("The pattern is not a valid regular expression: %1 (at character %2).")
                                   .arg(given.errorString(), QString::number(given.patternErrorOffset() + 1)),
                               {}, {}};
            }
            m_invalid = true;
            return;
        }
        if (options.wholeWords)
            source = QLatin1String("(?<!\\w)(?:") + source + QLatin1String(")(?!\\w)");
        m_expression = QRegularExpression(source, flags);
        m_expression.optimize();
    }

    bool usable() const { return !m_pattern.isEmpty() && !m_invalid; }

    // Each non-empty match in `text`: start, length and (for an expression)
    // the match. A visit that returns false (rather than nothing) stops it.
    template <typename Visit>
    void matches(const QString &text, Visit visit) const
    {
        const auto go = [&](qsizetype start, qsizetype length, const QRegularExpressionMatch *match) {
            if constexpr (std::is_void_v<decltype(visit(start, length, match))>) {
                visit(start, length, match);
                return true;
            } else {
                return visit(start, length, match);
            }
        };
        if (m_plain) {
            for (qsizetype at = text.indexOf(m_pattern, 0, m_case); at >= 0;
                 at = text.indexOf(m_pattern, at + m_pattern.size(), m_case)) {
                if (!go(at, m_pattern.size(), nullptr))
                    return;
            }
            return;
        }
        QRegularExpressionMatchIterator it = m_expression.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            if (match.capturedLength() > 0 && !go(match.capturedStart(), match.capturedLength(), &match))
                return;
        }
    }

private:
    QString m_pattern;
    Qt::CaseSensitivity m_case;
    bool m_plain;
    bool m_invalid = false;
    QRegularExpression m_expression;
};

// `replacement` with \1 ... \99 for the match's groups and \\ for a backslash.
QString expanded(const QString &replacement, const QRegularExpressionMatch &match)
{
    QString out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c == u'\\' && i + 1 < replacement.size() && replacement[i + 1] == u'\\') {
            out.append(c);
            ++i;
        } else if (c == u'\\' && i + 1 < replacement.size() && replacement[i + 1].isDigit()) {
            qsizetype end = i + 2;
            if (end < replacement.size() && replacement[end].isDigit()
                && replacement.mid(i + 1, 2).toInt() <= match.lastCapturedIndex())
                ++end;
            out.append(match.captured(replacement.mid(i + 1, end - i - 1).toInt()));
            i = end - 1;
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace

QList<Match> find(const Scan &scan, const QString &pattern, const FindOptions &options, std::optional<Error> *error,
                  const std::atomic_bool *cancel, const std::function<void(int done, int total)> &progress)
{
    QList<Match> found;
    const Finder finder(pattern, options, error);
    if (!finder.usable())
        return found;
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    const int total = static_cast<int>(scan.files.size());
    for (qsizetype f = 0; f < scan.files.size(); ++f) {
        const StrDocument &document = scan.files.at(f).read.document;
        if (!scan.files.at(f).failure) {
            for (qsizetype e = 0; e < document.entries().size(); ++e) {
                if (cancelled())
                    return found;
                const int entry = static_cast<int>(e);
                const StrDocument::ReadText text = document.readText(entry);
                finder.matches(text.text, [&](qsizetype start, qsizetype length, const QRegularExpressionMatch *) {
                    found.append({static_cast<int>(f), entry, document.key(entry), text.lineOf(start),
                                  document.columnOfText(entry, start), text.text, start, length});
                    return !cancelled();
                });
            }
        }
        if (progress)
            progress(static_cast<int>(f) + 1, total);
    }
    return found;
}

QList<std::pair<int, StrDocument>> replaced(const Scan &scan, const QString &pattern, const QString &replacement,
                                            const FindOptions &options, std::optional<Error> *error,
                                            const std::atomic_bool *cancel)
{
    QList<std::pair<int, StrDocument>> changed;
    const Finder finder(pattern, options, error);
    if (!finder.usable())
        return changed;
    for (qsizetype f = 0; f < scan.files.size(); ++f) {
        const File &file = scan.files.at(f);
        if (file.failure)
            continue;
        std::optional<StrDocument> document;
        for (qsizetype e = 0; e < file.read.document.entries().size(); ++e) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return changed;
            const int entry = static_cast<int>(e);
            const QString text = file.read.document.readText(entry).text;
            QString now;
            qsizetype kept = 0;
            finder.matches(text, [&](qsizetype start, qsizetype length, const QRegularExpressionMatch *match) {
                now += QStringView(text).sliced(kept, start - kept);
                now += match && options.regularExpression ? expanded(replacement, *match) : replacement;
                kept = start + length;
            });
            if (kept == 0)
                continue;
            now += QStringView(text).sliced(kept);
            if (!document)
                document = file.read.document;
            const QString place = say("the text of %1 in %2").arg(document->key(entry), file.relativePath);
            document->setText(entry, now,
                              now.contains(u'\n') ? multiLine(LineEndings::toCrLf(now), place) : oneLine(now, place));
        }
        if (document)
            changed.append({static_cast<int>(f), *document});
    }
    return changed;
}

} // namespace MissionFolder
