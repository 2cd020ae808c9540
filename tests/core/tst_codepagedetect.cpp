// The code page of a mission's texts told from their bytes; the mission's
// settings file; a mission read in the code pages they give.
#include "core/document/codepages.h"
#include "core/document/codepagedetect.h"
#include "core/mission/missionsettings.h"
#include "core/mission/folder.h"
#include "core/mission/find.h"
#include "support/testing.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray in(const QString &text, int codePage)
{
    return CodePages::encode(text, codePage).value_or(QByteArray("<cannot be written>"));
}

// Entries of a .str file with the texts given.
QByteArray entries(const QList<QByteArray> &texts)
{
    QByteArray file = "// Written by hand\r\n";
    for (qsizetype i = 0; i < texts.size(); ++i)
        file += "obj_" + QByteArray::number(i) + ": \"" + texts.at(i) + "\"\r\n";
    return file;
}

const QString Polish = u"Badałem ruiny wieży. Kupiec przywiózł łakoci, ale strażnik źle śpi."_s;

void write(const QString &root, const QList<std::pair<QString, QByteArray>> &files)
{
    for (const auto &[path, bytes] : files) {
        QVERIFY(QDir(root).mkpath(QFileInfo(path).path()));
        Testing::writeAll(root + u'/' + path, bytes);
    }
}

} // namespace

