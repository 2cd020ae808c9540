#pragma once

#include "core/mission/folder.h"
#include "core/mission/translation/exchange.h"
#include "core/mission/translation/memory.h"
#include "core/mission/translation/missiontranslation.h"
#include "core/mission/translation/translationrecord.h"
#include "core/mission/translation/translationtable.h"

#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QVariantList>

#include <memory>
#include <optional>
#include <vector>

class MissionWorkspace;
class Prompts;
class WorkspaceDocument;

// A mission's translation from one language into another: every file of the
// source language beside its translation, as the mission workspace holds
// them. Both files of a pair are the workspace's documents (the source opened
// through it, the target too when it exists, made at the first text typed
// when it does not): a text typed is a change of the target's document (one
// step of its undo), and a change made elsewhere (undo, a tab, a
// replacement, a reload) shows in the file's rows. Nothing here reads a .str
// file from the disk but through the workspace.
//
// Beside the files: the translation record of the target language, read
// once when the files are paired and written when they are saved; a record
// that could not be wholly read is set aside first, and one that could not
// be is never written over.
class TranslationSet : public QObject
{
    Q_OBJECT

public:
    struct File {
        MissionTranslation::FilePair names;
        std::unique_ptr<TranslationTableModel> model;   // null when the source could not be read
        QString failure;                                 // why not
        QPointer<WorkspaceDocument> source;
        QPointer<WorkspaceDocument> target;              // null for a new file until a text is typed
        int codePage = 1252;
        // What the record said of the file's entries when it was paired or
        // last saved: a text that is the source's stand-in again (a
        // translation undone) is untranslated again.
        TranslationRecord::FileEntries recorded;
        int lastRow = -1;   // the row last changed, for the name of the step of undo
    };

    explicit TranslationSet(MissionWorkspace &workspace, QObject *parent = nullptr);
    ~TranslationSet() override;

    // Pairs the files of `scan` in `source` with those in `target` (or, with
    // `sourceFolder`, that folder's files with the mission's own), written in
    // `codePage` when new; reads the record unless the source is another
    // folder. What of the record could not be used, one line each.
    QStringList open(const MissionFolder::Scan &scan, const QString &source, const QString &target, int codePage,
                     const std::optional<MissionFolder::Scan> &sourceFolder = std::nullopt);
    void clear();

    const std::vector<File> &files() const { return m_files; }
    int size() const { return static_cast<int>(m_files.size()); }
    TranslationTableModel *model(int file) const;
    QString name(int file) const;   // the source's path relative to the mission
    int indexOf(const QString &name) const;
    QString root() const { return m_root; }
    QString sourceLanguage() const { return m_source; }
    QString targetLanguage() const { return m_target; }
    bool keepsRecord() const { return !m_sourceFolder && !m_target.isEmpty(); }
    QString recordPath() const;
    TranslationPair::Counts counts() const;

    // The documents of the translations this set changed.
    QList<WorkspaceDocument *> changedDocuments() const;
    bool holds(const WorkspaceDocument *document) const;

    // Everything handed to other tools, and taken back: all or nothing.
    QList<Exchange::Unit> units() const;
    enum class Format { Xliff, Po };
    // The file handed to other tools, made at `revised` (the PO header's date).
    QByteArray exported(Format format, const QDateTime &revised) const;
    // The entries of an XLIFF or PO file (which one by its name, else by its
    // first character) checked against the mission's.
    Exchange::Import read(const QString &path, const QByteArray &bytes) const;
    struct Taken {
        QList<Exchange::Problem> problems;   // nothing was changed when there are any
        int entries = 0;                      // entries changed
        int files = 0;                        // files whose texts changed
        int outdated = 0;                     // entries made from an older source
    };
    Taken take(const Exchange::Import &import, const QString &description);

    // What a memory learns: the confirmed pairs, and every entry with today's source.
    QList<TranslationMemory::Unit> confirmedUnits() const;
    QList<TranslationMemory::Unit> currentUnits() const;

    // The first text of any changed translation that cannot be written, in
    // the order of the files: the file, and why (its row when it is a row's).
    struct Refusal {
        int file = -1;
        TranslationPair::Refusal refusal;
    };
    std::optional<Refusal> check() const;
    // Saves every changed translation through the workspace (everything
    // checked first), then the record. False when anything was refused or
    // could not be written; the record's own problem, if any, in `problem`.
    bool save(Prompts &prompts, QString *recordProblem = nullptr);

    // The entries whose done mark, review or note differs from the record, as
    // a draft keeps them; and such entries put back.
    QVariantList changedMarks() const;
    void applyMarks(const QJsonArray &entries);

Q_SIGNALS:
    // A file's rows are others now (a change made elsewhere, an import).
    void fileChanged(int file);
    // A text typed or taken became a change of `document` (one step of undo).
    void documentChanged(WorkspaceDocument *document);
    // A done mark, a review or a note changed: the record, unsaved.
    void marksChanged();

private:
    void openFile(const MissionTranslation::FilePair &names, int codePage);
    void watch(int file, WorkspaceDocument *document, bool isSource);
    void typed(int file, const QString &description = {});
    void changedElsewhere(int file);

    MissionWorkspace &m_workspace;
    QString m_root;
    QString m_source;
    QString m_target;
    bool m_sourceFolder = false;
    std::vector<File> m_files;
    TranslationRecord::Record m_record;
    bool m_recordWritable = true;
    QList<QPointer<WorkspaceDocument>> m_changed;
};
