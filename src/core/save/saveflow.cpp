#include "core/save/saveflow.h"

#include "core/document/codepages.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "core/save/textcheck.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SaveFlow", text);
}

} // namespace

SaveFlow::SaveFlow(Prompts &prompts, MissionWorkspace &workspace)
    : m_prompts(prompts)
    , m_workspace(workspace)
    , m_codePage(CodePages::defaultCodePage())
{
}

bool SaveFlow::refuse(const Pieces &texts, int codePage)
{
    const std::optional<TextCheck::Problem> problem = TextCheck::firstProblem(texts, codePage);
    if (!problem)
        return false;
    m_prompts.warn(TextCheck::message(*problem, codePage));
    return true;
}

bool SaveFlow::refuse(const WorkspaceDocument &document)
{
    const int codePage = document.codePage();
    if (refuse(document.document().authorTexts(), codePage))
        return true;
    if (document.document().write(codePage))
        return false;
    m_prompts.warn(TextCheck::unwritableMessage(document.document(), codePage, document.path()));
    return true;
}

QString SaveFlow::askPath(const QString &proposed)
{
    const QString path = m_prompts.savePath(proposed);
    if (path.isEmpty())
        return {};
    const QString fileName = QFileInfo(path).fileName();
    if (const std::optional<Error> reason = TextCheck::fileNameProblem(fileName)) {
        m_prompts.warn(tr("\u201C%1\u201D cannot be used as a file name: %2.\n\n"
                          "Save again under another name. Nothing was written.")
                           .arg(fileName, reason->message));
        return {};
    }
    return path;
}

bool SaveFlow::written(const QString &path, bool ok)
{
    if (ok && onWritten)
        onWritten(path);
    return ok;
}

bool SaveFlow::save(const QList<WorkspaceDocument *> &documents)
{
    const bool saved = m_workspace.save(documents, m_prompts);
    for (const WorkspaceDocument *document : documents) {
        if (!document->isModified())
            written(document->path(), true);
    }
    return saved;
}

WorkspaceDocument *SaveFlow::saveAs(WorkspaceDocument *document, const QString &path, const QObject *view)
{
    WorkspaceDocument *target = nullptr;
    if (document->isUnnamed())
        target = m_workspace.saveUnnamedAs(document, path, m_prompts);
    else if (m_workspace.find(path) == document)
        target = m_workspace.save({document}, m_prompts) ? document : nullptr;
    else
        target = m_workspace.saveAs(path, document->codePage(), document->document(),
                                    tr("Save %1").arg(QFileInfo(path).fileName()), m_prompts, view);
    written(path, target != nullptr);
    return target;
}

bool SaveFlow::writeCopy(WorkspaceDocument *document, const QString &path)
{
    return written(path, m_workspace.writeCopy(document, path, m_prompts));
}
