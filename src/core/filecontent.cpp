#include "core/filecontent.h"

Pieces entry(const Pieces &key, QLatin1String open, const Pieces &value, QLatin1String close)
{
    Pieces result = key;
    result.append(fixed(open));
    result.append(value);
    result.append(fixed(close));
    return result;
}

QString joined(const Pieces &pieces)
{
    QString text;
    for (const Piece &piece : pieces)
        text += piece.text;
    return text;
}

FileContent &FileContent::line(const Pieces &pieces)
{
    m_lines.append(pieces);
    return *this;
}

QStringList FileContent::lines() const
{
    QStringList result;
    result.reserve(m_lines.size());
    for (const Pieces &pieces : m_lines)
        result.append(joined(pieces));
    return result;
}

Pieces FileContent::authorTexts() const
{
    Pieces result;
    for (const Pieces &pieces : m_lines) {
        for (const Piece &piece : pieces) {
            if (piece.kind != Piece::Fixed)
                result.append(piece);
        }
    }
    return result;
}
