#pragma once

#include "core/mission/backgroundjob.h"

#include <QHash>
#include <QObject>
#include <QStringList>

class MissionWorkspace;

// What a save wrote, for the status bar: how many files, and how many lines
// they changed against what the disk held before, counted off the window's
// thread once the save is done.
class SaveReport : public QObject
{
    Q_OBJECT

public:
    explicit SaveReport(MissionWorkspace &workspace, QObject *parent = nullptr);

    // A save starts: the bytes on the disk of every file held are kept.
    void begin();
    // `path` was written (between begin() and end(); otherwise nothing).
    void written(const QString &path);
    // The save is done: counted() tells of what was written, if anything.
    void end();

Q_SIGNALS:
    void counted(int files, int changedLines);

private:
    struct Before {
        QByteArray bytes;
        bool onDisk = false;
    };
    MissionWorkspace &m_workspace;
    QHash<QString, Before> m_before;   // by the file's identity
    QStringList m_written;
    bool m_begun = false;
    BackgroundJob m_counting;
};
