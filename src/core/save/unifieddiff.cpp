#include "core/save/unifieddiff.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <vector>

namespace UnifiedDiff {

namespace {

// Beyond this many lines removed and put in, the lines between the first and
// the last change are shown as all taken out and all put in: a shortest
// difference costs time and memory by its square.
constexpr int MaxDifferences = 1000;

struct Step {
    Line::Kind kind;
    int oldLine;   // from 0; -1 for a line put in
    int newLine;   // from 0; -1 for a line taken out
};

// A shortest way from `a` to `b` (Myers' algorithm), or nothing when it takes
// more than MaxDifferences lines.
std::optional<std::vector<Step>> shortestEdit(const std::vector<int> &a, const std::vector<int> &b, int oldBase,
                                              int newBase)
{
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    const int most = std::min(n + m, MaxDifferences);
    std::vector<int> v(static_cast<size_t>(2 * most + 3), 0);
    const auto at = [&](int k) -> int & { return v[static_cast<size_t>(k + most + 1)]; };
    std::vector<std::vector<int>> trace;   // v before each round, for k from -d to d
    int rounds = -1;
    for (int d = 0; d <= most && rounds < 0; ++d) {
        std::vector<int> &kept = trace.emplace_back(static_cast<size_t>(2 * d + 1));
        for (int k = -d; k <= d; ++k)
            kept[static_cast<size_t>(k + d)] = at(k);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
            int y = x - k;
            while (x < n && y < m && a[static_cast<size_t>(x)] == b[static_cast<size_t>(y)]) {
                ++x;
                ++y;
            }
            at(k) = x;
            if (x >= n && y >= m) {
                rounds = d;
                break;
            }
        }
    }
    if (rounds < 0)
        return std::nullopt;

