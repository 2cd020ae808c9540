#include "core/codepages.h"

#include "core/textencoding.h"

namespace CodePages {

QList<int> all()
{
    return {1252};
}

bool isSupported(int codePage)
{
    return codePage == 1252;
}

int defaultCodePage()
{
    return 1252;
}

QString name(int)
{
    return QStringLiteral("Western (Windows-1252)");
}

QString shortName(int)
{
    return QStringLiteral("Windows-1252");
}

QString description(int)
{
    return QStringLiteral("the Western code page (Windows-1252)");
}

std::optional<Unencodable> firstUnencodable(QStringView text, int)
{
    const auto bad = Windows1252::firstUnencodable(text);
    if (!bad)
        return std::nullopt;
    return Unencodable{bad->index, bad->codePoint};
}

std::optional<QByteArray> encode(QStringView text, int)
{
    return Windows1252::encode(text);
}

QList<int> codePagesHolding(char32_t codePoint)
{
    if (Windows1252::byteFor(codePoint))
        return {1252};
    return {};
}

} // namespace CodePages
