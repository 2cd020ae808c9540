#include "gui/tabs/tabfiles.h"

#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "core/save/saveflow.h"
#include "gui/tabs/editorpage.h"
#include "gui/widgets.h"

#include <QTabWidget>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>

namespace {

// Whether two documents write the same file.
bool sameFile(const StrDocument &a, const StrDocument &b, int codePage)
{
    return a.merged(codePage).bytes() == b.merged(codePage).bytes();
}

void tellRefusal(Prompts &prompts, const Error &refusal)
{
    if (refusal.kind == Error::Kind::Refused)
        prompts.tell(refusal.message);
    else
        prompts.warn(refusal.message);
}

} // namespace

TabFiles::TabFiles(QTabWidget &tabs, const QList<EditorPage *> &pages, MissionWorkspace &workspace, SaveFlow &saveFlow,
                   Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_tabs(tabs)
    , m_pages(pages)
    , m_workspace(workspace)
    , m_saveFlow(saveFlow)
    , m_prompts(prompts)
{
    m_marks = new QTimer(this);
    m_marks->setSingleShot(true);
    m_marks->setInterval(250);
    connect(m_marks, &QTimer::timeout, this, &TabFiles::updateMarks);
    for (EditorPage *page : m_pages) {
        page->setDocument(m_workspace.createUnnamed(m_saveFlow.codePage(), page->newFile()), EditorPage::Taking::Kept);
        connect(page, &EditorPage::changed, m_marks, qOverload<>(&QTimer::start));
        connect(page, &EditorPage::saveRequested, this, [this, page] { saveOwn(page); });
        connect(page, &EditorPage::startedAnew, this, [this, page] { startAnew(page); });
    }
    connect(&m_tabs, &QTabWidget::currentChanged, this, &TabFiles::currentTabChanged);
    connect(&m_workspace, &MissionWorkspace::documentsChanged, this, &TabFiles::updateMarks);
    // A file read again in another code page, or that undone: what is shown of it follows.
    connect(&m_workspace, &MissionWorkspace::documentChanged, this, &TabFiles::currentFileChanged);
    currentTabChanged();
}

WorkspaceDocument *TabFiles::documentOf(const EditorPage *page) const
{
    return page ? page->document() : nullptr;
}

EditorPage *TabFiles::pageOf(const WorkspaceDocument *document) const
{
    for (EditorPage *page : m_pages) {
        if (document && page->document() == document)
            return page;
    }
    return nullptr;
}

QList<EditorPage *> TabFiles::shownPages() const
{
    QList<EditorPage *> pages;
    for (int i = 0; i < m_tabs.count(); ++i) {
        if (auto *page = qobject_cast<EditorPage *>(m_tabs.widget(i)))
            pages.append(page);
    }
    return pages;
}

void TabFiles::bind(EditorPage *page, WorkspaceDocument *document, int taking)
{
    WorkspaceDocument *before = page->document();
    page->setDocument(document, EditorPage::Taking(taking));
    if (before && before != document)
        letGo(before);
    if (page == m_tabs.currentWidget())
        currentTabChanged();
    updateMarks();
}

void TabFiles::letGo(WorkspaceDocument *document)
{
    if (document->isUnnamed()) {
        m_workspace.discard(document);
        return;
    }
    // The tab's unsaved work was given up (asked first): the file stays as it is on the disk.
    if (document->isModified() && document->undoStack()->cleanIndex() >= 0)
        document->undoStack()->setIndex(document->undoStack()->cleanIndex());
    m_workspace.release(document);
}

void TabFiles::startAnew(EditorPage *page)
{
    bind(page, m_workspace.createUnnamed(m_saveFlow.codePage(), page->newFile()), int(EditorPage::Taking::Kept));
}

void TabFiles::showStringsTab(bool shown)
{
    const auto page = std::find_if(m_pages.cbegin(), m_pages.cend(),
                                   [](const EditorPage *p) { return p->kind() == StrReader::Kind::Other; });
    if (page == m_pages.cend())
        return;
    EditorPage *strings = *page;
    const int index = m_tabs.indexOf(strings);
    if (shown && index < 0) {
        m_tabs.insertTab(m_tabs.count() - 1, strings, tr("Strings"));
        Widgets::fitTexts(strings, m_tabs.width() - 4);
    } else if (!shown && index >= 0) {
        m_tabs.removeTab(index);
        strings->setParent(m_tabs.window());
        strings->hide();
        startAnew(strings);
    }
}

void TabFiles::setCodePageOfNew(int codePage)
{
    for (EditorPage *page : std::as_const(m_pages)) {
        if (WorkspaceDocument *document = page->document(); document && document->isUnnamed())
            document->setCodePage(codePage);
    }
}

QString TabFiles::typingLabel(EditorPage *page) const
{
    QString caption = m_tabs.tabText(m_tabs.indexOf(page));
    if (caption.endsWith(QLatin1String(" *")))
        caption.chop(2);
    return tr("Typing on the %1 tab").arg(caption);
}

bool TabFiles::lay(EditorPage *page, const QString &label)
{
    return layInto(page, label.isEmpty() ? typingLabel(page) : label, true);
}

void TabFiles::layRestored(EditorPage *page)
{
    if (page->holdsUnlaid())
        layInto(page, tr("Restore from the draft"), false);   // a refusal stays the tab's, told when it is saved
}

bool TabFiles::layInto(EditorPage *page, const QString &label, bool tell)
{
    WorkspaceDocument *document = page->document();
    if (!document)
        return false;
    const std::variant<StrDocument, Error> laid = page->apply();
    if (const auto *refusal = std::get_if<Error>(&laid)) {
        if (tell)
            tellRefusal(m_prompts, *refusal);
        return false;
    }
    const StrDocument &file = std::get<StrDocument>(laid);
    if (!sameFile(file, document->document(), document->codePage()))
        document->change(file, label, page);
    page->markLaid();
    return true;
}

bool TabFiles::saveOwn(EditorPage *page)
{
    return save(page, false, false);
}

bool TabFiles::saveCurrent(bool ask)
{
    auto *page = qobject_cast<EditorPage *>(m_tabs.currentWidget());
    return page && save(page, !ask, true);
}

bool TabFiles::save(EditorPage *page, bool inPlace, bool bind)
{
    WorkspaceDocument *document = page->document();
    if (!document)
        return false;
    const bool named = !document->isUnnamed();
    QString proposed = named ? document->path() : QString();
    if (!(inPlace && named)) {
        // The tab's own checks come first (the book's name), as its button has them.
        const std::variant<QString, Error> name = page->proposedName();
        if (const auto *refusal = std::get_if<Error>(&name)) {
            if (!named || !bind) {
                tellRefusal(m_prompts, *refusal);
                return false;
            }
        } else if (!named) {
            proposed = std::get<QString>(name);
        }
    }
    if (!lay(page) || m_saveFlow.refuse(*document))
        return false;
    bool saved = false;
    if (inPlace && named) {
        saved = m_saveFlow.save({document});
    } else if (const QString path = m_saveFlow.askPath(proposed); path.isEmpty()) {
        saved = false;
    } else if (!bind && !named) {
        saved = m_saveFlow.writeCopy(document, path);   // the tab stays a tab of no file
    } else if (WorkspaceDocument *target = m_saveFlow.saveAs(document, path, page)) {
        saved = true;
        if (target != document)
            this->bind(page, target, int(EditorPage::Taking::Kept));   // the file it edited stays as it was
    }
    updateMarks();
    return saved;
}

bool TabFiles::saveAll(const std::function<bool()> &translations,
                       const std::function<bool(const WorkspaceDocument *)> &savedByTranslations)
{
    // Every tab laid and every file checked before anything is written.
    QList<EditorPage *> unnamed;
    QList<WorkspaceDocument *> named;
    for (EditorPage *page : shownPages()) {
        WorkspaceDocument *document = page->document();
        if (!document || (page->unsavedWork().isEmpty() && !document->isModified()))
            continue;
        if (!lay(page) || m_saveFlow.refuse(*document))
            return false;
        if (!document->isModified())
            continue;   // text typed and not stored is no part of the file
        if (document->isUnnamed())
            unnamed.append(page);
        else
            named.append(document);
    }
    bool all = named.isEmpty() || m_saveFlow.save(named);
    QWidget *shown = m_tabs.currentWidget();
    for (EditorPage *page : std::as_const(unnamed)) {
        m_tabs.setCurrentWidget(page);
        all = save(page, true, true) && all;
    }
    m_tabs.setCurrentWidget(shown);
    if (translations)
        all = translations() && all;
    QList<WorkspaceDocument *> rest = m_workspace.modified();
    if (savedByTranslations)   // a translation the window refused is not refused twice
        rest.removeIf(savedByTranslations);
    if (!rest.isEmpty())
        all = m_saveFlow.save(rest) && all;
    updateMarks();
    return all;
}

bool TabFiles::mayDiscard(const QStringList &work, const QString &action)
{
    if (work.isEmpty())
        return true;
    const QString text = tr("This work has not been saved:\n\n%1\n\n%2 and discard it?")
                             .arg(QLatin1String("- ") + work.join(QLatin1String("\n- ")), action);
    return m_prompts.ask(Prompts::Icon::Warning, Prompts::applicationTitle(), text, Prompts::Button::No);
}

void TabFiles::currentTabChanged()
{
    auto *page = qobject_cast<EditorPage *>(m_tabs.currentWidget());
    WorkspaceDocument *document = page ? page->document() : nullptr;
    m_workspace.undoGroup()->setActiveStack(document ? document->undoStack() : nullptr);
    Q_EMIT currentFileChanged();
}

void TabFiles::updateMarks()
{
    m_marks->stop();
    QSet<QString> files;
    for (const WorkspaceDocument *document : m_workspace.modified())
        files.insert(document->path());
    bool anything = !files.isEmpty();
    for (EditorPage *page : shownPages()) {
        const bool unsaved = !page->unsavedWork().isEmpty();
        anything = anything || unsaved;
        if (unsaved && page->document() && !page->document()->isUnnamed())
            files.insert(page->document()->path());
        const int index = m_tabs.indexOf(page);
        QString caption = m_tabs.tabText(index);
        if (caption.endsWith(QLatin1String(" *")))
            caption.chop(2);
        m_tabs.setTabText(index, unsaved ? caption + QLatin1String(" *") : caption);
    }
    Q_EMIT unsavedChanged(anything, files);
}
