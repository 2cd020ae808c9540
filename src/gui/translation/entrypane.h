#pragma once

#include "core/mission/translation/memory.h"
#include "core/mission/translation/termlist.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <utility>

class BackgroundJob;
class QLabel;
class QPlainTextEdit;
class QTextBrowser;
class QTimer;
class TermEditor;
class TranslationTableModel;
namespace Spelling {
class SpellChecker;
}

// What the translator needs beside the table for the entry chosen in it:
//
// - for an Outdated entry, the source it was translated from beside today's,
//   the words that changed marked;
// - the notes for translators: the comment lines above the entry in the
//   source and the file's opening comments (read only), and the translator's
//   own note, edited here and kept in the translation record;
// - suggestions from the confirmed translations the mission and the
//   translator's own memory hold (the same source text, or a similar one with
//   its percentage and the difference marked); Ctrl+1 to Ctrl+3 take one
//   into the translation, a change of the file as a text typed into the
//   table is, waiting for a review when it is not the same source's;
// - the terms of the term list the source holds with their fixed rendering,
//   and a warning for each the translation lacks in any of its forms (the
//   target language's dictionary's stems, else the same start); and the
//   list itself, edited (TermEditor).
//
// It reads the rows of the files' table models, and changes them only
// through the model (setData for a translation, setNote for a note), so the
// window's own handling of a table change makes the workspace's change.
class EntryPane : public QWidget
{
    Q_OBJECT

public:
    using File = std::pair<QString, TranslationTableModel *>;   // relative to the mission, and its rows

    explicit EntryPane(QWidget *parent = nullptr);

    // The files translated, the mission's term list, and the translator's own
    // memory across missions (empty: none), which suggestions draw on too;
    // the target language (its dictionary's stems match the terms'
    // inflected forms) and the mission's folder (the term list is written
    // only inside it).
    void setMission(const QList<File> &files, const QString &termListPath, const QString &personalMemoryPath = {},
                    const QString &targetLanguage = {}, const QString &missionRoot = {});
    // The suggestions drawn anew (the translator's memory changed).
    void rebuildMemory();
    // The row of `model` (one of the files) to show; -1 or no model shows none.
    void showEntry(TranslationTableModel *model, int row);
    // Takes the suggestion numbered `number` (from 1) into the translation;
    // false when there is none or the row cannot be changed.
    bool takeSuggestion(int number);

    static constexpr int MaxSuggestions = 3;

    QWidget *sourceChange = nullptr;      // shown for an Outdated entry
    QTextBrowser *oldSource = nullptr;    // what it was translated from
    QTextBrowser *newSource = nullptr;    // today's source
    QLabel *sourceNotes = nullptr;        // the file's and the entry's comments
    QPlainTextEdit *translatorNote = nullptr;
    QLabel *suggestionList = nullptr;
    QLabel *termList = nullptr;
    TermEditor *termEditor = nullptr;

private:
    void refresh();
    void buildMemory();
    QString fileOf(const TranslationTableModel *model) const;
    void showSuggestions(const QString &file, const QString &key, const QString &source);
    void showTerms(const QString &file, const QString &key, const QString &source, const QString &target);

    QList<std::pair<QString, QPointer<TranslationTableModel>>> m_files;
    QString m_personalMemoryPath;
    QPointer<TranslationTableModel> m_model;
    int m_row = -1;
    // The memory last built, off the GUI thread, a moment after the
    // translations last changed (until then, suggestions come from it).
    std::shared_ptr<const TranslationMemory> m_memory;
    BackgroundJob *m_memoryJob = nullptr;
    QTimer *m_memoryTimer = nullptr;
    BackgroundJob *m_dictionaryJob = nullptr;
    std::shared_ptr<Spelling::SpellChecker> m_dictionary;   // of the target language, for stems; null: none
    QString m_termProblem;
    QList<TranslationMemory::Suggestion> m_suggestions;
    bool m_showing = false;   // the note box is filled, not typed into
};
