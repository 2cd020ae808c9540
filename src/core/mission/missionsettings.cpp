#include "core/mission/missionsettings.h"

#include "core/document/codepages.h"
#include "core/save/fileoutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace MissionSettings {

namespace {

const QLatin1String Group("codepages");
const QLatin1String MissionKey("mission");
const QLatin1String LanguageKey("spelling/language");
const QLatin1String SpellingGroup("spelling");
const QLatin1String CheckGroup("check");

// A list of an ini value: "a, b" (which QSettings reads as a list) or one item.
QStringList listOf(const QVariant &value)
{
    QStringList items;
    for (const QString &item : value.toStringList().join(u',').split(u',')) {
        if (const QString trimmed = item.trimmed(); !trimmed.isEmpty())
            items.append(trimmed);
    }
    return items;
}

std::optional<int> codePageValue(const QVariant &value)
{
    bool ok = false;
    const int codePage = value.toString().trimmed().toInt(&ok);
    if (!ok || !CodePages::isSupported(codePage))
        return std::nullopt;
    return codePage;
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
    const QString path = pathIn(missionFolder);
    if (!QFileInfo(path).isFile())
        return settings;
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(Group);
    for (const QString &key : file.childKeys()) {
        const std::optional<int> codePage = codePageValue(file.value(key));
        if (!codePage)
            continue;
        if (key.compare(MissionKey, Qt::CaseInsensitive) == 0)
            settings.missionCodePage = codePage;
        else
            settings.languageCodePages.insert(key.toLower(), *codePage);
    }
    file.endGroup();
    settings.spellingLanguage = file.value(LanguageKey).toString().trimmed().toLower();
    file.beginGroup(SpellingGroup);
    for (const QString &key : file.childKeys()) {
        if (key.compare(QLatin1String("language"), Qt::CaseInsensitive) != 0)
            settings.spellingLanguages.insert(key.toLower(), file.value(key).toString().trimmed().toLower());
    }
    file.endGroup();
    file.beginGroup(CheckGroup);
    settings.sourceLanguage = file.value(QLatin1String("source")).toString().trimmed().toLower();
    settings.ignoredRules = listOf(file.value(QLatin1String("ignore")));
    settings.ignoredPaths = listOf(file.value(QLatin1String("ignore-paths")));
    file.endGroup();
    return settings;
}

bool write(const QString &missionFolder, const Settings &settings, Error *error)
{
    // QSettings writes the ini text (keeping whatever else the file holds)
    // into a copy in a folder of its own; the copy's bytes then replace the
    // file whole.
    const QString path = pathIn(missionFolder);
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        if (error)
            *error = {Error::Kind::NotWritten, scratch.errorString(), path, {}};
        return false;
    }
    const QString copy = scratch.filePath(FileName);
    if (QFileInfo(path).isFile() && !QFile::copy(path, copy)) {
        if (error)
            *error = {Error::Kind::NotWritten, QFile(path).errorString(), path, {}};
        return false;
    }
    {
        QSettings file(copy, QSettings::IniFormat);
        file.remove(Group);
        file.beginGroup(Group);
        if (settings.missionCodePage)
            file.setValue(MissionKey, *settings.missionCodePage);
        for (auto it = settings.languageCodePages.cbegin(); it != settings.languageCodePages.cend(); ++it)
            file.setValue(it.key(), it.value());
        file.endGroup();
        if (settings.spellingLanguage.isEmpty())
            file.remove(LanguageKey);
        else
            file.setValue(LanguageKey, settings.spellingLanguage);
        file.sync();
        if (file.status() != QSettings::NoError) {
            if (error)
                *error = {Error::Kind::NotWritten, QStringLiteral("QSettings could not write %1").arg(copy), path, {}};
            return false;
        }
    }
    QFile written(copy);
    if (!written.open(QIODevice::ReadOnly)) {
        if (error)
            *error = {Error::Kind::NotWritten, written.errorString(), path, {}};
        return false;
    }
    const std::optional<Error> result = FileOutput::writeFile(path, written.readAll());
    if (result && error)
        *error = *result;
    return !result;
}

} // namespace MissionSettings
