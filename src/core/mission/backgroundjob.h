#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <type_traits>

class QThread;
class QTimer;

// Long work of the mission (reading a folder, find, the check, replacing) on
// a thread of its own, one run at a time, its result handed back on the
// thread the job lives in (the GUI thread):
//
//   job.start([scan](const BackgroundJob::Control &control) { return work(scan, control); },
//             [this](Result result) { show(result); });
//
// The work polls control.cancelled() (or passes control.cancelFlag() on) and
// tells control.progress(done, total); the job emits progressed() at most
// every 100 ms, so a fast worker cannot flood the event loop.
//
// Starting again, cancel() and the time limit abandon the run under way: its
// result is never delivered, its thread is told to stop and is left to finish
// on its own, and deleted when it has. Nothing on the GUI thread waits for it,
// so even work that cannot poll (one regular expression match on one long
// text) never freezes the window. Only the job's destructor waits, briefly,
// for its threads to stop; one that does not is left to end on its own.
class BackgroundJob : public QObject
{
    Q_OBJECT

public:
    struct State;
    // What the work sees of its run.
    class Control
    {
    public:
        explicit Control(std::shared_ptr<State> state) : m_state(std::move(state)) {}
        bool cancelled() const;
        const std::atomic_bool *cancelFlag() const;
        void progress(int done, int total) const;
        // progress() as a function, for code that takes one.
        std::function<void(int, int)> progressFunction() const;
        // In a run started with Clock::FromWork, the time limit counts from
        // now: what comes before (reading the files to search, say) is not
        // what the limit is for.
        void startTheClock() const;

    private:
        std::shared_ptr<State> m_state;
    };

    explicit BackgroundJob(QObject *parent = nullptr);
    ~BackgroundJob() override;

    // A run still under way after this long is abandoned and timedOut() emitted; zero: no limit.
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }
    std::chrono::milliseconds timeLimit() const { return m_timeLimit; }

    // Where the time limit counts from: the run's start, or the moment the
    // work calls control.startTheClock().
    enum class Clock { FromStart, FromWork };

    // Abandons the run under way, then runs `work(control)` on a new thread
    // and, unless this run is abandoned too, `done(result)` here.
    template <typename Work, typename Done>
    void start(Work work, Done done, Clock clock = Clock::FromStart)
    {
        run([work = std::move(work), done = std::move(done)](const Control &control) mutable -> std::function<void()> {
            using Result = std::invoke_result_t<Work &, const Control &>;
            auto result = std::make_shared<Result>(work(control));
            return [done, result]() mutable { done(std::move(*result)); };
        }, clock);
    }

    // Lets go of `value` on a thread of its own: large data (a scan of
    // thousands of files, a list of many results) is freed without holding
    // up the GUI thread.
    template <typename T>
    static void discard(T value)
    {
        discardOnThread([kept = std::make_shared<T>(std::move(value))]() mutable { kept.reset(); });
    }

    // Abandons the run under way, if any.
    void cancel();
    // A run has been started and neither delivered nor abandoned.
    bool isRunning() const { return m_state != nullptr; }

Q_SIGNALS:
    void progressed(int done, int total);
    void timedOut();

private:
    static void discardOnThread(std::function<void()> release);
    void run(std::function<std::function<void()>(const Control &)> work, Clock clock);
    void finish(const std::shared_ptr<State> &state);
    void showProgress();

    std::shared_ptr<State> m_state;       // the run under way
    QList<QPointer<QThread>> m_threads;   // every thread not yet ended, abandoned ones too
    QTimer *m_progressTimer = nullptr;
    QTimer *m_limitTimer = nullptr;
    std::chrono::milliseconds m_timeLimit{0};
    std::pair<int, int> m_shown{-1, -1};
};
