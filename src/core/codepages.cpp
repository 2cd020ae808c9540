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

Decoded decode(QByteArrayView bytes, int)
{
    static const QString table = [] {
        QString chars(256, QChar::ReplacementCharacter);
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (const std::optional<char> byte = Windows1252::byteFor(c))
                chars[static_cast<unsigned char>(*byte)] = QChar(static_cast<char16_t>(c));
        }
        return chars;
    }();
    Decoded decoded;
    decoded.text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const QChar c = table.at(static_cast<unsigned char>(bytes.at(i)));
        if (c == QChar::ReplacementCharacter)
            decoded.undefinedBytes.append(i);
        decoded.text.append(c);
    }
    return decoded;
}

} // namespace CodePages
