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
// no such code page, and anything else in the file, is left alone.
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

// The settings of the mission in `missionFolder`; none when it has no file.
Settings read(const QString &missionFolder);

// Writes them (whole or not at all, keeping the file's other groups and
// keys); false with the system's reason in `error` when it fails.
bool write(const QString &missionFolder, const Settings &settings, Error *error = nullptr);

} // namespace MissionSettings
