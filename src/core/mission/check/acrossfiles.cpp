#include "core/mission/check/acrossfiles.h"

#include "core/kinds/missflag.h"
#include "core/mission/translation/memory.h"
#include "core/mission/translation/missiontranslation.h"
#include "core/mission/workspace.h"
#include "core/kinds/titles.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace MissionFolder::AcrossFiles {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

QString listed(QStringList names)
{
    if (names.size() < 2)
        return names.join(QString());
    const QString last = names.takeLast();
    return say("%1 and %2").arg(names.join(QLatin1String(", ")), last);
}

QString missionNumber(const QString &key, qsizetype prefix)
{
    const QString number = key.sliced(prefix).trimmed();
    bool ok = false;
    const int value = number.toInt(&ok);
    return ok ? QString::number(value) : number.toLower();
}

} // namespace

void compareTitlesAndFlags(Scan &scan)
{
    QList<int> flagFiles, titleFiles;
    for (qsizetype i = 0; i < scan.files.size(); ++i) {
        const File &file = scan.files.at(i);
        if (!file.failure && file.kind == Kinds::Kind::Missflag)
            flagFiles.append(static_cast<int>(i));
        if (!file.failure && file.kind == Kinds::Kind::Titles)
            titleFiles.append(static_cast<int>(i));
    }
    if (flagFiles.isEmpty() || titleFiles.isEmpty())
        return;
    // Missions by number: entry, for each file.
    const auto missions = [&](int index, const QList<int> &entries, qsizetype prefix) {
        QMap<QString, int> found;
        const StrDocument &document = scan.files.at(index).read.document;
        for (const int entry : entries)
            found.insert(missionNumber(document.key(entry), prefix), entry);
        return found;
    };
    QHash<int, QMap<QString, int>> byFile;
    QHash<int, QMap<QString, int>> present;   // a skip line gives its mission flags too
    for (const int index : flagFiles) {
        byFile.insert(index, missions(index, MissflagFile::missions(scan.files.at(index).read.document),
                                      MissflagFile::MissionPrefix.size()));
        present.insert(index, missions(index, MissflagFile::missionKeys(scan.files.at(index).read.document),
                                       MissflagFile::MissionPrefix.size()));
    }
    for (const int index : titleFiles) {
        byFile.insert(index, missions(index, TitlesFile::missions(scan.files.at(index).read.document),
                                      TitlesFile::TitlePrefix.size()));
        present.insert(index, byFile.value(index));
    }
    // The files of the other kind a file is compared with: those of its own
    // language if there are any, else those without a language, else all.
    const auto counterparts = [&](int index, const QList<int> &others) {
        for (const bool sameLanguage : {true, false}) {
            QList<int> chosen;
            for (const int other : others) {
                const QString &language = scan.files.at(other).language;
                if (sameLanguage ? language == scan.files.at(index).language : language.isEmpty())
                    chosen.append(other);
            }
            if (!chosen.isEmpty())
                return chosen;
        }
        return others;
    };
    const auto compare = [&](const QList<int> &files, const QList<int> &others, const char *message) {
        for (const int index : files) {
            const File &file = scan.files.at(index);
            const QList<int> compared = counterparts(index, others);
            for (auto mission = byFile[index].cbegin(); mission != byFile[index].cend(); ++mission) {
                QStringList lacking;
                for (const int other : compared) {
                    if (!present[other].contains(mission.key()))
                        lacking.append(scan.files.at(other).relativePath);
                }
                if (lacking.isEmpty())
                    continue;
                const int entry = mission.value();
                const qsizetype prefix = file.kind == Kinds::Kind::Missflag ? MissflagFile::MissionPrefix.size()
                                                                       : TitlesFile::TitlePrefix.size();
                scan.problems.append({file.kind == Kinds::Kind::Missflag ? "mission-without-title" : "mission-without-flags",
                                      file.relativePath, file.read.document.entries().at(entry).line,
                                      say(message).arg(file.read.document.key(entry).sliced(prefix).trimmed(),
                                                       listed(lacking)),
                                      Severity::Warning});
            }
        }
    };
    compare(flagFiles, titleFiles, QT_TRANSLATE_NOOP("MissionFolder", "Mission %1 has flags but no title in %2."));
    compare(titleFiles, flagFiles, QT_TRANSLATE_NOOP("MissionFolder", "Mission %1 has a title but no flags in %2."));
}


