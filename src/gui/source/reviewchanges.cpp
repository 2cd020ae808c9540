#include "gui/source/reviewchanges.h"

#include "core/document/typedlines.h"
#include "core/kinds/strreader.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "core/save/unifieddiff.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include <tuple>
#include <utility>

namespace {

// A file's heading in bold; lines taken out in red, put in in green, the
// hunks' headers in blue.
class DiffColours : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString &text) override
    {
        if (text.isEmpty())
            return;
        QTextCharFormat format;
        switch (text.at(0).unicode()) {
        case u' ':
            return;
        case u'@':
            format.setForeground(QColor(0x20, 0x60, 0xD0));
            break;
        case u'-':
            format.setForeground(QColor(0xB0, 0x10, 0x10));
            break;
        case u'+':
            format.setForeground(QColor(0x10, 0x80, 0x20));
            break;
        case u'\\':
            format.setForeground(QColor(0x80, 0x80, 0x80));
            break;
        default:
            format.setFontWeight(QFont::Bold);
        }
        setFormat(0, static_cast<int>(text.size()), format);
    }
};

// The bytes on the disk read as the reader reads them (UTF-8 known by its bytes).
StrDocument readAsOnDisk(const QByteArray &bytes, int codePage)
{
    auto read = StrReader::read(bytes, codePage);
    if (auto *file = std::get_if<StrReader::Result>(&read))
        return std::move(file->document);
    return StrDocument(bytes, {codePage, false});
}

// What a document holds, taken for the diff off the window's thread.
struct Held {
    QByteArray disk;
    int codePage = 1252;
    bool onDisk = true;
    StrDocument now;
};

QString linesChanged(int lines)
{
    return lines == 1 ? ReviewChanges::tr("1 line changed") : ReviewChanges::tr("%1 lines changed").arg(lines);
}

} // namespace

ReviewChanges::ReviewChanges(MissionWorkspace *workspace, Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_prompts(prompts)
    , m_summary(new QLabel(this))
    , m_files(new QListWidget(this))
    , m_diff(new QPlainTextEdit(this))
    , m_revert(new QPushButton(tr("Revert"), this))
    , m_save(new QPushButton(tr("Save"), this))
    , m_saveAll(new QPushButton(tr("Save All"), this))
{
    setObjectName(QStringLiteral("reviewChanges"));
    setWindowTitle(tr("Review Changes"));
    resize(900, 600);
    m_summary->setObjectName(QStringLiteral("reviewSummary"));
    m_files->setObjectName(QStringLiteral("reviewFiles"));
    m_diff->setObjectName(QStringLiteral("reviewDiff"));
    m_diff->setReadOnly(true);
    m_diff->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_diff->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    new DiffColours(m_diff->document());
    m_revert->setObjectName(QStringLiteral("reviewRevert"));
    m_revert->setToolTip(tr("The file as it is on the disk again (Undo brings the changes back)"));
    m_save->setObjectName(QStringLiteral("reviewSave"));
    m_saveAll->setObjectName(QStringLiteral("reviewSaveAll"));

    auto *split = new QSplitter(this);
    split->addWidget(m_files);
    split->addWidget(m_diff);
    split->setStretchFactor(1, 3);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto *row = new QHBoxLayout;
    row->addWidget(m_revert);
    row->addWidget(m_save);
    row->addStretch(1);
    row->addWidget(m_saveAll);
    row->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(split, 1);
    layout->addLayout(row);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_files, &QListWidget::currentRowChanged, this, &ReviewChanges::choose);
    connect(m_revert, &QPushButton::clicked, this, [this] {
        if (WorkspaceDocument *document = chosen())
            revert(document, this);
    });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (WorkspaceDocument *document = chosen())
            save({document});
    });
    connect(m_saveAll, &QPushButton::clicked, this, [this] { save(m_workspace->modified()); });
    connect(workspace, &MissionWorkspace::documentsChanged, this, &ReviewChanges::refreshLater);
    connect(workspace, &MissionWorkspace::documentChanged, this, &ReviewChanges::refreshLater);
    m_summary->setText(tr("Comparing the files with the disk\u2026"));
    choose(-1);
    refresh();
}

void ReviewChanges::setRoot(const QString &root)
{
    m_root = root;
    refresh();
}

QString ReviewChanges::shownPath(const QString &path) const
{
    if (!m_root.isEmpty()) {
        const QString relative = QDir(m_root).relativeFilePath(path);
        if (!relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative))
            return QDir::toNativeSeparators(relative);
    }
    return QDir::toNativeSeparators(path);
}

void ReviewChanges::revert(WorkspaceDocument *document, const QObject *origin)
{
    if (!document->existsOnDisk())
        return;
    document->change(readAsOnDisk(document->diskBytes(), document->codePage()),
                     tr("Revert %1 to the file on the disk").arg(QFileInfo(document->path()).fileName()), origin);
    if (document->document().write(document->codePage()) == document->diskBytes())
        document->undoStack()->setClean();
}

