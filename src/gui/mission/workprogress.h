#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>

class MissionWorkspace;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

// Long work of the mission shown while it runs (Replace All over thousands
// of files, saving them): for its first moments the author's input waits, so
// that nothing is changed under it; after them a window-modal dialog tells
// how far it has got, and its Cancel stops the work between files. The
// window keeps answering all the while.
class WorkProgress : public QObject
{
    Q_OBJECT

public:
    explicit WorkProgress(QWidget *window);
    ~WorkProgress() override;

    // Shows the saves of `workspace` that take a while, Cancel stopping them.
    void follow(MissionWorkspace &workspace);

    // Runs `step` on the GUI thread again and again, each time a few
    // milliseconds' worth (a step does one file), until it says it is done;
    // `label` says what is done. A step sets `done` and `total`. False when
    // Cancel stopped it (between two steps).
    bool runInSteps(const QString &label, const std::function<bool(int &done, int &total)> &step);

    // How long work runs before the dialog shows (300 ms), and how long each
    // slice of runInSteps() runs before the window has its turn (20 ms; at
    // least one step). Tests make them shorter.
    void setDelay(std::chrono::milliseconds delay) { m_delay = delay; }
    void setSlice(std::chrono::milliseconds slice) { m_slice = slice; }

    // The dialog while it shows.
    QDialog *dialog() const { return m_dialog; }

Q_SIGNALS:
    void cancelled();

private:
    void show(const QString &label, int done, int total);
    void close();

    QWidget *m_window;
    QPointer<QDialog> m_dialog;
    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    std::chrono::milliseconds m_delay{300};
    std::chrono::milliseconds m_slice{20};
};
