#pragma once

#include <QObject>

class QLabel;
class QMenu;
class QMenuBar;

// The "Encoding" menu: one checkable item per code page the program writes,
// and beside the menus the code page the current tab's file is written in.
class EncodingMenu : public QObject
{
    Q_OBJECT

public:
    explicit EncodingMenu(QMenuBar &bar);

    // `codePage` checked in the menu and named beside it, or (`named` false) not named.
    void show(int codePage, bool named = true);

    QMenu *menu = nullptr;
    QLabel *label = nullptr;

Q_SIGNALS:
    // The author chose `codePage` in the menu.
    void chosen(int codePage);
};