int ReviewChanges::changedLines(const QByteArray &before, bool existed, const QByteArray &after, int codePage)
{
    const QString was = existed ? readAsOnDisk(before, codePage).wholeText() : QString();
    return UnifiedDiff::changedLines(
        UnifiedDiff::hunks(UnifiedDiff::lines(was), UnifiedDiff::lines(readAsOnDisk(after, codePage).wholeText())));
}

QString ReviewChanges::savedText(int files, int lines)
{
    return (files == 1 ? tr("1 file saved") : tr("%1 files saved").arg(files)) + QLatin1String(", ")
        + linesChanged(lines);
}

void ReviewChanges::refreshLater()
{
    if (!m_refreshing) {
        m_refreshing = true;
        QTimer::singleShot(0, this, &ReviewChanges::refresh);
    }
}

void ReviewChanges::refresh()
{
    m_refreshing = false;
    // The documents stay here; their bytes and texts go to the thread. A run
    // started later abandons this one, whose sections are then these no more.
    m_pending.clear();
    QList<Held> held;
    for (WorkspaceDocument *document : m_workspace->modified()) {
        m_pending.append({document, shownPath(document->path()), {}, 0, 0});
        held.append({document->diskBytes(), document->codePage(), document->existsOnDisk(), document->document()});
    }
    m_job.start(
        [held](const BackgroundJob::Control &control) {
            QList<std::pair<QString, int>> diffs;
            for (const Held &file : held) {
                if (control.cancelled())
                    break;
                const QString before = file.onDisk ? readAsOnDisk(file.disk, file.codePage).wholeText() : QString();
                const QList<UnifiedDiff::Hunk> hunks =
                    UnifiedDiff::hunks(UnifiedDiff::lines(before), UnifiedDiff::lines(file.now.wholeText()));
                diffs.append({UnifiedDiff::format(hunks), UnifiedDiff::changedLines(hunks)});
                control.progress(static_cast<int>(diffs.size()), static_cast<int>(held.size()));
            }
            return diffs;
        },
        [this](QList<std::pair<QString, int>> diffs) {
            QList<Section> sections = std::exchange(m_pending, {});
            for (qsizetype i = 0; i < sections.size() && i < diffs.size(); ++i)
                std::tie(sections[i].diff, sections[i].changedLines) = diffs.at(i);
            showSections(std::move(sections));
        });
}

void ReviewChanges::showSections(QList<Section> sections)
{
    const QString wasChosen = m_files->currentRow() >= 0 ? m_sections.value(m_files->currentRow()).path : QString();
    QString text;
    int line = 0;
    int total = 0;
    int chosenRow = sections.isEmpty() ? -1 : 0;
    const QSignalBlocker quiet(m_files);
    m_files->clear();
    for (qsizetype i = 0; i < sections.size(); ++i) {
        Section &section = sections[i];
        const bool onDisk = section.document && section.document->existsOnDisk();
        const QString changed = linesChanged(section.changedLines);
        const QString heading = onDisk ? tr("%1 \u2014 %2").arg(section.path, changed)
                                       : tr("%1 \u2014 a new file, %2").arg(section.path, changed);
        m_files->addItem(heading);
        if (section.path == wasChosen)
            chosenRow = static_cast<int>(i);
        // Shown as lines: a CR ending no line is a sign, not a line break.
        const QString diff = section.diff.isEmpty()
            ? tr("(The text is as on the disk; saving writes it anew in its code page.)\n")
            : TypedLines::boxText(section.diff);
        section.firstLine = line;
        text += heading + u'\n' + diff + u'\n';
        line += 2 + static_cast<int>(diff.count(u'\n'));
        total += section.changedLines;
    }
    m_sections = std::move(sections);
    m_diff->setPlainText(text);
    if (m_sections.isEmpty())
        m_summary->setText(tr("Nothing is unsaved."));
    else if (m_sections.size() == 1)
        m_summary->setText(tr("1 file with unsaved changes, %1.").arg(linesChanged(total)));
    else
        m_summary->setText(tr("%1 files with unsaved changes, %2.").arg(m_sections.size()).arg(linesChanged(total)));
    m_saveAll->setEnabled(!m_sections.isEmpty());
    m_files->setCurrentRow(chosenRow);
    choose(chosenRow);
}

WorkspaceDocument *ReviewChanges::chosen() const
{
    const int row = m_files->currentRow();
    return row >= 0 && row < m_sections.size() ? m_sections.at(row).document.data() : nullptr;
}

void ReviewChanges::choose(int row)
{
    const WorkspaceDocument *document = chosen();
    m_revert->setEnabled(document && document->existsOnDisk());
    m_save->setEnabled(document != nullptr);
    if (row < 0 || row >= m_sections.size())
        return;
    // The file's section at the top of the diff.
    QTextCursor at(m_diff->document()->findBlockByNumber(m_sections.at(row).firstLine));
    m_diff->moveCursor(QTextCursor::End);
    m_diff->setTextCursor(at);
}

void ReviewChanges::save(const QList<WorkspaceDocument *> &documents)
{
    int lines = 0;
    for (const Section &section : std::as_const(m_sections)) {
        if (documents.contains(section.document.data()))
            lines += section.changedLines;
    }
    if (!documents.isEmpty() && m_workspace->save(documents, m_prompts))
        Q_EMIT saved(static_cast<int>(documents.size()), lines);
}
