#include "core/mission/translation/translationrecord.h"

#include "core/document/safefile.h"
#include "core/save/fileoutput.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace TranslationRecord {

namespace {

constexpr int Format = 2;   // 1 knew no entries waiting for a review

QString say(const char *text)
{
    return QCoreApplication::translate("TranslationRecord", text);
}

QString stateName(EntryState state)
{
    switch (state) {
    case EntryState::Untranslated:
        return QStringLiteral("untranslated");
    case EntryState::Done:
        return QStringLiteral("done");
    case EntryState::Review:
        return QStringLiteral("review");
    case EntryState::Translated:
        break;
    }
    return QStringLiteral("translated");
}

std::optional<EntryState> stateOf(const QString &name)
{
    for (const EntryState state : {EntryState::Untranslated, EntryState::Translated, EntryState::Review, EntryState::Done}) {
        if (stateName(state) == name)
            return state;
    }
    return std::nullopt;
}

bool isHash(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{16}$"));
    return hex.match(text).hasMatch();
}

} // namespace

QString hashOf(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

QString fileName(const QString &target)
{
    return QStringLiteral("quillwright-translation-%1.json").arg(target.trimmed().toLower());
}

Loaded parse(const QByteArray &json, const QString &mission, const QString &target)
{
    Loaded loaded;
    loaded.record.mission = mission;
    loaded.record.target = target;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject()) {
        loaded.unused.append(say("The record could not be read (%1 at byte %2); nothing in it was used.")
                                 .arg(error.errorString())
                                 .arg(error.offset));
        return loaded;
    }
    const QJsonObject root = document.object();
    if (root.value(u"format").toInt(Format) > Format)
        loaded.unused.append(say("The record was written by a later version; what this one knows of it was used."));
    const QString theirMission = root.value(u"mission").toString(mission);
    const QString theirTarget = root.value(u"target").toString(target);
    if (theirMission.compare(mission, Qt::CaseInsensitive) != 0)
        loaded.unused.append(say("The record was made for the mission %1; only its files this mission has are used.")
                                 .arg(theirMission));
    if (theirTarget.compare(target, Qt::CaseInsensitive) != 0) {
        loaded.unused.append(say("The record is of the language %1, not %2; nothing in it was used.")
                                 .arg(theirTarget, target));
        return loaded;
    }
    const QJsonObject files = root.value(u"files").toObject();
    for (auto file = files.begin(); file != files.end(); ++file) {
        if (!file.value().isObject()) {
            loaded.unused.append(say("%1: not a list of entries.").arg(file.key()));
            continue;
        }
        const QJsonObject entries = file.value().toObject();
        FileEntries &kept = loaded.record.files[file.key()];
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            const QJsonObject fields = it.value().toObject();
            const std::optional<EntryState> state = stateOf(fields.value(u"state").toString());
            Entry entry;
            entry.from = fields.value(u"from").toString();
            entry.source = fields.value(u"source").toString();
            entry.note = fields.value(u"note").toString();
            if (!it.value().isObject() || !state || (*state != EntryState::Untranslated && !isHash(entry.from))) {
                loaded.unused.append(say("%1: the entry %2 could not be read.").arg(file.key(), it.key()));
                continue;
            }
            entry.state = *state;
            if (entry.state == EntryState::Untranslated)
                entry.from.clear();
            // A source text that is not what the hash says was changed by hand: not shown.
            if (!entry.source.isEmpty() && hashOf(entry.source) != entry.from)
                entry.source.clear();
            kept.insert(it.key(), entry);
        }
    }
    return loaded;
}

