#pragma once

#include "core/save/prompts.h"

#include <QList>
#include <QStringList>

#include <functional>

// Answers the program's questions from a script and records what was asked.
class ScriptedPrompts : public Prompts
{
public:
    // The next save, open or folder dialog answers with `path` ("" cancels).
    void setNextPath(const QString &path) { m_paths.append(path); }
    // The next message box answers with `button`; unscripted boxes take their default.
    void setNextAnswer(Button button) { m_answers.append(button); }
    void clearAnswers() { m_answers.clear(); }

    QStringList suggestedNames;   // what each save dialog proposed
    QStringList openFolders;      // where each open dialog started
    QList<Message> messages;      // every message box shown
    // Runs while the next message box is open, as if the author did
    // something else before answering it.
    std::function<void(const Message &)> whileOpen;

    const Message &lastMessage() const;

    QString openPath(const QString &folder) override
    {
        openFolders.append(folder);
        return m_paths.isEmpty() ? QString() : m_paths.takeFirst();
    }

    QString folderPath(const QString &folder) override
    {
        openFolders.append(folder);
        return m_paths.isEmpty() ? QString() : m_paths.takeFirst();
    }

    QString savePath(const QString &suggestedName) override
    {
        suggestedNames.append(suggestedName);
        return m_paths.isEmpty() ? QString() : m_paths.takeFirst();
    }

    Button show(const Message &message) override
    {
        messages.append(message);
        if (whileOpen)
            std::exchange(whileOpen, nullptr)(message);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        return message.defaultButton != Button::None ? message.defaultButton : Button::Ok;
    }

private:
    QStringList m_paths;
    QList<Button> m_answers;
};

inline const Prompts::Message &ScriptedPrompts::lastMessage() const
{
    if (messages.isEmpty())
        qFatal("No message box was shown");
    return messages.constLast();
}
