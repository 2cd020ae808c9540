#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The translation of a mission handed to a translation platform and taken
// back, from the command line, without a window or a display:
//
//   quillwright --export po|xliff|tmx --from english --to polish [--output FILE] MISSION
//   quillwright --import FILE --from english --to polish MISSION
//
// --export writes what the translation window's Exchange menu writes (TMX:
// the translator's own memory of the two languages with the mission's
// confirmed translations); by default <MISSION>/<mission>-<target>.<po|xlf|tmx>.
// --import lays a PO or XLIFF file into the target language's files as the
// window's import does, all or nothing, and saves them and the translation
// record through the checks of the save (a TMX file goes into the
// translator's memory). Each problem is printed on the error output as
// "FILE:line: error: message" (without the line when none is known), and
// then nothing is written.
namespace TranslationCommand {

// Whether the arguments ask for --export or --import.
bool requested(int argc, char *argv[]);

// Runs it: 0 when the file or files were written (or there was nothing to
// change), 2 when anything was refused. `out` and `error` each print one line.
int run(const QStringList &arguments, const std::function<void(const QString &)> &out,
        const std::function<void(const QString &)> &error);

} // namespace TranslationCommand
