#include "core/version.h"
#include "gui/startup.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillwright"));
    QApplication::setOrganizationName(QStringLiteral("Quillwright"));
    QApplication::setApplicationVersion(Version::buildVersion());
    QApplication::setDesktopFileName(QStringLiteral("quillwright"));

    // quillwright [FILE...]: the files are opened once the main window is up,
    // as from "File" / "Open…".
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes the text files of Mirkhold missions."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Mission text files (.str) to open."),
                                 QStringLiteral("[file...]"));
    parser.process(app);

    Startup startup(parser.positionalArguments());
    startup.start();
    return QApplication::exec();
}
