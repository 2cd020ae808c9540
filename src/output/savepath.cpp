#include "output/savepath.h"

#include "output/fileoutput.h"
#include "output/prompts.h"
#include "output/textencoding.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SavePath", text);
}

QString codePointName(char32_t codePoint)
{
    return QStringLiteral("U+%1").arg(static_cast<uint>(codePoint), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

SavePath::SavePath(Prompts &prompts)
    : m_prompts(prompts)
{
}

bool SavePath::refuseUnencodable(const TextSources &texts)
{
    for (const TextSource &source : texts) {
        const auto bad = Windows1252::firstUnencodable(source.text);
        if (!bad)
            continue;
        const char32_t codePoint = bad->codePoint;
        const QString character = QString::fromUcs4(&codePoint, 1);
        m_prompts.show({QMessageBox::Warning, Prompts::applicationTitle(),
                        tr("The character \u201C%1\u201D (%2) in %3 cannot be written: "
                           "the game reads its files in the Windows Western code page "
                           "(Windows-1252), which has no such character.\n\n"
                           "Replace or remove it, then save again. Nothing was written.")
                            .arg(character, codePointName(codePoint), source.place)});
        return true;
    }
    return false;
}

bool SavePath::save(const QString &suggestedName, const TextSources &texts, const QStringList &lines)
{
    if (refuseUnencodable(texts))
        return false;

    const QString path = m_prompts.savePath(suggestedName);
    if (path.isEmpty())
        return false;

    const std::optional<QByteArray> bytes = FileOutput::fileBytes(lines);
    if (!bytes) {
        showFailure(path, tr("The text holds a character that the Windows-1252 code page cannot represent."));
        return false;
    }
    const FileOutput::WriteResult result = FileOutput::writeFile(path, *bytes);
    if (!result.ok) {
        showFailure(path, result.error);
        return false;
    }
    return true;
}

void SavePath::showFailure(const QString &path, const QString &reason)
{
    m_prompts.show({QMessageBox::Warning, Prompts::applicationTitle(),
                    tr("The file could not be saved:\n%1\n\n%2\n\nNothing was changed on the disk.")
                        .arg(QDir::toNativeSeparators(path), reason)});
}
