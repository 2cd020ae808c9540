#include "core/app/console.h"
#include "core/mission/check/commandline.h"
#include "core/mission/translation/translationcommand.h"
#include "core/app/version.h"
#include "gui/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

void name()
{
    QCoreApplication::setApplicationName(QStringLiteral("Quillwright"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillwright"));
    QCoreApplication::setApplicationVersion(Version::buildVersion());
}

} // namespace

int main(int argc, char *argv[])
{
    if (CheckCommandLine::requested(argc, argv))
        return CheckCommandLine::run(argc, argv);
    if (TranslationCommand::requested(argc, argv)) {   // --export, --import: no window either
        QCoreApplication app(argc, argv);
        name();
        const Console::Attached console;
        return TranslationCommand::run(
            QCoreApplication::arguments(), [](const QString &line) { Console::print(stdout, line); },
            [](const QString &line) { Console::print(stderr, line); });
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
    parser.addOption({QStringLiteral("list-rules"), QStringLiteral("Print the check's rules, one a line.")});
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
