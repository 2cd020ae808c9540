#include "gui/tabs/editorpage.h"

#include "gui/widgets.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>

void EditorPage::emitChangesOfBoxes()
{
    for (QLineEdit *box : findChildren<QLineEdit *>())
        connect(box, &QLineEdit::textChanged, this, &EditorPage::changed);
    for (QPlainTextEdit *box : findChildren<QPlainTextEdit *>())
        connect(box, &QPlainTextEdit::textChanged, this, &EditorPage::changed);
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::clicked, this, &EditorPage::changed);
}

QVariantMap EditorPage::boxTexts(const QStringList &names) const
{
    QVariantMap texts;
    for (const QString &name : names) {
        if (const auto *line = findChild<QLineEdit *>(name))
            texts.insert(name, line->text());
        else if (const auto *area = findChild<QPlainTextEdit *>(name))
            texts.insert(name, Widgets::storedText(area));
    }
    return texts;
}

void EditorPage::restoreBoxTexts(const QJsonObject &draft, const QStringList &names)
{
    for (const QString &name : names) {
        const QString text = draft.value(name).toString();
        if (auto *line = findChild<QLineEdit *>(name))
            line->setText(text);
        else if (auto *area = findChild<QPlainTextEdit *>(name))
            Widgets::showStoredText(area, text);
    }
}