QString setAsideName(const QString &path)
{
    const QFileInfo info(path);
    const QString stem = info.completeBaseName();
    for (int number = 1;; ++number) {
        const QString name = number == 1 ? QStringLiteral("%1.unreadable.json").arg(stem)
                                         : QStringLiteral("%1.unreadable-%2.json").arg(stem).arg(number);
        const QString candidate = info.dir().filePath(name);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

Loaded load(const QString &path, const QString &mission, const QString &target)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {{mission, target, {}}, {}, {}, true};
    auto read = SafeFile::read(path, SafeFile::RecordCap);
    if (const auto *failure = std::get_if<Error>(&read)) {
        // Nothing of it is known: it is not written over.
        Loaded loaded{{mission, target, {}},
                      {say("The record %1 could not be read: %2").arg(QDir::toNativeSeparators(path), failure->message)},
                      {}, false};
        return loaded;
    }
    const QByteArray &bytes = std::get<QByteArray>(read);
    Loaded loaded = parse(bytes, mission, target);
    if (loaded.unused.isEmpty())
        return loaded;
    // Something the translator recorded could not be used: kept as it stands
    // before the record is ever written again (once: a copy that holds the
    // same bytes already is that copy).
    for (int number = 1;; ++number) {
        const QString kept = info.dir().filePath(number == 1 ? QStringLiteral("%1.unreadable.json").arg(info.completeBaseName())
                                                             : QStringLiteral("%1.unreadable-%2.json").arg(info.completeBaseName()).arg(number));
        if (!QFileInfo::exists(kept))
            break;
        const auto same = SafeFile::read(kept, SafeFile::RecordCap);
        if (std::holds_alternative<QByteArray>(same) && std::get<QByteArray>(same) == bytes) {
            loaded.setAside = kept;
            loaded.unused.append(say("The record as it stood is kept in %1.").arg(QDir::toNativeSeparators(kept)));
            return loaded;
        }
    }
    const QString copy = setAsideName(path);
    const auto where = SafeFile::writablePath(copy, info.absolutePath());
    std::optional<Error> failed = std::holds_alternative<Error>(where) ? std::get<Error>(where) : std::optional<Error>();
    if (!failed)
        failed = FileOutput::writeFile(std::get<QString>(where), bytes);
    if (failed) {
        loaded.rewritable = false;
        loaded.unused.append(say("It could not be kept aside (%1), so it is left as it is and the record is not "
                                 "saved until it can be read.")
                                 .arg(failed->message));
    } else {
        loaded.setAside = copy;
        loaded.unused.append(say("The record as it stood is kept in %1.").arg(QDir::toNativeSeparators(copy)));
    }
    return loaded;
}

QByteArray toJson(const Record &record)
{
    QJsonObject files;
    for (auto file = record.files.begin(); file != record.files.end(); ++file) {
        QJsonObject entries;
        for (auto it = file.value().begin(); it != file.value().end(); ++it) {
            QJsonObject fields{{QStringLiteral("state"), stateName(it->state)}};
            if (it->state != EntryState::Untranslated) {
                fields.insert(u"from", it->from);
                if (!it->source.isEmpty())
                    fields.insert(u"source", it->source);
            }
            if (!it->note.isEmpty())
                fields.insert(u"note", it->note);
            entries.insert(it.key(), fields);
        }
        if (!entries.isEmpty())
            files.insert(file.key(), entries);
    }
    bool review = false;
    for (const FileEntries &entries : record.files) {
        review = review || std::any_of(entries.cbegin(), entries.cend(),
                                       [](const Entry &entry) { return entry.state == EntryState::Review; });
    }
    const QJsonObject root{{QStringLiteral("format"), review ? Format : 1},
                           {QStringLiteral("mission"), record.mission},
                           {QStringLiteral("target"), record.target},
                           {QStringLiteral("files"), files}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Error> save(const QString &path, const Record &record, const QString &root)
{
    const auto where = SafeFile::writablePath(path, root.isEmpty() ? QFileInfo(path).absolutePath() : root);
    std::optional<Error> error = std::holds_alternative<Error>(where)
        ? std::get<Error>(where)
        : FileOutput::writeFile(std::get<QString>(where), toJson(record));
    if (error)
        error->message = say("The record %1 could not be written: %2").arg(QDir::toNativeSeparators(path), error->message);
    return error;
}

QStringList marksChanged(const FileEntries &before, const FileEntries &now)
{
    const auto done = [](const Entry &entry) { return entry.state == EntryState::Done; };
    const auto review = [](const Entry &entry) { return entry.state == EntryState::Review; };
    QStringList keys;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const Entry was = before.value(it.key());
        if (it->note != was.note || done(*it) != done(was) || review(*it) != review(was))
            keys.append(it.key());
    }
    return keys;
}

Notes notesOf(const StrDocument &document)
{
    QString all = document.decoded(0, document.bytes().size());
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);
    QStringList lines = all.split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    const auto comment = [&](qsizetype at) -> std::optional<QString> {
        if (at < 0 || at >= lines.size())
            return std::nullopt;
        const QString line = lines.at(at).trimmed();
        if (!line.startsWith(QLatin1String("//")))
            return std::nullopt;
        return line.mid(2).trimmed();
    };
    // The lines that are an entry's (its own and its comments above it).
    QList<bool> taken(lines.size(), false);
    Notes notes;
    for (int entry = 0; entry < document.entries().size(); ++entry) {
        const StrDocument::Entry &e = document.entries().at(entry);
        const qsizetype first = e.line - 1;
        const qsizetype last = std::min<qsizetype>(document.lineOf(entry, e.afterEnd) - 1, lines.size() - 1);
        for (qsizetype at = first; at <= last; ++at)
            taken[at] = true;
        QStringList mine;
        for (qsizetype at = first - 1; const auto line = comment(at); --at) {
            if (taken.at(at))
                break;
            mine.prepend(*line);
            taken[at] = true;
        }
        const QString after = document.after(entry).trimmed();
        if (after.startsWith(QLatin1String("//")))
            mine.append(after.mid(2).trimmed());
        notes.perEntry.append(mine.join(u'\n'));
    }
    QStringList own;
    for (qsizetype at = 0; at < lines.size(); ++at) {
        if (taken.at(at))
            continue;
        if (const auto line = comment(at))
            own.append(*line);
    }
    notes.opening = own.join(u'\n');
    return notes;
}

QStringList words(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("\\S+\\s*|\\s+"));
    QStringList found;
    auto matches = word.globalMatch(text);
    while (matches.hasNext())
        found.append(matches.next().captured());
    return found;
}

