#pragma once

#include "core/mission/spelling/spelling.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

class QAbstractItemView;
class QLineEdit;
class QMenu;
class QPainter;

// Spelling as the author types in the boxes that hold no text document:
// one-line boxes and the text cells of tables. The words are marked with the
// wavy red line the multi-line boxes show (SpellingHighlighter), and the
// context menu is theirs: suggestions, "Ignore", "Add to the mission's
// dictionary" and the box's "Language".
namespace SpellingBoxes {

// The language a box is checked in: the one chosen for it in its menu, else
// what its file says (language folder, translation target, the mission's).
class Language
{
public:
    explicit Language(std::function<QString()> ofFile)
        : m_ofFile(std::move(ofFile))
    {
    }
    QString operator()() const { return m_chosen.isEmpty() ? m_ofFile() : m_chosen; }
    QString ofFile() const { return m_ofFile(); }
    QString chosen() const { return m_chosen; }
    void choose(const QString &language) { m_chosen = language; }
    // The prose of the box's file (Spelling::proseTexts), for "Add all
    // unknown words of this file"; none: the menu does not offer it.
    std::function<QStringList()> fileTexts;

private:
    std::function<QString()> m_ofFile;
    QString m_chosen;   // "": the file's
};

// The words of `text` not known in `language`; none while its dictionary
// loads (which it starts when the text has words and `load` is set) or when
// it has none.
QList<Spelling::Word> misspelt(Spelling::Service &service, const QString &language, const QString &text,
                               bool load = true);

// Inserts before `before` (or appends) the menu entries for the word `word`
// of a box: its suggestions (choosing one calls `replace`), "Ignore" and
// "Add to the mission's dictionary" (a failure goes to `failed`). Nothing
// when the word is known.
void addWordActions(QMenu *menu, QAction *before, Spelling::Service &service, const QString &language,
                    const QString &word, const std::function<void(const QString &)> &replace,
                    const std::function<void(const QString &)> &failed);

// Appends "Add all unknown words of this file to the mission's word list"
// (objectName spellingAddAll) when the language knows its file's texts and a
// mission is open; a failure goes to `failed`.
void addFileWordsAction(QMenu *menu, Spelling::Service &service, const Language &language,
                        const std::function<void(const QString &)> &failed);

// Appends the "Language" submenu: the file's language, then every language
// with known dictionaries; choosing one calls `choose` ("" for the file's).
void addLanguageMenu(QMenu *menu, const Language &language, const std::function<void(const QString &)> &choose);

// The wavy line under text from x `from` to `to`, its middle at `y`.
void drawWave(QPainter &painter, qreal from, qreal to, qreal y);

} // namespace SpellingBoxes

// Marks the misspelt words of a one-line box as they are typed, painted over
// the box after it paints itself; its context menu gains the spelling
// entries. Checks the box's text when it changes, never while painting.
class LineEditSpelling : public QObject
{
    Q_OBJECT
public:
    LineEditSpelling(QLineEdit *box, Spelling::Service *service, std::function<QString()> language);

    QString language() const { return m_language(); }
    void chooseLanguage(const QString &language);
    void setFileTexts(std::function<QStringList()> texts) { m_language.fileTexts = std::move(texts); }
    // The words marked now, by position in the box's text.
    QList<Spelling::Word> marked() const { return m_marked; }
    // The menu the box shows when right-clicked at `position` (in the box);
    // the caller owns it.
    QMenu *contextMenu(const QPoint &position);

Q_SIGNALS:
    void failed(const QString &message);
    // The author chose the box's language in its menu ("": the file's).
    void languageChosen(const QString &language);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void check(bool load = true);
    void paintMarks();

    QPointer<QLineEdit> m_box;
    Spelling::Service *m_service;
    SpellingBoxes::Language m_language;
    QList<Spelling::Word> m_marked;
};

// The delegate of a table whose column `column` holds texts: it paints a wavy
// line under their misspelt words and gives its editor the spelling of its
// box (the menu's "Language" is the table's). A cell's text is checked when
// it is first painted or has changed; the other cells' marks are kept.
// Whatever else a cell does (editor, its data, its size) is the `inner`
// delegate's, when one is given.
class SpellingDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    SpellingDelegate(QAbstractItemView *view, int column, Spelling::Service *service,
                     std::function<QString()> language, QAbstractItemDelegate *inner = nullptr);

    QString language() const { return m_language(); }
    void chooseLanguage(const QString &language);
    // The words of the cell's text marked, by position in it.
    QList<Spelling::Word> marked(const QModelIndex &index) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

Q_SIGNALS:
    void failed(const QString &message);

private:
    void forget();

    QPointer<QAbstractItemView> m_view;
    int m_column;
    Spelling::Service *m_service;
    SpellingBoxes::Language m_language;
    QPointer<QAbstractItemDelegate> m_inner;
    // The marks of each text checked, in m_checkedIn.
    mutable QHash<QString, QList<Spelling::Word>> m_checked;
    mutable QString m_checkedIn;
};
