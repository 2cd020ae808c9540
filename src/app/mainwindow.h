#pragma once

#include "app/editorstate.h"

#include <QMainWindow>

#include <memory>

class AboutPage;
class BookPage;
class GoalsPage;
class MissflagPage;
class NewgamePage;
class Prompts;
class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class SavePath;
class TitlesPage;

// The main window: six tabs, the "File" menu and the "Close" button.
class Qwr : public QMainWindow
{
    Q_OBJECT

public:
    // `prompts` replaces the real dialogs (tests); by default the window uses
    // QtPrompts with its own save dialog "cd1".
    explicit Qwr(Prompts *prompts = nullptr, QWidget *parent = nullptr);
    ~Qwr() override;

    // Captions, centring, start-up values; shows the window.
    void Form_Load();

    const EditorState &state() const { return m_state; }

    QMenu *MyMNU = nullptr;
    QAction *abtme = nullptr;
    QAction *qtnow = nullptr;
    QTabWidget *Tab1 = nullptr;
    QPushButton *Command1 = nullptr;
    BookPage *books = nullptr;
    GoalsPage *goals = nullptr;
    NewgamePage *newgame = nullptr;
    MissflagPage *missflag = nullptr;
    TitlesPage *titles = nullptr;
    AboutPage *about = nullptr;

public Q_SLOTS:
    void abtme_Click();
    void qtnow_Click();
    void Command1_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool mayDiscardUnsavedWork();

    EditorState m_state;
    std::unique_ptr<Prompts> m_ownPrompts;
    Prompts *m_prompts = nullptr;
    std::unique_ptr<SavePath> m_savePath;
};
