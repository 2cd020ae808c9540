#pragma once

#include "core/kinds/newgame.h"
#include "gui/tabs/formpage.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The Newgame tab: the mission title and the names of the three difficulty
// levels, written to newgame.str; an opened file keeps its own words for
// everything the tab does not show.
class NewgamePage : public FormPage
{
    Q_OBJECT

public:
    explicit NewgamePage(Prompts &prompts, QWidget *parent = nullptr);

    StrReader::Kind kind() const override { return StrReader::Kind::Newgame; }
    StrDocument newFile() const override { return NewgameFile::newDocument(); }
    void showDocument(const StrDocument &file) override;
    void load(const StrDocument &file, const QString &path) override;
    std::variant<StrDocument, Error> apply() const override;
    std::variant<QString, Error> proposedName() const override;
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

    StrDocument m_file = NewgameFile::newDocument();   // the file shown
};
