#pragma once

#include "core/kinds/stringtable.h"
#include "gui/tabs/editorpage.h"

class Prompts;
class QLabel;
class QPushButton;
class QTableView;
class SaveFlow;

// A tab of its own for a string table (any .str file that is none of the five
// kinds): its entries in a table, texts edited in place, everything else in
// the file kept. The window shows the tab only while such a file is open.
class StringsPage : public EditorPage
{
    Q_OBJECT

public:
    StringsPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent = nullptr);

    QStringList unsavedWork() const override;
    StrReader::Kind kind() const override { return StrReader::Kind::Other; }
    QAbstractButton *saveButton() const override;
    void load(const StrReader::Result &file, const QString &path) override;
    void markChanged() override { m_changed = true; }
    QVariantMap draft() const override;
    void restore(const QJsonObject &draft) override;

    void showEntry(int entry) override;

    QLabel *stringsFile = nullptr;
    QTableView *stringsTable = nullptr;
    QPushButton *stringsSave = nullptr;
    QPushButton *stringsClose = nullptr;

Q_SIGNALS:
    // The author asked to close the table.
    void closeRequested();

private:
    void save();

    Prompts &m_prompts;
    SaveFlow &m_saveFlow;
    StringTableModel m_model;
    QString m_path;
    bool m_changed = false;
};
