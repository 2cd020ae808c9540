// Documents of no file: what a tab edits with nothing opened, saved under a
// name the author gives it, or copied to one.
#include "core/mission/workspace.h"

#include "core/document/safefile.h"
#include "core/mission/filewatch.h"
#include "core/save/fileoutput.h"
#include "core/save/prompts.h"
#include "core/save/textcheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QUndoGroup>
#include <QUndoStack>

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionWorkspace", text);
}

} // namespace

std::optional<QByteArray> MissionWorkspace::checked(const WorkspaceDocument *document, Prompts &prompts)
{
    const int codePage = document->codePage();
    if (const std::optional<TextCheck::Problem> problem =
            TextCheck::firstProblem(document->document().authorTexts(), codePage)) {
        prompts.warn(say("%1\n\nNothing was saved.").arg(TextCheck::message(*problem, codePage)));
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = document->document().write(codePage);
    if (!bytes)
        prompts.warn(TextCheck::unwritableMessage(document->document(), codePage, document->path()));
    return bytes;
}

WorkspaceDocument *MissionWorkspace::createUnnamed(int codePage, const StrDocument &document)
{
    auto *made = new WorkspaceDocument(QString(), codePage, {}, false, document, this);
    m_undoGroup->addStack(made->undoStack());
    connect(made, &WorkspaceDocument::modifiedChanged, this, &MissionWorkspace::tellDocuments);
    connect(made, &WorkspaceDocument::changed, this, &MissionWorkspace::tellDocument);
    return made;
}

void MissionWorkspace::discard(WorkspaceDocument *unnamed)
{
    if (!unnamed || !unnamed->isUnnamed())
        return;
    m_undoGroup->removeStack(unnamed->undoStack());
    unnamed->deleteLater();
}

WorkspaceDocument *MissionWorkspace::saveUnnamedAs(WorkspaceDocument *unnamed, const QString &path, Prompts &prompts)
{
    const QString fileName = QFileInfo(path).fileName();
    WorkspaceDocument *held = find(path);
    if (!held && QFileInfo::exists(path))
        held = open(path, unnamed->codePage(), nullptr);
    if (held) {   // a file held already takes the text as a step of its own
        held->m_named = true;
        held->change(unnamed->document(), say("Save %1").arg(fileName));
        return save({held}, prompts) ? held : nullptr;
    }
    // The document becomes the file's, with its undo; back to no file when it cannot be written.
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    unnamed->m_path = clean;
    unnamed->m_named = true;   // named in the dialog: written as named
    // A file there that is no file of the game: the author chose to replace it.
    if (auto bytes = SafeFile::read(clean, StrReader::MaxFileSize); std::holds_alternative<QByteArray>(bytes)) {
        unnamed->m_disk = std::get<QByteArray>(bytes);
        unnamed->m_seen = unnamed->m_disk;
        unnamed->m_onDisk = true;
    }
    const QString id = identity(clean);
    m_documents.append(unnamed);
    m_byIdentity.insert(id, unnamed);
    m_byPath.insert(clean, unnamed);
    if (!save({unnamed}, prompts)) {
        m_byIdentity.remove(id);
        m_byPath.remove(clean);
        m_documents.removeOne(unnamed);
        unnamed->m_path.clear();
        unnamed->m_named = false;
        unnamed->m_disk.clear();
        unnamed->m_seen.clear();
        unnamed->m_onDisk = false;
        return nullptr;
    }
    // Known from now on as the file written (a folder of it may be a link).
    m_byIdentity.remove(id);
    m_byIdentity.insert(identity(clean), unnamed);
    watch().watch({clean});
    tellDocuments();
    return unnamed;
}

bool MissionWorkspace::writeCopy(WorkspaceDocument *document, const QString &path, Prompts &prompts)
{
    WorkspaceDocument *held = find(path);
    if (held && held != document) {
        held->m_named = true;
        held->change(document->document(), say("Save %1").arg(QFileInfo(path).fileName()));
        if (!save({held}, prompts))
            return false;
        document->undoStack()->setClean();
        return true;
    }
    if (held == document)
        return save({document}, prompts);
    const std::optional<QByteArray> bytes = checked(document, prompts);
    if (!bytes)
        return false;
    // A path named in the dialog is written as named.
    std::optional<Error> error;
    if (saveFileFor) {
        const std::unique_ptr<QSaveFile> file = saveFileFor(path);
        error = FileOutput::writeFile(*file, *bytes);
    } else {
        error = FileOutput::writeFile(path, *bytes);
    }
    if (error) {
        prompts.warn(say("The file could not be saved:\n%1\n\n%2\n\nNothing was changed on the disk.")
                         .arg(QDir::toNativeSeparators(path), error->message));
        return false;
    }
    const bool wasModified = document->isModified();
    document->undoStack()->setClean();
    if (wasModified != document->isModified())
        Q_EMIT document->modifiedChanged(document->isModified());
    return true;
}
