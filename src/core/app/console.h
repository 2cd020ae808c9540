#pragma once

#include <QString>

#include <cstdio>

// What the program prints on its command line (--check, --export, --import),
// which runs before any window exists.
namespace Console {

// The program is a GUI program on Windows, started without a console: its
// output reaches a redirected stdout through the handle it inherits, and
// otherwise the console of the Command Prompt it was started from, whose code
// page it sets to UTF-8 while it writes and gives back as it found it. Made
// for as long as the program prints; elsewhere it does nothing.
class Attached
{
public:
    Attached();
    ~Attached();
    Attached(const Attached &) = delete;
    Attached &operator=(const Attached &) = delete;

private:
    unsigned m_codePage = 0;   // the console's code page before, when it was changed
};

// `line` and a line end, in UTF-8.
void print(std::FILE *stream, const QString &line);

} // namespace Console
