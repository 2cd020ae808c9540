#pragma once

#include "core/save/prompts.h"

#include <QPointer>

class QFileDialog;
class QWidget;

// The real dialogs: one shared save dialog (objectName "cd1"), made when first
// needed and kept with its folder from one save to the next, and message boxes.
// Both belong to the window; neither outlives it.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *window);

    QString savePath(const QString &suggestedName) override;
    QString openPath(const QString &folder) override;
    QString folderPath(const QString &folder) override;
    QString exportPath(const QString &suggestedName, const QString &filter) override;
    QString importPath(const QString &folder, const QStringList &filters) override;
    Button show(const Message &message) override;

private:
    QPointer<QWidget> m_window;
    QPointer<QFileDialog> m_cd1;
};
