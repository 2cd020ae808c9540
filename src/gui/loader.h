#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

// The splash window: centred, shows the picture for one second, then opens the
// main window and closes itself. Closed early, it takes its timer with it and
// the main window is never opened.
class Loader : public QWidget
{
    Q_OBJECT

public:
    using OpenMainWindow = std::function<void()>;

    explicit Loader(OpenMainWindow openMainWindow, QWidget *parent = nullptr);

    void Form_Load();

    QLabel *Image1 = nullptr;
    QTimer *Timer1 = nullptr;

private Q_SLOTS:
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    OpenMainWindow m_openMainWindow;
};
