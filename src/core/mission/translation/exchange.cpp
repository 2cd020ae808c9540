#include "core/mission/translation/exchange.h"

#include "core/document/codepages.h"
#include "core/document/lineendings.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace Exchange {

namespace {

using State = TranslationPair::State;

QString say(const char *text)
{
    return QCoreApplication::translate("Exchange", text);
}

QString xliffState(const Unit &unit)
{
    if (unit.markedDone)
        return QStringLiteral("final");
    switch (unit.state) {
    case State::Untranslated:
        return QStringLiteral("new");
    case State::Outdated:
    case State::Suspicious:
        return QStringLiteral("needs-review-translation");
    case State::Identical:
    case State::Done:
        break;
    }
    return QStringLiteral("translated");
}

// The units by file, then by key without regard to case.
class Known
{
public:
    explicit Known(const QList<Unit> &units)
    {
        for (const Unit &unit : units)
            m_units[unit.file].insert(unit.key.toCaseFolded(), &unit);
    }
    bool hasFile(const QString &file) const { return m_units.contains(file); }
    const Unit *find(const QString &file, const QString &key) const
    {
        return m_units.value(file).value(key.toCaseFolded());
    }

private:
    QHash<QString, QHash<QString, const Unit *>> m_units;
};

// Takes one entry back: a problem, or a change when the text is another.
class Taker
{
public:
    Taker(const QList<Unit> &units, int codePage)
        : m_known(units)
        , m_codePage(codePage)
    {
    }

