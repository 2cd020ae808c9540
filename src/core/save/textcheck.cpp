#include "core/save/textcheck.h"

#include "core/document/codepages.h"

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

std::optional<QString> fileNameProblem(const QString &fileName)
{
    for (const QChar c : fileName) {
        if (c.unicode() < 0x20)
            return tr("it holds the control character %1").arg(codePointName(c.unicode()));
        if (QStringView(u"<>:\"/\\|?*").contains(c))
            return tr("it holds \u201C%1\u201D, which Windows does not allow in file names").arg(c);
    }
    if (fileName.endsWith(QLatin1Char('.')) || fileName.endsWith(QLatin1Char(' ')))
        return tr("Windows does not allow a file name to end with a dot or a blank");
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = device.match(fileName);
    if (match.hasMatch())
        return tr("Windows keeps the name \u201C%1\u201D for a device").arg(match.captured(1));
    return std::nullopt;
}

} // namespace TextCheck
