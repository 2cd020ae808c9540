#include "core/mission/translation/missiontranslation.h"

#include <QDir>
#include <QHash>

#include <algorithm>

namespace MissionTranslation {

namespace {

// The index of the path part that is the file's language folder (the last
// one so named); -1 when none.
qsizetype languagePart(const QStringList &parts, const QString &language)
{
    for (qsizetype i = parts.size() - 2; i >= 0; --i) {
        if (parts.at(i).compare(language, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

bool isLanguageName(const QString &name)
{
    return !name.isEmpty() && std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'-' || c == u'_';
    });
}

QList<FilePair> pairLanguages(const MissionFolder::Scan &scan, const QString &source, const QString &target)
{
    const QString from = source.toLower();
    const QString to = target.toLower();
    QHash<QString, int> targets;   // the path with its language folder left out, lower case -> file
    QString spelling;              // the target's folder as the mission spells it
    for (qsizetype i = 0; i < scan.files.size(); ++i) {
        const MissionFolder::File &file = scan.files.at(i);
        if (file.language != to)
            continue;
        QStringList parts = file.relativePath.split(u'/');
        const qsizetype at = languagePart(parts, to);
        if (at < 0)
            continue;
        if (spelling.isEmpty())
            spelling = parts.at(at);
        parts[at] = QString();
        targets.insert(parts.join(u'/').toLower(), static_cast<int>(i));
    }
    if (spelling.isEmpty())
        spelling = target.trimmed();
    if (!scan.languages.contains(to) && !isLanguageName(spelling))
        return {};   // a new folder is made only by a language's name, never by a path

    QList<FilePair> pairs;
    for (const MissionFolder::File &file : scan.files) {
        if (file.language != from)
            continue;
        QStringList parts = file.relativePath.split(u'/');
        const qsizetype at = languagePart(parts, from);
        if (at < 0)
            continue;
        FilePair pair{file.relativePath, file.path, file.codePage, {}, false};
        QStringList key = parts;
        key[at] = QString();
        if (const auto found = targets.constFind(key.join(u'/').toLower()); found != targets.cend()) {
            pair.targetPath = scan.files.at(found.value()).path;
            pair.targetExists = true;
        } else {
            parts[at] = spelling;
            pair.targetPath = QDir(scan.root).filePath(parts.join(u'/'));
        }
        pairs.append(pair);
    }
    return pairs;
}

QList<FilePair> pairFolders(const MissionFolder::Scan &source, const MissionFolder::Scan &target)
{
    QHash<QString, int> targets;
    for (qsizetype i = 0; i < target.files.size(); ++i)
        targets.insert(target.files.at(i).relativePath.toLower(), static_cast<int>(i));
    QList<FilePair> pairs;
    for (const MissionFolder::File &file : source.files) {
        FilePair pair{file.relativePath, file.path, file.codePage, {}, false};
        if (const auto found = targets.constFind(file.relativePath.toLower()); found != targets.cend()) {
            pair.targetPath = target.files.at(found.value()).path;
            pair.targetExists = true;
        } else {
            pair.targetPath = QDir(target.root).filePath(file.relativePath);
        }
        pairs.append(pair);
    }
    return pairs;
}

int codePageOf(const QString &language, int fallback)
{
    return MissionFolder::codePageOfLanguage(language.trimmed(), fallback);
}

} // namespace MissionTranslation
