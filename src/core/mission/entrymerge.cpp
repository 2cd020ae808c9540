#include "core/mission/entrymerge.h"

#include <QCoreApplication>
#include <QHash>

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("EntryMerge", text);
}

} // namespace

QList<EntryMerge::Part> EntryMerge::partsOf(const StrDocument &document)
{
    QList<Part> parts;
    QHash<QString, int> seen;
    qsizetype at = 0;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const StrDocument::Entry &entry = document.entries().at(i);
        const QString key = document.key(static_cast<int>(i));
        const QString folded = key.toCaseFolded();
        const QString id = folded + u'#' + QString::number(seen[folded]++);
        parts.append({u'<' + id, key, at, entry.start, document.decoded(at, entry.start)});
        parts.append({id, key, entry.start, entry.end, document.decoded(entry.start, entry.end)});
        at = entry.end;
    }
    const qsizetype size = document.bytes().size();
    parts.append({QStringLiteral(">"), QString(), at, size, document.decoded(at, size)});
    return parts;
}

EntryMerge::EntryMerge(const StrDocument &base, const StrDocument &ours, const StrDocument &theirs)
    : m_theirsDocument(theirs)
    , m_checks(ours.authorTexts())
{
    const QList<Part> baseParts = partsOf(asWritten(base));
    const QList<Part> oursParts = partsOf(asWritten(ours));
    m_theirs = partsOf(theirs);
    QHash<QString, QString> inBase, inOurs;
    for (const Part &part : baseParts)
        inBase.insert(part.id, part.text);
    for (const Part &part : oursParts)
        inOurs.insert(part.id, part.text);
    QHash<QString, int> inTheirs;
    for (qsizetype i = 0; i < m_theirs.size(); ++i)
        inTheirs.insert(m_theirs.at(i).id, static_cast<int>(i));

    const auto name = [](const Part &part) {
        if (part.id == u'>')
            return say("the end of the file");
        return part.id.startsWith(u'<') ? say("the lines before %1").arg(part.key) : part.key;
    };
    const auto conflict = [&](const Part &part, const QString &oursText, const QString &theirsText) {
        m_conflicts.append({name(part), oursText, theirsText});
        return static_cast<int>(m_conflicts.size() - 1);
    };

    // Theirs, part by part, in their order.
    for (qsizetype i = 0; i < m_theirs.size(); ++i) {
        const Part &part = m_theirs.at(i);
        const auto original = inBase.constFind(part.id);
        const auto mine = inOurs.constFind(part.id);
        const bool theirsChanged = original == inBase.cend() || *original != part.text;
        const bool oursChanged = original == inBase.cend() ? mine != inOurs.cend()
                                                           : mine == inOurs.cend() || *mine != *original;
        m_theirsChanged += theirsChanged ? 1 : 0;
        m_oursChanged += oursChanged ? 1 : 0;
        Step step{static_cast<int>(i), part.text, -1};
        if (oursChanged) {
            const QString oursText = mine == inOurs.cend() ? QString() : *mine;
            if (!theirsChanged)
                step.text = oursText;
            else if (oursText != part.text || mine == inOurs.cend())
                step.conflict = conflict(part, oursText, part.text);
        }
        m_steps.append(step);
    }
    // Ours where theirs has none: added by us, or removed by them. Each goes
    // after the part it follows in ours.
    QList<QList<Step>> after(m_theirs.size() + 1);   // [0]: before their first part
    qsizetype anchor = 0;
    for (const Part &part : oursParts) {
        if (const auto kept = inTheirs.constFind(part.id); kept != inTheirs.cend()) {
            anchor = *kept + 1;
            continue;
        }
        const auto original = inBase.constFind(part.id);
        if (original == inBase.cend()) {
            ++m_oursChanged;
            after[anchor].append({-1, part.text, -1});
        } else if (*original != part.text) {   // we changed what they removed
            ++m_oursChanged;
            after[anchor].append({-1, QString(), conflict(part, part.text, QString())});
        }
    }
    for (const Part &part : baseParts) {   // removed by them
        if (!inTheirs.contains(part.id)) {
            ++m_theirsChanged;
            if (!inOurs.contains(part.id))
                ++m_oursChanged;   // and by us
        }
    }
    QList<Step> steps;
    steps.reserve(m_steps.size());
    steps += after.at(0);
    for (qsizetype i = 0; i < m_steps.size(); ++i) {
        steps.append(m_steps.at(i));
        steps += after.at(i + 1);
    }
    m_steps = std::move(steps);
}

StrDocument EntryMerge::merged(const QList<bool> &keepOurs) const
{
    StrDocument document = m_theirsDocument;
    Pieces checks = m_checks;
    bool open = false;
    qsizetype from = 0;
    QString text;
    const auto close = [&](qsizetype to) {
        if (!open)
            return;
        document.replace(from, to, text, std::exchange(checks, {}));
        open = false;
    };
    const auto start = [&](qsizetype at) {
        if (open)
            return;
        open = true;
        from = at;
        text.clear();
    };
    qsizetype at = 0;   // where their bytes stand after the last part
    for (const Step &step : m_steps) {
        QString now = step.text;
        if (step.conflict >= 0) {
            const Conflict &conflict = m_conflicts.at(step.conflict);
            now = keepOurs.value(step.conflict, false) ? conflict.ours : conflict.theirs;
        }
        if (step.part < 0) {   // ours, put in here
            if (!now.isEmpty()) {
                start(at);
                text += now;
            }
            continue;
        }
        const Part &part = m_theirs.at(step.part);
        if (now != part.text) {
            start(part.from);
            text += now;
        } else if (part.from < part.to) {   // an empty part leaves a change going on
            close(part.from);
        }
        at = part.to;
    }
    close(at);
    return document;
}

StrDocument EntryMerge::laidOver(const StrDocument &base, const StrDocument &target, const Pieces &checks)
{
    EntryMerge merge(base, target, base);
    merge.m_checks += checks;
    return merge.merged({});
}

StrDocument EntryMerge::asWritten(const StrDocument &document)
{
    if (!document.hasChanges())
        return document;
    return document.current();
}
