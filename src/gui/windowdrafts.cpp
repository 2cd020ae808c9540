#include "gui/windowdrafts.h"

#include "core/document/codepages.h"
#include "core/mission/filecodepage.h"
#include "core/mission/workspace.h"
#include "core/save/drafts.h"
#include "core/save/prompts.h"
#include "core/save/saveflow.h"
#include "gui/mainwindow.h"
#include "gui/mission/missionpanel.h"
#include "gui/tabs/editorpage.h"
#include "gui/tabs/stringspage.h"
#include "gui/tabs/tabfiles.h"
#include "gui/translation/translationwindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

WindowDrafts::WindowDrafts(Qwr &window)
    : QObject(&window)
    , m_window(window)
{
}

WindowDrafts::~WindowDrafts() = default;

void WindowDrafts::enable(std::unique_ptr<DraftFile> file)
{
    m_drafts = std::make_unique<DraftWriter>(std::move(file));
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(2000);   // a pause in typing, never every keystroke
    connect(m_timer, &QTimer::timeout, this, &WindowDrafts::now);
    connect(m_drafts.get(), &DraftWriter::failed, this, [this](const Error &error) {
        if (!m_drafts)
            return;
        m_window.prompts().warn(
            tr("Unsaved work can no longer be kept safe against a crash: the draft %1 cannot be "
               "written.\n\n%2\n\nQuillwright works on without drafts; save your files as usual.")
                .arg(QDir::toNativeSeparators(m_drafts->file().path()), error.message));
        m_timer->stop();
        m_drafts.reset();
    });
    const auto changed = [this] { soon(); };
    for (QLineEdit *box : m_window.findChildren<QLineEdit *>())
        connect(box, &QLineEdit::textChanged, this, changed);
    for (QPlainTextEdit *box : m_window.findChildren<QPlainTextEdit *>())
        connect(box, &QPlainTextEdit::textChanged, this, changed);
    for (QAbstractButton *button : m_window.findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::clicked, this, changed);
    connect(m_window.Tab1, &QTabWidget::currentChanged, this, changed);
    for (EditorPage *page : m_window.findChildren<EditorPage *>())
        connect(page, &EditorPage::changed, this, changed);
    for (QAction *item : m_window.encodingMenu->actions())
        connect(item, &QAction::triggered, this, changed);
    connect(m_window.workspace, &MissionWorkspace::documentChanged, this, changed);
    connect(m_window.workspace, &MissionWorkspace::documentsChanged, this, changed);
}

void WindowDrafts::finish()
{
    if (!m_drafts)
        return;
    m_timer->stop();
    m_drafts->finish();
    m_drafts.reset();
}

void WindowDrafts::soon()
{
    if (m_drafts)
        m_timer->start();
}

void WindowDrafts::now()
{
    if (m_drafts)
        m_drafts->write(values());
}

void WindowDrafts::writePending()
{
    if (m_drafts && m_timer->isActive())
        now();
}

QVariantMap WindowDrafts::values() const
{
    QVariantMap pages;
    QVariantMap files;   // the file each tab edits
    QStringList unsaved;   // the tabs that hold work: what the offer on the next start names
    for (EditorPage *page : m_window.editorPages()) {
        pages.insert(page->objectName(), page->draft());
        if (const WorkspaceDocument *document = page->document(); document && !document->isUnnamed())
            files.insert(page->objectName(), document->path());
        if (!page->unsavedWork().isEmpty())
            unsaved.append(page->objectName());
    }
    QVariantMap values{{QStringLiteral("format"), Drafts::Format},
                       {QStringLiteral("written"), QDateTime::currentDateTime().toString(Qt::ISODate)},
                       {QStringLiteral("codePage"), m_window.saveFlow().codePage()},
                       {QStringLiteral("tab"), m_window.Tab1->currentIndex()},
                       {QStringLiteral("pages"), pages},
                       {QStringLiteral("unsavedTabs"), unsaved}};
    // Only with files held: a draft of typed work alone is as it always was.
    if (const QVariantList documents = m_window.workspace->draft(); !documents.isEmpty())
        values.insert(QStringLiteral("documents"), documents);
    if (!files.isEmpty())
        values.insert(QStringLiteral("files"), files);
    if (const MissionPanel *panel = m_window.missionPanel; panel && !panel->folder().isEmpty())
        values.insert(QStringLiteral("mission"), panel->folder());
    if (const TranslationWindow *translation = m_window.translation) {
        if (const QVariantMap marks = translation->marksDraft(); !marks.isEmpty())
            values.insert(QStringLiteral("translationMarks"), marks);
        if (const QString target = translation->targetLanguage->currentText().trimmed();
            translation->isVisible() && !target.isEmpty())
            values.insert(QStringLiteral("translation"),
                          QVariantMap{{QStringLiteral("source"), translation->sourceLanguage->currentText()},
                                      {QStringLiteral("target"), target}});
    }
    return values;
}

void WindowDrafts::restore(const QJsonObject &draft)
{
    const int codePage = draft.value(QStringLiteral("codePage")).toInt();
    if (CodePages::isSupported(codePage))
        m_window.useCodePage(codePage);
    // The mission first, as it was open: its files are restored into it.
    if (const QString mission = draft.value(QStringLiteral("mission")).toString(); QFileInfo(mission).isDir())
        m_window.openFolder(mission);
    const QJsonObject pages = draft.value(QStringLiteral("pages")).toObject();
    MissionWorkspace &workspace = *m_window.workspace;
    const QStringList lost = workspace.restore(draft.value(QStringLiteral("documents")).toArray());
    if (!lost.isEmpty()) {
        QStringList shown;
        for (const QString &path : lost)
            shown.append(QDir::toNativeSeparators(path));
        m_window.prompts().warn(
            tr("The draft's changes to these files could not be put back:\n\n%1").arg(shown.join(u'\n')));
    }
    m_window.showStringsTab(pages.contains(m_window.strings->objectName()));
    const QJsonObject files = draft.value(QStringLiteral("files")).toObject();
    TabFiles &tabs = m_window.tabFiles();
    for (EditorPage *page : m_window.editorPages()) {
        page->restore(pages.value(page->objectName()).toObject());
        const QString path = files.value(page->objectName()).toString();
        WorkspaceDocument *document = path.isEmpty() ? nullptr : workspace.find(path);
        if (!document && !path.isEmpty())
            document = workspace.open(path, FileCodePage::of(path, m_window.saveFlow().codePage()), nullptr);
        if (document)
            tabs.bind(page, document, int(EditorPage::Taking::Kept));
        tabs.layRestored(page);   // what it holds, one step of its file's undo
    }
    m_window.Tab1->setCurrentIndex(
        std::clamp(draft.value(QStringLiteral("tab")).toInt(), 0, m_window.Tab1->count() - 1));
    // Done marks and notes: shown once the mission's translation is opened.
    if (const QJsonObject marks = draft.value(QStringLiteral("translationMarks")).toObject(); !marks.isEmpty())
        m_window.translationWindow().restoreMarks(marks);
    // The translation window as it was, once the mission is read.
    if (const QJsonObject translation = draft.value(QStringLiteral("translation")).toObject();
        !translation.isEmpty() && m_window.missionPanel)
        m_window.translateMission(translation.value(QStringLiteral("source")).toString(),
                                  translation.value(QStringLiteral("target")).toString());
    tabs.updateMarks();
}
