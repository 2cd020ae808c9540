#pragma once

#include <QObject>

#include <functional>

class EditorPage;
class Prompts;
class QAction;
class QMainWindow;
class QMenu;
class SpellingHighlighter;
class TitlesPage;
class TranslationWindow;
class WorkspaceDocument;
namespace Spelling {
class Service;
}
class BookPage;
class GoalsPage;
class NewgamePage;
class StringsPage;

// Spelling as the author types, set up in every box of the main window where
// texts are composed (the Page box, the goal boxes, the Newgame boxes, the
// title and the campaign table of titles, the Strings table): in the
// language of the file the tab edits (its language folder, else the
// mission's), or the one chosen in the box's menu; and the Edit menu's
// "Spelling Language of the Mission" and "Dictionary Folder…".
class SpellingSetup : public QObject
{
    Q_OBJECT

public:
    struct Tabs {
        BookPage *books;
        GoalsPage *goals;
        NewgamePage *newgame;
        TitlesPage *titles;
        StringsPage *strings;
    };
    SpellingSetup(QMainWindow &window, const Tabs &tabs, Prompts &prompts, QMenu &editMenu);

    // The translations of `translation`'s table, checked in its target language.
    void checkTranslations(TranslationWindow &translation);

    Spelling::Service *spelling = nullptr;           // the dictionaries of the languages typed in
    SpellingHighlighter *pageSpelling = nullptr;     // over the Books tab's Page box
    QMenu *missionLanguageMenu = nullptr;            // the mission's spelling language, once a folder is open
    QAction *dictionaryFolderAction = nullptr;       // "Dictionary Folder…": searched before the system's

private:
    // The language of the file `page` edits.
    std::function<QStringList()> textsOf(EditorPage *page) const;
    std::function<QString()> languageOf(EditorPage *page) const;
    void makeMenus(QMenu &editMenu);

    QMainWindow &m_window;
    Prompts &m_prompts;
};
