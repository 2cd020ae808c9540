#pragma once

#include <QString>

// Qt's text boxes separate lines with LF alone; the stored entries and the
// game's files separate them with CR LF. These convert at that boundary.
namespace LineEndings {

// Every line break (LF, CR LF or a lone CR) becomes CR LF.
QString toCrLf(const QString &text);

// Every CR LF (and any lone CR) becomes LF, for showing text in a text box.
QString toLf(const QString &text);

} // namespace LineEndings
