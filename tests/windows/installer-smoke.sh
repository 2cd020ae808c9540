#!/usr/bin/env bash
# The Windows installer as a person uses it, under Wine on a display of its
# own (Xvfb), in a Wine prefix that has never seen Qt or MinGW (no WINEPATH):
#   1. install silently (/S) into a known folder (/D=), and find the program,
#      its Start-menu entry and its Apps & Features entry;
#   2. the installed folder holds the same files as the portable ZIP, and the
#      installed program checks the spelling of each language shipped with the
#      dictionaries beside it (--check --spelling);
#   3. start the installed quillwright.exe on the windows platform plugin; the
#      main window appears and has six tabs (Ctrl+Tab comes back to the first
#      after six);
#   4. write a book with the keyboard alone (Books tab: name, two pages, Save,
#      a path typed into the native save dialog, Enter) and compare the file
#      byte for byte with the worked example in the README;
#   5. quit (Alt+F4), uninstall silently (/S) and find nothing left behind.
# A picture of the main window, in a Wine desktop so that it has its title
# bar, is left in WORKDIR/quillwright.png (docs/screenshots/windows.png is one).
#
#   installer-smoke.sh INSTALLER.exe PORTABLE.zip VERSION WORKDIR
# Needs: wine (wine64), xvfb, xdotool, imagemagick, unzip.
set -euo pipefail

installer=$(realpath "$1")
portable=$(realpath "$2")
version=$3
work=$(mkdir -p "$4" && realpath "$4")

export WINEPREFIX="$work/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEPATH
for name in $(compgen -e | grep -E '^(WINE)?QT_' || true); do unset "$name"; done

title='Quillwright  for Mirkhold mission authors'
appkey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillwright'
instdir_win='C:\QwSmoke\Quillwright'
instdir="$WINEPREFIX/drive_c/QwSmoke/Quillwright"
outdir_win='C:\QwSmoke\Books'
outdir="$WINEPREFIX/drive_c/QwSmoke/Books"
expected=$'Page_0:"It was dark."\r\nPage_1:"The door was locked."\r\n'
# ImageMagick by its full path: /usr/local/bin may hold other programs of that name.
import=/usr/bin/import

passed=0
failed=0
step() { printf '\n== %s\n' "$*"; }
ok() { passed=$((passed + 1)); printf 'ok:   %s\n' "$*"; }
fail() {
    failed=$((failed + 1))
    printf 'FAIL: %s\n' "$*"
    if [ -n "${DISPLAY:-}" ]; then
        "$import" -window root "$work/failure-$failed.png" 2>/dev/null &&
            printf '      (the screen then: %s)\n' "$work/failure-$failed.png"
    fi
}
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then ok "$what"; else fail "$what"; fi
}
finish() {
    printf '\ninstaller smoke test: %d passed, %d failed\n' "$passed" "$failed"
    [ "$failed" -eq 0 ]
}
wait_for() { # wait_for SECONDS COMMAND...: until COMMAND succeeds
    local until=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$until" ] || return 1
        sleep 0.5
    done
}
registry_value() { # registry_value NAME: the value in the Apps & Features entry
    wine reg query "$appkey" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
main_window() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1; }

