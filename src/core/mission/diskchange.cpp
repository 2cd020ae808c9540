#include "core/mission/diskchange.h"

#include "core/kinds/strreader.h"
#include "core/mission/entrymerge.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace DiskChange {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("DiskChange", text);
}

StrDocument documentOf(const QByteArray &bytes, int codePage)
{
    auto read = StrReader::read(bytes, codePage);
    if (auto *file = std::get_if<StrReader::Result>(&read))
        return std::move(file->document);
    return StrDocument(bytes, {codePage, false});
}

// A part of a file quoted in a question: its lines, at most a few hundred characters.
QString quoted(const QString &text)
{
    if (text.isEmpty())
        return say("(removed)");
    QString shown = text.trimmed();
    if (shown.size() > 300)
        shown = shown.first(300) + u'\u2026';
    return shown;
}

} // namespace

Outcome resolve(WorkspaceDocument &document, const QByteArray &now, Prompts &prompts, bool viewUnsaved)
{
    const QString path = QDir::toNativeSeparators(document.path());
    if (!document.isModified() && !viewUnsaved) {
        const Prompts::Message question{Prompts::Icon::Information, Prompts::applicationTitle(),
                                        say("%1 was changed outside Quillwright.\n\nReload it?").arg(path),
                                        {Prompts::Button::Reload, Prompts::Button::Keep}, Prompts::Button::Reload, {}};
        if (prompts.show(question) == Prompts::Button::Reload) {
            document.reload(now);
            return {Outcome::Kind::Reloaded, {}};
        }
        document.keepAfterDiskChange(now);
        return {Outcome::Kind::Kept, {}};
    }
    const Prompts::Message question{
        Prompts::Icon::Warning, Prompts::applicationTitle(),
        say("%1 was changed outside Quillwright, and it holds changes you have not saved.\n\n"
            "Merge: your changes are laid over the file as it is now; you are asked about each entry both changed.\n"
            "Keep Mine: the same, keeping your text wherever both changed.\n"
            "Reload: the file as it is now; your changes are undone.").arg(path),
        {Prompts::Button::Merge, Prompts::Button::Keep, Prompts::Button::Reload}, Prompts::Button::Merge, {}};
    const Prompts::Button answer = prompts.show(question);
    if (answer == Prompts::Button::Reload) {
        document.reload(now);
        return {Outcome::Kind::Reloaded, {}};
    }
    if (!document.isModified()) {   // the changes are the view's alone: it keeps them
        document.keepAfterDiskChange(now);
        return {Outcome::Kind::Kept, {}};
    }
    const int codePage = document.codePage();
    const EntryMerge merge(document.existsOnDisk() ? documentOf(document.diskBytes(), codePage) : StrDocument(),
                           document.document(), documentOf(now, codePage));
    QList<bool> keepOurs;
    int ours = 0;
    for (const EntryMerge::Conflict &conflict : merge.conflicts()) {
        bool keep = answer == Prompts::Button::Keep;
        if (!keep) {
            keep = prompts.ask(Prompts::Icon::Warning, Prompts::applicationTitle(),
                               say("%1 was changed both here and outside Quillwright in %2.\n\nYours:\n%3\n\n"
                                   "Outside:\n%4\n\nKeep yours? No takes the text changed outside.")
                                   .arg(conflict.what, path, quoted(conflict.ours), quoted(conflict.theirs)),
                               Prompts::Button::Yes);
        }
        keepOurs.append(keep);
        ours += keep ? 1 : 0;
    }
    const QString name = QFileInfo(document.path()).fileName();
    document.mergeFromDisk(now, merge.merged(keepOurs), say("Merge the change outside Quillwright into %1").arg(name));
    QString announcement = say("%1 was changed outside Quillwright: the change was merged with yours, not saved yet.")
                               .arg(name);
    if (!merge.conflicts().isEmpty()) {
        announcement += u' ' + say("Of %1 entries both changed, yours were kept in %2.")
                                   .arg(merge.conflicts().size()).arg(ours);
    }
    return {Outcome::Kind::Merged, announcement};
}

} // namespace DiskChange
