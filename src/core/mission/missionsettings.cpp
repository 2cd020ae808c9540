#include "core/mission/missionsettings.h"

#include "core/document/codepages.h"
#include "core/document/safefile.h"
#include "core/save/fileoutput.h"
#include "core/save/inifile.h"

#include <QDir>
#include <QFileInfo>

#include <variant>

namespace MissionSettings {

namespace {

const QLatin1String Group("codepages");
const QLatin1String MissionKey("mission");
const QLatin1String SpellingGroup("spelling");
const QLatin1String LanguageKey("language");
const QLatin1String CheckGroup("check");

bool is(const QString &name, QLatin1String wanted)
{
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

// A list of an ini value: "a, b" or one item, blanks and empty items dropped.
QStringList listOf(const QStringList &items)
{
    QStringList list;
    for (const QString &item : items) {
        if (const QString trimmed = item.trimmed(); !trimmed.isEmpty())
            list.append(trimmed);
    }
    return list;
}

std::optional<int> codePageValue(const QString &value)
{
    bool ok = false;
    const int codePage = value.trimmed().toInt(&ok);
    if (!ok || !CodePages::isSupported(codePage))
        return std::nullopt;
    return codePage;
}

// The file's bytes; none when there is no file.
std::variant<QByteArray, Error> bytesOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QByteArray();
    return SafeFile::read(path, SafeFile::SettingsCap);
}

} // namespace

std::optional<int> Settings::codePageOf(const QString &language) const
{
    const auto found = languageCodePages.constFind(language.toLower());
    if (found != languageCodePages.cend())
        return *found;
    return missionCodePage;
}

QString pathIn(const QString &missionFolder)
{
    return QDir(missionFolder).filePath(FileName);
}

Settings read(const QString &missionFolder)
{
    Settings settings;
    const std::variant<QByteArray, Error> bytes = bytesOf(pathIn(missionFolder));
    if (!std::holds_alternative<QByteArray>(bytes))
        return settings;
    for (const IniFile::Value &value : IniFile::values(std::get<QByteArray>(bytes))) {
        if (is(value.group, SpellingGroup)) {
            if (is(value.key, LanguageKey))
                settings.spellingLanguage = value.value.trimmed().toLower();
            else
                settings.spellingLanguages.insert(value.key.toLower(), value.value.trimmed().toLower());
            continue;
        }
        if (is(value.group, CheckGroup)) {
            if (is(value.key, QLatin1String("source")))
                settings.sourceLanguage = value.value.trimmed().toLower();
            else if (is(value.key, QLatin1String("ignore")))
                settings.ignoredRules = listOf(value.items);
            else if (is(value.key, QLatin1String("ignore-paths")))
                settings.ignoredPaths = listOf(value.items);
            continue;
        }
        const std::optional<int> codePage = codePageValue(value.value);
        if (value.group.compare(Group, Qt::CaseInsensitive) != 0 || !codePage)
            continue;
        if (value.key.compare(MissionKey, Qt::CaseInsensitive) == 0)
            settings.missionCodePage = codePage;
        else
            settings.languageCodePages.insert(value.key.toLower(), *codePage);
    }
    return settings;
}

std::optional<Error> write(const QString &missionFolder, const Settings &settings)
{
    const QString path = pathIn(missionFolder);
    std::variant<QByteArray, Error> before = bytesOf(path);
    if (auto *failure = std::get_if<Error>(&before)) {
        failure->kind = Error::Kind::NotWritten;
        return std::move(*failure);
    }
    // The code pages in the order QSettings writes them, the mission's among the languages'.
    QMap<QString, QString> codePages;
    if (settings.missionCodePage)
        codePages.insert(MissionKey, QString::number(*settings.missionCodePage));
    for (auto it = settings.languageCodePages.cbegin(); it != settings.languageCodePages.cend(); ++it)
        codePages.insert(it.key(), QString::number(it.value()));
    QList<std::pair<QString, QString>> lines;
    for (auto it = codePages.cbegin(); it != codePages.cend(); ++it)
        lines.append({it.key(), it.value()});
    QByteArray bytes = IniFile::edited(std::get<QByteArray>(before), Group, [](const QString &) { return true; }, lines);
    QList<std::pair<QString, QString>> language;
    if (!settings.spellingLanguage.isEmpty())
        language.append({LanguageKey, settings.spellingLanguage});
    bytes = IniFile::edited(bytes, SpellingGroup,
                            [](const QString &key) { return key.compare(LanguageKey, Qt::CaseInsensitive) == 0; },
                            language);
    return FileOutput::writeFile(path, bytes, missionFolder);
}

} // namespace MissionSettings
