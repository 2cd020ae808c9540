#include "gui/mission/workprogress.h"

#include "core/mission/workspace.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

WorkProgress::WorkProgress(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

WorkProgress::~WorkProgress()
{
    delete m_dialog;
}

void WorkProgress::follow(MissionWorkspace &workspace)
{
    connect(&workspace, &MissionWorkspace::savingProgressed, this, [this](int done, int total) {
        show(tr("Saving the files\u2026"), done, total);
    });
    connect(&workspace, &MissionWorkspace::savingEnded, this, &WorkProgress::close);
    connect(this, &WorkProgress::cancelled, &workspace, &MissionWorkspace::cancelSaving);
}

void WorkProgress::show(const QString &label, int done, int total)
{
    if (!m_dialog) {
        m_dialog = new QDialog(m_window);
        m_dialog->setObjectName(QStringLiteral("workProgress"));
        m_dialog->setWindowTitle(QStringLiteral("Quillwright"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumWidth(360);
        auto *layout = new QVBoxLayout(m_dialog);
        m_label = new QLabel(m_dialog);
        m_label->setObjectName(QStringLiteral("workProgressLabel"));
        m_bar = new QProgressBar(m_dialog);
        m_bar->setObjectName(QStringLiteral("workProgressBar"));
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, m_dialog);
        QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
        cancel->setObjectName(QStringLiteral("workProgressCancel"));
        layout->addWidget(m_label);
        layout->addWidget(m_bar);
        layout->addWidget(buttons);
        // Cancel, Esc or closing the dialog: the work stops after the file under way.
        connect(m_dialog, &QDialog::rejected, this, [this] {
            m_label->setText(tr("Stopping after the file under way\u2026"));
            Q_EMIT cancelled();
        });
        connect(buttons, &QDialogButtonBox::rejected, m_dialog, &QDialog::reject);
        m_dialog->show();
    }
    m_label->setText(label);
    m_bar->setRange(0, std::max(total, 1));
    m_bar->setValue(std::min(done, std::max(total, 1)));
}

void WorkProgress::close()
{
    if (m_dialog)
        m_dialog->deleteLater();
    m_dialog = nullptr;
}

bool WorkProgress::runInSteps(const QString &label, const std::function<bool(int &done, int &total)> &step)
{
    QEventLoop loop;
    QTimer slice;
    QElapsedTimer since;
    bool finished = false;
    bool stopped = false;
    bool shown = false;
    int done = 0, total = 0;
    const QMetaObject::Connection stop = connect(this, &WorkProgress::cancelled, &loop, [&] {
        stopped = !finished;
        loop.quit();
    });
    // A slice of work, then the event loop has its turn.
    connect(&slice, &QTimer::timeout, &loop, [&] {
        if (finished || stopped)
            return;
        QElapsedTimer clock;
        clock.start();
        do {
            finished = step(done, total);
        } while (!finished && clock.elapsed() < m_slice.count());
        if (finished) {
            loop.quit();
        } else if (shown) {
            show(label, done, total);
        } else if (since.elapsed() >= m_delay.count()) {
            shown = true;
            loop.quit();   // from now on with the dialog, input to it allowed
        }
    });
    since.start();
    slice.start(0);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished && !stopped) {
        show(label, done, total);
        loop.exec();
    }
    disconnect(stop);
    if (shown)
        close();
    return !stopped;
}