class TestCodePageDetect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Short texts in each language in its code page, in a DOS code page,
    // UTF-8 and ASCII; the folder's code page preferred where they read alike.
    void detects_data()
    {
        QTest::addColumn<QByteArray>("texts");
        QTest::addColumn<int>("preferred");
        QTest::addColumn<int>("expected");
        const auto row = [](const char *name, const QByteArray &texts, int preferred, int expected) {
            QTest::newRow(name) << texts << preferred << expected;
        };
        row("Polish in an english folder", in(Polish, 1250), 1252, 1250);
        row("Czech", in(u"Strážný usnul u brány, a tak jsem tiše proklouzl kolem psů. Měsíc svítil nad jezerem."_s, 1250), 1252, 1250);
        row("Hungarian", in(u"Az őr elaludt a kapunál, így csendben elosontam az alvó kutyák mellett. Eltűnnek."_s, 1250), 1252, 1250);
        row("Russian", in(u"Стражник уснул у ворот, и я тихо проскользнул мимо спящих собак."_s, 1251), 1252, 1251);
        row("German", in(u"Der Händler aus dem Süden brachte einen Wagen voller Süßigkeiten."_s, 1252), 1252, 1252);
        row("French", in(u"Le garde s'est endormi près de la porte ; la clé de la cave est cachée."_s, 1252), 1252, 1252);
        row("Italian", in(u"La guardia si è addormentata, così sono passato; però la città dorme."_s, 1252), 1252, 1252);
        row("Spanish", in(u"¿Qué ocurre en nuestra ciudad? ¡Cuidado! El suelo está podrido, señor."_s, 1252), 1252, 1252);
        row("English with dashes", in(u"The moon shone \u2013 and the mist crept on\u2026"_s, 1252), 1252, 1252);
        row("German in a polish folder: the same letters", in(u"Über dem Öl"_s, 1252), 1250, 1250);
        // ł ó ż ą ę ś in CP852; Ж in CP866; ä ü ß in CP850.
        row("Polish in CP852", "Bada\x88" "em ruiny wie\xBE" "y. Przywi\xA2z\x88 \x88" "akoci, g\xA9\x98.", 1252, 852);
        row("Russian in CP866", "\x91\xE2\xE0\xA0\xA6\xAD\xA8\xAA \xE3\xE1\xAD\xE3\xAB \xE3 \xA2\xAE\xE0\xAE\xE2.", 1251, 866);
        row("German in CP850", "Der H\x84ndler aus dem S\x81" "den brachte S\x81\xE1igkeiten.", 1252, 850);
        row("UTF-8", u"Badałem ruiny"_s.toUtf8(), 1252, CodePageDetect::Utf8);
        row("ASCII", "It was dark.\n", 1250, CodePageDetect::Ascii);
        row("nothing", QByteArray(), 1252, CodePageDetect::Ascii);
    }
    void detects()
    {
        QFETCH(QByteArray, texts);
        QFETCH(int, preferred);
        QFETCH(int, expected);
        QCOMPARE(CodePageDetect::detect(texts, preferred), expected);
    }

    // Only the texts between the quotes are read; uchardet's names map to
    // the code pages (and uchardet is linked and answers).
    void readsTheTextsAndNames()
    {
        const QByteArray file = "// \xB3\xB9 a comment\r\nt\xB3_key: \"a\\\"b\xB3\"   trailing \xB9\r\nstray \xB3\r\n";
        QCOMPARE(CodePageDetect::entryTexts(file), QByteArray("a\\\"b\xB3\n"));
        QCOMPARE(CodePageDetect::codePageOfDetectorName("IBM852"), 852);
        QCOMPARE(CodePageDetect::codePageOfDetectorName("CP850"), 850);
        QCOMPARE(CodePageDetect::codePageOfDetectorName("ibm866"), 866);
        QCOMPARE(CodePageDetect::codePageOfDetectorName("WINDOWS-1257"), 1257);
        QCOMPARE(CodePageDetect::codePageOfDetectorName("ISO-8859-2"), 1250);
        QCOMPARE(CodePageDetect::codePageOfDetectorName("KOI8-R"), -1);
        QCOMPARE(CodePageDetect::codePageOfDetectorName(CodePageDetect::detectorName(in(Polish, 1250))), 1250);
        QCOMPARE(CodePageDetect::shortName(852), u"CP852"_s);
    }

    // The settings file: written and read back, other groups kept, values
    // that are no code page of the program left out.
    void keepsTheMissionSettings()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(MissionSettings::read(dir.path()), MissionSettings::Settings());
        Testing::writeAll(MissionSettings::pathIn(dir.path()), "[team]\nowner=Ola\n[codepages]\nrussian=866\nczech=x\n");
        MissionSettings::Settings settings;
        settings.missionCodePage = 1250;
        settings.languageCodePages = {{u"english"_s, 1252}, {u"russian"_s, 1251}};
        settings.spellingLanguage = u"polish"_s;
        QVERIFY(!MissionSettings::write(dir.path(), settings));
        QCOMPARE(MissionSettings::read(dir.path()), settings);
        QCOMPARE(settings.codePageOf(u"English"_s), 1252);
        QCOMPARE(settings.codePageOf(QString()), 1250);
        const QByteArray written = Testing::readAll(MissionSettings::pathIn(dir.path()));
        QVERIFY2(written.contains("owner=Ola") && written.contains("mission=1250") && !written.contains("czech"),
                 written.constData());
        Testing::writeAll(MissionSettings::pathIn(dir.path()), "[codepages]\nmission=866\nEnglish=1250\n");
        QCOMPARE(MissionSettings::read(dir.path()).missionCodePage, std::nullopt);
        QCOMPARE(MissionSettings::read(dir.path()).languageCodePages.value(u"english"_s), 1250);
    }

    // The settings file is read by Qt's rules for INI files, as QSettings
    // read it: what each row gives, as "mission language:code page ...
    // spelling language".
    void readsTheSettingsAsQtDoes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read");
        QTest::newRow("plain") << "[codepages]\nmission=1250\nrussian=1251\n"_ba << u"1250 russian:1251 "_s;
        QTest::newRow("blanks and a comment") << "[codepages]\n mission = 1251 ; the team's\n"_ba << u"1251 "_s;
        QTest::newRow("quoted") << "[codepages]\nmission=\"1250\"\n"_ba << u"1250 "_s;
        QTest::newRow("comment lines, CR LF") << "; [codepages]\r\n[spelling]\r\n;language=x\r\n[codepages]\r\n"
                                                 "Russian=1251\r\n"_ba
                                              << u"- russian:1251 "_s;
        QTest::newRow("a byte-order mark") << "\xEF\xBB\xBF[codepages]\nmission=1252\n"_ba << u"1252 "_s;
        QTest::newRow("outside the group") << "[General]\nmission=1250\n[team]\nmission=1250\n[codepages]\n"_ba
                                           << u"- "_s;
        QTest::newRow("a list is no code page") << "[codepages]\nmission=1250,1251\n"_ba << u"- "_s;
        QTest::newRow("no value") << "[codepages]\nmission\nenglish=\n"_ba << u"- "_s;
        QTest::newRow("cut by a comment") << "[codepages]\nmission=12;50\n"_ba << u"- "_s;
        QTest::newRow("a key escaped") << "[codepages]\n%E9cole=1252\n"_ba << u"- \u00E9cole:1252 "_s;
        QTest::newRow("the last one counts") << "[codepages]\nmission=1250\nmission=1251\n"_ba << u"1251 "_s;
        QTest::newRow("spelling") << "[spelling]\nlanguage = \"Polish\" ; ours\n"_ba << u"- polish"_s;
        QTest::newRow("quoted semicolon") << "[spelling]\nlanguage=\"a;b\"\n"_ba << u"- a;b"_s;
    }
    void readsTheSettingsAsQtDoes()
    {
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        Testing::writeAll(MissionSettings::pathIn(dir.path()), file);
        const MissionSettings::Settings settings = MissionSettings::read(dir.path());
        QString read = settings.missionCodePage ? QString::number(*settings.missionCodePage) : u"-"_s;
        for (auto it = settings.languageCodePages.cbegin(); it != settings.languageCodePages.cend(); ++it)
            read += u' ' + it.key() + u':' + QString::number(it.value());
        QTEST(read + u' ' + settings.spellingLanguage, "read");
    }

    // Writing changes only the program's own lines; a new file is written
    // as QSettings wrote it.
    void writesTheSettingsKeepingTheRest_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("written");
#ifdef Q_OS_WIN
        const QByteArray newFile = "[codepages]\r\nenglish=1252\r\nmission=1250\r\n\r\n[spelling]\r\nlanguage=polish\r\n";
#else
        const QByteArray newFile = "[codepages]\nenglish=1252\nmission=1250\n\n[spelling]\nlanguage=polish\n";
