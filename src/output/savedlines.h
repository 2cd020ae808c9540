#pragma once

#include <QStringList>

// What an editor last saved, so that closing the window can tell whether the
// author would lose work: the lines of the file as they would be written now
// differ from the ones last written, and there is something to lose at all.
class SavedLines
{
public:
    void remember(const QStringList &written) { m_written = written; }

    bool differFrom(const QStringList &current) const
    {
        return !current.isEmpty() && current != m_written;
    }

private:
    QStringList m_written;
};
