#pragma once

#include "gui/mainwindow.h"
#include "support/scriptedprompts.h"

#include <QTemporaryDir>

#include <memory>

// What a control shows: a box's text, a label's or button's caption, a frame's title.
QString shownText(const QWidget *widget);

// The main window as a test drives it: controls found by objectName, typed
// into and clicked as the author does, and files saved into a temporary folder.
// By default the dialogs are answered by a ScriptedPrompts; with `RealDialogs`
// the window shows the real ones.
class Harness
{
public:
    enum Dialogs { ScriptedDialogs, RealDialogs };

    explicit Harness(Dialogs dialogs = ScriptedDialogs);
    ~Harness();

    Qwr &window() { return *m_window; }
    ScriptedPrompts prompts;
    QTemporaryDir dir;

    QWidget *find(const char *name) const;
    template <typename T>
    T *find(const char *name) const
    {
        return qobject_cast<T *>(find(name));
    }

    void click(const char *name);
    // Types into a line edit or a multi-line box, emptied first; "\n" is Enter.
    void type(const char *name, const QString &text);
    // Puts text in as a paste does, for characters no keyboard key sends.
    void paste(const char *name, const QString &text);
    // What the control named `name` shows (shownText).
    QString text(const char *name) const;
    bool enabled(const char *name) const;

    // Runs the author's steps, separated by '|': "Box=text" types (an empty
    // text empties the box), "Box+=text" pastes, "!Button" clicks ("!Button*3"
    // three times), "?Yes" or "?No" answers the next message box.
    void run(const QString &steps);

    QString path(const QString &fileName) const { return dir.filePath(fileName); }
    // Answers the next save dialog with `fileName` in the temporary folder,
    // clicks `button` and returns the bytes of that file ("<missing>" if none).
    QByteArray save(const char *button, const QString &fileName);
    const Prompts::Message &lastMessage() const { return prompts.lastMessage(); }
    // What closing the window now would ask about ("" when nothing).
    QString closeQuestion();

private:
    std::unique_ptr<Qwr> m_window;
};
