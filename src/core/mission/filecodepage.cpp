#include "core/mission/filecodepage.h"

#include "core/document/codepagedetect.h"
#include "core/document/codepages.h"
#include "core/document/safefile.h"
#include "core/mission/folder.h"
#include "core/mission/missionsettings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace FileCodePage {

int of(const QString &path, int fallback)
{
    // The nearest language folder above the file, and the nearest mission folder with settings.
    QString language;
    int named = 0;
    QString mission;
    for (QDir folder = QFileInfo(path).absoluteDir();; ) {
        if (named == 0) {
            named = MissionFolder::codePageOfLanguage(folder.dirName(), 0);
            if (named != 0)
                language = folder.dirName().toLower();
        }
        if (mission.isEmpty() && QFileInfo(MissionSettings::pathIn(folder.path())).isFile())
            mission = folder.path();
        if (!folder.cdUp())
            break;
    }
    if (!mission.isEmpty()) {
        if (const std::optional<int> given = MissionSettings::read(mission).codePageOf(language))
            return *given;
    }
    const int preferred = named != 0 ? named : fallback;
    const auto bytes = SafeFile::read(path, SafeFile::StrFileCap);
    if (const auto *read = std::get_if<QByteArray>(&bytes)) {
        // The texts of its first lines tell as well as all of them would.
        constexpr qsizetype MostRead = 256 * 1024;
        const QByteArrayView first = QByteArrayView(*read).first(std::min(read->size(), MostRead));
        const int detected = CodePageDetect::detect(CodePageDetect::entryTexts(first), preferred);
        if (CodePages::isSupported(detected))
            return detected;
    }
    return preferred;
}

} // namespace FileCodePage
