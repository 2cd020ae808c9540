#pragma once

#include "core/kinds/stringtable.h"
#include "gui/tabs/editorpage.h"

class QLabel;
class QPushButton;
class QTableView;

// A tab of its own for a string table (any .str file that is none of the five
// kinds): its entries in a table, texts edited in place, everything else in
// the file kept. Each text edited is a step of the file's undo. The window
// shows the tab only while such a file is open.
class StringsPage : public EditorPage
{
    Q_OBJECT

public:
    explicit StringsPage(Prompts &prompts, QWidget *parent = nullptr);

    QStringList unsavedWork() const override;
    StrReader::Kind kind() const override { return StrReader::Kind::Other; }
    void showDocument(const StrDocument &file) override;
    void load(const StrDocument &file, const QString &path) override;
    std::variant<StrDocument, Error> apply() const override { return m_model.document(); }
    std::variant<QString, Error> proposedName() const override;
    bool holdsUnlaid() const override { return m_unlaid; }
    void markLaid() override { m_unlaid = false; }
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
    StringTableModel m_model;
    QString m_path;
    bool m_unlaid = false;   // texts put back from a draft, until laid into the file
};
