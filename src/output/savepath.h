#pragma once

#include "output/textsource.h"

#include <QStringList>

class Prompts;

// The one way every editor writes its file:
//  1. refuse, with a message, text that Windows-1252 cannot hold (before any dialog);
//  2. ask for the path in the shared save dialog, proposing a name (cancel: stop, silently);
//  3. write the lines, CR LF after each, replacing the file only once all is written;
//     a failure shows the path and the system's reason.
class SavePath
{
public:
    explicit SavePath(Prompts &prompts);

    // Returns true when the file was written.
    bool save(const QString &suggestedName, const TextSources &texts, const QStringList &lines);

    // Shows the message that refuses a save because of `texts`; returns false
    // when every text can be written.
    bool refuseUnencodable(const TextSources &texts);

private:
    void showFailure(const QString &path, const QString &reason);

    Prompts &m_prompts;
};
