#include "gui/qtprompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>

namespace {

// The filters of both file dialogs; the first is chosen when a dialog opens.
const QString MissionTexts = QStringLiteral("Mission texts (*.str)");
const QStringList FileFilters = {MissionTexts, QStringLiteral("All files (*)")};

QMessageBox::StandardButton standardButton(Prompts::Button button)
{
    switch (button) {
    case Prompts::Button::Ok:
        return QMessageBox::Ok;
    case Prompts::Button::Yes:
        return QMessageBox::Yes;
    case Prompts::Button::No:
        return QMessageBox::No;
    case Prompts::Button::Open:
        return QMessageBox::Open;
    case Prompts::Button::Restore:   // shown as "Restore"
        return QMessageBox::Yes;
    case Prompts::Button::Discard:
        return QMessageBox::Discard;
    case Prompts::Button::Cancel:
        return QMessageBox::Cancel;
    case Prompts::Button::Repair:   // shown as "Repair"
        return QMessageBox::Retry;
    case Prompts::Button::Reload:   // shown as "Reload"
        return QMessageBox::Reset;
    case Prompts::Button::Keep:   // shown as "Keep Mine"
        return QMessageBox::Ignore;
    case Prompts::Button::Merge:   // shown as "Merge"
        return QMessageBox::Apply;
    case Prompts::Button::SaveAll:
        return QMessageBox::SaveAll;
    case Prompts::Button::None:
        break;
    }
    return QMessageBox::NoButton;
}

Prompts::Button ourButton(int button, const QList<Prompts::Button> &offered)
{
    for (const Prompts::Button candidate : offered) {
        if (standardButton(candidate) == button)
            return candidate;
    }
    return Prompts::Button::None;
}

QMessageBox::Icon standardIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Keeps the keys of a guarded question's box from answering it before the
// author can have read it: a key's repeats (it was held down, perhaps from
// the table that asked) never reach the box, nor any key in the first
// moments after it appeared. A key pressed afresh after that answers it.
class HeldKeyGuard : public QObject
{
public:
    static constexpr int SettleMs = 300;

    explicit HeldKeyGuard(QWidget *box)
        : QObject(box)
        , m_box(box)
    {
        m_shown.start();
        qApp->installEventFilter(this);
    }
    ~HeldKeyGuard() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || (widget != m_box && !m_box->isAncestorOf(widget)))
            return false;
        return static_cast<QKeyEvent *>(event)->isAutoRepeat() || m_shown.elapsed() < SettleMs;
    }

private:
    QWidget *m_box;
    QElapsedTimer m_shown;
};

// Runs a dialog made for one question and deletes it: the first path
// chosen, or nothing when it was cancelled (or closed with its window).
QString chosenPath(QPointer<QFileDialog> &dialog)
{
    const int result = dialog->exec();
    if (!dialog)
        return {};
    const QStringList chosen = dialog->selectedFiles();
    delete dialog;
    return result == QDialog::Accepted && !chosen.isEmpty() ? chosen.constFirst() : QString();
}

} // namespace

QtPrompts::QtPrompts(QWidget *window)
    : m_window(window)
{
}

QString QtPrompts::savePath(const QString &suggestedName)
{
    if (!m_cd1) {
        m_cd1 = new QFileDialog(m_window);
        m_cd1->setObjectName(QStringLiteral("cd1"));
        m_cd1->setAcceptMode(QFileDialog::AcceptSave);
        m_cd1->setFileMode(QFileDialog::AnyFile);
        m_cd1->setNameFilters(FileFilters);
        m_cd1->setDefaultSuffix(QStringLiteral("str"));
        // Asking before an existing file is replaced is the dialog's default
        // and is never switched off.
    }
    m_cd1->selectNameFilter(MissionTexts);
    // The dialog keeps the folder it was last used in; only the name changes.
    m_cd1->selectFile(suggestedName);
    const int result = m_cd1->exec();
    if (!m_cd1 || result != QDialog::Accepted)
        return {};
    const QStringList chosen = m_cd1->selectedFiles();
    if (chosen.isEmpty())
        return {};
    // The next save opens in the folder this one went to.
    m_cd1->setDirectory(QFileInfo(chosen.constFirst()).absolutePath());
    return chosen.constFirst();
}

QString QtPrompts::openPath(const QString &folder)
{
    // A dialog of its own, so that the save dialog keeps its folder and name.
    QPointer<QFileDialog> dialog = new QFileDialog(m_window, QString(), folder);
    dialog->setObjectName(QStringLiteral("openDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(FileFilters);
    return chosenPath(dialog);
}

QString QtPrompts::exportPath(const QString &suggestedName, const QString &filter)
{
    // A dialog of its own: the save dialog keeps its folder and its kind of file.
    QPointer<QFileDialog> dialog = new QFileDialog(m_window);
    dialog->setObjectName(QStringLiteral("exportDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters({filter, QStringLiteral("All files (*)")});
    dialog->setDefaultSuffix(QFileInfo(suggestedName).suffix());
    dialog->selectFile(suggestedName);
    return chosenPath(dialog);
}

QString QtPrompts::importPath(const QString &folder, const QStringList &filters)
{
    QPointer<QFileDialog> dialog = new QFileDialog(m_window, QString(), folder);
    dialog->setObjectName(QStringLiteral("importDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(filters + QStringList{QStringLiteral("All files (*)")});
    return chosenPath(dialog);
}

QString QtPrompts::folderPath(const QString &folder)
{
    QPointer<QFileDialog> dialog = new QFileDialog(m_window, QFileDialog::tr("Open Mission Folder"), folder);
    dialog->setObjectName(QStringLiteral("folderDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    return chosenPath(dialog);
}

Prompts::Button QtPrompts::show(const Message &message)
{
    QMessageBox::StandardButtons buttons;
    for (const Button button : message.buttons)
        buttons |= standardButton(button);
    // On the heap and watched: the window may go away while the box is open.
    QPointer<QMessageBox> box =
        new QMessageBox(standardIcon(message.icon), message.title, message.text, buttons, m_window);
    if (message.buttons.contains(Button::Restore))
        box->button(QMessageBox::Yes)->setText(QMessageBox::tr("Restore"));
    if (message.buttons.contains(Button::Repair))
        box->button(QMessageBox::Retry)->setText(QMessageBox::tr("Repair"));
    if (message.buttons.contains(Button::Reload))
        box->button(QMessageBox::Reset)->setText(QMessageBox::tr("Reload"));
    if (message.buttons.contains(Button::Keep))
        box->button(QMessageBox::Ignore)->setText(QMessageBox::tr("Keep Mine"));
    if (message.buttons.contains(Button::Merge))
        box->button(QMessageBox::Apply)->setText(QMessageBox::tr("Merge"));
    if (!message.details.isEmpty())
        box->setDetailedText(message.details);
    if (message.defaultButton != Button::None)
        box->setDefaultButton(standardButton(message.defaultButton));
    if (message.guarded)
        new HeldKeyGuard(box);
    const int answer = box->exec();
    if (!box)
        return Button::None;
    delete box;
    return ourButton(answer, message.buttons);
}
