#pragma once

#include "output/prompts.h"

#include <QList>
#include <QStringList>

// Answers the editors' questions from a script and records what was asked.
class ScriptedPrompts : public Prompts
{
public:
    QStringList paths;                              // next answers of the save dialog; "" cancels
    QList<QMessageBox::StandardButton> answers;     // next answers of message boxes
    QStringList suggestedNames;                     // what each save dialog proposed
    QList<Message> messages;                        // every message box shown

    QString savePath(const QString &suggestedName) override
    {
        suggestedNames.append(suggestedName);
        return paths.isEmpty() ? QString() : paths.takeFirst();
    }

    QMessageBox::StandardButton show(const Message &message) override
    {
        messages.append(message);
        if (!answers.isEmpty())
            return answers.takeFirst();
        return message.defaultButton != QMessageBox::NoButton ? message.defaultButton : QMessageBox::Ok;
    }
};
