#pragma once

#include "gui/spellingboxes.h"

#include <QPointer>
#include <QSyntaxHighlighter>

#include <functional>

class QMenu;
class QPlainTextEdit;
class QPoint;

namespace Spelling {
class Service;
}

// The words a box's text misspells, underlined as they are typed (a wavy red
// line), in the language chosen in the box's menu, else the one `language()`
// names at the time; its context menu offers the dictionary's suggestions,
// "Ignore" and "Add to the mission's dictionary" above the box's own entries,
// and "Language" below them. It lays itself over the box's document; the box
// keeps working as it did. Only the paragraph typed in is checked again.
class SpellingHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    SpellingHighlighter(QPlainTextEdit *box, Spelling::Service *service, std::function<QString()> language);

    QString language() const { return m_language(); }
    void chooseLanguage(const QString &language);
    // The prose of the box's file, for "Add all unknown words of this file".
    void setFileTexts(std::function<QStringList()> texts) { m_language.fileTexts = std::move(texts); }

    // The menu the box shows when it is right-clicked at `position` (in the
    // box's viewport); the caller owns it.
    QMenu *contextMenu(const QPoint &position);

    // Marks the box's text again without the box telling of a change.
    void rehighlightQuietly();

Q_SIGNALS:
    // A word could not be added to the mission's word list, and why.
    void failed(const QString &message);
    // The author chose the box's language in its menu ("": the file's).
    void languageChosen(const QString &language);

protected:
    void highlightBlock(const QString &text) override;

private:
    QPointer<QPlainTextEdit> m_box;
    Spelling::Service *m_service;
    SpellingBoxes::Language m_language;
};
