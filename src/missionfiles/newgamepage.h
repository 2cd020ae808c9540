#pragma once

#include <QWidget>

class Line;
class QLabel;
class QLineEdit;
class QPushButton;
class SavePath;

// The Newgame tab: the mission title and the names of the three difficulty
// levels, written to newgame.str. Keeps nothing between presses.
class NewgamePage : public QWidget
{
    Q_OBJECT

public:
    explicit NewgamePage(SavePath &savePath, QWidget *parent = nullptr);

    QLabel *Label3 = nullptr;
    Line *Line1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Mt = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *diff0 = nullptr;
    QLineEdit *diff1 = nullptr;
    QLineEdit *diff2 = nullptr;
    Line *Line3 = nullptr;
    Line *Line4 = nullptr;
    Line *Line5 = nullptr;
    Line *Line6 = nullptr;
    Line *Line7 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *Cngame = nullptr;

public Q_SLOTS:
    void Cngame_Click();

private:
    SavePath &m_savePath;
};
