// XLIFF 1.2 out and back (see exchange.h).
#include "core/mission/translation/exchange.h"

#include "core/document/lineendings.h"
#include "core/mission/translation/exchangetaker.h"
#include "core/mission/translation/xmltext.h"

#include <QCoreApplication>
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
        return QStringLiteral("needs-translation");
    case State::Outdated:
    case State::NeedsReview:
        return QStringLiteral("needs-review-translation");
    case State::Suspicious:
    case State::Identical:
    case State::Done:
        break;
    }
    return QStringLiteral("translated");
}

// The inline elements whose content is text (XLIFF 1.2's, and TMX's <hi>-like <mrk>).
const QStringList TextElements = {QStringLiteral("g"), QStringLiteral("ph"), QStringLiteral("bpt"),
                                  QStringLiteral("ept"), QStringLiteral("it"), QStringLiteral("mrk"),
                                  QStringLiteral("sub")};

void writeNote(QXmlStreamWriter &xml, const QString &from, const QString &text)
{
    if (text.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("note"));
    xml.writeAttribute(QStringLiteral("from"), from);
    xml.writeCharacters(LineEndings::toLf(text));
    xml.writeEndElement();
}

} // namespace

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
        const bool translated = unit.state != State::Untranslated;
        const bool waiting = unit.state == State::Outdated || unit.state == State::NeedsReview;
        xml.writeStartElement(QStringLiteral("trans-unit"));
        xml.writeAttribute(QStringLiteral("id"), unit.key);
        xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        if (translated)
            xml.writeAttribute(QStringLiteral("approved"), waiting ? QStringLiteral("no") : QStringLiteral("yes"));
        xml.writeTextElement(QStringLiteral("source"), LineEndings::toLf(unit.source));
        xml.writeStartElement(QStringLiteral("target"));
        xml.writeAttribute(QStringLiteral("state"), xliffState(unit));
        xml.writeCharacters(translated ? LineEndings::toLf(unit.target) : QString());
        xml.writeEndElement();
        if (unit.line > 0) {
            xml.writeStartElement(QStringLiteral("context-group"));
            xml.writeAttribute(QStringLiteral("purpose"), QStringLiteral("location"));
            for (const auto &[type, text] : {std::pair{QStringLiteral("sourcefile"), unit.file},
                                             std::pair{QStringLiteral("linenumber"), QString::number(unit.line)}}) {
                xml.writeStartElement(QStringLiteral("context"));
                xml.writeAttribute(QStringLiteral("context-type"), type);
                xml.writeCharacters(text);
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        writeNote(xml, QStringLiteral("developer"), unit.fileComment);
        writeNote(xml, QStringLiteral("developer"), unit.comment);
        writeNote(xml, QStringLiteral("translator"), unit.note);
        if (unit.state == State::Outdated && !unit.oldSource.isEmpty()) {
            xml.writeStartElement(QStringLiteral("alt-trans"));
            xml.writeAttribute(QStringLiteral("alttranstype"), QStringLiteral("previous-version"));
            xml.writeTextElement(QStringLiteral("source"), LineEndings::toLf(unit.oldSource));
            xml.writeTextElement(QStringLiteral("target"), LineEndings::toLf(unit.target));
            xml.writeEndElement();
        }
        xml.writeEndElement();   // trans-unit
    }
    xml.writeEndDocument();
    return bytes;
}

Import fromXliff(const QByteArray &bytes, const QList<Unit> &units, int codePage)
{
    Taking::Taker taker(units, codePage);
    QXmlStreamReader xml(bytes);
    QString file;
    bool sawRoot = false;
    const auto text = [&](Taking::Entry &entry) {
        const XmlText::Read read = XmlText::read(xml, TextElements);
        if (!read.refusal.isEmpty())
            taker.problem(static_cast<int>(xml.lineNumber()), entry.file, entry.key, read.refusal);
        return read.text;
    };
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
            Taking::Entry entry;
            entry.line = line;
            entry.file = file;
            entry.key = xml.attributes().value(QLatin1String("id")).toString();
            const QString approved = xml.attributes().value(QLatin1String("approved")).toString();
            std::optional<QString> target;
            QString state;
            QStringList notes;
            while (xml.readNextStartElement()) {   // up to the unit's end
                if (xml.name() == u"source") {
                    entry.source = text(entry);
                } else if (xml.name() == u"target") {
                    state = xml.attributes().value(QLatin1String("state")).toString();
                    target = text(entry);
                } else if (xml.name() == u"note") {
                    const bool developer = xml.attributes().value(QLatin1String("from")) == u"developer";
                    const QString note = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    if (!developer)
                        notes.append(note);
                } else if (xml.name() == u"alt-trans"
                           && xml.attributes().value(QLatin1String("alttranstype")) == u"previous-version") {
                    while (xml.readNextStartElement()) {
                        if (xml.name() == u"source")
                            entry.previous = text(entry);
                        else
                            xml.skipCurrentElement();
                    }
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (xml.hasError())
                break;
            if (entry.key.isEmpty()) {
                taker.problem(line, file, {}, say("A <trans-unit> without id=\"...\"."));
                continue;
            }
            if (!target)
                continue;
            entry.text = *target;
            entry.review = approved == u"no"
                || (approved != u"yes" && (state == u"new" || state.startsWith(QLatin1String("needs-"))));
            if (state == u"final" || state == u"signed-off" || (approved == u"yes" && state.isEmpty()))
                entry.done = true;
            else if (state == u"translated")
                entry.done = false;
            if (!notes.isEmpty())
                entry.note = notes.join(u'\n');
            taker.take(entry);
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

} // namespace Exchange
