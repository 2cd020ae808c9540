#include "gui/mission/missionreplace.h"

#include "core/mission/backgroundjob.h"
#include "core/mission/scantexts.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "gui/mission/missionpanel.h"
#include "gui/mission/workprogress.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QUndoStack>

#include <utility>

namespace {

// "1 file", "3 files".
QString counted(qsizetype count, const char *one, const char *many)
{
    return QString::number(count) + u' ' + QLatin1String(count == 1 ? one : many);
}

} // namespace

MissionReplace::MissionReplace(MissionWorkspace &workspace, Prompts &prompts, WorkProgress &progress,
                               QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_prompts(prompts)
    , m_progress(progress)
    , m_finder(new BackgroundJob(this))
{
    m_finder->setTimeLimit(std::chrono::seconds(10));
    connect(m_finder, &BackgroundJob::timedOut, this, [this] {
        if (!m_panel)
            return;
        const double seconds = static_cast<double>(m_finder->timeLimit().count()) / 1000.0;
        m_panel->resultsLabel->setText(tr("Replace All was stopped after %1 s: the expression takes too long on "
                                          "these texts. Nothing was replaced.").arg(seconds));
    });
    // The counts follow each file's own undo (Ctrl+Z in its tab), once the changes settle.
    auto *settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(0);
    connect(settle, &QTimer::timeout, this, &MissionReplace::showPending);
    connect(&m_workspace, &MissionWorkspace::documentsChanged, settle, qOverload<>(&QTimer::start));
    connect(&m_workspace, &MissionWorkspace::documentChanged, settle, qOverload<>(&QTimer::start));
}

MissionReplace::~MissionReplace() = default;

void MissionReplace::setPanel(MissionPanel *panel)
{
    m_panel = panel;
    connect(panel, &MissionPanel::replaceRequested, this, &MissionReplace::replaceAll);
    connect(panel, &MissionPanel::undoReplaceRequested, this, &MissionReplace::undoReplace);
    connect(panel, &MissionPanel::saveReplacedRequested, this, &MissionReplace::saveReplaced);
    connect(panel, &MissionPanel::folderRead, this, &MissionReplace::showPending);
    connect(panel, &MissionPanel::folderRead, this, [this] {
        if (std::exchange(m_afterReading, false))
            replaceAll();
    });
}

bool MissionReplace::isReplacing() const
{
    return m_finder->isRunning() || m_applying || m_afterReading;
}

void MissionReplace::setTimeLimit(std::chrono::milliseconds limit)
{
    m_finder->setTimeLimit(limit);
}

void MissionReplace::replaceAll()
{
    if (!m_panel || m_applying)
        return;
    if (m_panel->isReading()) {   // read again (a change outside, say): replaced in as it is then
        m_afterReading = true;
        m_panel->resultsLabel->setText(tr("The folder is being read; the replacement follows."));
        return;
    }
    // The texts as the workspace holds them: a file changed and not yet
    // saved is replaced in with its changes.
    const MissionFolder::Scan scan = m_panel->scan();
    QHash<int, Replacement::Held> held;
    QHash<int, quint64> generations;
    for (qsizetype i = 0; i < scan.files.size(); ++i) {
        if (const WorkspaceDocument *document = m_workspace.findIdentity(scan.files.at(i).identity)) {
            held.insert(static_cast<int>(i), {document->document(), document->diskBytes(), document->codePage()});
            generations.insert(static_cast<int>(i), document->generation());
        }
    }
    const QString pattern = m_panel->findText->text();
    const QString replacement = m_panel->replaceText->text();
    const MissionFolder::FindOptions options = m_panel->findOptions();
    m_panel->resultsLabel->setText(tr("Looking for what to replace\u2026"));
    // A run that takes too long is stopped, and so is one a newer Replace All follows.
    // The panel keeps no texts: the files the workspace does not hold are
    // read here, and kept until the replacement is made.
    m_finder->start(
        [scan, held, pattern, replacement, options](const BackgroundJob::Control &control) {
            QHash<int, StrDocument> heldTexts;
            for (auto it = held.cbegin(); it != held.cend(); ++it)
                heldTexts.insert(it.key(), it->document);
            MissionFolder::Scan searched = MissionFolder::withTexts(scan, heldTexts, control.cancelFlag());
            control.startTheClock();   // the limit is for the expression, not for reading the files
            Replacement::Found found = Replacement::replaceAll(searched, held, pattern, replacement, options,
                                                               control.cancelFlag(), control.progressFunction());
            return std::make_pair(std::move(searched), std::move(found));
        },
        [this, generations, pattern, replacement, options](
            const std::pair<MissionFolder::Scan, Replacement::Found> &searched) {
            apply(searched.first, generations, searched.second, pattern, replacement, options);
        },
        BackgroundJob::Clock::FromWork);
}

void MissionReplace::apply(const MissionFolder::Scan &scan, const QHash<int, quint64> &generations,
                           const Replacement::Found &found, const QString &pattern, const QString &replacement,
                           const MissionFolder::FindOptions &options)
{
    if (!m_panel)
        return;
    m_panel->resultsLabel->clear();
    if (!found.error.isEmpty()) {
        m_prompts.tell(tr("The regular expression cannot be used: %1").arg(found.error));
        return;
    }
    if (found.files.isEmpty()) {
        m_prompts.tell(tr("Nothing in the mission matches \u201C%1\u201D; nothing was replaced.").arg(pattern));
        return;
    }
    if (scan.files.size() != m_panel->scan().files.size()) {
        m_panel->resultsLabel->setText(tr("The folder was read again meanwhile; nothing was replaced."));
        return;
    }
    // What a view holds and its file does not yet is laid into the file
    // first (a step of its undo), and the texts looked at again with it;
    // only a view that refuses its changes leaves its file out.
    QList<WorkspaceDocument *> viewed;
    QStringList lines;
    for (const Replacement::File &file : found.files) {
        const MissionFolder::File &scanned = scan.files.at(file.file);
        if (WorkspaceDocument *held = m_workspace.findIdentity(scanned.identity))
            viewed.append(held);
        lines.append(tr("%1: %2").arg(QDir::toNativeSeparators(scanned.relativePath),
                                      counted(file.matches, "match", "matches")));
    }
    QStringList busy;
    const bool laid = layViews && layViews(viewed, &busy);
    if (!busy.isEmpty()) {
        m_prompts.tell(tr("These files are open with changes not saved; save or close them first, then "
                          "replace:\n\n%1").arg(busy.join(u'\n')));
        return;
    }
    if (laid) {
        replaceAll();
        return;
    }
    if (lines.size() > 20) {
        const qsizetype more = lines.size() - 20;
        lines.resize(20);
        lines.append(tr("\u2026 and %1 more files").arg(more));
    }
    const QString question =
        tr("Replace %1 of \u201C%2\u201D with \u201C%3\u201D in %4?")
            .arg(counted(found.matches, "match", "matches"), pattern, replacement,
                 counted(found.files.size(), "file", "files"))
        + QStringLiteral("\n\n") + lines.join(u'\n')
        + tr("\n\nNothing is written until you save the replaced files; until then, Undo Replace takes it back.");
    if (m_prompts.show({Prompts::Icon::Information, Prompts::applicationTitle(), question,
                        {Prompts::Button::Yes, Prompts::Button::Cancel}, Prompts::Button::Yes, {}})
        != Prompts::Button::Yes)
        return;
    if (!m_panel)
        return;
    if (m_panel->scan().files.size() != scan.files.size()) {   // read again while the question was open
        m_panel->resultsLabel->setText(tr("The folder was read again meanwhile; nothing was replaced."));
        return;
    }
    // One step of each file's undo, file by file.
    m_step = tr("Replace \u201C%1\u201D with \u201C%2\u201D").arg(pattern, replacement);
    m_records.clear();
    m_applying = true;
    int next = 0;
    Counts made;
    {
        const MissionWorkspace::Batch batch(m_workspace);
        const bool whole = m_progress.runInSteps(tr("Replacing \u201C%1\u201D with \u201C%2\u201D\u2026")
                                                     .arg(pattern, replacement),
                                                 [&](int &done, int &total) {
            total = static_cast<int>(found.files.size());
            if (next >= total || !m_panel)
                return true;
            Replacement::File file = found.files.at(next);
            const MissionFolder::File &scanned = scan.files.at(file.file);
            WorkspaceDocument *document = m_workspace.findIdentity(scanned.identity);
            if (document && document->generation() != generations.value(file.file, ~quint64(0))) {
                // Changed since it was searched (a change outside merged, say): replaced in as it is now.
                file = Replacement::replaceIn(scan, file.file, {document->document(), document->diskBytes(),
                                                                document->codePage()},
                                              pattern, replacement, options);
            }
            if (!document)
                document = m_workspace.adopt(scanned.path, scanned.codePage, scanned.read.document, scanned.identity);
            if (!file.texts.isEmpty()) {
                document->change(file.document, m_step, m_panel);
                const int index = document->undoStack()->index() - 1;
                m_records.append({document, file.texts, file.matches, document->undoStack()->command(index), index,
                                  document->diskBytes()});
                ++made.files;
                made.matches += file.matches;
            }
            done = ++next;
            return next >= total;
        });
        m_applying = false;
        if (!m_panel)
            return;
        m_summary = whole ? tr("%1 replaced in %2, not saved yet.")
                                .arg(counted(made.matches, "match", "matches"), counted(made.files, "file", "files"))
                          : tr("Replace All was stopped: %1 replaced in %2, not saved yet; the other %3 were left as "
                               "they were.")
                                .arg(counted(made.matches, "match", "matches"), counted(made.files, "file", "files"),
                                     counted(found.files.size() - next, "file", "files"));
    }
    if (m_panel->dropStaleResults())   // they show the texts as they were before
        m_summary += u' ' + tr("The results listed before were cleared; find again to see the texts as they are now.");
    showPending();
    m_panel->resultsLabel->setText(m_summary);
}

bool MissionReplace::inEffect(const Record &record) const
{
    if (!record.document)
        return false;
    const QUndoStack *stack = record.document->undoStack();
    return stack->index() > record.stepIndex && stack->count() > record.stepIndex
           && stack->command(record.stepIndex) == record.step;
}

MissionReplace::Counts MissionReplace::standing() const
{
    Counts counts;
    for (const Record &record : m_records) {
        if (inEffect(record) && record.document->isModified()) {
            ++counts.files;
            counts.matches += record.matches;
        }
    }
    return counts;
}

QString MissionReplace::pendingSummary() const
{
    const Counts counts = standing();
    return tr("%1 replaced in %2, not saved yet.")
        .arg(counted(counts.matches, "match", "matches"), counted(counts.files, "file", "files"));
}

void MissionReplace::showPending()
{
    if (!m_panel || m_applying)
        return;
    const Counts counts = standing();
    m_panel->setReplacementsPending(counts.files > 0);
    // Said again as each file's own undo takes its replacement back or brings it again.
    if (!m_records.isEmpty() && m_panel->resultsLabel->text() == m_summary) {
        const QString now = counts.files > 0 ? pendingSummary() : tr("The replacements were taken back in every file.");
        if (!m_summary.startsWith(now)) {   // the same counts keep what was said after them
            m_summary = now;
            m_panel->resultsLabel->setText(m_summary);
        }
    }
}

void MissionReplace::undoReplace()
{
    if (!m_panel || m_applying)
        return;
    Counts undone, left, saved, already;
    const QList<Record> records = std::exchange(m_records, {});
    qsizetype next = 0;
    m_applying = true;
    {
        const MissionWorkspace::Batch batch(m_workspace);
        m_progress.runInSteps(tr("Undoing %1\u2026").arg(m_step), [&](int &done, int &total) {
            total = static_cast<int>(records.size());
            if (next >= records.size())
                return true;
            const Record &record = records.at(next++);
            done = static_cast<int>(next);
            WorkspaceDocument *document = record.document;
            if (!document)
                return next >= records.size();
            if (!inEffect(record)) {   // taken back already, by the file's own undo
                ++already.files;
                already.matches += record.matches;
                return next >= records.size();
            }
            const Replacement::Restored restored =
                Replacement::restore(document->document(), document->diskBytes(), document->codePage(), record.texts);
            if (restored.texts > 0) {
                // Named for what it does, so that Edit › Undo reads "Undo Restore …", never "Undo Undo …".
                document->change(restored.document, tr("Restore the texts before %1").arg(m_step), m_panel);
                document->markSavedIfAsOnDisk();
                ++undone.files;
                undone.matches += restored.matches;
            }
            if (restored.leftTexts > 0) {
                ++left.files;
                left.matches += restored.leftMatches;
            }
            if (document->diskBytes() != record.disk)
                ++saved.files;   // written with the replacement since
            return next >= records.size();
        });
    }
    m_applying = false;
    QString text = undone.files > 0
        ? tr("%1 undone in %2").arg(counted(undone.matches, "match", "matches"), counted(undone.files, "file", "files"))
        : tr("Nothing was left to undo");
    if (left.files > 0) {
        text += tr("; %1 in %2 had been changed since and stay as they are")
                    .arg(counted(left.matches, "match", "matches"), counted(left.files, "file", "files"));
    }
    if (already.files > 0) {
        text += tr("; %1 had been undone in %2 already")
                    .arg(counted(already.matches, "match", "matches"), counted(already.files, "file", "files"));
    }
    text += saved.files > 0
        ? tr(". %1 had been saved with the replacement: save again to take it out of the files on the disk.")
              .arg(counted(saved.files, "file", "files"))
        : tr("; no file was changed.");
    if (m_panel->dropStaleResults())
        text += u' ' + tr("The results listed before were cleared.");
    m_summary.clear();
    showPending();
    m_panel->resultsLabel->setText(text);
}

void MissionReplace::saveReplaced()
{
    if (!m_panel || m_applying)
        return;
    QList<WorkspaceDocument *> documents;
    QSet<const WorkspaceDocument *> listed;
    for (const Record &record : std::as_const(m_records)) {
        if (record.document && record.document->isModified() && !listed.contains(record.document)) {
            listed.insert(record.document);
            documents.append(record.document);
        }
    }
    m_workspace.save(documents, m_prompts);
    qsizetype saved = 0;
    for (WorkspaceDocument *document : std::as_const(documents))
        saved += document->isModified() ? 0 : 1;
    if (saved == documents.size())
        m_records.clear();
    m_summary.clear();
    showPending();
    if (!m_panel)
        return;
    m_panel->resultsLabel->setText(
        saved == documents.size()
            ? tr("%1 saved.").arg(counted(saved, "replaced file", "replaced files"))
            : tr("%1 of %2 saved; the others keep their changes, not saved yet.")
                  .arg(QString::number(saved), counted(documents.size(), "replaced file", "replaced files")));
    m_panel->openFolder(m_panel->folder());
}

QStringList MissionReplace::unsavedWork() const
{
    QStringList files;
    for (const WorkspaceDocument *document : m_workspace.modified()) {
        if (!toldElsewhere || !toldElsewhere(document))
            files.append(QDir::toNativeSeparators(document->path()));
    }
    if (files.isEmpty())
        return {};
    return {tr("the replacements in %1 of the mission").arg(counted(files.size(), "file", "files"))};
}
