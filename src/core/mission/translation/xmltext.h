#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QXmlStreamReader;

// The text of an element of a translation exchange file (an XLIFF <source>
// or <target>, a TMX <seg>) whose inline elements are markup around text:
// each of `textElements` gives its text content, in place. Any other
// element inside it cannot be turned into a mission's text.
namespace XmlText {

struct Read {
    QString text;
    // Why not: the element that stands in the way, named with its line
    // ("<x/> on line 12 stands for ..."); empty when the text was read.
    QString refusal;
};

// Reads from the start element the reader stands on to its end element
// (the reader then stands there, as after readElementText()).
Read read(QXmlStreamReader &xml, const QStringList &textElements);

} // namespace XmlText
