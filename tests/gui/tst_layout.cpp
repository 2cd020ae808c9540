// Every tab page keeps its controls inside the page, apart from each other,
// and shows every caption whole in the fonts this machine has.
#include "support/harness.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

QString describe(const QWidget *widget)
{
    return widget->objectName() + QLatin1Char(' ') + QDebug::toString(widget->geometry());
}

// Whether the control shows its whole text; labels wrap within their width.
bool showsItsText(const QWidget *widget)
{
    const QFontMetrics metrics(widget->font());
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                 : label->sizeHint().width() <= label->width();
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return metrics.horizontalAdvance(button->text()) + 4 <= button->width() && metrics.height() <= button->height();
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return metrics.horizontalAdvance(frame->title()) + 4 <= frame->width();
    if (qobject_cast<const QLineEdit *>(widget))
        return metrics.height() + 4 <= widget->height();
    return true;
}

// The controls placed directly in `container`, then those inside its frames.
void checkContainer(const QWidget *container)
{
    QList<const QWidget *> placed;
    for (const QWidget *widget : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const auto *frame = qobject_cast<const QFrame *>(widget);
        const bool rule = frame && (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine);
        if (!widget->isWindow() && !rule)
            placed.append(widget);
    }
    for (const QWidget *widget : placed) {
        QVERIFY2(container->rect().contains(widget->geometry()), qPrintable(describe(widget) + QStringLiteral(" leaves its page")));
        for (const QWidget *other : placed) {
            QVERIFY2(other == widget || !widget->geometry().intersects(other->geometry()),
                     qPrintable(describe(widget) + QStringLiteral(" overlaps ") + describe(other)));
        }
        QVERIFY2(showsItsText(widget), qPrintable(describe(widget) + QStringLiteral(" clips its text")));
        if (qobject_cast<const QGroupBox *>(widget))
            checkContainer(widget);
    }
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyPageFits()
    {
        Harness h;
        auto *tabs = h.find<QTabWidget>("Tab1");
        QVERIFY(QTest::qWaitForWindowExposed(&h.window()));
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            checkContainer(tabs->widget(i));
        }
        const QWidget *client = h.window().centralWidget();
        QVERIFY(client->rect().contains(tabs->geometry()));
        QVERIFY(client->rect().contains(h.find("Command1")->geometry()));
        QVERIFY(!tabs->geometry().intersects(h.find("Command1")->geometry()));
        QVERIFY(tabs->tabBar()->tabRect(tabs->count() - 1).right() < tabs->width());   // no scrolling tabs
        QCOMPARE(h.window().minimumSize(), h.window().maximumSize());   // laid out for one size
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
