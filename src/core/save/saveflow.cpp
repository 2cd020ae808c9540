#include "core/save/saveflow.h"

#include "core/document/codepages.h"
#include "core/save/fileoutput.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "core/save/textcheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SaveFlow", text);
}

} // namespace

SaveFlow::SaveFlow(Prompts &prompts)
    : m_prompts(prompts)
    , m_codePage(CodePages::defaultCodePage())
{
}

bool SaveFlow::refuse(const Pieces &texts)
{
    return refuse(texts, m_codePage);
}

bool SaveFlow::refuse(const Pieces &texts, int codePage)
{
    const std::optional<TextCheck::Problem> problem = TextCheck::firstProblem(texts, codePage);
    if (!problem)
        return false;
    m_prompts.warn(TextCheck::message(*problem, codePage));
    return true;
}

bool SaveFlow::save(const QString &suggestedName, const StrDocument &document)
{
    // A file the workspace holds is written in its own code page (its
    // mission's); anything else in the one chosen in the Encoding menu.
    const Opened file = opened ? opened() : Opened{};
    WorkspaceDocument *held = m_workspace && !file.path.isEmpty() ? m_workspace->find(file.path) : nullptr;
    const int codePage = held ? held->codePage() : m_codePage;
    if (refuse(document.authorTexts(), codePage))
        return false;
    if (!m_laying.isEmpty()) {
        if (!held)
            return false;
        if (held->document().write(codePage) != document.write(codePage))
            held->change(document, m_laying, file.view);
        m_laid = true;
        return true;
    }

    // An opened file is saved under its own name, in place or proposed in
    // its own folder.
    QString path;
    const bool inPlace = m_inPlace && !m_alwaysAsk && !file.path.isEmpty();
    if (inPlace)
        path = file.path;
    else
        path = m_prompts.savePath(file.path.isEmpty() ? suggestedName : file.path);
    if (path.isEmpty())
        return false;

    const QString fileName = QFileInfo(path).fileName();
    if (const std::optional<Error> reason = TextCheck::fileNameProblem(fileName)) {
        m_prompts.warn(tr("\u201C%1\u201D cannot be used as a file name: %2.\n\n"
                          "Save again under another name. Nothing was written.")
                           .arg(fileName, reason->message));
        return false;
    }

    const std::optional<QByteArray> bytes = document.write(codePage);
    if (!bytes) {
        showFailure(path, tr("The text holds a character that %1 cannot represent.")
                              .arg(CodePages::description(codePage)));
        return false;
    }
    if (m_workspace) {
        // A path named in the dialog is written as named, a link out of the mission included.
        if (!m_workspace->saveAs(path, codePage, document, tr("Save %1").arg(fileName), m_prompts, file.view, !inPlace))
            return false;
    } else {
        if (const std::optional<Error> result = FileOutput::writeFile(path, *bytes)) {
            showFailure(path, result->message);
            return false;
        }
    }
    if (onWritten)
        onWritten(path, *bytes);
    return true;
}

void SaveFlow::showFailure(const QString &path, const QString &reason)
{
    m_prompts.warn(tr("The file could not be saved:\n%1\n\n%2\n\nNothing was changed on the disk.")
                       .arg(QDir::toNativeSeparators(path), reason));
}
