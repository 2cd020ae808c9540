#!/usr/bin/env bash
# What the portable ZIP (and so the installer, which holds the same files)
# carries, checked without a list of DLLs to keep up to date:
#   - the program, qt.conf, the windows platform plugin, the program's
#     licence and those of uchardet and Hunspell (linked into the program),
#     the index of the licences and the dictionaries of the eight languages
#     shipped are there (each licence itself: check-licences.sh);
#   - every DLL that a packaged program or DLL imports is either in the
#     package or none of the build's (not in the Qt or MinGW-w64 folders it
#     was linked from, so Windows' own);
#   - the program carries its application manifest (Windows 10/11, long
#     paths, per-monitor DPI awareness as Qt 6 sets it);
#   - nothing of the build machine: no debug information, no debug Qt DLLs,
#     no links, and none of this build's folders written in any file.
#   check-package.sh PORTABLE.zip OBJDUMP DLL_FOLDER... -- FOLDER_NOT_TO_MENTION...
set -euo pipefail

zip=$(realpath "$1")
objdump=$2
shift 2
dll_dirs=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do dll_dirs+=("$1"); shift; done
[ $# -gt 0 ] && shift
private_paths=("$@")

passed=0
failed=0
ok() { passed=$((passed + 1)); printf 'ok:   %s\n' "$*"; }
fail() { failed=$((failed + 1)); printf 'FAIL: %s\n' "$*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
top=$(find "$work" -mindepth 1 -maxdepth 1)
if [ "$(printf '%s\n' "$top" | wc -l)" -eq 1 ] && [ -d "$top" ]; then
    ok "one folder at the top of the ZIP: $(basename "$top")"
else
    fail "the ZIP should unpack into one folder"
fi
cd "$top"

for file in quillwright.exe qt.conf platforms/qwindows.dll styles/qwindowsvistastyle.dll licenses/uchardet/COPYING \
    licenses/quillwright/LICENSE licenses/hunspell/COPYING.MPL licenses/hunspell/COPYING \
    licenses/hunspell/COPYING.LESSER licenses/hunspell/license.hunspell licenses/hunspell/license.myspell \
    licenses/INDEX.txt dictionaries/{en_US,pl_PL,ru_RU,de_DE,fr,it_IT,cs_CZ,hu_HU}.{aff,dic}; do
    if [ -f "$file" ]; then ok "$file"; else fail "missing: $file"; fi
done

echo "Files:"
find . -type f | sort | while read -r file; do printf '  %9d  %s\n' "$(stat -c %s "$file")" "${file#./}"; done

# The manifest, resource 1 of type 24 (wrestool from icoutils).
manifest=$(wrestool -x --raw -t 24 -n 1 quillwright.exe 2>/dev/null | tr -d '\r' || true)
manifest_says() { printf '%s\n' "$manifest" | grep -qF -- "$1"; }
if [ -n "$manifest" ]; then ok "quillwright.exe carries an application manifest"; else fail "no manifest in quillwright.exe"; fi
for line in '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
    '>true</longPathAware>' '>true/pm</dpiAware>' '>PerMonitorV2</dpiAwareness>'; do
    if manifest_says "$line"; then ok "the manifest says $line"; else fail "the manifest lacks $line"; fi
done
if ! manifest_says 'Common-Controls'; then ok "the manifest asks for no common-controls version"; else fail "the manifest names Common-Controls"; fi

links=$(find . -type l)
if [ -z "$links" ]; then ok "no links"; else fail "links in the package: $links"; fi

mapfile -t binaries < <(find . -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
missing=()
for binary in "${binaries[@]}"; do
    while read -r dll; do
        [ -n "$dll" ] || continue
        if [ -n "$(find . -maxdepth 1 -iname "$dll" -print -quit)" ]; then
            continue
        fi
        for dir in "${dll_dirs[@]}"; do
            if [ -n "$(find "$dir" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
                missing+=("$dll (needed by ${binary#./})")
            fi
        done
    done < <("$objdump" -p "$binary" | sed -n 's/^\tDLL Name: //p')
done
if [ "${#missing[@]}" -eq 0 ]; then
    ok "every DLL that the ${#binaries[@]} programs and DLLs import is in the package or Windows' own"
else
    fail "imported but not packaged: ${missing[*]}"
fi

with_debug=()
for binary in "${binaries[@]}"; do
    "$objdump" -h "$binary" | grep -q '\.debug_' && with_debug+=("${binary#./}")
done
if [ "${#with_debug[@]}" -eq 0 ]; then ok "no debug information"; else fail "debug information in: ${with_debug[*]}"; fi

debug_qt=$(find . -iname 'Qt6*d.dll')
if [ -z "$debug_qt" ]; then ok "no debug Qt DLLs"; else fail "debug Qt DLLs: $debug_qt"; fi

mentions=()
for path in "${private_paths[@]}"; do
    while read -r file; do
        mentions+=("${file#./} names $path")
    done < <(grep -rlF -- "$path" . || true)
done
if [ "${#mentions[@]}" -eq 0 ]; then
    ok "no file names a folder of this build (${private_paths[*]})"
else
    fail "${mentions[*]}"
fi
# Other absolute paths of a Unix machine, for the record: Qt's own DLLs keep
# a few source file names of the machine that built Qt.
others=$(grep -raoE '/(tmp|home|work|build|opt|root)/[A-Za-z0-9_./+-]{4,}' . | sort -u || true)
if [ -n "$others" ]; then
    echo "note: other Unix paths written in the package (not of this build):"
    printf '%s\n' "$others" | head -20 | sed 's/^/  /'
fi

printf '\npackage check: %d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
