// Qt's regular expressions without PCRE2's JIT in the Windows build.
//
// With the JIT, each thread that matches an expression touches a JIT stack
// kept in a thread_local that has a destructor. When such a thread ends, the
// MinGW-w64 runtime's emulated TLS frees that storage before libstdc++ runs
// the thread's destructors, so the destructor works on freed memory: under
// Wine a window that had read a mission folder (on a thread that matches
// expressions) saw that thread fault in pcre2_jit_stack_free_16 and die
// holding a winpthreads lock, and the program's exit then waited for ever.
// Without the JIT, matching never touches that thread_local.
//
// Qt reads QT_ENABLE_REGEXP_JIT once, when it compiles its first expression,
// so it is set here before main() runs, on every Windows machine, whatever it
// was. The Linux build keeps the JIT.
//
// Not a static initializer in qw_core's archive: the linker takes an object
// file out of a static library only when something refers to it, and nothing
// refers to this one. qw_core lists this file among its INTERFACE sources
// (src/core/CMakeLists.txt), so it is compiled into every program that links
// qw_core -- the application and each test alike -- and runs in each.
#include <QByteArray>

namespace {

#ifdef Q_OS_WIN
[[maybe_unused]] const bool regexJitOff = qputenv("QT_ENABLE_REGEXP_JIT", QByteArrayLiteral("0"));
#endif

} // namespace
