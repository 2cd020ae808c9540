#include "core/save/textcheck.h"

#include "core/document/codepages.h"
#include "core/document/strdocument.h"

#include <QDir>

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace TextCheck {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TextCheck", text);
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

std::optional<Problem> controlProblem(const Piece &piece)
{
    const QString &text = piece.text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!isControl(c) || c == u'\t')
            continue;
        const bool crLf = piece.kind == Piece::MultiLine
            && ((c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                || (c == u'\n' && i > 0 && text.at(i - 1) == u'\r'));
        if (crLf)
            continue;
        const bool lineBreak = c == u'\r' || c == u'\n';
        return placed(piece, i, lineBreak ? Problem::LineBreak : Problem::ControlCharacter, c);
    }
    return std::nullopt;
}

// How the character is named in the message.
QString characterWords(char32_t codePoint)
{
    const QString code = codePointName(codePoint);
    switch (QChar::category(codePoint)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return tr("the combining mark %1").arg(code);
    case QChar::Other_Format:
    case QChar::Other_Control:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
    case QChar::Other_PrivateUse:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Separator_Space:
        return tr("the invisible character %1").arg(code);
    default:
        break;
    }
    // First-strong isolate ... pop directional isolate: a right-to-left letter
    // stays inside its quotes.
    return tr("the character \u201C\u2068%1\u2069\u201D (%2)").arg(QStringView(QChar::fromUcs4(codePoint)).toString(), code);
}

} // namespace

Problem placed(const Piece &piece, qsizetype index, Problem::Kind kind, char32_t codePoint)
{
    Problem problem{kind, piece.place, 1, 1, codePoint, {}};
    const QStringView before = QStringView(piece.text).first(std::clamp<qsizetype>(index, 0, piece.text.size()));
    const qsizetype lineStart = before.lastIndexOf(QLatin1Char('\n')) + 1;
    problem.line = static_cast<int>(before.count(QLatin1Char('\n'))) + piece.firstLine;
    problem.column = static_cast<int>(before.sliced(lineStart).toUcs4().size()) + 1;
    return problem;
}

QString codePointName(char32_t codePoint)
{
    return QStringLiteral("U+%1").arg(static_cast<uint>(codePoint), 4, 16, QLatin1Char('0')).toUpper();
}

std::optional<Problem> firstProblem(const Pieces &texts, int codePage)
{
    for (const Piece &piece : texts) {
        if (const auto control = controlProblem(piece))
            return control;
        if (const auto bad = CodePages::firstUnencodable(piece.text, codePage))
            return placed(piece, bad->index, Problem::Unencodable, bad->codePoint);
    }
    return std::nullopt;
}

QString message(const Problem &problem, int codePage)
{
    QString why;
    switch (problem.kind) {
    case Problem::Malformed:
        return tr("In %1, line %2, column %3: %4.\n\nCorrect the entry, then save again. Nothing was written.")
            .arg(problem.place)
            .arg(problem.line)
            .arg(problem.column)
            .arg(problem.reason);
    case Problem::LineBreak:
        return tr("%1 holds a line break (%2) at line %3, column %4. A one-line box cannot hold line "
                  "breaks: in the file the break would split the entry.\n\n"
                  "Remove it, then save again. Nothing was written.")
            .arg(problem.place, codePointName(problem.codePoint))
            .arg(problem.line)
            .arg(problem.column)
            .replace(0, 1, problem.place.left(1).toUpper());
    case Problem::ControlCharacter:
        why = tr("Control characters cannot be written into the game's files.");
        break;
    case Problem::Unencodable: {
        why = tr("It cannot be written: %1 has no such character.").arg(CodePages::description(codePage));
        QStringList others;
        for (const int other : CodePages::codePagesHolding(problem.codePoint)) {
            if (other != codePage)
                others.append(CodePages::name(other));
        }
        if (!others.isEmpty())
            why += QLatin1Char(' ') + tr("These code pages have it: %1.").arg(others.join(QLatin1String(", ")));
        break;
    }
    }
    const QString what = problem.kind == Problem::ControlCharacter
        ? tr("the control character %1").arg(codePointName(problem.codePoint))
        : characterWords(problem.codePoint);
    return tr("In %1, line %2, column %3, there is %4. %5\n\nReplace or remove it, then save again. "
              "Nothing was written.")
        .arg(problem.place)
        .arg(problem.line)
        .arg(problem.column)
        .arg(what, why);
}

QString unwritableMessage(const StrDocument &document, int codePage, const QString &path)
{
    const QString file = path.isEmpty() ? tr("The file") : QDir::toNativeSeparators(path);
    const StrDocument shown = document.merged(codePage);
    for (qsizetype i = 0; i < shown.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const QString text = shown.text(entry);
        QStringList codes;
        QStringView rest(text);
        while (const std::optional<CodePages::Unencodable> bad = CodePages::firstUnencodable(rest, codePage)) {
            if (const QString code = codePointName(bad->codePoint); !codes.contains(code))
                codes.append(code);
            rest = rest.sliced(bad->index + (bad->codePoint > 0xFFFF ? 2 : 1));
        }
        if (codes.isEmpty())
            continue;
        constexpr qsizetype Quoted = 80;
        const QString quoted = text.size() > Quoted ? text.left(Quoted) + QChar(0x2026) : text;
        return tr("%1 cannot be written in %2: the text of %3, \u201C%4\u201D, holds %5, which the code page lacks."
                  "\n\nReplace or remove it, then save again. Nothing was saved.")
            .arg(file, CodePages::description(codePage), shown.key(entry), quoted, codes.join(QLatin1String(", ")));
    }
    return tr("%1 cannot be written in %2: it holds a character the code page lacks.\n\nNothing was saved.")
        .arg(file, CodePages::description(codePage));
}

std::optional<Error> refusal(const Pieces &texts, int codePage)
{
    if (const std::optional<Problem> problem = firstProblem(texts, codePage))
        return refusal(*problem, codePage);
    return std::nullopt;
}

Error refusal(const Problem &problem, int codePage)
{
    return {problem.kind == Problem::Unencodable ? Error::Kind::Unwritable : Error::Kind::Invalid,
            message(problem, codePage), {}, {}};
}

std::optional<Error> fileNameProblem(const QString &fileName)
{
    const auto refused = [&fileName](const QString &reason) { return Error{Error::Kind::Refused, reason, fileName, {}}; };
    for (const QChar c : fileName) {
        if (c.unicode() < 0x20)
            return refused(tr("it holds the control character %1").arg(codePointName(c.unicode())));
        if (QStringView(u"<>:\"/\\|?*").contains(c))
            return refused(tr("it holds \u201C%1\u201D, which Windows does not allow in file names").arg(c));
    }
    if (fileName.endsWith(QLatin1Char('.')) || fileName.endsWith(QLatin1Char(' ')))
        return refused(tr("Windows does not allow a file name to end with a dot or a blank"));
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = device.match(fileName);
    if (match.hasMatch())
        return refused(tr("Windows keeps the name \u201C%1\u201D for a device").arg(match.captured(1)));
    return std::nullopt;
}

} // namespace TextCheck
