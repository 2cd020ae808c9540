#include "core/mission/translation/translationcommand.h"

#include "core/document/safefile.h"
#include "core/mission/translation/personalmemory.h"
#include "core/mission/translation/translationset.h"
#include "core/mission/workspace.h"
#include "core/save/fileoutput.h"
#include "core/save/prompts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstring>

namespace TranslationCommand {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("TranslationCommand", text);
}

// No one is asked anything: every message is a problem to print.
class Told : public Prompts
{
public:
    QStringList messages;
    QString savePath(const QString &) override { return {}; }
    QString openPath(const QString &) override { return {}; }
    QString folderPath(const QString &) override { return {}; }
    Button show(const Message &message) override
    {
        messages.append(message.text);
        return message.buttons.contains(Button::No) ? Button::No : Button::Ok;
    }
};

// "FILE:line: error: message", on one line.
QString problemLine(const QString &file, int line, const QString &message)
{
    QString place = QDir::toNativeSeparators(file);
    if (line > 0)
        place += u':' + QString::number(line);
    return place + QLatin1String(": error: ") + QString(message).replace(u'\n', u' ').simplified();
}

struct Request {
    QString format;    // po, xliff, tmx; empty for an import
    QString input;     // the file imported
    QString output;
    QString from;
    QString to;
    QString mission;
};

} // namespace

bool requested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--export") == 0 || std::strcmp(argv[i], "--import") == 0)
            return true;
    }
    return false;
}

