#include "support/modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <memory>

namespace ModalAnswerer {

namespace {

// Polls for a modal widget of type T that has not been handled yet.
template <typename T>
void whenModal(std::function<void(T *)> handle)
{
    auto *timer = new QTimer(qApp);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ticks, handle] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible()) {
            if (++*ticks > 500) {   // five seconds: give up rather than hang
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        handle(modal);
    });
    timer->start(10);
}

} // namespace

void acceptFileDialog(const QString &path, QString *seenName)
{
    whenModal<QFileDialog>([path, seenName](QFileDialog *dialog) {
        auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (seenName && nameEdit)
            *seenName = nameEdit->text();
        if (nameEdit) {
            nameEdit->setText(path);
            QTest::keyClick(nameEdit, Qt::Key_Return);   // as the author accepts it
        } else {
            static_cast<QDialog *>(dialog)->accept();
        }
    });
}

void cancelFileDialog()
{
    whenModal<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
}

void answerMessageBox(QMessageBox::StandardButton button, QString *seenText, QString *seenTitle,
                      std::function<void()> then)
{
    whenModal<QMessageBox>([button, seenText, seenTitle, then](QMessageBox *box) {
        if (then)
            then();
        if (seenText)
            *seenText = box->text();
        if (seenTitle)
            *seenTitle = box->windowTitle();
        if (QAbstractButton *pressed = box->button(button))
            pressed->click();
        else
            box->reject();
    });
}

void pressEnterInMessageBox(QString *seenText)
{
    whenModal<QMessageBox>([seenText](QMessageBox *box) {
        if (seenText)
            *seenText = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
}

} // namespace ModalAnswerer
