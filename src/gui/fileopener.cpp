#include "gui/fileopener.h"

#include "core/document/codepages.h"
#include "core/kinds/opening.h"
#include "core/mission/filecodepage.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "core/save/saveflow.h"
#include "core/save/settings.h"
#include "gui/mainwindow.h"
#include "gui/mission/missionpanel.h"
#include "gui/tabs/editorpage.h"
#include "gui/tabs/tabfiles.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>

FileOpener::FileOpener(Qwr &window)
    : QObject(&window)
    , m_window(window)
{
}

void FileOpener::openFromDialog()
{
    const QString path = m_window.prompts().openPath(Settings::openFolder());
    if (!path.isEmpty())
        openFile(path);
}

void FileOpener::openFolderFromDialog()
{
    MissionPanel *panel = m_window.missionPanel;
    const QString folder = m_window.prompts().folderPath(panel ? panel->folder() : Settings::openFolder());
    if (!folder.isEmpty())
        m_window.openFolder(folder);
}

bool FileOpener::openFile(const QString &path)
{
    // A file of the open mission is read in the mission's code page for it;
    // one held already, in the code page it is held in (the disk is not read
    // again); one alone, as its own mission's settings or its bytes tell.
    int codePage = 0;
    if (MissionPanel *panel = m_window.missionPanel; panel && !panel->isReading()) {
        const QString id = MissionWorkspace::identity(path);
        for (const MissionFolder::File &file : panel->scan().files) {
            if (!file.failure && file.identity == id)
                codePage = file.codePage;
        }
    }
    if (const WorkspaceDocument *held = codePage == 0 ? m_window.workspace->find(path) : nullptr)
        codePage = held->codePage();
    if (codePage == 0)
        codePage = FileCodePage::of(path, m_window.saveFlow().codePage());
    return openFile(path, true, codePage);
}

EditorPage *FileOpener::pageFor(int kind, bool askUnsaved, const QString &fileName)
{
    if (StrReader::Kind(kind) == StrReader::Kind::Other)
        m_window.showStringsTab(true);
    for (EditorPage *page : m_window.editorPages()) {
        if (page->kind() != StrReader::Kind(kind))
            continue;
        if (askUnsaved && !m_window.mayDiscard(page->unsavedWork(), tr("Open %1").arg(fileName)))
            return nullptr;
        return page;
    }
    return nullptr;
}

bool FileOpener::openFile(const QString &path, bool askUnsaved, int codePage)
{
    Prompts &prompts = m_window.prompts();
    TabFiles &tabs = m_window.tabFiles();
    MissionWorkspace &workspace = *m_window.workspace;
    const QString shownPath = QDir::toNativeSeparators(path);
    const QString fileName = QFileInfo(path).fileName();
    // A file held already is shown as the workspace holds it, its unsaved
    // changes (a replacement, say) included; read again in another code page
    // only while it holds none.
    if (WorkspaceDocument *held = workspace.find(path)) {
        if (held->codePage() != codePage && !held->isModified())
            held->readAgainIn(codePage);
        if (EditorPage *page = tabs.pageOf(held)) {
            if (page->kind() == StrReader::Kind::Other)
                m_window.showStringsTab(true);
            m_window.Tab1->setCurrentWidget(page);
            return true;
        }
        const StrDocument shown = held->document().merged(held->codePage());
        const std::optional<Kinds::Kind> kind = Kinds::kindOf(shown, Kinds::kindOfPath(path));
        EditorPage *page = kind ? pageFor(int(*kind), askUnsaved, fileName) : nullptr;
        if (!page)
            return false;
        tabs.bind(page, held, int(EditorPage::Taking::Opened));
        m_window.Tab1->setCurrentWidget(page);
        return true;
    }
    auto read = StrReader::readFile(path, codePage);
    if (const auto *failure = std::get_if<Error>(&read)) {
        prompts.warn(tr("The file could not be opened:\n%1\n\n%2").arg(shownPath, failure->message));
        return false;
    }
    StrReader::Result &file = std::get<StrReader::Result>(read);
    Settings::setOpenFolder(QFileInfo(path).absolutePath());
    Settings::addRecentFile(QFileInfo(path).absoluteFilePath());

    std::optional<StrDocument> repaired;
    if (const std::optional<Opening::Message> message = Opening::message(file, codePage, shownPath)) {
        if (message->asks) {
            QList<Prompts::Button> buttons{Prompts::Button::Open};
            if (message->repairable)
                buttons.append(Prompts::Button::Repair);
            buttons.append(Prompts::Button::Cancel);
            const Prompts::Button answer = prompts.show({Prompts::Icon::Warning, Prompts::applicationTitle(),
                                                         message->text, buttons, Prompts::Button::Open,
                                                         message->details});
            if (answer == Prompts::Button::Repair)
                repaired = StrReader::repaired(file, codePage);
            else if (answer != Prompts::Button::Open)
                return false;
        } else {
            prompts.show({Prompts::Icon::Information, Prompts::applicationTitle(), message->text,
                          {Prompts::Button::Ok}, Prompts::Button::Ok, message->details});
        }
    }
    EditorPage *page = pageFor(int(file.kind), askUnsaved, fileName);
    if (!page)
        return false;
    WorkspaceDocument *document = workspace.adopt(path, codePage, file.document);
    if (repaired)
        document->change(*repaired, tr("Repair the lines with a bare quote"));
    tabs.bind(page, document, int(EditorPage::Taking::Opened));
    m_window.Tab1->setCurrentWidget(page);
    return true;
}

