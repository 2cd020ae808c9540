#include "core/mission/translation/personalmemory.h"

#include "core/document/safefile.h"
#include "core/save/fileoutput.h"
#include "core/app/version.h"

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
    if (const QFileInfo info(path); !info.exists() && !info.isSymLink())
        return {};
    const std::variant<QByteArray, Error> read = SafeFile::read(path, SafeFile::MemoryCap);
    if (const auto *refused = std::get_if<Error>(&read)) {
        if (problem)
            *problem = refused->message;
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

QList<Unit> merged(QList<Unit> kept, const QString &mission, const QList<TranslationMemory::Unit> &translated)
{
    const auto identity = [](const Unit &unit) {
        return unit.mission + u'\n' + unit.file + u'\n' + unit.key.toCaseFolded();
    };
    QHash<QString, qsizetype> at;
    for (qsizetype i = 0; i < kept.size(); ++i)
        at.insert(identity(kept.at(i)), i);
    for (const TranslationMemory::Unit &unit : translated) {
        if (unit.source.isEmpty() || unit.target.isEmpty())
            continue;
        const Unit fresh{mission, unit.file, unit.key, unit.source, unit.target};
        const QString id = identity(fresh);
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

} // namespace PersonalMemory
