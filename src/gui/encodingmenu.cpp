#include "gui/encodingmenu.h"

#include "core/document/codepages.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

EncodingMenu::EncodingMenu(QMenuBar &bar)
    : QObject(&bar)
{
    menu = bar.addMenu(tr("Encoding"));
    menu->setObjectName(QStringLiteral("encodingMenu"));
    auto *codePages = new QActionGroup(menu);
    for (const int codePage : CodePages::all()) {
        QAction *item = menu->addAction(CodePages::name(codePage));
        item->setCheckable(true);
        item->setData(codePage);
        codePages->addAction(item);
        connect(item, &QAction::triggered, this, [this, codePage] { Q_EMIT chosen(codePage); });
    }
    label = new QLabel(&bar);
    label->setObjectName(QStringLiteral("codePageLabel"));
    label->setContentsMargins(0, 0, 6, 0);
    bar.setCornerWidget(label);
}

void EncodingMenu::show(int codePage, bool named)
{
    label->setVisible(named);
    for (QAction *item : menu->actions())
        item->setChecked(item->data().toInt() == codePage);
    label->setText(tr("Encoding: %1").arg(CodePages::name(codePage)));
}