    bool knowsFile(int line, const QString &file)
    {
        if (m_known.hasFile(file))
            return true;
        if (!m_unknownFiles.contains(file)) {
            m_unknownFiles.insert(file);
            problem(line, file, {}, say("The mission has no file %1.").arg(file));
        }
        return false;
    }
    void take(int line, const QString &file, const QString &key, const QString &lfText,
              std::optional<bool> done = std::nullopt, std::optional<bool> fuzzy = std::nullopt)
    {
        if (!knowsFile(line, file))
            return;
        const Unit *unit = m_known.find(file, key);
        if (!unit)
            return problem(line, file, key, say("%1 has no entry %2.").arg(file, key));
        if (m_seen.contains({file, unit->key}))
            return problem(line, file, key, say("The entry %1 stands twice.").arg(key));
        m_seen.insert({file, unit->key});
        const QString text = LineEndings::toCrLf(lfText);
        if (const auto bad = CodePages::firstUnencodable(text, m_codePage)) {
            return problem(line, file, key,
                           say("The translation holds %1, which %2 cannot represent.")
                               .arg(QString::fromUcs4(&bad->codePoint, 1), CodePages::description(m_codePage)));
        }
        if (text.isEmpty())
            return;
        // A new translation is not done until marked so; the same one is
        // changed only by a mark it does not have yet.
        const bool changed = text != unit->target;
        // PO says it with its fuzzy flag: an outdated entry that comes back
        // unchanged without the flag was looked at and stands for today's
        // source; one marked done that comes back fuzzy is done no more.
        if (fuzzy && !*fuzzy && !changed && unit->state == TranslationPair::State::Outdated)
            done = true;
        else if (fuzzy && *fuzzy)
            done = false;
        if (done && (changed ? !*done : *done == unit->markedDone))
            done.reset();
        if (changed || done)
            m_import.changes.append({file, unit->key, text, done});
    }
    void problem(int line, const QString &file, const QString &key, const QString &message)
    {
        m_import.problems.append({line, file, key, message});
    }
    Import result()
    {
        if (!m_import.problems.isEmpty())
            m_import.changes.clear();
        return m_import;
    }

private:
    Known m_known;
    int m_codePage;
    QSet<std::pair<QString, QString>> m_seen;
    QSet<QString> m_unknownFiles;
    Import m_import;
};

// ------------------------------------------------------------------- PO

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

// `keyword` and the text; a text of several lines as gettext writes it.
QByteArray poField(const char *keyword, const QString &lfText)
{
    QByteArray out = keyword;
    const qsizetype lastBreak = lfText.lastIndexOf(u'\n', lfText.size() - 2);
    if (lastBreak < 0)
        return out + ' ' + poString(lfText) + '\n';
    out += " \"\"\n";
    qsizetype from = 0;
    while (from < lfText.size()) {
        qsizetype to = lfText.indexOf(u'\n', from);
        to = to < 0 ? lfText.size() : to + 1;
        out += poString(lfText.mid(from, to - from)) + '\n';
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
        out += mark + line.toUtf8() + '\n';
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

} // namespace

QList<Unit> unitsOf(const TranslationPair &pair, const QString &file)
{
    QList<Unit> units;
    for (const TranslationPair::Row &row : pair.rows()) {
        if (row.readOnly)
            continue;
        units.append({file, row.key, row.source, row.state == State::Untranslated ? QString() : row.target,
                      row.state, row.comment, row.note, row.markedDone});
    }
    return units;
}

QByteArray toXliff(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("xliff"));
    xml.writeDefaultNamespace(QStringLiteral("urn:oasis:names:tc:xliff:document:1.2"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.2"));
    QString file;
    bool open = false;
    for (const Unit &unit : units) {
        if (!open || unit.file != file) {
            if (open) {
                xml.writeEndElement();   // body
                xml.writeEndElement();   // file
            }
            file = unit.file;
            open = true;
            xml.writeStartElement(QStringLiteral("file"));
            xml.writeAttribute(QStringLiteral("original"), file);
            xml.writeAttribute(QStringLiteral("source-language"), sourceLanguage);
            xml.writeAttribute(QStringLiteral("target-language"), targetLanguage);
            xml.writeAttribute(QStringLiteral("datatype"), QStringLiteral("plaintext"));
            xml.writeStartElement(QStringLiteral("body"));
        }
        xml.writeStartElement(QStringLiteral("trans-unit"));
        xml.writeAttribute(QStringLiteral("id"), unit.key);
        xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        xml.writeTextElement(QStringLiteral("source"), LineEndings::toLf(unit.source));
        xml.writeStartElement(QStringLiteral("target"));
        xml.writeAttribute(QStringLiteral("state"), xliffState(unit));
        xml.writeCharacters(unit.state == State::Untranslated ? QString() : LineEndings::toLf(unit.target));
        xml.writeEndElement();
        for (const auto &[from, text] : {std::pair{QStringLiteral("developer"), unit.comment},
                                         std::pair{QStringLiteral("translator"), unit.note}}) {
            if (text.isEmpty())
                continue;
            xml.writeStartElement(QStringLiteral("note"));
            xml.writeAttribute(QStringLiteral("from"), from);
            xml.writeCharacters(LineEndings::toLf(text));
            xml.writeEndElement();
        }
        xml.writeEndElement();   // trans-unit
    }
    xml.writeEndDocument();
    return bytes;
}

Import fromXliff(const QByteArray &bytes, const QList<Unit> &units, int codePage)
{
    Taker taker(units, codePage);
    QXmlStreamReader xml(bytes);
    QString file;
    bool sawRoot = false;
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        const int line = static_cast<int>(xml.lineNumber());
        if (!sawRoot) {
            sawRoot = true;
            if (name != u"xliff" || xml.attributes().value(QLatin1String("version")) != u"1.2") {
                taker.problem(line, {}, {}, say("This is no XLIFF 1.2 file."));
                return taker.result();
            }
        } else if (name == u"file") {
            file = xml.attributes().value(QLatin1String("original")).toString();
            if (file.isEmpty())
                taker.problem(line, {}, {}, say("A <file> without original=\"...\"."));
            else
                taker.knowsFile(line, file);
        } else if (name == u"trans-unit") {
            const QString key = xml.attributes().value(QLatin1String("id")).toString();
            std::optional<QString> target;
            std::optional<bool> done;
            while (xml.readNextStartElement()) {   // up to the unit's end
                if (xml.name() == u"target") {
                    const auto state = xml.attributes().value(QLatin1String("state"));
                    if (!state.isEmpty())
                        done = state == u"final" || state == u"signed-off";
                    target = xml.readElementText();
                } else
                    xml.skipCurrentElement();
            }
            if (xml.hasError())
                break;
            if (key.isEmpty())
                taker.problem(line, file, {}, say("A <trans-unit> without id=\"...\"."));
            else if (target)
                taker.take(line, file, key, *target, done);
        }
    }
    if (xml.hasError()) {
        taker.problem(static_cast<int>(xml.lineNumber()), file, {},
                      say("The file is not well-formed: %1").arg(xml.errorString()));
    } else if (!sawRoot) {
        taker.problem(0, {}, {}, say("This is no XLIFF 1.2 file."));
    }
    return taker.result();
}

QByteArray toPo(const QList<Unit> &units, const QString &targetLanguage)
{
    QByteArray out = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                     "\"Content-Transfer-Encoding: 8bit\\n\"\n";
    out += "\"Language: " + targetLanguage.toUtf8() + "\\n\"\n";
    for (const Unit &unit : units) {
        out += '\n';
        out += poComments("# ", unit.note);
        out += poComments("#. ", unit.comment);
        if (unit.state == State::Outdated)
            out += "#, fuzzy\n";
        out += poField("msgctxt", unit.file + u'|' + unit.key);
        out += poField("msgid", LineEndings::toLf(unit.source));
        out += poField("msgstr", unit.state == State::Untranslated ? QString() : LineEndings::toLf(unit.target));
    }
    return out;
}

Import fromPo(const QByteArray &bytes, const QList<Unit> &units, int codePage)
{
    Taker taker(units, codePage);
    struct Entry {
        int line = 0;
        std::optional<QString> context, id, text;
        bool fuzzy = false;
    } entry;
    QString *field = nullptr;
    bool broken = false;   // the entry had a problem already
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
                taker.take(entry.line, entry.context->left(bar), entry.context->mid(bar + 1), *entry.text,
                           std::nullopt, entry.fuzzy);
            }
        }
        entry = {};
        field = nullptr;
        broken = false;
    };
    QString all = QString::fromUtf8(bytes);
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);
    const QStringList lines = all.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty()) {
            finish();
            continue;
        }
        if (line.startsWith(u'#')) {
            if (field)   // comments start the next entry
                finish();
            if (line.startsWith(u"#,")) {   // the flags: "#, fuzzy, c-format"
                for (const QString &flag : line.mid(2).split(u','))
                    entry.fuzzy = entry.fuzzy || flag.trimmed() == u"fuzzy";
            }
            continue;
        }
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
