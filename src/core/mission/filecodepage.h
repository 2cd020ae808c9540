#pragma once

#include <QString>

// The code page a .str file opened on its own (File › Open, the command
// line, a file dropped on the window) is read in, told as a mission's files'
// are: the code page its mission's settings file (quillwright.ini in the
// nearest folder above it that has one) gives its language folder or the
// mission; else the one its texts read best in (CodePageDetect), the code
// page its language folder's name gives winning when it reads them as well;
// else that name's code page, or `fallback` in no language folder.
namespace FileCodePage {

int of(const QString &path, int fallback);

} // namespace FileCodePage
