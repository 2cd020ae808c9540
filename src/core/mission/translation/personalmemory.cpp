#include "core/mission/translation/personalmemory.h"

#include "core/app/version.h"
#include "core/document/safefile.h"
#include "core/mission/translation/xmltext.h"
#include "core/save/fileoutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <tuple>

namespace PersonalMemory {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("PersonalMemory", text);
}

bool before(const Unit &a, const Unit &b)
{
    return std::tie(a.mission, a.file, a.key) < std::tie(b.mission, b.file, b.key);
}

QString withLf(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

namespace {

QString &chosenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

void setFolder(const QString &folder)
{
    chosenFolder() = folder;
}

QString pathOf(const QString &sourceLanguage, const QString &targetLanguage)
{
    const QString folder = chosenFolder().isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/translation-memory")
        : chosenFolder();
    return folder + QStringLiteral("/%1-%2.json").arg(sourceLanguage.toLower(), targetLanguage.toLower());
}

QList<Unit> parse(const QByteArray &json, QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject() || document.object().value(QLatin1String("format")).toInt() != 1) {
        if (problem)
            *problem = document.isNull() ? error.errorString() : say("It is no translation memory of format 1.");
        return {};
    }
    QList<Unit> units;
    for (const QJsonValue &value : document.object().value(QLatin1String("units")).toArray()) {
        const QJsonObject unit = value.toObject();
        Unit read{unit.value(QLatin1String("mission")).toString(), unit.value(QLatin1String("file")).toString(),
                  unit.value(QLatin1String("key")).toString(), unit.value(QLatin1String("source")).toString(),
                  unit.value(QLatin1String("target")).toString()};
        if (!read.key.isEmpty() && !read.source.isEmpty() && !read.target.isEmpty())
            units.append(read);
    }
    return units;
}

QList<Unit> load(const QString &path, QString *problem)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    auto read = SafeFile::read(path, SafeFile::MemoryCap);
    if (const auto *failure = std::get_if<Error>(&read)) {
        if (problem)
            *problem = failure->message;
        return {};
    }
    return parse(std::get<QByteArray>(read), problem);
}

