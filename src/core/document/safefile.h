#pragma once

#include "core/document/error.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

// The one way the program opens a file to read it, and the one rule for where
// it may write a file it names itself.
//
// Reading: only an ordinary file is read. The file is opened without waiting
// (a pipe put in a file's place would otherwise wait for a writer for ever),
// and what was opened must be an ordinary file (not a pipe, a device, a
// folder or a socket); no more than `cap` bytes are read, checked before
// reading and again while reading, in case the file grows meanwhile. Every
// failure is an Error of kind NotRead, its message complete as the author
// reads it.
//
// Writing: a file the program names itself inside a mission (its settings,
// the translation record, a word list, a new translation) is written where
// a symbolic link on its path leads only when that place is inside the
// mission too; a link that leads out of it is refused.
namespace SafeFile {

// How much each kind of file the program reads may hold. A file larger than
// its cap is not read (the README lists them).
inline constexpr qint64 MiB = 1024 * 1024;
inline constexpr qint64 StrFileCap = 16 * MiB;          // a .str file of a mission
inline constexpr qint64 SettingsCap = 1 * MiB;          // quillwright.ini of a mission
inline constexpr qint64 WordListCap = 8 * MiB;          // a mission's word list (dictionary-<language>.txt)
inline constexpr qint64 TermListCap = 8 * MiB;          // a mission's term list
inline constexpr qint64 RecordCap = 64 * MiB;           // a translation record
inline constexpr qint64 MemoryCap = 128 * MiB;          // a translator's memory (TMX)
inline constexpr qint64 ExchangeCap = 64 * MiB;         // a PO, XLIFF or TMX file handed back
inline constexpr qint64 DraftCap = 256 * MiB;           // a draft kept against a crash
inline constexpr qint64 DictionaryCap = 64 * MiB;       // a Hunspell .aff or .dic file
inline constexpr qint64 BaselineCap = 64 * MiB;         // a check's baseline

// The bytes of the file at `path`, at most `cap` of them; or why not.
std::variant<QByteArray, Error> read(const QString &path, qint64 cap);
// The first `length` bytes of it (all of a shorter file), under the same
// rules: for a look at the head of a large file.
std::variant<QByteArray, Error> readStart(const QString &path, qint64 cap, qint64 length);
// Why the file at `path` would not be read, or nothing: for a file a library
// opens itself (a Hunspell dictionary), checked first.
std::optional<Error> readable(const QString &path, qint64 cap);

// The path to write for `path`, a file the program names inside `root` (the
// mission's folder): `path` itself when no symbolic link stands on the way,
// else where the links lead, when that is inside `root` too (so the link
// stays a link). An Error of kind Refused when a link leads out of `root`.
// Without a root, `path` as it is.
std::variant<QString, Error> writablePath(const QString &path, const QString &root);

// `path` shortened for a message, in the platform's separators.
QString shown(const QString &path);

// How the file system compares names: without case on Windows.
Qt::CaseSensitivity pathCase();

} // namespace SafeFile
