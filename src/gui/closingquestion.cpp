#include "gui/closingquestion.h"

#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "gui/mainwindow.h"
#include "gui/mission/missionpanel.h"
#include "gui/mission/missionreplace.h"
#include "gui/tabs/editorpage.h"
#include "gui/translation/translationwindow.h"

#include <QDir>
#include <QTabWidget>

#include <algorithm>

namespace {

// The files named one by one; the rest counted.
constexpr qsizetype FilesNamed = 12;

QString listed(const QStringList &lines)
{
    return QLatin1String("- ") + lines.join(QLatin1String("\n- "));
}

} // namespace

ClosingQuestion::ClosingQuestion(Qwr &window)
    : m_window(window)
{
}

bool ClosingQuestion::mayClose()
{
    const MissionWorkspace &workspace = *m_window.workspace;
    const TranslationWindow *translation = m_window.translation;
    if (!m_window.missionPanel && workspace.documents().isEmpty()) {
        // Nothing opened: the question as it always was.
        QStringList work;
        for (const EditorPage *page : m_window.editorPages())
            work += page->unsavedWork();
        if (translation)
            work += translation->unsavedWork();
        return m_window.mayDiscard(work + m_window.missionReplace()->unsavedWork(), Qwr::tr("Close Quillwright"));
    }
    QStringList files;
    QList<EditorPage *> typed;
    QList<const WorkspaceDocument *> named;   // the tabs' files listed
    for (EditorPage *page : m_window.editorPages()) {
        QStringList work = page->unsavedWork();
        if (const QString unstored = page->unstoredWork(); !unstored.isEmpty()) {
            typed.append(page);
            work.removeAll(unstored);
        }
        const WorkspaceDocument *document = page->document();
        if (work.isEmpty() && !(document && document->isModified()))
            continue;
        if (document && !document->isUnnamed()) {
            files.append(shownPath(document));
            named.append(document);
        } else {
            files += work;   // a file of no name yet: what the tab holds
        }
    }
    for (const WorkspaceDocument *document : workspace.modified()) {
        if (!named.contains(document))   // replaced, translated, or a tab's file no longer shown
            files.append(shownPath(document));
    }
    if (translation) {
        if (const QVariantMap marks = translation->marksDraft(); !marks.isEmpty())
            files.append(TranslationWindow::tr("the done marks and notes of the %1 translation")
                             .arg(marks.value(QStringLiteral("target")).toString()));
    }
    if (files.isEmpty() && typed.isEmpty())
        return true;
    return askAboutFiles(files, typed);
}

bool ClosingQuestion::askAboutFiles(const QStringList &files, const QList<EditorPage *> &typed)
{
    QStringList parts;
    if (!files.isEmpty()) {
        QStringList shown = files.first(std::min(files.size(), FilesNamed));
        if (files.size() > FilesNamed) {
            shown.removeLast();
            shown.append(Qwr::tr("and %1 more files").arg(files.size() - FilesNamed + 1));
        }
        parts.append(Qwr::tr("This work has not been saved:\n\n%1").arg(listed(shown)));
    }
    if (!typed.isEmpty()) {
        QStringList words;
        for (const EditorPage *page : typed)
            words.append(page->unstoredWork());
        parts.append(Qwr::tr("Typed into a box and not yet stored, so no file holds it yet:\n\n%1").arg(listed(words)));
        parts.append(Qwr::tr("Save All saves every file and keeps Quillwright open at the box typed into, so that "
                             "you can store the text; Discard closes without saving; Cancel goes back to the work."));
    } else {
        parts.append(Qwr::tr("Save All saves every file and closes Quillwright; Discard closes without saving; "
                             "Cancel goes back to the work."));
    }
    Prompts::Message question{Prompts::Icon::Warning, Prompts::applicationTitle(), parts.join(QLatin1String("\n\n")),
                              {Prompts::Button::SaveAll, Prompts::Button::Discard, Prompts::Button::Cancel},
                              Prompts::Button::Cancel};
    question.guarded = true;   // a key held down from typing never discards the work
    switch (m_window.prompts().show(question)) {
    case Prompts::Button::Discard:
        return true;
    case Prompts::Button::SaveAll:
        break;
    default:
        return false;
    }
    if (!m_window.saveAll())
        return false;   // refused or cancelled: told, and the work is still here
    if (typed.isEmpty())
        return true;
    EditorPage *page = typed.constFirst();
    m_window.Tab1->setCurrentWidget(page);
    if (QWidget *box = page->unstoredBox())
        box->setFocus(Qt::OtherFocusReason);
    return false;
}

QString ClosingQuestion::shownPath(const WorkspaceDocument *document) const
{
    const QString root = m_window.missionPanel ? m_window.missionPanel->folder() : QString();
    const QString path = document->path();
    if (!root.isEmpty() && path.startsWith(root + QLatin1Char('/'), Qt::CaseInsensitive))
        return QDir::toNativeSeparators(QDir(root).relativeFilePath(path));
    return QDir::toNativeSeparators(path);
}
