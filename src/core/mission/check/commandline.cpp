#include "core/mission/check/commandline.h"

#include "core/app/console.h"
#include "core/app/version.h"
#include "core/document/codepages.h"
#include "core/mission/check/checkreport.h"
#include "core/mission/check/rules.h"
#include "core/mission/spelling/spelling.h"
#include "core/save/fileoutput.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace CheckCommandLine {

namespace {

QCommandLineOption option(const char *name, const char *description, const char *value = nullptr)
{
    const QString text = QCoreApplication::translate("CheckCommandLine", description);
    return value ? QCommandLineOption(QString::fromLatin1(name), text, QString::fromLatin1(value))
                 : QCommandLineOption(QString::fromLatin1(name), text);
}

} // namespace

bool requested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0 || std::strcmp(argv[i], "--list-rules") == 0)
            return true;
        if (std::strcmp(argv[i], "--") == 0)
            break;
    }
    return false;
}

int run(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillwright"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillwright"));
    QCoreApplication::setApplicationVersion(Version::buildVersion());
    const Console::Attached console;
    const auto out = [](const QString &line) { Console::print(stdout, line); };
    const auto fail = [](const QString &why) {
        Console::print(stderr, QStringLiteral("quillwright: ") + why);
        return 2;
    };
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "CheckCommandLine", "Checks the .str files of a Mirkhold mission and prints what it finds, one line each with "
                            "its rule, then how many. Exits with 0 when there is no error, 1 when there is one, 2 when "
                            "not everything could be checked."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption checkOption = option("check", "Check, without a window.");
    const QCommandLineOption listOption = option("list-rules", "Print the check's rules, one a line, id first.");
    const QCommandLineOption codePageOption =
        option("code-page", "Read every file in this code page rather than in its language's.", "N");
    const QCommandLineOption formatOption = option(
        "format", "text (one line a problem: path:line:column: severity: message [rule]) or sarif (a SARIF 2.1.0 log).",
        "FORMAT");
    const QCommandLineOption outputOption = option("output", "Write the report into FILE rather than to stdout.", "FILE");
    const QCommandLineOption warningsOption = option("warnings-as-errors", "Exit with 1 for a warning as for an error.");
    const QCommandLineOption notesOption = option("no-notes", "Leave notes out.");
    const QCommandLineOption baselineOption =
        option("baseline", "Report only the findings the baseline FILE does not know; only they set the exit code.",
               "FILE");
    const QCommandLineOption writeBaselineOption =
        option("write-baseline", "Record today's findings in the baseline FILE (then exit with 0).", "FILE");
    const QCommandLineOption spellingOption = option(
        "spelling", "Also note each word the dictionary of its language and the mission's word list do not know.");
    const QCommandLineOption suggestOption = option("suggest", "With --spelling: the dictionary's suggestions for each.");
    const QCommandLineOption unknownOption = option(
        "unknown-words", "Print each word no dictionary knows with how often it stands, most frequent first, "
                         "rather than the findings.");
    const QCommandLineOption spellingErrorsOption =
        option("spelling-as-errors", "With --spelling: an unknown word is an error.");
    const QCommandLineOption dictionariesOption =
        option("dictionaries", "Look for Hunspell dictionaries (.aff and .dic) in FOLDER first.", "FOLDER");
    parser.addOptions({checkOption, listOption, codePageOption, formatOption, outputOption, warningsOption, notesOption,
                       baselineOption, writeBaselineOption, spellingOption, suggestOption, unknownOption,
                       spellingErrorsOption, dictionariesOption});
    parser.addPositionalArgument(QStringLiteral("paths"),
                                 QCoreApplication::translate("CheckCommandLine", "A mission folder, or .str files."),
                                 QStringLiteral("FOLDER|FILE..."));
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (parser.isSet(helpOption)) {
        out(parser.helpText());
        return 0;
    }
    if (parser.isSet(listOption)) {
        for (const QString &line : CheckRules::listed())
            out(line);
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
    const QString format = parser.isSet(formatOption) ? parser.value(formatOption) : QStringLiteral("text");
    if (format != u"text" && format != u"sarif")
        return fail(QStringLiteral("--format %1 is neither text nor sarif.").arg(format));
    if (parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("name a mission folder or .str files to check."));
    if (parser.isSet(baselineOption) && parser.isSet(writeBaselineOption))
        return fail(QStringLiteral("--baseline and --write-baseline do not go together."));
    MissionFolder::CheckOptions options;
    options.sarif = format == u"sarif";
    options.warningsAsErrors = parser.isSet(warningsOption);
    options.spelling = parser.isSet(spellingOption) || parser.isSet(spellingErrorsOption) || parser.isSet(suggestOption);
    options.spellingAsErrors = parser.isSet(spellingErrorsOption);
    options.suggest = parser.isSet(suggestOption);
    options.unknownWords = parser.isSet(unknownOption);
    options.noNotes = parser.isSet(notesOption);
    options.baseline = parser.value(baselineOption);
    options.writeBaseline = parser.value(writeBaselineOption);
    options.dictionaryFolders = Spelling::dictionaryFolders();
    if (parser.isSet(dictionariesOption))
        options.dictionaryFolders.prepend(parser.value(dictionariesOption));
    const auto error = [](const QString &line) { Console::print(stderr, line); };
    if (!parser.isSet(outputOption))
        return MissionFolder::check(parser.positionalArguments(), codePage, out, options, error);
    QByteArray report;
    const int code = MissionFolder::check(
        parser.positionalArguments(), codePage, [&](const QString &line) { report += line.toUtf8() + '\n'; }, options,
        error);
    if (const std::optional<Error> failed = FileOutput::writeFile(parser.value(outputOption), report))
        return fail(failed->message);
    return code;
}

} // namespace CheckCommandLine
