#include "gui/spellingsetup.h"

#include "core/kinds/stringtable.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/translation/translation.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "core/save/settings.h"
#include "gui/spellingboxes.h"
#include "gui/spellinghighlighter.h"
#include "gui/tabs/bookpage.h"
#include "gui/tabs/goalspage.h"
#include "gui/tabs/newgamepage.h"
#include "gui/tabs/stringspage.h"
#include "gui/tabs/titlespage.h"
#include "gui/translation/translationwindow.h"

#include <QActionGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>

SpellingSetup::SpellingSetup(QMainWindow &window, const Tabs &tabs, Prompts &prompts, QMenu &editMenu)
    : QObject(&window)
    , m_window(window)
    , m_prompts(prompts)
{
    spelling = new Spelling::Service({}, &window);
    const auto warnOf = [this](auto *source, auto failed) {
        connect(source, failed, this, [this](const QString &message) { m_prompts.warn(message); });
    };
    const auto spellIn = [this, warnOf](QPlainTextEdit *box, EditorPage *page) {
        auto *highlighter = new SpellingHighlighter(box, spelling, languageOf(page));
        highlighter->setFileTexts(textsOf(page));
        warnOf(highlighter, &SpellingHighlighter::failed);
        return highlighter;
    };
    pageSpelling = spellIn(tabs.books->Page, tabs.books);
    spellIn(tabs.goals->Gfict, tabs.goals);
    spellIn(tabs.goals->Gtxt, tabs.goals);
    const auto spellInLine = [this, warnOf](QLineEdit *box, EditorPage *page) {
        auto *checked = new LineEditSpelling(box, spelling, languageOf(page));
        checked->setFileTexts(textsOf(page));
        warnOf(checked, &LineEditSpelling::failed);
    };
    for (QLineEdit *box : {tabs.newgame->Mt, tabs.newgame->diff0, tabs.newgame->diff1, tabs.newgame->diff2})
        spellInLine(box, tabs.newgame);
    spellInLine(tabs.titles->Mt2, tabs.titles);
    // The campaign table of titles, its titles and short titles, as it shows.
    TitlesPage *titles = tabs.titles;
    connect(titles, &CampaignPage::missionsChanged, this, [this, titles, warnOf] {
        QTableView *table = titles->tableView;
        if (!table || qobject_cast<SpellingDelegate *>(table->itemDelegateForColumn(TitlesTable::Title)))
            return;
        for (const int column : {TitlesTable::Title, TitlesTable::Short}) {
            auto *checked = new SpellingDelegate(table, column, spelling, languageOf(titles));
            table->setItemDelegateForColumn(column, checked);
            warnOf(checked, &SpellingDelegate::failed);
        }
    });
    auto *strings = new SpellingDelegate(tabs.strings->stringsTable, StringTableModel::TextColumn, spelling,
                                         languageOf(tabs.strings));
    tabs.strings->stringsTable->setItemDelegate(strings);
    warnOf(strings, &SpellingDelegate::failed);
    // Said once for each language, where the window says such things.
    connect(spelling, &Spelling::Service::noDictionary, this,
            [this](const QString &, const QString &message) { m_window.statusBar()->showMessage(message); });
    makeMenus(editMenu);
}

std::function<QString()> SpellingSetup::languageOf(EditorPage *page) const
{
    return [this, page] {
        const WorkspaceDocument *document = page->document();
        return spelling->languageOf(document ? document->path() : QString());
    };
}

std::function<QStringList()> SpellingSetup::textsOf(EditorPage *page) const
{
    // For "Add all unknown words of this file to the mission's word list".
    return [page] {
        const WorkspaceDocument *document = page->document();
        return document ? Spelling::proseTexts(document->document(), document->path()) : QStringList();
    };
}

void SpellingSetup::makeMenus(QMenu &editMenu)
{
    editMenu.addSeparator();
    missionLanguageMenu = editMenu.addMenu(tr("Spelling Language of the Mission"));
    missionLanguageMenu->setObjectName(QStringLiteral("missionLanguageMenu"));
    missionLanguageMenu->setEnabled(false);   // once a mission folder is open
    auto *missionLanguages = new QActionGroup(missionLanguageMenu);
    for (const QString &language : Spelling::knownLanguages()) {
        QAction *item = missionLanguageMenu->addAction(language);
        item->setCheckable(true);
        missionLanguages->addAction(item);
        connect(item, &QAction::triggered, this, [this, language] {
            Error error;
            if (!spelling->setMissionLanguage(language, &error))
                m_prompts.warn(tr("The mission's language could not be written: %1").arg(error.message));
        });
    }
    connect(missionLanguageMenu, &QMenu::aboutToShow, this, [this, missionLanguages] {
        for (QAction *item : missionLanguages->actions())
            item->setChecked(item->text() == spelling->missionLanguage());
    });
    dictionaryFolderAction = editMenu.addAction(tr("Dictionary Folder\u2026"), this, [this] {
        const QString folder = m_prompts.folderPath(Settings::dictionaryFolder());
        if (folder.isEmpty())
            return;
        Settings::setDictionaryFolder(folder);
        spelling->reload();   // looked for there first from now on
    });
    dictionaryFolderAction->setObjectName(QStringLiteral("dictionaryFolderAction"));
}

void SpellingSetup::checkTranslations(TranslationWindow &translation)
{
    QTableView *table = translation.translationTable;
    auto *checked = new SpellingDelegate(
        table, TranslationTableModel::TranslationColumn, spelling,
        [this, &translation] {
            const QString into = translation.targetLanguage->currentText().trimmed().toLower();
            return into.isEmpty() ? spelling->missionLanguage() : into;
        },
        table->itemDelegate());
    table->setItemDelegate(checked);
    connect(checked, &SpellingDelegate::failed, this, [this](const QString &message) { m_prompts.warn(message); });
}