# A display of our own for the run.
xvfb_pid=
app_pid=
cleanup() {
    [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
displayfile="$work/display"
rm -f "$displayfile"
Xvfb -displayfd 6 -screen 0 1280x1024x24 -nolisten tcp 6>"$displayfile" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 20 test -s "$displayfile" || { echo "Xvfb did not start (see $work/xvfb.log)"; exit 1; }
export DISPLAY=":$(head -1 "$displayfile")"

# A Wine prefix made once and kept; started afresh when an earlier run left
# Quillwright in it.
if [ -e "$WINEPREFIX/drive_c/QwSmoke" ] || { [ -f "$WINEPREFIX/user.reg" ] && grep -q 'Uninstall\\\\Quillwright' "$WINEPREFIX/user.reg"; }; then
    echo "An earlier run left Quillwright installed: a new Wine prefix."
    rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "A new Wine prefix"
    wine wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    # Debian's Wine does not find its own fonts package (fonts-wine), so its
    # window captions lack the Marlett glyphs of their buttons; the picture
    # of the window shows them.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        ln -sf /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
    fi
fi

step "1. Silent install into $instdir_win"
check "the installer ends with 0" wine "$installer" /S "/D=$instdir_win"
wineserver -w
check "quillwright.exe is installed" test -f "$instdir/quillwright.exe"
check "the Qt platform plugin is installed" test -f "$instdir/platforms/qwindows.dll"
check "the uninstaller is installed" test -f "$instdir/Uninstall.exe"
shortcut=$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Quillwright.lnk' | head -1)
check "the Start-menu entry is there (the user's own)" test -n "$shortcut"
check "Apps & Features: DisplayName" test "$(registry_value DisplayName)" = Quillwright
check "Apps & Features: DisplayVersion $version" test "$(registry_value DisplayVersion)" = "$version"
check "Apps & Features: Publisher" test -n "$(registry_value Publisher)"
check "Apps & Features: DisplayIcon is the program" test "$(registry_value DisplayIcon)" = "$instdir_win\\quillwright.exe,0"
check "Apps & Features: InstallLocation" test "$(registry_value InstallLocation)" = "$instdir_win"
check "Apps & Features: UninstallString" test "$(registry_value UninstallString)" = "\"$instdir_win\\Uninstall.exe\" /CurrentUser"
check "Apps & Features: QuietUninstallString" test "$(registry_value QuietUninstallString)" = "\"$instdir_win\\Uninstall.exe\" /CurrentUser /S"
icon_sizes() { # the sizes of the icon in the .exe's resources
    wrestool -x -t 14 "$instdir/quillwright.exe" >"$work/program.ico" &&
        icotool -l "$work/program.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | tr '\n' ' '
}
typekey='HKCU\Software\Classes\Quillwright.MissionText'
open_command() {
    wine reg query "$typekey\shell\open\command" /ve 2>/dev/null | tr -d '\r' |
        sed -n 's/.*REG_SZ[[:space:]]*//p'
}
str_type() {
    wine reg query 'HKCU\Software\Classes\.str' /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p'
}
check ".str files open with the program" test "$(open_command)" = "\"$instdir_win\\quillwright.exe\" \"%1\""
check ".str is of Quillwright's file type" test "$(str_type)" = Quillwright.MissionText
check "the program's icon has 16 to 256 px" test "$(icon_sizes)" = "16 24 32 48 64 128 256 "
check "the program's version resource says $version" \
    bash -c "wrestool -x --raw -t 16 '$instdir/quillwright.exe' | strings -e l | grep -qx '$version'"

step "2. The portable ZIP holds the same files"
rm -rf "$work/zip" && mkdir -p "$work/zip"
unzip -q "$portable" -d "$work/zip"
zipdir=$(find "$work/zip" -mindepth 1 -maxdepth 1 -type d | head -1)
(cd "$zipdir" && find . -type f -exec sha256sum {} + | sort -k2) >"$work/zip.sums"
(cd "$instdir" && find . -type f ! -name Uninstall.exe -exec sha256sum {} + | sort -k2) >"$work/installed.sums"
check "installed folder = ZIP (names and contents, apart from Uninstall.exe)" cmp -s "$work/zip.sums" "$work/installed.sums"

step "2b. The installed program spells with the dictionaries it carries"
# A mission with a book in each language shipped: a word of the language, which
# its dictionary knows, and one no dictionary knows.
mission="$WINEPREFIX/drive_c/QwSmoke/Spelling"
rm -rf "$mission"
# Russian is in its own letters (Windows-1251): "дом", and "кхщыв" that no
# dictionary knows; a Latin word there is in a script its dictionary lacks.
languages=(english:world polish:kot russian:дом german:Haus french:maison italian:casa czech:les hungarian:kert)
for entry in "${languages[@]}"; do
    mkdir -p "$mission/books/${entry%%:*}"
    printf 'Page_0:"%s qxwrold"\r\n' "${entry#*:}" >"$mission/books/${entry%%:*}/book.str"
done
printf 'Page_0:"\xE4\xEE\xEC \xEA\xF5\xF9\xFB\xE2 qxwrold"\r\n' >"$mission/books/russian/book.str"
wine "$instdir_win\\quillwright.exe" --check --spelling 'C:\QwSmoke\Spelling' 2>/dev/null | tr -d '\r' >"$work/spelling.log" || true
wineserver -w
for entry in "${languages[@]}"; do
    language=${entry%%:*}
    known=${entry#*:}
    unknown=qxwrold
    [ "$language" = russian ] && unknown=кхщыв
    check "$language: the unknown word is noted" grep -q "^books.$language.book\.str:1:.*\"$unknown\" is not in the $language dictionary" "$work/spelling.log"
    if [ -n "$known" ]; then
        check "$language: \"$known\" is known" bash -c "! grep -q '\"$known\" is not' '$work/spelling.log'"
    fi
done
check "no language lacks its dictionary" bash -c "! grep -q 'No dictionary' '$work/spelling.log'"
check "russian: a Latin word is told apart once" grep -q '^books.russian.book\.str:1:.*"qxwrold" is in a script the russian dictionary does not know' "$work/spelling.log"

step "A picture of the main window (in a Wine desktop, for its title bar)"
desktop_name='Quillwright - Wine desktop'
wine explorer /desktop=Quillwright,1000x640 "$instdir_win\\quillwright.exe" >"$work/picture.log" 2>&1 &
if wait_for 60 main_window >/dev/null && sleep 2 &&
    desktop=$(xdotool search --onlyvisible --name "^$desktop_name\$" | head -1) && [ -n "$desktop" ]; then
    xdotool mousemove --window "$desktop" 990 630   # off the window: no button lit up
    sleep 1
    # Cut to the window: the Wine desktop around it is one flat colour.
    "$import" -window "$desktop" -trim +repage "$work/quillwright.png"
    ok "picture taken: $work/quillwright.png"
else
    fail "the main window did not appear in a Wine desktop"
fi
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

step "3. Start the installed program"
mkdir -p "$outdir"
rm -f "$outdir/Diary.str"
wine "$instdir_win\\quillwright.exe" >"$work/quillwright.log" 2>&1 &
app_pid=$!
if wait_for 60 main_window >/dev/null; then
    ok "the main window \"$title\" appears"
    window=$(main_window)
    sleep 1
    timeout 10 xdotool windowfocus --sync "$window" || true
    # The tab bar (top of the window) as pixels, tab after tab: six different
    # pictures, and the sixth Ctrl+Tab is back at the first. Each picture is
    # taken once the window has stopped changing.
    width=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    tabbar() { # tabbar NAME: the top of the window, kept as NAME.png, as a hash
        "$import" -window "$window" -crop "${width}x45+0+0" +repage "$work/tabbar-$1.png" &&
            /usr/bin/convert "$work/tabbar-$1.png" -depth 8 rgb:- | sha256sum | cut -c1-16
    }
    steady_tabbar() {
        local previous current
        previous=$(tabbar "$1")
        for _ in $(seq 25); do
            sleep 0.4
            current=$(tabbar "$1")
            if [ "$current" = "$previous" ] &&
                [ "$(/usr/bin/convert "$work/tabbar-$1.png" -format %k info:)" -gt 4 ]; then
                break
            fi
            previous=$current
        done
        echo "$current"
    }
    pictures=("$(steady_tabbar 0)")
    for tab in 1 2 3 4 5 6; do
        xdotool key ctrl+Tab
        pictures+=("$(steady_tabbar "$tab")")
    done
    distinct=$(printf '%s\n' "${pictures[@]:0:6}" | sort -u | wc -l)
    check "six tabs: six different tab bars, and Ctrl+Tab comes back after six" \
        test "$distinct" -eq 6 -a "${pictures[0]}" = "${pictures[6]}"
    # Now on the Books tab again, with the tab bar focused.

    step "4. Write the worked example's book with the keyboard"
    # Tab order of the Books tab: Bname, ComOpt, Pn, -, +, Page, Bptxt, Apage,
    # (Append/Cancel: disabled), Reset Book, Save.
    keys() { xdotool key --delay 80 "$@"; sleep 0.3; }
    text() { xdotool type --delay 40 "$1"; sleep 0.3; }
    keys Tab                              # Bname
    text 'Diary'
    keys Tab Tab Tab Tab Tab              # Page
    text 'It was dark.'
    keys Tab Tab space                    # "Add new Page"
    keys shift+Tab shift+Tab              # Page
    text 'The door was locked.'
    keys Tab Tab space                    # "Add new Page"
    windows_before=$(xdotool search --onlyvisible --name '' 2>/dev/null | sort)
    new_window() { [ -n "$(comm -13 <(printf '%s\n' "$windows_before") <(xdotool search --onlyvisible --name '' 2>/dev/null | sort))" ]; }
    keys Tab Tab space                    # "Save": the native save dialog
    check "the save dialog opens" wait_for 20 new_window
    sleep 1
    # Its file name box has the focus and proposes Diary.str: replace it.
    keys Home shift+End
    text "$outdir_win\\Diary.str"
    keys Return
    if wait_for 15 test -s "$outdir/Diary.str"; then
        sleep 1
        check "the book file is byte for byte the worked example" \
            cmp -s "$outdir/Diary.str" <(printf '%s' "$expected")
        if ! cmp -s "$outdir/Diary.str" <(printf '%s' "$expected"); then
            od -c "$outdir/Diary.str" | head -10
        fi
    else
        fail "no book file was written to $outdir_win\\Diary.str"
    fi

    step "5. Quit"
    timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null || true
    keys alt+F4
    window_gone() { [ -z "$(main_window)" ]; }
    program_ended() { local state; state=$(ps -o stat= -p "$app_pid" 2>/dev/null || true); [ -z "$state" ] || [ "${state:0:1}" = Z ]; }
    check "the window closes" wait_for 20 window_gone
    check "the program ends" wait_for 20 program_ended
    wait "$app_pid" 2>/dev/null || true
    app_pid=
else
    fail "the main window \"$title\" did not appear within a minute"
fi
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

step "Silent uninstall"
check "the uninstaller ends with 0" wine "$instdir_win\\Uninstall.exe" /S
# The uninstaller works from a copy of itself in %TEMP%: wait for it.
wineserver -w
check "the install folder is gone" test ! -e "$instdir"
entry_gone() { ! wine reg query "$appkey" >/dev/null 2>&1; }
check "the Apps & Features entry is gone" entry_gone
check "the Start-menu entry is gone" test ! -e "$shortcut"
type_gone() { ! wine reg query "$typekey" >/dev/null 2>&1 && [ -z "$(str_type)" ]; }
check "the .str file type is gone" type_gone
rm -rf "$WINEPREFIX/drive_c/QwSmoke"

finish
