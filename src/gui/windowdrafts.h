#pragma once

#include <QJsonObject>
#include <QObject>
#include <QVariantMap>

#include <memory>

class DraftFile;
class DraftWriter;
class Qwr;
class QTimer;

// The main window's drafts against a crash: the whole editing state (every
// tab and which of them hold work, the code page, the tab shown, the mission
// open, the files of the mission changed and not saved, the translation
// window's languages and the translators' marks) written a pause in typing
// after each change, and put back exactly in a window after a crash.
class WindowDrafts : public QObject
{
    Q_OBJECT

public:
    explicit WindowDrafts(Qwr &window);
    ~WindowDrafts() override;

    // Keeps the state in `file`, a few seconds after each change, until
    // finish() removes it.
    void enable(std::unique_ptr<DraftFile> file);
    bool isDrafting() const { return m_drafts != nullptr; }
    // The window closed cleanly: nothing left to recover.
    void finish();
    // The draft written after the pause in typing that follows a change.
    void soon();
    // Written now rather than after the pause (tests, benchmarks, and a
    // window that goes without its close, with what waited for the pause).
    void now();
    void writePending();

    // The whole editing state, its texts shared with the pages rather than
    // copied, for the draft writer to put into JSON on its own thread.
    QVariantMap values() const;
    // Puts back a draft: the mission (its folder read again), every tab, the
    // selected tab, the code page and the translation window with its
    // languages; each tab's file is the draft's, as a step of its undo.
    void restore(const QJsonObject &draft);

private:
    Qwr &m_window;
    std::unique_ptr<DraftWriter> m_drafts;
    QTimer *m_timer = nullptr;
};
