// The window used with the keyboard alone and through a screen reader.
#include "support/harness.h"
#include "support/modal.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ctrlTabSwitchesTabsFromAnywhere()
    {
        Harness h;
        auto *tabs = h.find<QTabWidget>("Tab1");
        h.find("Command1")->setFocus();
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs->currentIndex(), tabs->count() - 1);
        tabs->setCurrentIndex(0);
        h.find("Page")->setFocus();   // from inside a multi-line box too
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(h.text("Page"), QString());
    }

    // Tab from "Close" runs through every control of the page once and comes
    // back to "Close": none is skipped and none is a dead end.
    void tabReachesEveryControlOfEachPage()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowActive(&h.window()));
        auto *tabs = h.find<QTabWidget>("Tab1");
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            h.find("Command1")->setFocus();
            QList<QWidget *> visited;
            do {
                press(Qt::Key_Tab);
                QVERIFY(!visited.contains(QApplication::focusWidget()));
                visited.append(QApplication::focusWidget());
            } while (visited.constLast() != h.find("Command1") && visited.size() < 60);
            QCOMPARE(visited.constFirst(), static_cast<QWidget *>(tabs->tabBar()));
            QCOMPARE(visited.constLast(), h.find("Command1"));
            for (QWidget *control : tabs->widget(i)->findChildren<QWidget *>()) {
                const bool isControl = control->inherits("QLineEdit") || control->inherits("QPlainTextEdit")
                    || control->inherits("QAbstractButton");
                if (isControl && control->isEnabled())
                    QVERIFY2(visited.contains(control), qPrintable(control->objectName()));
            }
        }
    }

    void everyControlHasAnAccessibleName()
    {
        Harness h;
        auto *tabs = h.find<QTabWidget>("Tab1");
        for (int i = 0; i < tabs->count(); ++i) {
            for (QWidget *control : tabs->widget(i)->findChildren<QWidget *>()) {
                if (control->inherits("QLineEdit") || control->inherits("QPlainTextEdit"))
                    QVERIFY2(!accessibleName(control).isEmpty(), qPrintable(control->objectName()));
                else if (auto *button = qobject_cast<QAbstractButton *>(control))
                    QCOMPARE(accessibleName(button), button->text());
            }
        }
        QCOMPARE(accessibleName(h.find("Bname")), QStringLiteral("Filename/BookName"));
        QCOMPARE(accessibleName(h.find("Gfict")), QStringLiteral("Fiction"));
        QCOMPARE(accessibleName(h.find("Mnum")), QStringLiteral("Mission No."));
        QCOMPARE(accessibleName(h.find("Mt2")), QStringLiteral("Mission Title"));
    }

    void enterPressesTheFocusedButton()
    {
        Harness h;
        h.type("Page", QStringLiteral("It was dark."));
        h.find("Apage")->setFocus();
        press(Qt::Key_Return);
        QCOMPARE(h.text("Label11"), QStringLiteral("Pages = 1"));
        h.find("Command2")->setFocus();
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(h.text("Pn"), QStringLiteral("1"));   // "+" shows the next slot
    }

    void enterAnswersAMessageBoxWithItsDefault()
    {
        Harness h(Harness::RealDialogs);
        h.type("Bname", QStringLiteral("Diary"));
        QString question;
        onNextModal([&question](QWidget *modal) {
            question = qobject_cast<QMessageBox *>(modal)->text();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        h.click("Rsetme");
        QCOMPARE(question, QStringLiteral("Are you sure you want to reset the book?"));
        QCOMPARE(h.text("Bname"), QString());   // Yes, the default, was chosen
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
