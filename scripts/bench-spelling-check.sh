#!/usr/bin/env bash
# The check's spelling against Hunspell itself, on real Polish text: the
# Polish manual pages (Debian's manpages-pl) laid out as a mission of 435
# books in Windows-1250, about 160,000 words with the spread of distinct words
# real prose has. Times `quillwright --check --spelling` on the mission and
# `hunspell -l -d pl_PL` on the same texts (each the median of three runs, in
# wall-clock and processor time) and prints both and their ratio beside the
# aim (at most 1.5). The same
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

# Each command three times: the median of its wall-clock time and of the
# processor time it took (user and system), which a machine shared with other
# work does not stretch; the aim is judged on the processor time.
python3 - "$work" "$program" <<'PY'
import resource, statistics, subprocess, sys, time

work, program = sys.argv[1], sys.argv[2]

def timed(command, stdin=None):
    walls, cpus = [], []
    for _ in range(3):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        with open(stdin or '/dev/null', 'rb') as given:
            out = subprocess.run(command, stdin=given, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        walls.append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return statistics.median(walls), statistics.median(cpus), out

h_wall, h_cpu, h_out = timed(['hunspell', '-l', '-d', 'pl_PL', '-i', 'cp1250'], work + '/texts.txt')
c_wall, c_cpu, c_out = timed([program, '--check', '--spelling', work + '/mission-polish'])
e_wall, e_cpu, _ = timed([program, '--check', '--spelling', work + '/mission-english'])
row = '%-42s %6.2f s wall %6.2f s processor'
print(row % ('hunspell -l -d pl_PL:', h_wall, h_cpu) + '  (%d unknown words)' % h_out.count(b'\n'))
print(row % ('quillwright --check --spelling (polish):', c_wall, c_cpu)
      + '  (%d unknown words)' % c_out.count(b'[unknown-word]'))
ratio = c_cpu / h_cpu
print('%-42s %6.2f   (processor time; wall %.2f)   aim <= 1.5%s'
      % ('ratio:', ratio, c_wall / h_wall, '' if ratio <= 1.5 else '   MISSED'))
print(row % ('the same texts in english folders:', e_wall, e_cpu) + '  (ratio %.2f)' % (e_cpu / h_cpu))
PY
