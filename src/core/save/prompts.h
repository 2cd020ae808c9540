#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Everything the program asks of the author goes through this seam: the save
// dialog and the message boxes. The program answers it with the real dialogs
// (QtPrompts); tests put a scripted stand-in in its place. It knows nothing of
// widgets, so the save flow that uses it lives in the core library.
class Prompts
{
public:
    enum class Button { None, Ok, Yes, No, Open, Restore, Discard, Cancel, Repair, Reload, Keep, Merge, SaveAll };
    enum class Icon { None, Information, Warning };

    struct Message {
        Icon icon = Icon::None;
        QString title;
        QString text;
        QList<Button> buttons{Button::Ok};
        Button defaultButton = Button::None;
        QString details{};   // a longer text the author can unfold, select and copy
        // A question whose answer replaces or discards a file: keys held down
        // from before it appeared (their repeats) and keys pressed in its first
        // moments do not answer it; only a key pressed afresh, or the mouse.
        bool guarded = false;
    };

    virtual ~Prompts() = default;

    // Asks where to save, proposing `suggestedName`. Returns the full path the
    // author accepted, or an empty string when the dialog was cancelled.
    virtual QString savePath(const QString &suggestedName) = 0;

    // Asks which file to open, starting in `folder`. Returns the full path, or
    // an empty string when the dialog was cancelled.
    virtual QString openPath(const QString &folder) = 0;

    // Asks where to write a file handed to other tools (a translation as
    // XLIFF or PO, a memory as TMX), proposing `suggestedName`; `filter` names
    // its kind as file dialogs do ("gettext PO (*.po)"). The full path, or ""
    // when cancelled. Without a dialog of its own: the save dialog's answer.
    virtual QString exportPath(const QString &suggestedName, const QString &filter)
    {
        Q_UNUSED(filter);
        return savePath(suggestedName);
    }

    // Asks which file made by other tools to read, starting in `folder`, of
    // the kinds `filters` name. Without a dialog of its own: the open dialog's answer.
    virtual QString importPath(const QString &folder, const QStringList &filters)
    {
        Q_UNUSED(filters);
        return openPath(folder);
    }

    // Asks which mission folder to open, starting in `folder`. Returns its
    // path, or an empty string when the dialog was cancelled.
    virtual QString folderPath(const QString &folder) = 0;

    // Shows a modal message box and returns the button that closed it.
    virtual Button show(const Message &message) = 0;

    // The program's title, the caption of its own messages.
    static QString applicationTitle() { return QStringLiteral("Qwr"); }

    // A message about the author's input: OK only, no icon, the program's title.
    void tell(const QString &text) { show({Icon::None, applicationTitle(), text}); }

    // A warning with the program's title and OK only.
    void warn(const QString &text) { show({Icon::Warning, applicationTitle(), text}); }

    // A Yes/No question; true for Yes.
    bool ask(Icon icon, const QString &title, const QString &text, Button defaultButton)
    {
        return show({icon, title, text, {Button::Yes, Button::No}, defaultButton}) == Button::Yes;
    }
};