QByteArray toJson(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage)
{
    QJsonArray list;
    for (const Unit &unit : units) {
        list.append(QJsonObject{{QStringLiteral("mission"), unit.mission},
                                {QStringLiteral("file"), unit.file},
                                {QStringLiteral("key"), unit.key},
                                {QStringLiteral("source"), unit.source},
                                {QStringLiteral("target"), unit.target}});
    }
    const QJsonObject root{{QStringLiteral("format"), 1},
                           {QStringLiteral("source"), sourceLanguage},
                           {QStringLiteral("target"), targetLanguage},
                           {QStringLiteral("units"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Error> save(const QString &path, const QList<Unit> &units, const QString &sourceLanguage,
                          const QString &targetLanguage)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Error{Error::Kind::NotWritten, say("Its folder could not be made."), path, {}};
    return FileOutput::writeFile(path, toJson(units, sourceLanguage, targetLanguage));
}

QList<Unit> merged(QList<Unit> kept, const QString &mission, const QList<TranslationMemory::Unit> &confirmed,
                   const QList<TranslationMemory::Unit> &current)
{
    const auto identity = [](const QString &whose, const QString &file, const QString &key) {
        return whose + u'\n' + file + u'\n' + key.toCaseFolded();
    };
    QHash<QString, QString> today;   // identity -> today's source
    for (const TranslationMemory::Unit &unit : current)
        today.insert(identity(mission, unit.file, unit.key), unit.source);
    kept.removeIf([&](const Unit &unit) {
        const auto source = today.constFind(identity(unit.mission, unit.file, unit.key));
        return source != today.cend() && *source != unit.source;
    });
    QHash<QString, qsizetype> at;
    for (qsizetype i = 0; i < kept.size(); ++i)
        at.insert(identity(kept.at(i).mission, kept.at(i).file, kept.at(i).key), i);
    for (const TranslationMemory::Unit &unit : confirmed) {
        if (unit.source.isEmpty() || unit.target.isEmpty() || unit.source == unit.target)
            continue;
        const Unit fresh{mission, unit.file, unit.key, unit.source, unit.target};
        const QString id = identity(mission, unit.file, unit.key);
        if (const auto found = at.constFind(id); found != at.cend()) {
            kept[*found] = fresh;
        } else {
            at.insert(id, kept.size());
            kept.append(fresh);
        }
    }
    std::stable_sort(kept.begin(), kept.end(), before);
    return kept;
}

QList<TranslationMemory::Unit> memoryUnits(const QList<Unit> &units)
{
    QList<TranslationMemory::Unit> result;
    result.reserve(units.size());
    for (const Unit &unit : units)
        result.append({unit.mission + u'/' + unit.file, unit.key, unit.source, unit.target});
    return result;
}

QString languageTag(const QString &language)
{
    for (int value = QLocale::AnyLanguage + 1; value <= QLocale::LastLanguage; ++value) {
        const auto known = static_cast<QLocale::Language>(value);
        if (QLocale::languageToString(known).compare(language, Qt::CaseInsensitive) == 0)
            return QLocale::languageToCode(known);
    }
    static const QRegularExpression subtag(QStringLiteral("^[A-Za-z0-9]{1,8}$"));
    QString name = language;
    name.replace(u'_', u'-');
    const QStringList parts = name.split(u'-');
    const bool fits = std::all_of(parts.cbegin(), parts.cend(),
                                  [](const QString &part) { return subtag.match(part).hasMatch(); });
    return QStringLiteral("x-") + (fits ? name.toLower() : QStringLiteral("unknown"));
}

QByteArray toTmx(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage)
{
    const QString sourceTag = languageTag(sourceLanguage);
    const QString targetTag = languageTag(targetLanguage);
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("tmx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.4"));
    xml.writeEmptyElement(QStringLiteral("header"));
    xml.writeAttribute(QStringLiteral("creationtool"), QStringLiteral("Quillwright"));
    xml.writeAttribute(QStringLiteral("creationtoolversion"), Version::buildVersion());
    xml.writeAttribute(QStringLiteral("segtype"), QStringLiteral("block"));
    xml.writeAttribute(QStringLiteral("o-tmf"), QStringLiteral("Quillwright"));
    xml.writeAttribute(QStringLiteral("adminlang"), QStringLiteral("en"));
    xml.writeAttribute(QStringLiteral("srclang"), sourceTag);
    xml.writeAttribute(QStringLiteral("datatype"), QStringLiteral("plaintext"));
    xml.writeStartElement(QStringLiteral("body"));
    for (const Unit &unit : units) {
        xml.writeStartElement(QStringLiteral("tu"));
        xml.writeAttribute(QStringLiteral("tuid"), unit.mission + u'/' + unit.file + u'/' + unit.key);
        for (const auto &[tag, text] : {std::pair{sourceTag, unit.source}, std::pair{targetTag, unit.target}}) {
            xml.writeStartElement(QStringLiteral("tuv"));
            xml.writeAttribute(QStringLiteral("xml:lang"), tag);
            xml.writeTextElement(QStringLiteral("seg"), withLf(text));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

namespace {

// The first subtag of a language tag, folded: "pl-PL" -> "pl".
QString primaryTag(QStringView tag)
{
    const qsizetype dash = tag.indexOf(u'-') >= 0 ? tag.indexOf(u'-') : tag.indexOf(u'_');
    return (dash < 0 ? tag : tag.first(dash)).toString().toCaseFolded();
}

} // namespace

Taken fromTmx(const QByteArray &bytes, const QString &sourceLanguage, const QString &targetLanguage,
              const QString &origin)
{
    static const QStringList TextElements = {QStringLiteral("bpt"), QStringLiteral("ept"), QStringLiteral("it"),
                                             QStringLiteral("ph"), QStringLiteral("hi"), QStringLiteral("ut"),
                                             QStringLiteral("sub")};
    const QString from = primaryTag(languageTag(sourceLanguage));
    const QString into = primaryTag(languageTag(targetLanguage));
    Taken taken;
    QXmlStreamReader xml(bytes);
    bool sawRoot = false;
    int number = 0;
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!sawRoot) {
            sawRoot = true;
            if (xml.name() != u"tmx") {
                taken.problems.append(say("line %1: this is no TMX file.").arg(xml.lineNumber()));
                break;
            }
            continue;
        }
        if (xml.name() != u"tu")
            continue;
        ++number;
        const QString id = xml.attributes().value(QLatin1String("tuid")).toString();
        QString source, target;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"tuv") {
                xml.skipCurrentElement();
                continue;
            }
            QString language = xml.attributes().value(QLatin1String("xml:lang")).toString();
            if (language.isEmpty())
                language = xml.attributes().value(QLatin1String("lang")).toString();
            const QString tag = primaryTag(language);
            while (xml.readNextStartElement()) {
                if (xml.name() != u"seg") {
                    xml.skipCurrentElement();
                    continue;
                }
                const XmlText::Read seg = XmlText::read(xml, TextElements);
                if (!seg.refusal.isEmpty())
                    taken.problems.append(seg.refusal);
                else if (tag == from && source.isEmpty())
                    source = seg.text;
                else if (tag == into && target.isEmpty())
                    target = seg.text;
            }
        }
        if (source.trimmed().isEmpty() || target.trimmed().isEmpty()) {
            ++taken.skipped;
            continue;
        }
        const auto crLf = [](QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\n', QLatin1String("\r\n")); };
        taken.units.append({origin, QString(), id.isEmpty() ? QString::number(number) : id, crLf(source), crLf(target)});
    }
    if (xml.hasError())
        taken.problems.append(say("line %1: the file is not well-formed: %2").arg(xml.lineNumber()).arg(xml.errorString()));
    else if (!sawRoot)
        taken.problems.append(say("this is no TMX file."));
    if (!taken.problems.isEmpty())
        taken.units.clear();
    return taken;
}

} // namespace PersonalMemory