#endif
        QTest::newRow("none") << QByteArray() << newFile;
        QTest::newRow("comments and other groups")
            << "; the team's\r\n[team]\r\nowner=Ola\r\n\r\n[CodePages]\r\nczech=x\r\n; ours\r\n\r\n[Spelling]\r\n"
               "Language=english\r\nother=1"_ba
            << "; the team's\r\n[team]\r\nowner=Ola\r\n\r\n[CodePages]\r\nenglish=1252\r\nmission=1250\r\n; ours\r\n"
               "\r\n[Spelling]\r\nother=1\r\nlanguage=polish\r\n"_ba;
        QTest::newRow("only other groups") << "[team]\nowner=Ola"_ba
                                           << "[team]\nowner=Ola\n\n[codepages]\nenglish=1252\nmission=1250\n\n"
                                              "[spelling]\nlanguage=polish\n"_ba;
    }
    void writesTheSettingsKeepingTheRest()
    {
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        if (!file.isEmpty())
            Testing::writeAll(MissionSettings::pathIn(dir.path()), file);
        MissionSettings::Settings settings;
        settings.missionCodePage = 1250;
        settings.languageCodePages = {{u"english"_s, 1252}};
        settings.spellingLanguage = u"polish"_s;
        QVERIFY(!MissionSettings::write(dir.path(), settings));
        QTEST(Testing::readAll(MissionSettings::pathIn(dir.path())), "written");
        const MissionSettings::Settings read = MissionSettings::read(dir.path());
        QCOMPARE(read.missionCodePage, settings.missionCodePage);
        QCOMPARE(read.languageCodePages, settings.languageCodePages);
        QCOMPARE(read.spellingLanguage, settings.spellingLanguage);
    }

    // Polish in an `english` folder and in no language folder is read in
    // 1250 (Find finds "łakoci"); plain ASCII and fitting bytes keep the
    // name's code page; the settings file wins; a DOS file is one problem.
    void readsAMissionInItsCodePages()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.path();
        write(root, {
            {u"books/english/diary.str"_s, entries({in(u"Badałem wieżę."_s, 1250), in(u"Zjadł łakoci."_s, 1250)})},
            {u"objnames.str"_s, entries({in(Polish, 1250)})},
            {u"books/german/diary.str"_s, entries({in(u"Größe über Äpfel."_s, 1252), "Zwei"})},
            {u"books/french/diary.str"_s, entries({"Il faisait nuit.", "La porte"})},
            {u"books/polish/old.str"_s, entries({"Bada\x88" "em wie\xBE\x88 \x88" "akoci, g\xA9\x98.", "Dwa"})},
        });
        MissionFolder::Scan scan = MissionFolder::scan(root);
        QMap<QString, int> read;
        for (const MissionFolder::File &file : scan.files)
            read.insert(file.relativePath, file.codePage);
        QCOMPARE(read, (QMap<QString, int>{{u"books/english/diary.str"_s, 1250}, {u"books/french/diary.str"_s, 1252},
                                          {u"books/german/diary.str"_s, 1252}, {u"books/polish/old.str"_s, 1250},
                                          {u"objnames.str"_s, 1250}}));
        using Source = MissionFolder::LanguageCodePage::Source;
        QCOMPARE(scan.codePages.value(u"english"_s).source, Source::Detected);
        QCOMPARE(scan.codePages.value(u"french"_s).detected, CodePageDetect::Ascii);
        QCOMPARE(scan.codePages.value(u"french"_s).source, Source::Named);
        QCOMPARE(MissionFolder::find(scan, u"łakoci"_s, {}).size(), 2);   // not in the file in CP852
        QStringList polishProblems;
        for (const MissionFolder::Problem &problem : MissionFolder::allProblems(scan)) {
            if (problem.file == u"books/polish/old.str"_s)
                polishProblems.append(u"%1: %2"_s.arg(problem.line).arg(problem.message));
        }
        QCOMPARE(polishProblems, QStringList{u"2: The file seems to be written in the DOS code page CP852, which the "
                                             "game does not read; it was read in Windows-1250. The letters beyond "
                                             "ASCII read wrongly on 1 line, from here."_s});

        // The team's settings: the mission in 1252, the german folder in 1250.
        MissionSettings::Settings settings;
        settings.missionCodePage = 1252;
        settings.languageCodePages.insert(u"german"_s, 1250);
        QVERIFY(!MissionSettings::write(root, settings));
        scan = MissionFolder::scan(root);
        for (const MissionFolder::File &file : scan.files)
            QCOMPARE(file.codePage, file.language == u"german"_s ? 1250 : 1252);
        QCOMPARE(scan.codePages.value(u"english"_s).source, Source::Settings);
        QCOMPARE(scan.codePages.value(u"english"_s).detected, 1250);
        QVERIFY(MissionFolder::find(scan, u"łakoci"_s, {}).isEmpty());
        // A code page asked for wins over all.
        for (const MissionFolder::File &file : MissionFolder::scan(root, 1251).files)
            QCOMPARE(file.codePage, 1251);
    }
};

QTEST_GUILESS_MAIN(TestCodePageDetect)
#include "tst_codepagedetect.moc"
