#pragma once

#include "gui/loader.h"
#include "gui/mainwindow.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class Prompts;

// The program's start: the splash, and after its second the main window.
// Work left in drafts by runs that did not end cleanly is offered first, one
// draft after the other; each restored draft gets a window of its own. Then
// the files named on the command line are opened.
class Startup
{
public:
    // `prompts` answers for the real dialogs (tests); drafts live in `draftFolder`.
    explicit Startup(const QStringList &files, Prompts *prompts = nullptr,
                     const QString &draftFolder = QString());
    ~Startup();

    // Shows the splash; the rest follows from its timer.
    void start() { loader.Form_Load(); }

    // Told of the first window once the files are open (quillwright --translate).
    std::function<void(Qwr &)> afterOpening;

    Loader loader;
    std::vector<std::unique_ptr<Qwr>> windows;   // once the splash has opened them

private:
    void openWindows();
    // A main window, loaded and shown, asking through the prompts given to the start.
    std::unique_ptr<Qwr> newWindow();
    // Offers the draft at `path`; a window when it was restored.
    std::unique_ptr<Qwr> offerDraft(const QString &path);

    QStringList m_files;
    Prompts *m_prompts;
    std::unique_ptr<Prompts> m_ownPrompts;
    QString m_draftFolder;
};
