#include "core/mission/check/silencing.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace MissionFolder::Silencing {

namespace {

const QByteArray IgnoreWord = "quillwright-ignore:";
const QByteArray IgnoreFileWord = "quillwright-ignore-file:";

QSet<QString> rulesOf(QByteArrayView list)
{
    QSet<QString> rules;
    for (const QByteArray &rule : list.toByteArray().split(','))
        rules.insert(QString::fromLatin1(rule.trimmed()).toLower());
    rules.remove(QString());
    return rules;
}

// The rules a file's comments silence: in the whole file, and by line.
struct Silenced {
    QSet<QString> file;
    QHash<int, QSet<QString>> lines;

    bool covers(const Problem &problem) const
    {
        return file.contains(problem.rule) || lines.value(problem.line).contains(problem.rule);
    }
};

Silenced silencedIn(const QByteArray &bytes)
{
    Silenced silenced;
    if (!bytes.contains("quillwright-ignore"))
        return silenced;
    QSet<QString> pending;   // from the comments just read, for the next item
    StrSyntax::Tokenizer tokens(bytes);
    StrSyntax::Item item;
    while (tokens.next(item)) {
        if (item.kind == StrSyntax::ItemKind::Blank)
            continue;
        if (item.kind == StrSyntax::ItemKind::Comment) {
            const QByteArrayView text = QByteArrayView(bytes).sliced(item.keyStart, item.afterEnd - item.keyStart)
                                            .sliced(2).trimmed();
            if (text.startsWith(IgnoreFileWord))
                silenced.file.unite(rulesOf(text.sliced(IgnoreFileWord.size())));
            else if (text.startsWith(IgnoreWord))
                pending.unite(rulesOf(text.sliced(IgnoreWord.size())));
            continue;
        }
        if (pending.isEmpty())
            continue;
        const int last = item.line + static_cast<int>(QByteArrayView(bytes).sliced(item.start, item.end - item.start)
                                                          .trimmed().count('\n'));
        for (int line = item.line; line <= last; ++line)
            silenced.lines[line].unite(pending);
        pending.clear();
    }
    return silenced;
}

} // namespace

bool pathMatches(const QString &glob, const QString &path)
{
    QString pattern = QStringLiteral("^");
    const QString trimmed = QString(glob).replace(u'\\', u'/').remove(QRegularExpression(QStringLiteral("^\\./|/+$")));
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c == u'*' && i + 1 < trimmed.size() && trimmed.at(i + 1) == u'*') {
            pattern += QLatin1String(".*");
            ++i;
        } else if (c == u'*') {
            pattern += QLatin1String("[^/]*");
        } else if (c == u'?') {
            pattern += QLatin1String("[^/]");
        } else {
            pattern += QRegularExpression::escape(QString(c));
        }
    }
    pattern += QLatin1String("(/.*)?$");   // the path itself, or anything under it
    const QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    return expression.match(path).hasMatch();
}

QList<Problem> withoutSilenced(const Scan &scan, const QList<Problem> &problems,
                               const MissionSettings::Settings &settings)
{
    QSet<QString> ignored;
    for (const QString &rule : settings.ignoredRules)
        ignored.insert(rule.toLower());
    QHash<QString, const File *> files;
    for (const File &file : scan.files)
        files.insert(file.relativePath, &file);
    QHash<QString, Silenced> byFile;
    QList<Problem> kept;
    for (const Problem &problem : problems) {
        if (ignored.contains(problem.rule))
            continue;
        if (std::any_of(settings.ignoredPaths.cbegin(), settings.ignoredPaths.cend(),
                        [&](const QString &glob) { return pathMatches(glob, problem.file); }))
            continue;
        if (const File *file = files.value(problem.file); file && !file->failure) {
            auto found = byFile.find(problem.file);
            if (found == byFile.end())
                found = byFile.insert(problem.file, silencedIn(file->read.document.bytes()));
            if (found->covers(problem))
                continue;
        }
        kept.append(problem);
    }
    return kept;
}

} // namespace MissionFolder::Silencing
