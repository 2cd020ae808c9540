#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

class QFileDialog;
class QWidget;

// Everything the editors ask of the author goes through this seam: the save
// dialog and the message boxes. The program uses QtPrompts; tests may put a
// scripted stand-in in its place.
class Prompts
{
public:
    struct Message {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };

    virtual ~Prompts() = default;

    // Asks where to save, proposing `suggestedName`. Returns the full path the
    // author accepted, or an empty string when the dialog was cancelled.
    virtual QString savePath(const QString &suggestedName) = 0;

    // Shows a modal message box and returns the button that closed it.
    virtual QMessageBox::StandardButton show(const Message &message) = 0;

    // The program's title, the caption of its own messages.
    static QString applicationTitle() { return QStringLiteral("Qwr"); }

    // A message about the author's input: OK only, no icon, the program's title.
    void tell(const QString &text) { show({QMessageBox::NoIcon, applicationTitle(), text}); }
};

// The real dialogs: one shared save dialog (objectName "cd1") whose folder is
// kept from one save to the next, and QMessageBox.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *window);
    ~QtPrompts() override;

    QString savePath(const QString &suggestedName) override;
    QMessageBox::StandardButton show(const Message &message) override;

    QFileDialog *saveDialog() const;

private:
    QPointer<QWidget> m_window;
    QPointer<QFileDialog> m_cd1;
};
