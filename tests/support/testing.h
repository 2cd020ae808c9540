#pragma once

#include <QFile>
#include <QTest>

// Helpers shared by the tests.
namespace Testing {

// Two pages typed and added, with the book's name, and the book file they make.
inline const QString TwoPageSteps = QStringLiteral("Bname=Diary|Page=It was dark.|!Apage|Page=The door was locked.|!Apage");
inline const QByteArray TwoPages = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";

// The comment lines at the top of every missflag.str.
inline const QByteArray MissflagHeader = "// Valid mission flags\r\n//\r\n"
                                         "// skip         This mission doesn't exist; it should be skipped.\r\n"
                                         "// no_briefing  Skip the briefing movie\r\n// no_loadout   Skip the loadout\r\n"
                                         "// cutscene     Play a cutscene immediately afterward\r\n"
                                         "// end          End the game when this mission is completed\r\n//\r\n";

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

inline void writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

} // namespace Testing
