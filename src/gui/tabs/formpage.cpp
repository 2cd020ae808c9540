#include "gui/tabs/formpage.h"

#include <QLineEdit>

QStringList FormPage::unsavedWork() const
{
    if (!holdsUnlaid() && !documentModified())
        return {};
    return {m_workWords};
}

QVariantMap FormPage::draft() const
{
    return boxTexts(names());
}

void FormPage::restore(const QJsonObject &draft)
{
    restoreBoxTexts(draft, names());
}

void FormPage::setBoxes(const QList<QLineEdit *> &boxes, const QString &workWords)
{
    m_boxes = boxes;
    m_workWords = workWords;
    m_shown = texts();
}

void FormPage::fill(const QStringList &texts)
{
    for (qsizetype i = 0; i < m_boxes.size(); ++i)
        m_boxes.at(i)->setText(texts.value(i));
    m_shown = this->texts();
}

void FormPage::follow(const QStringList &texts)
{
    for (qsizetype i = 0; i < m_boxes.size(); ++i) {
        QLineEdit *box = m_boxes.at(i);
        if (box->text() == m_shown.value(i))
            box->setText(texts.value(i));
        m_shown[i] = texts.value(i);
    }
}

QStringList FormPage::texts() const
{
    QStringList texts;
    for (const QLineEdit *box : m_boxes)
        texts.append(box->text());
    return texts;
}

QStringList FormPage::names() const
{
    QStringList names;
    for (const QLineEdit *box : m_boxes)
        names.append(box->objectName());
    return names;
}