int run(const QStringList &arguments, const std::function<void(const QString &)> &out,
        const std::function<void(const QString &)> &error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(say("Hands a mission's translation to a translation platform as PO, XLIFF or "
                                         "TMX, and takes its work back. Exits with 0 when written, 2 when refused."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption exportOption(QStringLiteral("export"), say("Write the translation as po, xliff or tmx."),
                                          QStringLiteral("FORMAT"));
    const QCommandLineOption importOption(QStringLiteral("import"), say("Take a PO, XLIFF or TMX file back."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption fromOption(QStringLiteral("from"), say("The language folder translated from."),
                                        QStringLiteral("LANGUAGE"));
    const QCommandLineOption toOption(QStringLiteral("to"), say("The language folder translated into."),
                                      QStringLiteral("LANGUAGE"));
    const QCommandLineOption outputOption(QStringLiteral("output"), say("Where --export writes."), QStringLiteral("FILE"));
    parser.addOptions({exportOption, importOption, fromOption, toOption, outputOption});
    parser.addPositionalArgument(QStringLiteral("mission"), say("The mission folder."), QStringLiteral("MISSION"));
    const auto refuse = [&](const QString &why) {
        error(QStringLiteral("quillwright: ") + why);
        return 2;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        out(parser.helpText());
        return 0;
    }
    Request request{parser.value(exportOption).toLower(), parser.value(importOption), parser.value(outputOption),
                    parser.value(fromOption), parser.value(toOption), parser.positionalArguments().value(0)};
    if (parser.isSet(exportOption) == parser.isSet(importOption))
        return refuse(say("give either --export po|xliff|tmx or --import FILE."));
    if (parser.isSet(exportOption) && request.format != u"po" && request.format != u"xliff" && request.format != u"tmx")
        return refuse(say("--export %1 is none of po, xliff and tmx.").arg(parser.value(exportOption)));
    if (request.from.isEmpty() || request.to.isEmpty() || parser.positionalArguments().size() != 1)
        return refuse(say("name the languages with --from and --to, and one mission folder."));
    if (!MissionTranslation::isLanguageName(request.to))
        return refuse(say("\u201C%1\u201D cannot name a language: the name of a language is the name of its folder, "
                          "of letters, digits, '-' and '_' only.").arg(request.to));

    const MissionFolder::Scan scan = MissionFolder::scan(QFileInfo(request.mission).absoluteFilePath());
    if (scan.failure)
        return refuse(scan.failure->message);
    if (!scan.languages.contains(request.from.toLower()))
        return refuse(say("the mission has no language folder named \u201C%1\u201D.").arg(request.from));
    const QString from = request.from.toLower(), to = request.to;
    const auto known = scan.codePages.constFind(to.toLower());
    const int codePage = known != scan.codePages.cend() ? known->codePage
                                                        : MissionTranslation::codePageOf(to, 1252);
    MissionWorkspace workspace;
    TranslationSet set(workspace);
    const QStringList unused = set.open(scan, from, to, codePage);
    for (const QString &line : unused)
        error(problemLine(set.recordPath(), 0, line).replace(QLatin1String(": error: "), QLatin1String(": warning: ")));
    int unread = 0;
    for (const TranslationSet::File &file : set.files()) {
        if (!file.model) {
            error(problemLine(file.names.sourcePath, 0, file.failure));
            ++unread;
        }
    }
    if (unread > 0)
        return 2;
    if (set.size() == 0)
        return refuse(say("the mission has no file of %1 to translate.").arg(from));
    const QString mission = QFileInfo(scan.root).fileName();
    const QString memory = PersonalMemory::pathOf(from, to);

    if (!request.format.isEmpty()) {   // --export
        const QString suffix = request.format == u"xliff" ? QStringLiteral("xlf") : request.format;
        QString path = request.output;
        if (path.isEmpty()) {   // a file the program names itself inside the mission
            const auto where = SafeFile::writablePath(
                QDir(scan.root).filePath(QStringLiteral("%1-%2.%3").arg(mission, to.toLower(), suffix)), scan.root);
            if (const auto *refused = std::get_if<Error>(&where))
                return refuse(refused->message);
            path = std::get<QString>(where);
        }
        QByteArray bytes;
        if (request.format == u"tmx") {
            QString problem;
            const QList<PersonalMemory::Unit> kept = PersonalMemory::load(memory, &problem);
            if (!problem.isEmpty())
                return refuse(problemLine(memory, 0, problem));
            bytes = PersonalMemory::toTmx(PersonalMemory::merged(kept, mission, set.confirmedUnits(), set.currentUnits()),
                                          from, to);
        } else {
            bytes = set.exported(request.format == u"po" ? TranslationSet::Format::Po : TranslationSet::Format::Xliff,
                                 QDateTime::currentDateTimeUtc());
        }
        if (const std::optional<Error> failed = FileOutput::writeFile(path, bytes)) {
            error(problemLine(path, 0, failed->message));
            return 2;
        }
        out(say("quillwright: %1 written.").arg(QDir::toNativeSeparators(path)));
        return 0;
    }

    // --import
    const auto read = SafeFile::read(request.input, SafeFile::ExchangeCap);
    if (const auto *failure = std::get_if<Error>(&read)) {
        error(problemLine(request.input, 0, failure->message));
        return 2;
    }
    const QByteArray &bytes = std::get<QByteArray>(read);
    if (request.input.endsWith(QLatin1String(".tmx"), Qt::CaseInsensitive)) {   // into the translator's memory
        const QString origin = QFileInfo(request.input).fileName();
        const PersonalMemory::Taken taken = PersonalMemory::fromTmx(bytes, from, to, origin);
        for (const QString &problem : taken.problems)
            error(problemLine(request.input, 0, problem));
        QString problem;
        const QList<PersonalMemory::Unit> kept = PersonalMemory::load(memory, &problem);
        if (!problem.isEmpty())
            error(problemLine(memory, 0, problem));
        if (!taken.problems.isEmpty() || !problem.isEmpty())
            return 2;
        QList<TranslationMemory::Unit> units;
        for (const PersonalMemory::Unit &unit : taken.units)
            units.append({unit.file, unit.key, unit.source, unit.target});
        if (const std::optional<Error> failed =
                PersonalMemory::save(memory, PersonalMemory::merged(kept, origin, units), from, to)) {
            error(problemLine(memory, 0, failed->message));
            return 2;
        }
        out(say("quillwright: %1 pairs taken into %2.").arg(taken.units.size()).arg(QDir::toNativeSeparators(memory)));
        return 0;
    }
    const Exchange::Import import = set.read(request.input, bytes);
    const TranslationSet::Taken taken = set.take(import, say("Import %1").arg(QFileInfo(request.input).fileName()));
    for (const Exchange::Problem &problem : taken.problems) {
        const QString where = problem.key.isEmpty() ? QString() : problem.file + u'|' + problem.key + QLatin1String(": ");
        error(problemLine(request.input, problem.line, where + problem.message));
    }
    if (!taken.problems.isEmpty())
        return 2;
    if (const std::optional<TranslationSet::Refusal> refused = set.check()) {
        const TranslationSet::File &file = set.files().at(size_t(refused->file));
        int line = 0;
        if (refused->refusal.row >= 0) {
            const QString key = file.model->pair().row(refused->refusal.row).key;
            for (const Exchange::Change &change : import.changes) {
                if (change.file == file.names.name && change.key.compare(key, Qt::CaseInsensitive) == 0)
                    line = change.line;
            }
        }
        error(problemLine(line > 0 ? request.input : file.names.targetPath, line,
                          (line > 0 ? QDir::toNativeSeparators(file.names.targetPath) + QLatin1String(": ") : QString())
                              + refused->refusal.message));
        return 2;
    }
    if (taken.entries == 0) {
        out(say("quillwright: %1 holds no translation that differs from the mission's; nothing was written.")
                .arg(QDir::toNativeSeparators(request.input)));
        return 0;
    }
    Told told;
    QString recordProblem;
    const bool saved = set.save(told, &recordProblem);
    for (const QString &message : std::as_const(told.messages))
        error(problemLine(request.input, 0, message));
    if (!recordProblem.isEmpty())
        error(problemLine(set.recordPath(), 0, recordProblem));
    if (!saved || !recordProblem.isEmpty())
        return 2;
    out(say("quillwright: %1 entries taken from %2 into %3 files.")
            .arg(taken.entries)
            .arg(QDir::toNativeSeparators(request.input))
            .arg(taken.files));
    return 0;
}

} // namespace TranslationCommand
