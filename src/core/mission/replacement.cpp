#include "core/mission/replacement.h"

#include "core/kinds/strreader.h"
#include "core/mission/entrymerge.h"

#include <QMap>

namespace Replacement {

namespace {

// The bytes on the disk as a document, as the reader reads them.
StrDocument documentOf(const QByteArray &bytes, int codePage)
{
    auto read = StrReader::read(bytes, codePage);
    if (auto *file = std::get_if<StrReader::Result>(&read))
        return std::move(file->document);
    return StrDocument(bytes, {codePage, false});
}

// Each entry of `document` by its key (case folded) and occurrence.
QHash<QString, int> entriesByKey(const StrDocument &document)
{
    QHash<QString, int> found;
    QHash<QString, int> seen;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const QString key = document.key(static_cast<int>(i)).toCaseFolded();
        found.insert(key + u'#' + QString::number(seen[key]++), static_cast<int>(i));
    }
    return found;
}

// The file's texts as they are searched: a held document with unsaved
// changes as it would be written.
MissionFolder::Scan withHeld(const MissionFolder::Scan &scan, const QHash<int, Held> &held)
{
    MissionFolder::Scan searched = scan;
    for (auto it = held.cbegin(); it != held.cend(); ++it) {
        if (it.key() >= 0 && it.key() < searched.files.size())
            searched.files[it.key()].read.document = EntryMerge::asWritten(it->document);
    }
    return searched;
}

File described(const MissionFolder::Scan &searched, int index, const StrDocument &replaced,
               const QList<MissionFolder::Match> &matches, const Held *held)
{
    const StrDocument &source = searched.files.at(index).read.document;
    const StrDocument written = EntryMerge::asWritten(replaced);
    File file{index, replaced, {}, 0};
    QMap<int, int> perEntry;
    for (const MissionFolder::Match &match : matches) {
        if (match.file == index)
            ++perEntry[match.entry];
    }
    QHash<QString, int> seen;
    for (qsizetype e = 0; e < source.entries().size(); ++e) {
        const int entry = static_cast<int>(e);
        const QString key = source.key(entry);
        const int occurrence = seen[key.toCaseFolded()]++;
        if (!perEntry.contains(entry) || entry >= written.entries().size())
            continue;
        const QString after = written.rawText(entry);
        const QString before = source.rawText(entry);
        if (after == before)
            continue;
        file.texts.append({key, occurrence, before, after, perEntry.value(entry)});
        file.matches += perEntry.value(entry);
    }
    if (held && held->document.hasChanges()) {   // laid over the file's bytes with its own changes
        file.document = EntryMerge::laidOver(documentOf(held->disk, held->codePage), replaced,
                                             held->document.authorTexts());
    }
    return file;
}

} // namespace

Found replaceAll(const MissionFolder::Scan &scan, const QHash<int, Held> &held, const QString &pattern,
                 const QString &replacement, const MissionFolder::FindOptions &options, const std::atomic_bool *cancel,
                 const std::function<void(int, int)> &progress)
{
    Found found;
    const MissionFolder::Scan searched = withHeld(scan, held);
    std::optional<Error> invalid;
    const QList<MissionFolder::Match> matches = MissionFolder::find(searched, pattern, options, &invalid, cancel, progress);
    if (invalid)
        found.error = invalid->message;
    if (!found.error.isEmpty() || matches.isEmpty() || (cancel && cancel->load()))
        return found;
    const QList<std::pair<int, StrDocument>> changed =
        MissionFolder::replaced(searched, pattern, replacement, options, nullptr, cancel);
    for (const auto &[index, document] : changed) {
        if (cancel && cancel->load())
            return {};
        const auto kept = held.constFind(index);
        File file = described(searched, index, document, matches, kept == held.cend() ? nullptr : &*kept);
        if (file.texts.isEmpty())
            continue;
        found.matches += file.matches;
        found.files.append(std::move(file));
    }
    return found;
}

File replaceIn(const MissionFolder::Scan &scan, int file, const Held &held, const QString &pattern,
               const QString &replacement, const MissionFolder::FindOptions &options)
{
    MissionFolder::Scan one;
    one.root = scan.root;
    one.files.append(scan.files.at(file));
    const MissionFolder::Scan searched = withHeld(one, {{0, held}});
    const QList<MissionFolder::Match> matches = MissionFolder::find(searched, pattern, options);
    const QList<std::pair<int, StrDocument>> changed = MissionFolder::replaced(searched, pattern, replacement, options);
    if (changed.isEmpty())
        return {file, held.document, {}, 0};
    File replaced = described(searched, 0, changed.constFirst().second, matches, &held);
    replaced.file = file;
    return replaced;
}

Restored restore(const StrDocument &now, const QByteArray &disk, int codePage, const QList<Text> &texts)
{
    const StrDocument written = EntryMerge::asWritten(now);
    StrDocument restored = written;
    Restored result;
    const QHash<QString, int> entries = entriesByKey(written);
    for (const Text &text : texts) {
        const int entry = entries.value(text.key.toCaseFolded() + u'#' + QString::number(text.occurrence), -1);
        if (entry < 0 || written.rawText(entry) != text.after) {
            ++result.leftTexts;
            result.leftMatches += text.matches;
            continue;
        }
        const StrDocument::Entry &at = written.entries().at(entry);
        restored.replace(at.textStart, at.textEnd, text.before);
        ++result.texts;
        result.matches += text.matches;
    }
    result.document = result.texts == 0 ? now
                                        : EntryMerge::laidOver(documentOf(disk, codePage), restored, now.authorTexts());
    return result;
}

} // namespace Replacement
