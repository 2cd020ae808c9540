#pragma once

#include "core/document/error.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// What a mission keeps about itself in its own folder, for everyone who
// works on it (a team shares it with the mission's files): the file
// `quillwright.ini`,
//
//   [codepages]
//   mission=1250        every file of the mission, unless its language has one
//   english=1250        the files of the language folders of that name
//
//   [spelling]
//   language=polish     the language of the files in no language folder
//   english=polish      the language the files of a language folder are spelled in
//
//   [check]
//   source=english      the language the others are translated from (english by default)
//   ignore=stray-line, key-case        rules the check leaves out, in the whole mission
//   ignore-paths=books/old/**, *.bak.str   files and folders it leaves out
//
// with the Windows code pages by number (CodePages::all()). A value that is
// no such code page, and anything else in the file, is left alone. The file
// is read and written by Qt's INI rules (IniFile), groups and keys in any case.
namespace MissionSettings {

inline constexpr QLatin1String FileName("quillwright.ini");

struct Settings {
    std::optional<int> missionCodePage;
    QMap<QString, int> languageCodePages;   // language folder, lower case -> code page
    QString spellingLanguage;               // lower case; "" when the file names none
    QMap<QString, QString> spellingLanguages;   // language folder, lower case -> the language its texts are in
    QString sourceLanguage;                 // [check] source, lower case; "" when the file names none
    QStringList ignoredRules;               // [check] ignore
    QStringList ignoredPaths;               // [check] ignore-paths: globs relative to the mission folder

    // The language the others are translated from: sourceLanguage, else "english".
    QString source() const { return sourceLanguage.isEmpty() ? QStringLiteral("english") : sourceLanguage; }

    // The code page the settings give the files of `language` ("" for those
    // in no language folder), if any.
    std::optional<int> codePageOf(const QString &language) const;
    bool operator==(const Settings &) const = default;
};

QString pathIn(const QString &missionFolder);

// The settings of the mission in `missionFolder`; none when it has no file,
// or one that SafeFile does not read (no ordinary file, larger than its cap).
Settings read(const QString &missionFolder);

// Writes them (whole or not at all, keeping every other line of the file as
// it stands), through a link only to a place inside the mission's folder;
// nothing when written, else why not (a file there that cannot be read is
// not written over).
std::optional<Error> write(const QString &missionFolder, const Settings &settings);

} // namespace MissionSettings
