#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The Windows single-byte code pages the game's files are written in.
namespace CodePages {

QList<int> all();
bool isSupported(int codePage);
int defaultCodePage();

QString name(int codePage);          // "Western (Windows-1252)"
QString shortName(int codePage);     // "Windows-1252"
QString description(int codePage);   // "the Western code page (Windows-1252)"

struct Unencodable {
    qsizetype index = 0;      // position in the text, in UTF-16 units
    char32_t codePoint = 0;   // the whole character, also outside the BMP
};

std::optional<Unencodable> firstUnencodable(QStringView text, int codePage);
std::optional<QByteArray> encode(QStringView text, int codePage);
QList<int> codePagesHolding(char32_t codePoint);

struct Decoded {
    QString text;
    QList<qsizetype> undefinedBytes;
};

Decoded decode(QByteArrayView bytes, int codePage);

} // namespace CodePages
