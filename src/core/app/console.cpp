#include "core/app/console.h"

#include <QByteArray>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace Console {

Attached::Attached()
{
#ifdef Q_OS_WIN
    const HANDLE inherited = GetStdHandle(STD_OUTPUT_HANDLE);
    if (inherited != nullptr && inherited != INVALID_HANDLE_VALUE && GetFileType(inherited) != FILE_TYPE_UNKNOWN)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS) && std::freopen("CONOUT$", "w", stdout)) {
        (void)std::freopen("CONOUT$", "w", stderr);
        m_codePage = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
    }
#endif
}

Attached::~Attached()
{
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef Q_OS_WIN
    if (m_codePage != 0)
        SetConsoleOutputCP(m_codePage);
#endif
}

void print(std::FILE *stream, const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

} // namespace Console
