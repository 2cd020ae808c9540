#pragma once

#include <QByteArray>
#include <QString>

class Prompts;
class WorkspaceDocument;

// A file the workspace holds was changed outside the program: what the
// author is asked, and what becomes of the document.
namespace DiskChange {

struct Outcome {
    enum class Kind { Reloaded, Merged, Kept };
    Kind kind = Kind::Kept;
    QString announcement;   // what the status bar says of a merge; empty otherwise
};

// The file now holds `now`. A document without unsaved changes is asked
// "… Reload it?" (Reload, the default, or Keep); one with unsaved changes
// (or whose view holds some: `viewUnsaved`) is offered Merge (the default),
// Keep Mine and Reload. Merge lays the author's changes over the file as it
// is now, entry by entry, and asks about each entry both changed; Keep Mine
// does the same and keeps the author's text wherever both changed; Reload
// makes the document the file as it is now. Each is one step of undo.
// A view's changes not in the document are the view's to keep: with those
// alone, Keep Mine keeps the document as it is (saving asks again).
Outcome resolve(WorkspaceDocument &document, const QByteArray &now, Prompts &prompts, bool viewUnsaved = false);

} // namespace DiskChange
