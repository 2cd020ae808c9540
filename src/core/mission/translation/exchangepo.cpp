// gettext PO out and back (see exchange.h).
#include "core/mission/translation/exchange.h"

#include "core/document/codepages.h"
#include "core/document/lineendings.h"
#include "core/mission/translation/exchangetaker.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringDecoder>

namespace Exchange {

namespace {

using State = TranslationPair::State;

QString say(const char *text)
{
    return QCoreApplication::translate("Exchange", text);
}

QByteArray poString(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '"':
            escaped += QLatin1String("\\\"");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        default:
            escaped += c;
        }
    }
    return '"' + escaped.toUtf8() + '"';
}

// `keyword` and the text, after `mark` ("#| " for a previous one); a text
// of several lines as gettext writes it.
QByteArray poField(const char *keyword, const QString &lfText, const QByteArray &mark = {})
{
    QByteArray out = mark + keyword;
    const qsizetype lastBreak = lfText.lastIndexOf(u'\n', lfText.size() - 2);
    if (lastBreak < 0)
        return out + ' ' + poString(lfText) + '\n';
    out += " \"\"\n";
    qsizetype from = 0;
    while (from < lfText.size()) {
        qsizetype to = lfText.indexOf(u'\n', from);
        to = to < 0 ? lfText.size() : to + 1;
        out += mark + poString(lfText.mid(from, to - from)) + '\n';
        from = to;
    }
    return out;
}

QByteArray poComments(const char *mark, const QString &text)
{
    QByteArray out;
    if (text.isEmpty())
        return out;
    for (const QString &line : LineEndings::toLf(text).split(u'\n'))
        out += (line.isEmpty() ? QByteArray(mark).trimmed() : mark + line.toUtf8()) + '\n';
    return out;
}

// The text of a quoted PO string; nothing when it is not one.
std::optional<QString> poUnquote(QStringView quoted)
{
    if (quoted.size() < 2 || !quoted.startsWith(u'"') || !quoted.endsWith(u'"'))
        return std::nullopt;
    QString text;
    for (qsizetype i = 1; i < quoted.size() - 1; ++i) {
        const QChar c = quoted.at(i);
        if (c == u'"')
            return std::nullopt;
        if (c != u'\\') {
            text += c;
            continue;
        }
        if (++i >= quoted.size() - 1)
            return std::nullopt;
        switch (quoted.at(i).unicode()) {
        case 'n':
            text += u'\n';
            break;
        case 't':
            text += u'\t';
            break;
        case 'r':
            text += u'\r';
            break;
        case '"':
        case '\\':
            text += quoted.at(i);
            break;
        default:
            return std::nullopt;
        }
    }
    return text;
}

// The charset the header entry (msgid "") names; empty without one. The
// header is ASCII in every character set a PO file is written in.
QString headerCharset(const QByteArray &bytes)
{
    static const QRegularExpression header(QStringLiteral("(?:^|\\n)msgid \"\"\\s*\\nmsgstr ((?:\"[^\\n]*\"\\s*\\n?)+)"));
    const QString start = QString::fromLatin1(bytes.left(64 * 1024));
    const QRegularExpressionMatch found = header.match(start);
    if (!found.hasMatch())
        return {};
    static const QRegularExpression charset(QStringLiteral("charset=([^\\\\\"\\s;]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return charset.match(found.captured(1)).captured(1);
}

// The code page a charset names ("CP1250", "windows-1250"): 0 for UTF-8
// (and ASCII, and a template's "CHARSET"); -1 for one the program cannot read.
int codePageOfCharset(const QString &charset)
{
    const QString name = charset.toLower();
    if (name.isEmpty() || name == u"utf-8" || name == u"utf8" || name == u"charset" || name == u"ascii"
        || name == u"us-ascii")
        return 0;
    static const QRegularExpression windows(QStringLiteral("^(?:cp|windows-?|win)(\\d{3,4})$"));
    const QRegularExpressionMatch match = windows.match(name);
    const int codePage = match.hasMatch() ? match.captured(1).toInt() : -1;
    return CodePages::isSupported(codePage) ? codePage : -1;
}

struct Decoded {
    QString text;
    int badLine = 0;   // the first line holding bytes the character set leaves undefined
};

Decoded decode(const QByteArray &bytes, int codePage)
{
    Decoded decoded;
    int line = 1;
    for (QByteArrayView rest(bytes); !rest.isEmpty(); ++line) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView one = end < 0 ? rest : rest.first(end + 1);
        rest = rest.sliced(one.size());
        if (codePage == 0) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            decoded.text += utf8.decode(one);
            if (utf8.hasError() && decoded.badLine == 0)
                decoded.badLine = line;
        } else {
            const CodePages::Decoded read = CodePages::decode(one, codePage);
            decoded.text += read.text;
            if (!read.undefinedBytes.isEmpty() && decoded.badLine == 0)
                decoded.badLine = line;
        }
    }
    if (decoded.text.startsWith(QChar(0xFEFF)))
        decoded.text.remove(0, 1);
    return decoded;
}

} // namespace

