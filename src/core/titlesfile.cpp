#include "core/titlesfile.h"

#include <QCoreApplication>

namespace TitlesFile {

FileContent content(const QString &number, const QString &title)
{
    const Piece numberBox = oneLine(number, QCoreApplication::translate("TitlesFile", "the \"Mission No.\" box"));
    const Piece titleBox = oneLine(title, QCoreApplication::translate("TitlesFile", "the \"Mission Title\" box"));
    const QLatin1String open(": \"");
    FileContent file;
    file.line(QStringLiteral("// Objectives screen text."))
        .line(entry({fixed(QStringLiteral("title_")), numberBox}, open, {titleBox}))
        .line(QStringLiteral("// Save game dialog text."))
        .line(entry({fixed(QStringLiteral("short_")), numberBox}, open, {titleBox}));
    return file;
}

} // namespace TitlesFile
