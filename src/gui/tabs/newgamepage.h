#pragma once

#include "core/kinds/newgame.h"
#include "gui/tabs/formpage.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class SaveFlow;

// The Newgame tab: the mission title and the names of the three difficulty
// levels, written to newgame.str. Keeps nothing between presses.
class NewgamePage : public FormPage
{
    Q_OBJECT

public:
    explicit NewgamePage(SaveFlow &saveFlow, QWidget *parent = nullptr);

    StrReader::Kind kind() const override { return StrReader::Kind::Newgame; }

    QAbstractButton *saveButton() const override;
    void load(const StrReader::Result &file, const QString &path) override;
    QVariantMap draft() const override;
    void restore(const QJsonObject &draft) override;

    QLabel *Label3 = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Mt = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *diff0 = nullptr;
    QLineEdit *diff1 = nullptr;
    QLineEdit *diff2 = nullptr;
    QFrame *Line3 = nullptr;
    QFrame *Line4 = nullptr;
    QFrame *Line5 = nullptr;
    QFrame *Line6 = nullptr;
    QFrame *Line7 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *Cngame = nullptr;

public Q_SLOTS:
    void Cngame_Click();

private:
    NewgameFile::Texts boxTexts() const;

    SaveFlow &m_saveFlow;
    StrDocument m_document = NewgameFile::newDocument();   // the file opened or last saved
    NewgameFile::Texts m_written = NewgameFile::texts(m_document);   // its texts
};
