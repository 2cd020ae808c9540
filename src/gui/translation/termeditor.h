#pragma once

#include "core/mission/translation/termlist.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The mission's term list of the target language, edited where the
// translator works: a term added from the words chosen in the entry's
// source and translation (or typed), a term or its rendering changed in the
// list, a term removed. Every change is written to the list's file at once.
class TermEditor : public QWidget
{
    Q_OBJECT

public:
    explicit TermEditor(QWidget *parent = nullptr);

    // The list's file and the mission's folder (a link out of it is never
    // written through); none: nothing to edit.
    void setList(const QString &path, const QString &missionRoot, const TermList::Terms &terms);
    const TermList::Terms &terms() const { return m_terms; }
    // The entry shown: its source and translation, to choose words from.
    void showEntry(const QString &source, const QString &translation);
    // The words chosen in the source become a term, rendered as the words
    // chosen in the translation (a word under the cursor when none are);
    // false when no word of the source is chosen.
    bool addChosen();
    bool removeChosen();

    QPlainTextEdit *entrySource = nullptr;        // read only, to choose words from
    QPlainTextEdit *entryTranslation = nullptr;
    QPushButton *addTerm = nullptr;
    QPushButton *removeTerm = nullptr;
    QTableWidget *termTable = nullptr;            // every term: term, rendering (edited in place)

Q_SIGNALS:
    void termsChanged();
    // The list could not be written: why.
    void failed(const QString &message);

private:
    void fill();
    void edited(int row, int column);
    void save();

    QString m_path;
    QString m_root;
    TermList::Terms m_terms;
    bool m_filling = false;
};
