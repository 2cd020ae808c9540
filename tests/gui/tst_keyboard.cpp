// The window used with the keyboard alone and through a screen reader.
#include "support/harness.h"
#include "support/modal.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

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
    // back to "Close": none is skipped and none is a dead end. Each box is
    // named for a screen reader, each button by its caption.
    void tabReachesEveryControlOfEachPageAndNamesIt()
    {
        Harness h;
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
                const auto *button = qobject_cast<QAbstractButton *>(control);
                if (!button && !control->inherits("QLineEdit") && !control->inherits("QPlainTextEdit"))
                    continue;
                QVERIFY2(visited.contains(control) || !control->isEnabled(), qPrintable(control->objectName()));
                QVERIFY2(button ? accessibleName(control) == button->text() : !accessibleName(control).isEmpty(),
                         qPrintable(control->objectName()));
            }
        }
        QCOMPARE(accessibleName(h.find("Bname")) + u'|' + accessibleName(h.find("Mt2")),
                 u"Filename/BookName|Mission Title"_s);   // the box's caption
    }

    void enterPressesTheFocusedButton()
    {
        Harness h;
        h.type("Page", u"It was dark."_s);
        h.find("Apage")->setFocus();
        press(Qt::Key_Return);
        QCOMPARE(h.text("Label11"), u"Pages = 1"_s);
        h.find("Command2")->setFocus();
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(h.text("Pn"), u"1"_s);   // "+" shows the next slot
    }

    void enterAnswersAMessageBoxWithItsDefault()
    {
        Harness h(Harness::RealDialogs);
        h.type("Bname", u"Diary"_s);
        QString question;
        onNextModal([&question](QWidget *modal) {
            question = qobject_cast<QMessageBox *>(modal)->text();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        h.click("Rsetme");
        QCOMPARE(question, u"Are you sure you want to reset the book?"_s);
        QCOMPARE(h.text("Bname"), QString());   // Yes, the default, was chosen
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
