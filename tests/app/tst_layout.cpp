// Every tab page keeps its controls inside the page, apart from each other,
// and shows every caption whole in the fonts this machine has.
#include "app/line.h"
#include "app/mainwindow.h"
#include "support/scriptedprompts.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

class TestLayout : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompts m_prompts;
    std::unique_ptr<Qwr> m_window;

    static QString describe(const QWidget *widget)
    {
        return widget->objectName() + QLatin1Char(' ') + QDebug::toString(widget->geometry());
    }

    // Checks the controls placed directly in `container`, then inside its frames.
    void checkContainer(const QWidget *container)
    {
        QList<const QWidget *> placed;
        for (const QObject *child : container->children()) {
            const auto *widget = qobject_cast<const QWidget *>(child);
            if (!widget || widget->isWindow() || qobject_cast<const Line *>(widget))
                continue;
            placed.append(widget);
        }
        for (const QWidget *widget : placed) {
            QVERIFY2(container->rect().contains(widget->geometry()),
                     qPrintable(describe(widget) + QStringLiteral(" leaves ") + describe(container)));
            for (const QWidget *other : placed) {
                if (other != widget && other->objectName() < widget->objectName()) {
                    QVERIFY2(!widget->geometry().intersects(other->geometry()),
                             qPrintable(describe(widget) + QStringLiteral(" overlaps ") + describe(other)));
                }
            }
            checkText(widget);
            if (qobject_cast<const QGroupBox *>(widget))
                checkContainer(widget);
        }
    }

    static void checkText(const QWidget *widget)
    {
        const QFontMetrics metrics(widget->font());
        if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            if (label->wordWrap()) {
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(describe(label)));
            } else {
                QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(describe(label)));
            }
        } else if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
            QVERIFY2(metrics.horizontalAdvance(button->text()) + 4 <= button->width(), qPrintable(describe(button)));
            QVERIFY2(metrics.height() <= button->height(), qPrintable(describe(button)));
        } else if (const auto *frame = qobject_cast<const QGroupBox *>(widget)) {
            QVERIFY2(metrics.horizontalAdvance(frame->title()) + 4 <= frame->width(), qPrintable(describe(frame)));
        } else if (const auto *box = qobject_cast<const QLineEdit *>(widget)) {
            QVERIFY2(metrics.height() + 4 <= box->height(), qPrintable(describe(box)));
        }
    }

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<Qwr>(&m_prompts);
        m_window->Form_Load();
    }

    void everyPageFits()
    {
        auto *tabs = m_window->findChild<QTabWidget *>(QStringLiteral("Tab1"));
        QVERIFY(tabs);
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
            checkContainer(tabs->widget(i));
        }
    }

    void theWindowShowsEveryTabAndTheCloseButton()
    {
        auto *tabs = m_window->findChild<QTabWidget *>(QStringLiteral("Tab1"));
        auto *close = m_window->findChild<QPushButton *>(QStringLiteral("Command1"));
        const QWidget *client = m_window->centralWidget();
        QVERIFY(client->rect().contains(tabs->geometry()));
        QVERIFY(client->rect().contains(close->geometry()));
        QVERIFY(!tabs->geometry().intersects(close->geometry()));
        const QTabBar *bar = tabs->tabBar();
        QVERIFY(bar->tabRect(bar->count() - 1).right() < tabs->width());
        QCOMPARE(m_window->size(), m_window->minimumSize());
        QCOMPARE(m_window->size(), m_window->maximumSize());
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
