#include "core/document/codepages.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <bit>
#include <utility>

namespace CodePages {

namespace {

struct Info {
    int codePage;
    const char *script; // translated in the "CodePages" context
};

constexpr std::array<Info, 10> kInfo = {{
    {874, QT_TRANSLATE_NOOP("CodePages", "Thai")},
    {1250, QT_TRANSLATE_NOOP("CodePages", "Central European")},
    {1251, QT_TRANSLATE_NOOP("CodePages", "Cyrillic")},
    {1252, QT_TRANSLATE_NOOP("CodePages", "Western")},
    {1253, QT_TRANSLATE_NOOP("CodePages", "Greek")},
    {1254, QT_TRANSLATE_NOOP("CodePages", "Turkish")},
    {1255, QT_TRANSLATE_NOOP("CodePages", "Hebrew")},
    {1256, QT_TRANSLATE_NOOP("CodePages", "Arabic")},
    {1257, QT_TRANSLATE_NOOP("CodePages", "Baltic")},
    {1258, QT_TRANSLATE_NOOP("CodePages", "Vietnamese")},
}};

QString tr(const char *text)
{
    return QCoreApplication::translate("CodePages", text);
}

qsizetype positionOf(int codePage)
{
    const auto found = std::find_if(kInfo.begin(), kInfo.end(),
                                    [codePage](const Info &info) { return info.codePage == codePage; });
    return found == kInfo.end() ? -1 : found - kInfo.begin();
}

// The byte of each character a code page holds, built once from its table.
class ReverseTable
{
public:
    explicit ReverseTable(const detail::ByteTable *table)
        : m_table(table)
    {
        m_latin1.fill(-1);
        if (!table)
            return;
        for (int byte = 0; byte < 256; ++byte) {
            const char16_t character = (*table)[static_cast<std::size_t>(byte)];
            if (character == detail::kUndefinedByte)
                continue;
            if (character < m_latin1.size())
                m_latin1[character] = static_cast<qint16>(byte);
            else
                m_others.append({character, static_cast<uchar>(byte)});
        }
        std::sort(m_others.begin(), m_others.end());
    }

    // The byte for the character, or -1 when the code page lacks it.
    int byteFor(char32_t character) const
    {
        if (character < m_latin1.size())
            return m_latin1[character];
        if (character > 0xFFFF)
            return -1;
        const std::pair<char16_t, uchar> key{static_cast<char16_t>(character), 0};
        const auto found = std::lower_bound(m_others.begin(), m_others.end(), key);
        return found != m_others.end() && found->first == key.first ? found->second : -1;
    }

