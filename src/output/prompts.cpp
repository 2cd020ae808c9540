#include "output/prompts.h"

#include <QFileDialog>
#include <QFileInfo>

QtPrompts::QtPrompts(QWidget *window)
    : m_window(window)
    , m_cd1(new QFileDialog(window))
{
    m_cd1->setObjectName(QStringLiteral("cd1"));
    m_cd1->setAcceptMode(QFileDialog::AcceptSave);
    m_cd1->setFileMode(QFileDialog::AnyFile);
    m_cd1->setNameFilter(QStringLiteral("*.str"));
    // Asking before an existing file is replaced is the dialog's default and
    // is never switched off.
}

QtPrompts::~QtPrompts()
{
    delete m_cd1.data();
}

QFileDialog *QtPrompts::saveDialog() const
{
    return m_cd1.data();
}

QString QtPrompts::savePath(const QString &suggestedName)
{
    if (!m_cd1)
        return {};
    m_cd1->setNameFilter(QStringLiteral("*.str"));
    // The dialog keeps the folder it was last used in; only the name changes.
    m_cd1->selectFile(suggestedName);
    if (m_cd1->exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = m_cd1->selectedFiles();
    if (chosen.isEmpty())
        return {};
    // The next save opens in the folder this one went to.
    m_cd1->setDirectory(QFileInfo(chosen.constFirst()).absolutePath());
    return chosen.constFirst();
}

QMessageBox::StandardButton QtPrompts::show(const Message &message)
{
    QMessageBox box(message.icon, message.title, message.text, message.buttons, m_window);
    if (message.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(message.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
