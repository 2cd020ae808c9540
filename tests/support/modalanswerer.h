#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Answers the real modal dialogs a test makes the program open: each call
// arms a watcher that waits (up to a few seconds) for the next modal widget
// of the wanted kind and handles it.
namespace ModalAnswerer {

// Types `path` into the next QFileDialog and accepts it. `seenName` receives
// the file name the dialog proposed.
void acceptFileDialog(const QString &path, QString *seenName = nullptr);

// Cancels the next QFileDialog.
void cancelFileDialog();

// Presses `button` in the next QMessageBox; `seenText` receives its text,
// `seenTitle` its title.
// `then` runs once the box is answered, to arm the next answer in turn.
void answerMessageBox(QMessageBox::StandardButton button, QString *seenText = nullptr,
                      QString *seenTitle = nullptr, std::function<void()> then = {});

// Presses Enter in the next QMessageBox, which answers with its default button.
void pressEnterInMessageBox(QString *seenText = nullptr);

} // namespace ModalAnswerer
