#pragma once

#include "core/document/strdocument.h"

#include <QList>
#include <QString>

// One file in three versions, compared entry by entry: what the program read
// (the base), the document with the author's changes (ours), and what the
// disk holds now after a change made outside the program (theirs).
//
// Each version is cut into parts known by what they are: an entry by its key
// (without regard to case) and how many entries of that key come before it;
// the lines before an entry (comments, blank lines) by that entry; the lines
// after the last entry. A part one side changed takes that side's change; a
// part both changed alike is taken once; a part both changed otherwise is a
// conflict, for the author to decide. A part one side added goes after the
// part it follows on that side.
//
// The result is theirs with our changes laid over it as changes of the
// document: saving it writes their bytes as they stand and only our parts
// anew, and it is unsaved until then.
class EntryMerge
{
public:
    struct Conflict {
        QString what;     // "Name_Apple", or "the lines before Page_2", "the end of the file"
        QString ours;     // the part as the author left it; empty when removed
        QString theirs;   // as the disk holds it now; empty when removed there
    };

    EntryMerge(const StrDocument &base, const StrDocument &ours, const StrDocument &theirs);

    // Parts both sides changed otherwise, in the file's order.
    const QList<Conflict> &conflicts() const { return m_conflicts; }
    // How many parts each side changed (the conflicts among them).
    int oursChanged() const { return m_oursChanged; }
    int theirsChanged() const { return m_theirsChanged; }

    // Theirs with our changes laid over it; `keepOurs` decides each conflict
    // in turn (true: ours), a conflict it does not reach going to theirs. What
    // the author typed into our changes stays for the checks before saving.
    StrDocument merged(const QList<bool> &keepOurs) const;

    // `target` laid over `base` (a document as read, without changes): the
    // base's bytes, with the parts `target` changes as changes of the
    // document, which carry what the author typed into `target`'s changes
    // and `checks` besides, for the checks before saving.
    static StrDocument laidOver(const StrDocument &base, const StrDocument &target, const Pieces &checks = {});

    // The document as it would be written, read again: its changes made part
    // of its bytes, kept as UTF-8 so that nothing a code page lacks is lost.
    // A document without changes is itself.
    static StrDocument asWritten(const StrDocument &document);

private:
    // What stands at one place of the result: a part of theirs (`part`), or
    // a part of ours put in after one of theirs (`part` -1).
    struct Step {
        int part = -1;
        QString text;        // what stands there, when no conflict decides it
        int conflict = -1;   // the conflict that decides it, else -1
    };
    struct Part {
        QString id;
        QString key;   // as the file spells it
        qsizetype from = 0;
        qsizetype to = 0;
        QString text;
    };
    static QList<Part> partsOf(const StrDocument &document);

    QList<Part> m_theirs;
    QList<Step> m_steps;   // in the result's order
    StrDocument m_theirsDocument;
    Pieces m_checks;
    QList<Conflict> m_conflicts;
    int m_oursChanged = 0;
    int m_theirsChanged = 0;
};