namespace {

// The keys of a file, lower case, each with the key as the file spells it:
// its entries', and those of lines the game does not read as entries for a
// fault the file's own check tells (`key: text` without quotes, an entry
// another one's text takes in), which are not missing for that too.
QHash<QString, QString> keysOf(const File &file)
{
    QHash<QString, QString> keys;
    const StrDocument &document = file.read.document;
    const QByteArray &bytes = document.bytes();
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && !line.first(colon).contains('"') && !line.startsWith("//")) {
            const QByteArrayView key = line.first(colon).trimmed();
            if (!key.contains(' ') && !key.contains('\t'))
                keys.insert(QString::fromLatin1(key).toLower(), QString::fromLatin1(key));
        }
        start = end + 1;
    }
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        keys.insert(QString(document.rawKey(entry)).toLower(), document.key(entry));
    }
    return keys;
}

// The languages of `files` that have `key`, sorted.
QString having(const Scan &scan, const QList<int> &files, const QHash<int, QHash<QString, QString>> &keys,
               const QString &key)
{
    QStringList languages;
    for (const int index : files) {
        if (keys.value(index).contains(key) && !languages.contains(scan.files.at(index).language))
            languages.append(scan.files.at(index).language);
    }
    languages.sort();
    return listed(languages);
}

} // namespace

void compareLanguages(Scan &scan, const QMap<int, qsizetype> &languageParts, const QString &source)
{
    QHash<QString, QString> spelling;   // language -> its folder's name as first found
    QMap<QString, QList<int>> sameFile;  // the path with its language folder left out -> files
    QStringList languages;               // those of the folders inside the one scanned
    for (auto it = languageParts.cbegin(); it != languageParts.cend(); ++it) {
        QStringList parts = scan.files.at(it.key()).relativePath.split(u'/');
        const QString &language = scan.files.at(it.key()).language;
        if (!spelling.contains(language)) {
            spelling.insert(language, parts.at(it.value()));
            languages.append(language);
        }
        parts[it.value()] = QStringLiteral("\x1F");
        sameFile[parts.join(u'/').toLower()].append(it.key());
    }
    languages.sort();
    const bool directed = languages.contains(source);
    for (QList<int> &files : sameFile) {
        std::sort(files.begin(), files.end());
        QStringList present;
        int sourceFile = -1;
        for (const int index : std::as_const(files)) {
            present.append(scan.files.at(index).language);
            if (scan.files.at(index).language == source)
                sourceFile = index;
        }
        present.sort();
        present.removeDuplicates();
        const File &model = scan.files.at(files.constFirst());
        for (const QString &language : std::as_const(languages)) {
            if (present.contains(language) || (directed && sourceFile < 0 && language != source))
                continue;   // a file no source has is told at the source alone
            QStringList parts = model.relativePath.split(u'/');
            parts[languageParts.value(files.constFirst())] = spelling.value(language, language);
            const bool atSource = directed && language == source;
            scan.problems.append({atSource ? "missing-in-source" : "missing-file", parts.join(u'/'), 0,
                                  say("Missing here, present in %1.").arg(listed(present)),
                                  atSource ? Severity::Note : Severity::Warning});
        }
        QHash<int, QHash<QString, QString>> keys;
        for (const int index : std::as_const(files)) {
            if (!scan.files.at(index).failure)
                keys.insert(index, keysOf(scan.files.at(index)));
        }
        if (directed) {
            if (sourceFile < 0 || !keys.contains(sourceFile))
                continue;
            const QHash<QString, QString> &original = keys[sourceFile];
            QStringList extra;   // keys only translations have, in file order of the first that has them
            for (const int index : std::as_const(files)) {
                if (index == sourceFile || !keys.contains(index))
                    continue;
                const File &file = scan.files.at(index);
                const StrDocument &document = scan.files.at(sourceFile).read.document;
                QSet<QString> told;
                for (qsizetype i = 0; i < document.entries().size(); ++i) {
                    const QString key = QString(document.rawKey(static_cast<int>(i))).toLower();
                    if (keys[index].contains(key) || told.contains(key))
                        continue;
                    told.insert(key);
                    scan.problems.append({"missing-in-translation", file.relativePath, 0,
                                          say("%1 is missing here, present in %2.")
                                              .arg(original.value(key), source),
                                          Severity::Warning});
                }
                const StrDocument &translated = file.read.document;
                for (qsizetype i = 0; i < translated.entries().size(); ++i) {
                    const QString key = QString(translated.rawKey(static_cast<int>(i))).toLower();
                    if (!original.contains(key) && !extra.contains(key))
                        extra.append(key);
                }
            }
            for (const QString &key : std::as_const(extra)) {
                QString spelt;
                for (const int index : std::as_const(files)) {
                    if (spelt.isEmpty())
                        spelt = keys.value(index).value(key);
                }
                scan.problems.append({"missing-in-source", scan.files.at(sourceFile).relativePath, 0,
                                      say("%1 is missing here, present in %2.").arg(spelt, having(scan, files, keys, key)),
                                      Severity::Note});
            }
            continue;
        }
        // No source language: whatever a file lacks that another language's has.
        for (const int index : std::as_const(files)) {
            if (!keys.contains(index))
                continue;
            QStringList reported;
            for (const int other : std::as_const(files)) {
                if (scan.files.at(other).failure)
                    continue;
                const StrDocument &document = scan.files.at(other).read.document;
                for (qsizetype i = 0; i < document.entries().size(); ++i) {
                    const QString key = QString(document.rawKey(static_cast<int>(i))).toLower();
                    if (keys[index].contains(key) || reported.contains(key))
                        continue;
                    reported.append(key);
                    scan.problems.append({"missing-in-translation", scan.files.at(index).relativePath, 0,
                                          say("%1 is missing here, present in %2.")
                                              .arg(document.key(static_cast<int>(i)), having(scan, files, keys, key)),
                                          Severity::Warning});
                }
            }
        }
    }
}

