#include "core/mission/scantexts.h"

namespace MissionFolder {

Scan withoutTexts(Scan scan)
{
    for (File &file : scan.files) {
        file.read.document = StrDocument();
        file.read.notes.clear();
    }
    return scan;
}

Scan withTexts(Scan scan, const QHash<int, StrDocument> &held, const std::atomic_bool *cancel)
{
    for (qsizetype i = 0; i < scan.files.size(); ++i) {
        File &file = scan.files[i];
        if (const auto kept = held.constFind(static_cast<int>(i)); kept != held.cend()) {
            file.read.document = *kept;
            continue;
        }
        if (file.failure || (cancel && cancel->load(std::memory_order_relaxed)))
            continue;
        auto read = StrReader::readFile(file.path, file.codePage);
        if (auto *now = std::get_if<StrReader::Result>(&read))
            file.read.document = std::move(now->document);
    }
    return scan;
}

} // namespace MissionFolder
