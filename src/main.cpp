#include "core/mission/check/checkreport.h"
#include "core/document/codepages.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/translation/translationcommand.h"
#include "core/app/version.h"
#include "gui/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

void name()
{
    QCoreApplication::setApplicationName(QStringLiteral("Quillwright"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillwright"));
    QCoreApplication::setApplicationVersion(Version::buildVersion());
}

bool checkRequested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0)
            return true;
        if (std::strcmp(argv[i], "--") == 0)
            break;
    }
    return false;
}

// The program is a GUI program on Windows, started without a console: its
// output reaches a redirected stdout through the handle it inherits, and
// otherwise the console of the Command Prompt it was started from, whose code
// page it sets to UTF-8 while it writes and gives back as it found it.
class Console
{
public:
    Console()
    {
#ifdef Q_OS_WIN
        const HANDLE inherited = GetStdHandle(STD_OUTPUT_HANDLE);
        if (inherited != nullptr && inherited != INVALID_HANDLE_VALUE && GetFileType(inherited) != FILE_TYPE_UNKNOWN)
            return;
        if (AttachConsole(ATTACH_PARENT_PROCESS) && std::freopen("CONOUT$", "w", stdout)) {
            m_codePage = GetConsoleOutputCP();
            SetConsoleOutputCP(CP_UTF8);
        }
#endif
    }
    ~Console()
    {
        std::fflush(stdout);
#ifdef Q_OS_WIN
        if (m_codePage != 0)
            SetConsoleOutputCP(m_codePage);
#endif
    }
    Console(const Console &) = delete;
    Console &operator=(const Console &) = delete;

private:
    unsigned m_codePage = 0;   // the console's code page before, when it was changed
};

void print(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

// quillwright --check FOLDER|FILE... [--code-page N]: no window, no display.
int check(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    name();
    const Console console;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Checks the .str files of a Mirkhold mission and prints what "
                                                    "it finds, one line each, then how many. Exits with 0 when "
                                                    "there is no error, 1 when there is one, 2 when not "
                                                    "everything could be checked."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption checkOption(QStringLiteral("check"), QStringLiteral("Check, without a window."));
    const QCommandLineOption codePageOption(QStringLiteral("code-page"),
                                            QStringLiteral("Read every file in this code page rather than in its "
                                                           "language's."),
                                            QStringLiteral("N"));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("text (one line a problem: path:line:column: severity: "
                                                         "message) or sarif (a SARIF 2.1.0 log)."),
                                          QStringLiteral("FORMAT"), QStringLiteral("text"));
    const QCommandLineOption warningsOption(QStringLiteral("warnings-as-errors"),
                                            QStringLiteral("Exit with 1 for a warning as for an error."));
    const QCommandLineOption spellingOption(QStringLiteral("spelling"),
                                            QStringLiteral("Also note each word the dictionary of its language "
                                                           "(its language folder's, else the mission's) and the "
                                                           "mission's word list do not know, with suggestions."));
    const QCommandLineOption spellingErrorsOption(QStringLiteral("spelling-as-errors"),
                                                  QStringLiteral("With --spelling: an unknown word is an error."));
    const QCommandLineOption dictionariesOption(QStringLiteral("dictionaries"),
                                                QStringLiteral("Look for Hunspell dictionaries (.aff and .dic) in "
                                                               "FOLDER first."),
                                                QStringLiteral("FOLDER"));
    parser.addOptions({checkOption, codePageOption, formatOption, warningsOption, spellingOption, spellingErrorsOption,
                       dictionariesOption});
    parser.addPositionalArgument(QStringLiteral("paths"), QStringLiteral("A mission folder, or .str files."),
                                 QStringLiteral("FOLDER|FILE..."));
    const auto fail = [](const QString &why) {
        print(QStringLiteral("quillwright: ") + why);
        std::fflush(stdout);
        return 2;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (parser.isSet(helpOption)) {
        print(parser.helpText());
        std::fflush(stdout);
        return 0;
    }
    std::optional<int> codePage;
    if (parser.isSet(codePageOption)) {
        bool ok = false;
        codePage = parser.value(codePageOption).toInt(&ok);
        if (!ok || !CodePages::isSupported(*codePage)) {
            QStringList known;
            for (const int each : CodePages::all())
                known.append(QString::number(each));
            return fail(QStringLiteral("--code-page %1 is none of %2.")
                            .arg(parser.value(codePageOption), known.join(QLatin1String(", "))));
        }
    }
    const QString format = parser.value(formatOption);
    if (format != u"text" && format != u"sarif")
        return fail(QStringLiteral("--format %1 is neither text nor sarif.").arg(format));
    if (parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("name a mission folder or .str files to check."));
    MissionFolder::CheckOptions options;
    options.sarif = format == u"sarif";
    options.warningsAsErrors = parser.isSet(warningsOption);
    options.spelling = parser.isSet(spellingOption) || parser.isSet(spellingErrorsOption);
    options.spellingAsErrors = parser.isSet(spellingErrorsOption);
    options.dictionaryFolders = Spelling::dictionaryFolders();
    if (parser.isSet(dictionariesOption))
        options.dictionaryFolders.prepend(parser.value(dictionariesOption));
    return MissionFolder::check(parser.positionalArguments(), codePage, print, options);
}

} // namespace

int main(int argc, char *argv[])
{
    if (checkRequested(argc, argv))
        return check(argc, argv);
    if (TranslationCommand::requested(argc, argv)) {   // --export, --import: no window either
        QCoreApplication app(argc, argv);
        name();
        const Console console;
        return TranslationCommand::run(QCoreApplication::arguments(), print, [](const QString &line) {
            std::fputs((line + u'\n').toUtf8().constData(), stderr);
        });
    }

    QApplication app(argc, argv);
    name();
    QApplication::setDesktopFileName(QStringLiteral("quillwright"));

    // quillwright [FILE...]: the files are opened once the main window is up,
    // as from "File" / "Open…".
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes the text files of Mirkhold missions."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("check"),
                      QStringLiteral("Check a mission folder or files without a window (--check --help tells more).")});
    parser.addOption({{QStringLiteral("export"), QStringLiteral("import")},
                      QStringLiteral("Hand a translation to other tools and take it back (--export --help tells more).")});
    const QCommandLineOption translateOption(
        QStringLiteral("translate"),
        QStringLiteral("Open the mission FOLDER to translate it from the language folder SOURCE into TARGET "
                       "(quillwright --translate english polish FOLDER)."));
    parser.addOption(translateOption);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Mission text files (.str) or mission folders to open."),
                                 QStringLiteral("[file...]"));
    parser.process(app);

    QStringList paths = parser.positionalArguments();
    QString source, target;
    if (parser.isSet(translateOption)) {
        if (paths.size() != 3) {
            std::fputs("quillwright: --translate takes a source language, a target language and a mission "
                       "folder: quillwright --translate english polish FOLDER\n", stderr);
            return 2;
        }
        source = paths.takeFirst();
        target = paths.takeFirst();
    }
    Startup startup(paths);
    if (!source.isEmpty())
        startup.afterOpening = [source, target](Qwr &window) { window.translateMission(source, target); };
    startup.start();
    return QApplication::exec();
}
