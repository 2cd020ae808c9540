#include "core/mission/translation/xmltext.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace XmlText {

Read read(QXmlStreamReader &xml, const QStringList &textElements)
{
    Read result;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            result.text += xml.text();
            break;
        case QXmlStreamReader::StartElement:
            if (!textElements.contains(xml.name().toString()) && result.refusal.isEmpty()) {
                result.refusal = QCoreApplication::translate("XmlText",
                                                             "<%1> on line %2 stands for something other than text, "
                                                             "which a mission's file cannot hold.")
                                     .arg(xml.name().toString())
                                     .arg(xml.lineNumber());
            }
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (!result.refusal.isEmpty())
        result.text.clear();
    return result;
}

} // namespace XmlText