QList<Problem> termProblems(const Scan &scan)
{
    QList<Problem> problems;
    if (scan.root.isEmpty())
        return problems;
    const QString prefix = TermList::fileName(QStringLiteral("*"));
    const QDir root(scan.root);
    QHash<QString, const File *> byPath;
    for (const File &file : scan.files) {
        if (!file.failure)
            byPath.insert(file.identity, &file);
    }
    const QString &source = scan.sourceLanguage;
    for (const QString &listName : root.entryList({prefix}, QDir::Files, QDir::Name)) {
        const qsizetype star = prefix.indexOf(u'*');
        const QString target = listName.sliced(star, listName.size() - prefix.size() + 1);
        if (!MissionTranslation::isLanguageName(target) || target.compare(source, Qt::CaseInsensitive) == 0)
            continue;
        QString problem;
        const TermList::Terms terms = TermList::load(root.filePath(listName), &problem);
        if (!problem.isEmpty()) {
            problems.append({"unreadable-list", listName, 0, problem, Severity::Warning});
            continue;
        }
        if (terms.isEmpty())
            continue;
        for (const MissionTranslation::FilePair &pair : MissionTranslation::pairLanguages(scan, source, target)) {
            const File *from = byPath.value(MissionWorkspace::identity(pair.sourcePath));
            const File *into = pair.targetExists ? byPath.value(MissionWorkspace::identity(pair.targetPath)) : nullptr;
            if (!from || !into)
                continue;
            const StrDocument &original = from->read.document;
            const StrDocument &translated = into->read.document;
            QHash<QString, int> targetEntries;   // key in lower case -> entry
            for (int entry = 0; entry < translated.entries().size(); ++entry)
                targetEntries.insert(translated.key(entry).toLower(), entry);
            QList<TranslationMemory::Unit> units;
            QList<int> sourceEntries;   // of each unit
            for (int entry = 0; entry < original.entries().size(); ++entry) {
                const int other = targetEntries.value(original.key(entry).toLower(), -1);
                if (other >= 0 && !translated.text(other).isEmpty() && translated.text(other) != original.text(entry)) {
                    units.append({pair.name, original.key(entry), original.text(entry), translated.text(other)});
                    sourceEntries.append(entry);
                }
            }
            // At the term in the source, where the author sees what was to be rendered.
            for (const TermList::Finding &finding : TermList::check(terms, units)) {
                const int entry = sourceEntries.at(finding.unit);
                const StrDocument::Entry &at = original.entries().at(entry);
                const std::optional<TermList::Place> place = TermList::placeOf(original, entry, finding.term);
                problems.append({"term-left-out", from->relativePath,
                                 place ? place->line : original.lineOf(entry, at.textStart),
                                 say("The translation of %1 in %2 leaves out \"%3\", the term list's rendering of \"%4\".")
                                     .arg(finding.key, into->relativePath, finding.expected, finding.term),
                                 Severity::Warning, place ? place->column : original.columnOf(at.textStart)});
            }
        }
    }
    return problems;
}

} // namespace MissionFolder::AcrossFiles