    // What `bytes` read back as, composed.
    QString readBack(QByteArrayView bytes) const
    {
        QString text;
        for (const char byte : bytes)
            text.append(QChar((*m_table)[static_cast<uchar>(byte)]));
        return text.normalized(QString::NormalizationForm_C);
    }

private:
    const detail::ByteTable *m_table;
    std::array<qint16, 256> m_latin1{};         // U+0000 to U+00FF
    QList<std::pair<char16_t, uchar>> m_others; // the rest, sorted by character
};

const ReverseTable &reverseTable(int codePage)
{
    static const QList<ReverseTable> tables = [] {
        QList<ReverseTable> result;
        for (const Info &info : kInfo)
            result.append(ReverseTable(detail::byteTable(info.codePage)));
        return result;
    }();
    static const ReverseTable empty(nullptr);
    const qsizetype position = positionOf(codePage);
    return position < 0 ? empty : tables[position];
}

// The character starting at `index`, and moves `index` past it. A lone
// surrogate half stands for itself, which no code page holds.
char32_t nextCodePoint(QStringView text, qsizetype &index)
{
    const QChar first = text[index++];
    if (first.isHighSurrogate() && index < text.size() && text[index].isLowSurrogate())
        return QChar::surrogateToUcs4(first, text[index++]);
    return first.unicode();
}

// Whether the character at `index` is a combining mark that belongs to the
// character before it (a canonical combining class other than 0).
bool isCombiningMark(QStringView text, qsizetype index)
{
    if (text[index].unicode() < 0x0300) // no mark lies below U+0300
        return false;
    return QChar::combiningClass(nextCodePoint(text, index)) != 0;
}

QList<char32_t> codePointsOf(QStringView text)
{
    QList<char32_t> result;
    for (qsizetype index = 0; index < text.size();)
        result.append(nextCodePoint(text, index));
    return result;
}

QString textOf(const QList<char32_t> &codePoints)
{
    return QString::fromUcs4(codePoints.constData(), codePoints.size());
}

// A character the table lacks, written decomposed: the base with as many of its
// marks as the table holds precomposed, then the remaining marks, which the
// table must hold themselves ("ệ" in 1258: "ê" and a combining dot below).
// The bytes must read back, composed, as the character itself: a base may
// not take in a mark that would change the order of the marks left ("ṹ" is
// "u", a tilde and an acute, never "ú" and a tilde).
bool appendDecomposed(char32_t character, const ReverseTable &table, QByteArray &out)
{
    if (QChar::decompositionTag(character) != QChar::Canonical)
        return false;
    const QList<char32_t> parts =
        codePointsOf(textOf({character}).normalized(QString::NormalizationForm_D));
    const QList<char32_t> marks = parts.mid(1);
    const auto markCount = static_cast<unsigned>(marks.size());
    if (markCount == 0 || markCount > 8)
        return false;
    for (int absorbed = static_cast<int>(markCount) - 1; absorbed >= 0; --absorbed) {
        for (unsigned chosen = 0; chosen < (1u << markCount); ++chosen) {
            if (std::popcount(chosen) != absorbed)
                continue;
            QList<char32_t> base = {parts.front()};
            QByteArray bytes(1, '\0');
            bool held = true;
            for (unsigned mark = 0; mark < markCount && held; ++mark) {
                if (chosen & (1u << mark)) {
                    base.append(marks[mark]);
                } else {
                    const int byte = table.byteFor(marks[mark]);
                    held = byte >= 0;
                    bytes.append(static_cast<char>(byte));
                }
            }
            const QList<char32_t> composed =
                codePointsOf(textOf(base).normalized(QString::NormalizationForm_C));
            const int baseByte = held && composed.size() == 1 ? table.byteFor(composed.front()) : -1;
            if (baseByte < 0)
                continue;
            bytes[0] = static_cast<char>(baseByte);
            if (table.readBack(bytes) != textOf({character}))
                continue;
            out.append(bytes);
            return true;
        }
    }
    return false;
}

// A character and the combining marks after it, composed (NFC) and written.
// Composing such a piece on its own gives what composing the whole text gives:
// the only characters that compose with a preceding character without being a
// combining mark (Hangul jamo, some vowel signs of Indic and other scripts) are
// in no table here, nor is anything they compose into.
std::optional<QByteArray> composedBytes(QStringView piece, const ReverseTable &table)
{
    const QString composed = piece.toString().normalized(QString::NormalizationForm_C);
    QByteArray bytes;
    for (qsizetype index = 0; index < composed.size();) {
        const char32_t character = nextCodePoint(composed, index);
        const int byte = table.byteFor(character);
        if (byte >= 0)
            bytes.append(static_cast<char>(byte));
        else if (!appendDecomposed(character, table, bytes))
            return std::nullopt;
    }
    return bytes;
}

// The UTF-16 units of a short piece in one number. Only a piece's first unit
// can be U+0000 (a mark never is), so pieces of different lengths differ.
quint64 keyOf(QStringView piece)
{
    quint64 key = 0;
    for (qsizetype index = piece.size(); index-- > 0;)
        key = (key << 16) | piece[index].unicode();
    return key;
}

// Where encode() puts its bytes; firstUnencodable() keeps none. Writing into
// the array directly takes half the time QByteArray::append() takes per byte.
class Sink
{
public:
    Sink(QByteArray *bytes, qsizetype expectedSize)
        : m_bytes(bytes)
    {
        if (m_bytes) {
            m_bytes->resize(expectedSize);
            m_data = m_bytes->data();
        }
    }

    void put(char byte)
    {
        if (!m_bytes)
            return;
        if (m_used == m_bytes->size()) {
            m_bytes->resize(m_used * 2 + 16);
            m_data = m_bytes->data();
        }
        m_data[m_used++] = byte;
    }

    void put(QByteArrayView bytes)
    {
        for (const char byte : bytes)
            put(byte);
    }

