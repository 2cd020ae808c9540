#pragma once

// The command line of the check, which needs no window and no display:
//   quillwright --check [options] FOLDER|FILE...
//   quillwright --list-rules
// Its report goes to stdout (or the file of --output), a wrong use of the
// options to stderr with exit code 2.
namespace CheckCommandLine {

// Whether the arguments ask for the check or its rules (before any "--").
bool requested(int argc, char *argv[]);

// Runs it with an application of its own; the program's exit code.
int run(int argc, char *argv[]);

} // namespace CheckCommandLine
