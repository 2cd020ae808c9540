#include "core/save/inifile.h"

namespace IniFile {

namespace {

enum class LineKind { Other, Group, Key };

// A line of the file: where it stands (its line end included) and what it is.
struct Line {
    qsizetype start = 0;
    qsizetype end = 0;
    LineKind kind = LineKind::Other;
    QString name;    // Group: the group's name; Key: the key
    QString group;   // the group the line stands in
    QString value;   // Key: its value
    QStringList items;   // Key: the items of its value, which is a list when it has more than one
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// A key or group name as Qt writes it: %XX and %UXXXX for characters, '\' for '/'.
QString unescapedKey(const QString &escaped)
{
    QString key;
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped[i];
        const qsizetype digits = i + 1 < escaped.size() && escaped[i + 1] == u'U' ? 4 : 2;
        const qsizetype from = i + 1 + (digits == 4 ? 1 : 0);
        if (c == u'\\') {
            key += u'/';
            continue;
        }
        if (c != u'%' || from + digits > escaped.size()) {
            key += c;
            continue;
        }
        int code = 0;
        for (qsizetype d = from; d < from + digits && code >= 0; ++d)
            code = hexValue(escaped[d]) < 0 ? -1 : code * 16 + hexValue(escaped[d]);
        if (code < 0) {
            key += c;
            continue;
        }
        key += QChar(static_cast<char16_t>(code));
        i = from + digits - 1;
    }
    return key;
}

QByteArray escapedKey(const QString &key)
{
    QByteArray out;
    for (const QChar c : key) {
        const char16_t code = c.unicode();
        if (code == u'/')
            out += '\\';
        else if (code < 0x80 && (c.isLetterOrNumber() || code == u'_' || code == u'-' || code == u'.'))
            out += static_cast<char>(code);
        else if (code <= 0xFF)
            out += '%' + QByteArray::number(code, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(code, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

// A value as Qt reads it: its items, quoted parts as they stand, escapes
// read, blanks around each dropped.
QStringList valueItems(QStringView raw)
{
    QStringList items;
    QString item;
    qsizetype kept = 0;   // the item up to its last character that is no unquoted blank
    bool quoted = false;
    const auto keep = [&](QChar c) {
        item += c;
        kept = item.size();
    };
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'"') {
            quoted = !quoted;
            kept = item.size();
        } else if (c == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw[++i];
            switch (next.unicode()) {
            case u'n': keep(u'\n'); break;
            case u't': keep(u'\t'); break;
            case u'r': keep(u'\r'); break;
            case u'"':
            case u'\'':
            case u'?':
            case u'\\': keep(next); break;
            default: break;   // an escape Qt does not know: nothing
            }
        } else if (c == u',' && !quoted) {
            items.append(item.first(kept));
            item.clear();
            kept = 0;
        } else if ((c == u' ' || c == u'\t') && !quoted) {
            if (!item.isEmpty())
                item += c;
        } else {
            keep(c);
        }
    }
    items.append(item.first(kept));
    if (items.size() == 1 && items.constFirst().startsWith(QLatin1String("@@")))
        items.first().remove(0, 1);
    return items;
}

QByteArray escapedValue(const QString &value)
{
    QString out;
    bool quotes = value.startsWith(u' ') || value.endsWith(u' ');
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'"': out += QLatin1String("\\\""); break;
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        case u';':
        case u',':
        case u'=':
            quotes = true;
            out += c;
            break;
        default: out += c; break;
        }
    }
    if (value.startsWith(u'@'))
        out.prepend(u'@');
    return (quotes ? u'"' + out + u'"' : out).toUtf8();
}

QList<Line> linesOf(QByteArrayView bytes)
{
    QList<Line> lines;
    QString group;
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < bytes.size()) {
        Line line;
        line.start = at;
        const qsizetype lineFeed = bytes.indexOf('\n', at);
        line.end = lineFeed < 0 ? bytes.size() : lineFeed + 1;
        qsizetype first = at;
        while (first < line.end && isBlank(bytes[first]))
            ++first;
        // The content ends at the line end, or at a ';' outside quotes.
        qsizetype contentEnd = first;
        for (bool quoted = false; contentEnd < line.end; ++contentEnd) {
            const char c = bytes[contentEnd];
            if (c == '\n' || c == '\r' || (c == ';' && !quoted))
                break;
            if (c == '"')
                quoted = !quoted;
            else if (c == '\\')
                ++contentEnd;
        }
        contentEnd = std::min(contentEnd, line.end);
        const QString content = QString::fromUtf8(bytes.sliced(first, contentEnd - first)).trimmed();
        if (content.startsWith(u'[')) {
            const qsizetype close = content.indexOf(u']');
            group = unescapedKey(content.sliced(1, (close < 0 ? content.size() : close) - 1));
            if (group.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
                group.clear();
            line.kind = LineKind::Group;
            line.name = group;
        } else if (const qsizetype equals = content.indexOf(u'='); equals > 0) {
            line.kind = LineKind::Key;
            line.name = unescapedKey(content.first(equals).trimmed());
            line.items = valueItems(QStringView(content).sliced(equals + 1));
            if (line.items.size() == 1)   // a list of more than one item is no text
                line.value = line.items.constFirst();
        }
        line.group = group;
        lines.append(line);
        at = line.end;
    }
    return lines;
}

QByteArray lineEndOf(QByteArrayView bytes)
{
    const qsizetype lineFeed = bytes.indexOf('\n');
    if (lineFeed > 0)
        return bytes[lineFeed - 1] == '\r' ? "\r\n" : "\n";
    if (lineFeed == 0)
        return "\n";
#ifdef Q_OS_WIN
    return "\r\n";   // as QSettings writes a new file there
#else
    return "\n";
#endif
}

} // namespace

QList<Value> values(QByteArrayView bytes)
{
    QList<Value> found;
    for (const Line &line : linesOf(bytes)) {
        if (line.kind == LineKind::Key)
            found.append({line.group, line.name, line.value, line.items});
    }
    return found;
}

QByteArray edited(QByteArrayView bytes, const QString &group, const std::function<bool(const QString &key)> &drops,
                  const QList<std::pair<QString, QString>> &added)
{
    const QByteArray lineEnd = lineEndOf(bytes);
    QByteArray newLines;
    for (const auto &[key, value] : added)
        newLines += escapedKey(key) + '=' + escapedValue(value) + lineEnd;

    const QList<Line> lines = linesOf(bytes);
    const auto inGroup = [&](const Line &line) { return line.group.compare(group, Qt::CaseInsensitive) == 0; };
    // Where the new lines go: after the last key (else the heading) of the group's first part.
    qsizetype insertAfter = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines.at(i);
        if (line.kind == LineKind::Group && insertAfter >= 0)
            break;
        if (inGroup(line) && (line.kind == LineKind::Group || (line.kind == LineKind::Key && !drops(line.name))))
            insertAfter = i;
    }

    QByteArray out;
    out.reserve(bytes.size() + newLines.size() + 32);
    out += bytes.first(lines.isEmpty() ? bytes.size() : lines.constFirst().start);   // a byte-order mark
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines.at(i);
        if (!(line.kind == LineKind::Key && inGroup(line) && drops(line.name)))
            out += bytes.sliced(line.start, line.end - line.start);
        if (i == insertAfter && !newLines.isEmpty()) {
            if (!out.endsWith('\n'))
                out += lineEnd;
            out += newLines;
        }
    }
    if (insertAfter < 0 && !newLines.isEmpty()) {
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += lineEnd;
        if (!out.isEmpty() && !out.endsWith(lineEnd + lineEnd) && out != lineEnd)
            out += lineEnd;   // a blank line before the group, as Qt leaves one
        out += '[' + escapedKey(group) + ']' + lineEnd + newLines;
    }
    return out;
}

} // namespace IniFile
