#!/usr/bin/env bash
# The check's spelling against Hunspell itself, on real Polish text: the
# Polish manual pages (Debian's manpages-pl) laid out as a mission of 435
# books in Windows-1250, about 160,000 words with the spread of distinct words
# real prose has. Times `quillwright --check --spelling` on the mission and
# `hunspell -l -d pl_PL` on the same texts (each the median of three runs)
# and prints both and their ratio beside the aim (at most 1.5). The same
# texts kept in `english` folders, which the check spells as Polish after
# telling their language, are timed too. Needs hunspell, hunspell-pl and
# manpages-pl (scripts/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target quillwright >/dev/null
program=$PWD/build/$preset/src/quillwright

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'EOF'
import glob, gzip, os, re, sys

work = sys.argv[1]
files, words_wanted, per_file = 435, 160000, None
paragraphs, words = [], 0
for path in sorted(glob.glob('/usr/share/man/pl/man*/*.gz')):
    text = gzip.open(path).read().decode('utf-8', 'ignore')
    current = []
    for line in text.split('\n'):
        if line.startswith('.') or line.startswith("'"):
            if current:
                paragraphs.append(' '.join(current))
                current = []
            continue
        line = re.sub(r'\\f[BIRP]|\\f\(..|\\\(..|\\[-&e|^]|\\\*\(..|\\\*.|"', '', line).strip()
        if line:
            current.append(line)
    if current:
        paragraphs.append(' '.join(current))
    words = sum(len(p.split()) for p in paragraphs)
    if words >= words_wanted:
        break
entries = []
for paragraph in paragraphs:
    for start in range(0, len(paragraph), 500):
        entries.append(paragraph[start:start + 500].replace('\\', ''))
texts = open(os.path.join(work, 'texts.txt'), 'w', encoding='cp1250', errors='replace')
for folder in ('polish', 'english'):
    for n in range(files):
        path = os.path.join(work, 'mission-' + folder, 'books', folder, 'book%03d.str' % n)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        lines = []
        for page, entry in enumerate(entries[n::files]):
            lines.append('Page_%d: "%s"\r\n' % (page, entry))
            if folder == 'polish':
                texts.write(entry + '\n')
        open(path, 'wb').write(''.join(lines).encode('cp1250', 'replace'))
print('%d books, %d pages, %d words' % (files, len(entries), words))
EOF

median() {   # the median time of three runs of a command, in seconds
    for _ in 1 2 3; do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
    done | sort -n | sed -n 2p
}

hunspell_time=$(median sh -c "hunspell -l -d pl_PL -i cp1250 < '$work/texts.txt'")
check_time=$(median "$program" --check --spelling "$work/mission-polish")
english_time=$(median "$program" --check --spelling "$work/mission-english")
unknown_hunspell=$(hunspell -l -d pl_PL -i cp1250 < "$work/texts.txt" | wc -l)
unknown_check=$("$program" --check --spelling "$work/mission-polish" | grep -c '\[unknown-word\]' || true)
awk -v h="$hunspell_time" -v c="$check_time" -v e="$english_time" -v uh="$unknown_hunspell" -v uc="$unknown_check" 'BEGIN {
    printf "hunspell -l -d pl_PL:                       %6.2f s  (%d unknown words)\n", h, uh
    printf "quillwright --check --spelling (polish):    %6.2f s  (%d unknown words)\n", c, uc
    printf "ratio:                                      %6.2f    (aim <= 1.5)%s\n", c / h, c / h <= 1.5 ? "" : "   MISSED"
    printf "the same texts in english folders:          %6.2f s  (ratio %.2f)\n", e, e / h }'
