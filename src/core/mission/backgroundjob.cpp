#include "core/mission/backgroundjob.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

struct BackgroundJob::State {
    std::atomic_bool cancel{false};
    std::atomic<quint64> progress{~quint64(0)};   // done in the high half, total in the low; all ones: none told
    std::function<void()> deliver;                // set by the worker as it ends
    QElapsedTimer started;                        // started before the worker is
    std::atomic<qint64> clockFrom{0};             // ms after the start the time limit counts from; -1: not yet
};

bool BackgroundJob::Control::cancelled() const
{
    return m_state->cancel.load(std::memory_order_relaxed);
}

const std::atomic_bool *BackgroundJob::Control::cancelFlag() const
{
    return &m_state->cancel;
}

void BackgroundJob::Control::progress(int done, int total) const
{
    m_state->progress.store(quint64(quint32(done)) << 32 | quint32(total), std::memory_order_relaxed);
}

std::function<void(int, int)> BackgroundJob::Control::progressFunction() const
{
    return [state = m_state](int done, int total) { Control(state).progress(done, total); };
}

void BackgroundJob::Control::startTheClock() const
{
    m_state->clockFrom.store(m_state->started.elapsed(), std::memory_order_relaxed);
}

BackgroundJob::BackgroundJob(QObject *parent)
    : QObject(parent)
    , m_progressTimer(new QTimer(this))
    , m_limitTimer(new QTimer(this))
{
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &BackgroundJob::showProgress);
    m_limitTimer->setSingleShot(true);
    connect(m_limitTimer, &QTimer::timeout, this, [this] {
        if (!m_state)
            return;
        const qint64 from = m_state->clockFrom.load(std::memory_order_relaxed);
        const qint64 left = from < 0 ? m_timeLimit.count() : from + m_timeLimit.count() - m_state->started.elapsed();
        if (left > 0) {   // the clock was started late, or not yet: the limit is not reached
            m_limitTimer->start(std::chrono::milliseconds(left));
            return;
        }
        cancel();
        Q_EMIT timedOut();
    });
}

BackgroundJob::~BackgroundJob()
{
    cancel();
    const QDeadlineTimer deadline(2000);
    for (const QPointer<QThread> &thread : std::as_const(m_threads)) {
        if (thread && thread->wait(deadline))
            delete thread.data();
        // else it was told to stop and deletes itself once it has (finished -> deleteLater)
    }
}

void BackgroundJob::cancel()
{
    if (const std::shared_ptr<State> state = std::exchange(m_state, nullptr))
        state->cancel.store(true);
    m_progressTimer->stop();
    m_limitTimer->stop();
    m_shown = {-1, -1};
}

void BackgroundJob::discardOnThread(std::function<void()> release)
{
    QThread *thread = QThread::create(std::move(release));
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start(QThread::LowestPriority);
}

void BackgroundJob::run(std::function<std::function<void()>(const Control &)> work, Clock clock)
{
    cancel();
    auto state = std::make_shared<State>();
    state->started.start();
    if (clock == Clock::FromWork)
        state->clockFrom.store(-1);
    m_state = state;
    QThread *thread = QThread::create([state, work = std::move(work)] { state->deliver = work(Control(state)); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, state, thread] {
        m_threads.removeAll(thread);
        finish(state);
    });
    m_threads.removeAll(nullptr);
    m_threads.append(thread);
    thread->start();
    m_progressTimer->start();
    if (m_timeLimit.count() > 0)
        m_limitTimer->start(m_timeLimit);
}

void BackgroundJob::finish(const std::shared_ptr<State> &state)
{
    if (state != m_state)
        return;   // abandoned: a newer run, cancel() or the time limit came first
    showProgress();
    m_progressTimer->stop();
    m_limitTimer->stop();
    m_state.reset();
    m_shown = {-1, -1};
    if (state->deliver)
        state->deliver();
}

void BackgroundJob::showProgress()
{
    if (!m_state)
        return;
    const quint64 told = m_state->progress.load(std::memory_order_relaxed);
    if (told == ~quint64(0))
        return;
    const std::pair<int, int> now{int(quint32(told >> 32)), int(quint32(told))};
    if (now == m_shown)
        return;
    m_shown = now;
    Q_EMIT progressed(now.first, now.second);
}