bool FileOpener::openPath(const QString &path)
{
    if (QFileInfo(path).isDir()) {
        m_window.openFolder(path);
        return true;
    }
    return openFile(path);
}

void FileOpener::readFolder(const QString &folder)
{
    Settings::setOpenFolder(folder);
    Settings::addRecentFile(folder);
    m_window.spelling->setMissionFolder(folder);
    m_window.workspace->setMissionFolder(folder);   // files it names itself are written inside it only
    m_window.missionLanguageMenu->setEnabled(true);
    m_window.missionPanel->openFolder(folder);
}

void FileOpener::openMissionFile(int file, int entry)
{
    const MissionFolder::File &chosen = m_window.missionPanel->scan().files.at(file);
    const QString path = QDir::cleanPath(chosen.path);
    EditorPage *page = m_window.tabFiles().pageOf(m_window.workspace->find(path));
    if (page && page->kind() == StrReader::Kind::Other && m_window.Tab1->indexOf(page) < 0)
        page = nullptr;   // the Strings tab closed: read again
    if (!page) {
        if (!openFile(path, true, chosen.codePage))
            return;
        page = qobject_cast<EditorPage *>(m_window.Tab1->currentWidget());
    }
    m_window.Tab1->setCurrentWidget(page);
    if (entry >= 0 && page)
        page->showEntry(entry);
}

void FileOpener::showRecentFiles(QMenu *menu)
{
    menu->clear();
    const QStringList files = Settings::recentFiles();
    for (const QString &path : files) {
        QAction *action = menu->addAction(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] {
            if (!QFileInfo::exists(path)) {
                Settings::removeRecentFile(path);
                m_window.prompts().warn(tr("%1 is no longer there; it was taken off the list of recent files.")
                                            .arg(QDir::toNativeSeparators(path)));
                return;
            }
            openPath(path);
        });
    }
    if (files.isEmpty())
        menu->addAction(tr("(none)"))->setEnabled(false);
}

void FileOpener::dragEnter(QDragEnterEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void FileOpener::drop(QDropEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            openPath(url.toLocalFile());
    }
    event->acceptProposedAction();
}

void FileOpener::readAgainIn(int codePage)
{
    m_window.tabFiles().setCodePageOfNew(codePage);
    for (WorkspaceDocument *document : m_window.workspace->documents()) {
        if (document->codePage() == codePage || !document->existsOnDisk())
            continue;
        if (document->isModified()) {
            const QString question =
                tr("%1 holds changes you have not saved. It is now read in %2.\n\nRead it again in %2 and lose "
                   "your changes, or keep it as it is (it is then saved in %3)?")
                    .arg(QDir::toNativeSeparators(document->path()), CodePages::description(codePage),
                         CodePages::description(document->codePage()));
            if (m_window.prompts().show({Prompts::Icon::Warning, Prompts::applicationTitle(), question,
                                         {Prompts::Button::Reload, Prompts::Button::Keep}, Prompts::Button::Keep, {}})
                != Prompts::Button::Reload)
                continue;
        }
        document->readAgainIn(codePage);
    }
}
