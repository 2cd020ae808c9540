#!/usr/bin/env bash
# The licences of what the portable ZIP (and so the installer, which holds the
# same files) carries, read from its index, licenses/INDEX.txt: paragraphs of
# "Field: value" lines, a value going on over the lines that start with a blank.
#   - every file the package carries (each DLL, plugin, dictionary, the
#     program) is named in a paragraph's Files: -- a file added to the package
#     without its licence fails here;
#   - every paragraph names its files, a licence and the licence's files;
#   - every file named exists in the package, and every licence file named is
#     there and not empty;
#   - every file under licenses/ is named by the index (none left unexplained).
#   check-licences.sh PORTABLE.zip
set -euo pipefail

zip=$(realpath "$1")
index=licenses/INDEX.txt

passed=0
failed=0
ok() { passed=$((passed + 1)); printf 'ok:   %s\n' "$*"; }
fail() { failed=$((failed + 1)); printf 'FAIL: %s\n' "$*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
cd "$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -1)"

if [ -s "$index" ]; then ok "$index"; else fail "no $index"; fi

# The index as lines "PARAGRAPH<TAB>FIELD<TAB>WORD", one per word of a value.
fields=$(tr -d '\r' <"$index" 2>/dev/null | awk '
    /^$/ { paragraph++; field = ""; next }
    /^[A-Za-z-]+:/ { field = $1; sub(/:$/, "", field); for (i = 2; i <= NF; i++) emit($i); next }
    /^[ \t]/ { for (i = 1; i <= NF; i++) emit($i); next }
    { field = "" }
    function emit(word) { if (field != "") printf "%d\t%s\t%s\n", paragraph, field, word }')
words() { printf '%s\n' "$fields" | awk -F'\t' -v f="$1" '$2 == f && $3 != "" { print $3 }' | sort -u; }

# Each paragraph that names files names a licence and the licence's files.
paragraphs=$(printf '%s\n' "$fields" | awk -F'\t' '$2 == "Files" { print $1 }' | sort -u)
for paragraph in $paragraphs; do
    for field in License License-Files; do
        if ! printf '%s\n' "$fields" | awk -F'\t' -v p="$paragraph" -v f="$field" '$1 == p && $2 == f && $3 != "" { found = 1 } END { exit !found }'; then
            fail "a paragraph of $index (files: $(printf '%s\n' "$fields" | awk -F'\t' -v p="$paragraph" '$1 == p && $2 == "Files" { printf "%s ", $3 }')) has no $field"
        fi
    done
done
[ -n "$paragraphs" ] && ok "$(printf '%s\n' "$paragraphs" | wc -l) paragraphs in $index"

covered=$(words Files)
licence_files=$(words License-Files)

# Every file of the package has its licence.
uncovered=()
shipped=0
while read -r file; do
    shipped=$((shipped + 1))
    printf '%s\n' "$covered" | grep -qxF -- "$file" || uncovered+=("$file")
done < <(find . -type f ! -path './licenses/*' -printf '%P\n' | sort)
if [ "${#uncovered[@]}" -eq 0 ]; then
    ok "each of the $shipped files outside licenses/ is named in $index"
else
    fail "not named in $index (no licence): ${uncovered[*]}"
fi

# What the index names is there.
while read -r file; do
    [ -n "$file" ] || continue
    if [ ! -f "$file" ]; then fail "$index names $file, which the package does not carry"; fi
done <<<"$covered"
while read -r file; do
    [ -n "$file" ] || continue
    if [ -s "$file" ]; then ok "licence file $file"; else fail "licence file $file is missing or empty"; fi
done <<<"$licence_files"

# Nothing under licenses/ that the index does not name.
unnamed=()
while read -r file; do
    [ "$file" = "$index" ] && continue
    printf '%s\n' "$licence_files" | grep -qxF -- "$file" || unnamed+=("$file")
done < <(find licenses -type f | sort)
if [ "${#unnamed[@]}" -eq 0 ]; then
    ok "every file under licenses/ is named in $index"
else
    fail "under licenses/ but not named in $index: ${unnamed[*]}"
fi

printf '\nlicence check: %d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
