#!/usr/bin/env bash
# `quillwright --check` in Command Prompt, as the README tells Windows users to
# wait for it: its line marked "(Command Prompt; then echo %errorlevel%)" is
# taken from README.md as it stands, run by cmd under Wine in a batch file on a
# mission folder with one fault, then `echo %errorlevel%`. The report must
# reach the console's output and the exit code must be 1 by the time echo runs.
#   check-in-command-prompt.sh README.md WINE_RUN.sh quillwright.exe WORK_FOLDER
set -euo pipefail

readme=$1
wine_run=$2
program=$3
work=$4
# --check needs no display: the offscreen platform, as the other tests have it.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

line=$(grep -F '(Command Prompt; then echo %errorlevel%)' "$readme" | head -1)
command=$(sed -E 's/^ *//; s/ +\(Command Prompt; then echo %errorlevel%\)$//' <<<"$line")
example='C:\missions\tower'
case "$command" in
*quillwright*"$example"*) ;;
*) echo "FAIL: no Command Prompt example with quillwright and $example in $readme: '$line'"; exit 1 ;;
esac

rm -rf "$work"
mkdir -p "$work/mission/books/english"
printf 'page_0: Vivianne, come home.\r\n' >"$work/mission/books/english/letter.str"
mission=$(windows_path "$work/mission")
# The folder in the command as typed (bash's replacement would take the backslashes as escapes).
typed=${command%%"$example"*}$mission${command#*"$example"}
printf '@echo off\r\n%s\r\necho %%errorlevel%%\r\n' "$typed" >"$work/check.cmd"
echo "Running: $typed"

# The program is found on the PATH, as it is once installed.
status=0
WINEPATH=$(windows_path "$(dirname "$(realpath "$program")")") \
    "$wine_run" cmd /c "$(windows_path "$work/check.cmd")" >"$work/out.txt" 2>"$work/err.txt" || status=$?
tr -d '\r' <"$work/out.txt" | grep -v '^$' >"$work/lines.txt" || true
cat "$work/lines.txt"
expected='books\english\letter.str:1:9: error: page_0 has no opening quote after its colon, so the game does not read it. [no-opening-quote]
1 error in 1 file.
1'
if [ "$(cat "$work/lines.txt")" != "$expected" ]; then
    echo "FAIL: expected, after the program had ended, its report and the exit code 1:"
    echo "$expected"
    echo "(cmd ended with $status; its errors:)"
    cat "$work/err.txt"
    exit 1
fi
echo "ok: the report reached the console and %errorlevel% was 1 once it ended"