    std::vector<Step> steps;
    int x = n;
    int y = m;
    for (int d = rounds; d > 0; --d) {
        const std::vector<int> &before = trace[static_cast<size_t>(d)];
        const auto was = [&](int k) { return before[static_cast<size_t>(k + d)]; };
        const int k = x - y;
        const int previous = (k == -d || (k != d && was(k - 1) < was(k + 1))) ? k + 1 : k - 1;
        const int previousX = was(previous);
        const int previousY = previousX - previous;
        while (x > previousX && y > previousY) {
            --x;
            --y;
            steps.push_back({Line::Context, oldBase + x, newBase + y});
        }
        if (x == previousX)
            steps.push_back({Line::Added, -1, newBase + previousY});
        else
            steps.push_back({Line::Removed, oldBase + previousX, -1});
        x = previousX;
        y = previousY;
    }
    while (x > 0 && y > 0) {
        --x;
        --y;
        steps.push_back({Line::Context, oldBase + x, newBase + y});
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

std::vector<Step> steps(const QStringList &before, const QStringList &after)
{
    const int oldCount = static_cast<int>(before.size());
    const int newCount = static_cast<int>(after.size());
    int head = 0;
    while (head < oldCount && head < newCount && before.at(head) == after.at(head))
        ++head;
    int tail = 0;
    while (tail < oldCount - head && tail < newCount - head
           && before.at(oldCount - 1 - tail) == after.at(newCount - 1 - tail))
        ++tail;

    // The lines between, each known by a number (equal lines, equal numbers).
    QHash<QString, int> numbers;
    const auto numbered = [&](const QStringList &lines, int from, int to) {
        std::vector<int> out;
        out.reserve(static_cast<size_t>(to - from));
        for (int i = from; i < to; ++i) {
            auto known = numbers.constFind(lines.at(i));
            if (known == numbers.constEnd())
                known = numbers.insert(lines.at(i), static_cast<int>(numbers.size()));
            out.push_back(*known);
        }
        return out;
    };
    const std::vector<int> a = numbered(before, head, oldCount - tail);
    const std::vector<int> b = numbered(after, head, newCount - tail);

    std::vector<Step> all;
    all.reserve(static_cast<size_t>(std::max(oldCount, newCount) + 16));
    for (int i = 0; i < head; ++i)
        all.push_back({Line::Context, i, i});
    if (std::optional<std::vector<Step>> middle = shortestEdit(a, b, head, head)) {
        all.insert(all.end(), middle->begin(), middle->end());
    } else {
        for (int i = head; i < oldCount - tail; ++i)
            all.push_back({Line::Removed, i, -1});
        for (int i = head; i < newCount - tail; ++i)
            all.push_back({Line::Added, -1, i});
    }
    for (int i = 0; i < tail; ++i)
        all.push_back({Line::Context, oldCount - tail + i, newCount - tail + i});
    return all;
}

} // namespace

QStringList lines(const QString &text)
{
    QStringList out;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype lineFeed = text.indexOf(u'\n', from);
        const qsizetype end = lineFeed < 0 ? text.size() : lineFeed + 1;
        out.append(text.sliced(from, end - from));
        from = end;
    }
    return out;
}

QList<Hunk> hunks(const QStringList &before, const QStringList &after, int context)
{
    const std::vector<Step> all = steps(before, after);
    const int count = static_cast<int>(all.size());
    const auto changed = [&](int i) { return all[static_cast<size_t>(i)].kind != Line::Context; };
    const auto nextChange = [&](int from) {
        while (from < count && !changed(from))
            ++from;
        return from;
    };

    QList<Hunk> found;
    int oldSeen = 0;   // old and new lines before `at`
    int newSeen = 0;
    int at = 0;
    for (int change = nextChange(0); change < count; change = nextChange(at)) {
        const int start = std::max(at, change - context);
        for (int i = at; i < start; ++i) {   // context lines between hunks
            ++oldSeen;
            ++newSeen;
        }
        int end = change;
        for (;;) {
            while (end < count && changed(end))
                ++end;
            const int next = nextChange(end);
            if (next < count && next - end <= 2 * context) {
                end = next;
                continue;
            }
            break;
        }
        end = std::min(count, end + context);

        Hunk hunk;
        for (int i = start; i < end; ++i) {
            const Step &step = all[static_cast<size_t>(i)];
            const QString &text = step.kind == Line::Added ? after.at(step.newLine) : before.at(step.oldLine);
            hunk.lines.append({step.kind, text});
            hunk.oldCount += step.kind != Line::Added ? 1 : 0;
            hunk.newCount += step.kind != Line::Removed ? 1 : 0;
        }
        hunk.oldStart = hunk.oldCount > 0 ? oldSeen + 1 : oldSeen;
        hunk.newStart = hunk.newCount > 0 ? newSeen + 1 : newSeen;
        oldSeen += hunk.oldCount;
        newSeen += hunk.newCount;
        found.append(hunk);
        at = end;
    }
    return found;
}

int changedLines(const QList<Hunk> &hunks)
{
    int total = 0;
    for (const Hunk &hunk : hunks) {
        int removed = 0;
        int added = 0;
        for (const Line &line : hunk.lines) {
            if (line.kind == Line::Removed) {
                ++removed;
            } else if (line.kind == Line::Added) {
                ++added;
            } else {
                total += std::max(removed, added);
                removed = added = 0;
            }
        }
        total += std::max(removed, added);
    }
    return total;
}

QString format(const QList<Hunk> &hunks)
{
    QString out;
    for (const Hunk &hunk : hunks) {
        out += QStringLiteral("@@ -%1,%2 +%3,%4 @@\n")
                   .arg(hunk.oldStart)
                   .arg(hunk.oldCount)
                   .arg(hunk.newStart)
                   .arg(hunk.newCount);
        for (const Line &line : hunk.lines) {
            out += line.kind == Line::Removed ? u'-' : line.kind == Line::Added ? u'+' : u' ';
            out += line.text;
            if (!line.text.endsWith(u'\n'))
                out += QLatin1String("\n\\ No newline at end of file\n");
        }
    }
    return out;
}

} // namespace UnifiedDiff
