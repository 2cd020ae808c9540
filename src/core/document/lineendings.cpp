#include "core/document/lineendings.h"

#include <algorithm>

namespace LineEndings {

// One pass each; a text already in the wanted form is handed back shared, not copied.

QString toLf(const QString &text)
{
    const qsizetype firstCr = text.indexOf(u'\r');
    if (firstCr < 0)
        return text;
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    const QChar *in = text.constData();
    const qsizetype size = text.size();
    std::copy(in, in + firstCr, out);
    qsizetype written = firstCr;
    for (qsizetype i = firstCr; i < size; ++i) {
        if (in[i] != u'\r')
            out[written++] = in[i];
        else if (i + 1 == size || in[i + 1] != u'\n')
            out[written++] = u'\n';   // a lone CR; a CR before LF is dropped
    }
    result.truncate(written);
    return result;
}

QString toCrLf(const QString &text)
{
    const QChar *in = text.constData();
    const qsizetype size = text.size();
    qsizetype breaks = 0;   // line breaks not yet written CR LF: a lone LF or CR
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', at + 1))
        breaks += at == 0 || in[at - 1] != u'\r';
    for (qsizetype at = text.indexOf(u'\r'); at >= 0; at = text.indexOf(u'\r', at + 1))
        breaks += at + 1 == size || in[at + 1] != u'\n';
    if (breaks == 0)
        return text;
    QString result(size + breaks, Qt::Uninitialized);
    QChar *out = result.data();
    qsizetype written = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (in[i] == u'\r' || in[i] == u'\n') {
            out[written++] = u'\r';
            out[written++] = u'\n';
            if (in[i] == u'\r' && i + 1 < size && in[i + 1] == u'\n')
                ++i;
        } else {
            out[written++] = in[i];
        }
    }
    return result;
}

} // namespace LineEndings