QByteArray toPo(const QList<Unit> &units, const PoHeader &header)
{
    const auto field = [](const char *name, const QString &value) {
        return poString(QString::fromLatin1(name) + QLatin1String(": ") + value + u'\n') + '\n';
    };
    QByteArray out = "msgid \"\"\nmsgstr \"\"\n";
    out += field("Project-Id-Version", header.project);
    out += field("PO-Revision-Date", header.revised.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm+0000")));
    out += field("Last-Translator", {});
    out += field("Language-Team", header.languageName);
    out += field("Language", header.languageTag);
    out += field("MIME-Version", QStringLiteral("1.0"));
    out += field("Content-Type", QStringLiteral("text/plain; charset=UTF-8"));
    out += field("Content-Transfer-Encoding", QStringLiteral("8bit"));
    out += field("X-Generator", header.generator);
    for (const Unit &unit : units) {
        out += '\n';
        out += poComments("# ", unit.note);
        out += poComments("#. ", unit.fileComment);
        out += poComments("#. ", unit.comment);
        if (unit.line > 0)
            out += "#: " + unit.file.toUtf8() + ':' + QByteArray::number(unit.line) + '\n';
        if (unit.state == State::Outdated || unit.state == State::NeedsReview)
            out += "#, fuzzy\n";
        if (unit.state == State::Outdated && !unit.oldSource.isEmpty())
            out += poField("msgid", LineEndings::toLf(unit.oldSource), "#| ");
        out += poField("msgctxt", unit.file + u'|' + unit.key);
        out += poField("msgid", LineEndings::toLf(unit.source));
        out += poField("msgstr", unit.state == State::Untranslated ? QString() : LineEndings::toLf(unit.target));
    }
    return out;
}

Import fromPo(const QByteArray &bytes, const QList<Unit> &units, int codePage)
{
    Taking::Taker taker(units, codePage);
    const QString charset = headerCharset(bytes);
    const int read = codePageOfCharset(charset);
    if (read < 0) {
        taker.problem(0, {}, {},
                      say("The file is written in %1, which Quillwright does not read: save it in UTF-8, then take "
                          "it back again.")
                          .arg(charset));
        return taker.result();
    }
    const Decoded decoded = decode(bytes, read);
    if (decoded.badLine > 0) {
        taker.problem(decoded.badLine, {}, {},
                      read == 0 ? say("The line holds bytes that are not UTF-8, though the file says it is.")
                                : say("The line holds bytes that %1 leaves undefined.").arg(CodePages::shortName(read)));
        return taker.result();
    }
    struct Entry {
        int line = 0;
        std::optional<QString> context, id, text, previous;
        bool fuzzy = false;
        QStringList notes;
    } entry;
    QString *field = nullptr;
    bool broken = false;     // the entry had a problem already
    bool previousField = false;   // the strings continue a "#|" field
    const auto finish = [&] {
        if (!broken && entry.id) {
            if (!entry.context) {
                if (!entry.id->isEmpty())   // not the header
                    taker.problem(entry.line, {}, {}, say("An entry without msgctxt \"file|key\"."));
            } else if (const qsizetype bar = entry.context->lastIndexOf(u'|'); bar < 0) {
                taker.problem(entry.line, {}, {}, say("msgctxt is not \"file|key\": %1").arg(*entry.context));
            } else if (!entry.text) {
                taker.problem(entry.line, {}, {}, say("An entry without msgstr."));
            } else {
                Taking::Entry taken{entry.line, entry.context->left(bar), entry.context->mid(bar + 1), *entry.id,
                                    *entry.text, entry.fuzzy, std::nullopt, entry.previous.value_or(QString()),
                                    std::nullopt};
                if (!entry.notes.isEmpty())
                    taken.note = entry.notes.join(u'\n');
                taker.take(taken);
            }
        }
        entry = {};
        field = nullptr;
        broken = false;
        previousField = false;
    };
    const QStringList lines = decoded.text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty()) {
            finish();
            continue;
        }
        if (line.startsWith(u'#')) {
            if (field && !previousField)   // comments start the next entry
                finish();
            if (line.startsWith(u"#,")) {   // the flags: "#, fuzzy, c-format"
                for (const QString &flag : line.mid(2).split(u','))
                    entry.fuzzy = entry.fuzzy || flag.trimmed() == u"fuzzy";
            } else if (line.startsWith(u"#|")) {   // the previous msgid, and its strings
                const QString rest = line.mid(2).trimmed();
                const bool continued = rest.startsWith(u'"');
                const auto text = poUnquote(continued ? rest : QStringView(rest).mid(rest.indexOf(u' ') + 1).trimmed());
                if (continued && previousField && text && entry.previous) {
                    *entry.previous += *text;
                } else if (!continued && rest.startsWith(QLatin1String("msgid ")) && text) {
                    entry.previous = *text;
                    previousField = true;
                    field = nullptr;
                } else {
                    previousField = false;   // "#| msgctxt", and what is not understood, says nothing
                }
            } else if (line == u"#" || line.startsWith(u"# ")) {   // the translator's own
                entry.notes.append(line.mid(2));
                previousField = false;
            }
            continue;
        }
        previousField = false;
        if (line.startsWith(u'"')) {
            if (broken)   // the rest of a line already refused
                continue;
            const auto text = poUnquote(line);
            if (!field || !text) {
                taker.problem(number, {}, {}, say("A string out of place or not closed: %1").arg(line));
                broken = true;
                continue;
            }
            *field += *text;
            continue;
        }
        const qsizetype space = line.indexOf(u' ');
        const QString keyword = line.left(space);
        const auto text = space < 0 ? std::nullopt : poUnquote(QStringView(line).mid(space + 1).trimmed());
        std::optional<QString> *slot = keyword == u"msgctxt" ? &entry.context
                                       : keyword == u"msgid" ? &entry.id
                                       : keyword == u"msgstr" ? &entry.text
                                                              : nullptr;
        if (keyword == u"msgctxt" && entry.id)
            finish();   // the next entry, without a blank line
        if (!slot || !text || slot->has_value()) {
            taker.problem(number, {}, {},
                          slot ? say("A malformed line: %1").arg(line) : say("Unknown line: %1").arg(line));
            broken = true;
            field = nullptr;
            continue;
        }
        if (!entry.line)
            entry.line = number;
        *slot = *text;
        field = &**slot;
    }
    finish();
    return taker.result();
}

} // namespace Exchange