    void finish()
    {
        if (m_bytes)
            m_bytes->truncate(m_used);
    }

private:
    QByteArray *m_bytes;
    char *m_data = nullptr;
    qsizetype m_used = 0;
};

// Writes the text piece by piece into `out` (when given); stops at the first
// character the code page cannot hold.
std::optional<Unencodable> write(QStringView text, int codePage, QByteArray *out)
{
    const ReverseTable &table = reverseTable(codePage);
    Sink sink(out, text.size());
    // The pieces that need composing are few and repeat (the accented letters
    // of a language), so each is composed once.
    QHash<quint64, QByteArray> composedPieces;
    qsizetype index = 0;
    while (index < text.size()) {
        const qsizetype start = index;
        const char32_t first = nextCodePoint(text, index);
        const qsizetype firstEnd = index;
        // Unicode's stream-safe text format (UAX #15) allows 30 combining marks
        // in a row; a longer run is taken in parts of 30, as that format does,
        // which keeps composing a pasted run of marks from taking hours.
        for (int marks = 0; marks < 30 && index < text.size() && isCombiningMark(text, index); ++marks)
            nextCodePoint(text, index);

        // Most characters stand alone and are in the table as they are: every
        // character a table holds is its own canonical composition.
        if (index == firstEnd) {
            const int byte = table.byteFor(first);
            if (byte >= 0) {
                sink.put(static_cast<char>(byte));
                continue;
            }
        }
        const QStringView piece = text.sliced(start, index - start);
        const bool cacheable = piece.size() <= 4;
        if (cacheable) {
            const auto found = composedPieces.constFind(keyOf(piece));
            if (found != composedPieces.constEnd()) {
                sink.put(*found);
                continue;
            }
        }
        if (const std::optional<QByteArray> bytes = composedBytes(piece, table)) {
            sink.put(*bytes);
            if (cacheable)
                composedPieces.insert(keyOf(piece), *bytes);
            continue;
        }
        // Report the character whose arrival makes the piece unwritable.
        for (qsizetype end = start; end < index;) {
            const qsizetype at = end;
            const char32_t character = nextCodePoint(text, end);
            if (!composedBytes(text.sliced(start, end - start), table))
                return Unencodable{at, character};
        }
        return Unencodable{start, first};
    }
    sink.finish();
    return std::nullopt;
}

} // namespace

QList<int> all()
{
    QList<int> result;
    for (const Info &info : kInfo)
        result.append(info.codePage);
    return result;
}

bool isSupported(int codePage)
{
    return positionOf(codePage) >= 0;
}

int defaultCodePage()
{
    return 1252;
}

int systemCodePage()
{
#ifdef Q_OS_WIN
    return static_cast<int>(GetACP());
#else
    return 0;
#endif
}

int startCodePage(int systemCodePage)
{
    return isSupported(systemCodePage) ? systemCodePage : defaultCodePage();
}

QString name(int codePage)
{
    const qsizetype position = positionOf(codePage);
    if (position < 0)
        return QString();
    return tr("%1 (%2)").arg(tr(kInfo[static_cast<std::size_t>(position)].script), shortName(codePage));
}

QString shortName(int codePage)
{
    return isSupported(codePage) ? QStringLiteral("Windows-%1").arg(codePage) : QString();
}

QString description(int codePage)
{
    const qsizetype position = positionOf(codePage);
    if (position < 0)
        return QString();
    return tr("the %1 code page (%2)")
        .arg(tr(kInfo[static_cast<std::size_t>(position)].script), shortName(codePage));
}

std::optional<Unencodable> firstUnencodable(QStringView text, int codePage)
{
    return write(text, codePage, nullptr);
}

std::optional<QByteArray> encode(QStringView text, int codePage)
{
    QByteArray bytes;
    if (write(text, codePage, &bytes))
        return std::nullopt;
    return bytes;
}

Decoded decode(QByteArrayView bytes, int codePage)
{
    const detail::ByteTable *table = detail::byteTable(codePage);
    Decoded result;
    result.text.resize(bytes.size());
    QChar *out = result.text.data();
    for (qsizetype offset = 0; offset < bytes.size(); ++offset) {
        const auto byte = static_cast<std::size_t>(static_cast<uchar>(bytes[offset]));
        const char16_t character = table ? (*table)[byte] : detail::kUndefinedByte;
        if (character == detail::kUndefinedByte) {
            out[offset] = QChar::ReplacementCharacter;
            result.undefinedBytes.append(offset);
        } else {
            out[offset] = QChar(character);
        }
    }
    return result;
}

QList<int> codePagesHolding(char32_t codePoint)
{
    QList<int> result;
    if (codePoint > static_cast<char32_t>(QChar::LastValidCodePoint) || QChar::isSurrogate(codePoint))
        return result;
    // Not QString::fromUcs4(), which takes a leading U+FEFF for a byte order mark and drops it.
    const QString text = QStringView(QChar::fromUcs4(codePoint)).toString();
    for (const Info &info : kInfo) {
        if (!firstUnencodable(text, info.codePage))
            result.append(info.codePage);
    }
    return result;
}

} // namespace CodePages