QList<Segment> difference(const QString &oldText, const QString &newText)
{
    const QStringList before = words(oldText), after = words(newText);
    const qsizetype n = before.size(), m = after.size();
    QList<Segment> segments;
    const auto add = [&](Segment::Kind kind, const QString &text) {
        if (!segments.isEmpty() && segments.constLast().kind == kind)
            segments.last().text += text;
        else
            segments.append({kind, text});
    };
    if (n * m > 4'000'000) {   // texts far longer than any entry: no finer difference
        add(Segment::Removed, oldText);
        add(Segment::Added, newText);
        return segments;
    }
    // The longest common run of words, compared without the spaces after them.
    const auto same = [&](qsizetype i, qsizetype j) { return before.at(i).trimmed() == after.at(j).trimmed(); };
    QList<int> table((n + 1) * (m + 1), 0);
    const auto at = [&](qsizetype i, qsizetype j) -> int & { return table[i * (m + 1) + j]; };
    for (qsizetype i = n - 1; i >= 0; --i) {
        for (qsizetype j = m - 1; j >= 0; --j)
            at(i, j) = same(i, j) ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    }
    qsizetype i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && same(i, j)) {
            add(Segment::Same, after.at(j));
            ++i;
            ++j;
        } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
            add(Segment::Removed, before.at(i++));
        } else {
            add(Segment::Added, after.at(j++));
        }
    }
    return segments;
}

} // namespace TranslationRecord
