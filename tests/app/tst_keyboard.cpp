// The window used with the keyboard alone and through a screen reader.
#include "app/mainwindow.h"
#include "support/modalanswerer.h"
#include "support/testing.h"

#include <QAccessible>
#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

class TestKeyboard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Qwr> m_window;
    QTabWidget *m_tabs = nullptr;

    static QString accessibleName(QWidget *widget)
    {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
        return face ? face->text(QAccessible::Name) : QString();
    }

    static bool takesTabFocus(const QWidget *widget)
    {
        return (widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled()
            && !widget->isWindow();
    }

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<Qwr>();
        m_window->Form_Load();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_tabs = m_window->findChild<QTabWidget *>(QStringLiteral("Tab1"));
    }
    void cleanup()
    {
        m_window->hide();
        m_window.reset();
    }

    void ctrlTabSwitchesTabsFromAnywhere()
    {
        auto *close = m_window->findChild<QPushButton *>(QStringLiteral("Command1"));
        close->setFocus();
        QTest::keyClick(close, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(m_tabs->currentIndex(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_tabs->currentIndex(), m_tabs->count() - 1);
        // From inside a multi-line box too.
        m_tabs->setCurrentIndex(0);
        auto *page = m_window->findChild<QPlainTextEdit *>(QStringLiteral("Page"));
        page->setFocus();
        QTest::keyClick(page, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(m_tabs->currentIndex(), 1);
        QVERIFY(page->toPlainText().isEmpty());
    }

    // Tab from "Close" runs through every control of the page once and comes
    // back to "Close": no control is skipped and none is a dead end.
    void tabReachesEveryControlOfEachPage()
    {
        auto *close = m_window->findChild<QPushButton *>(QStringLiteral("Command1"));
        for (int i = 0; i < m_tabs->count(); ++i) {
            m_tabs->setCurrentIndex(i);
            close->setFocus();
            QCOMPARE(QApplication::focusWidget(), close);
            QList<QWidget *> visited;
            for (int press = 0; press < 60; ++press) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget *focused = QApplication::focusWidget();
                if (focused == close)
                    break;
                QVERIFY2(!visited.contains(focused), qPrintable(focused->objectName()));
                visited.append(focused);
            }
            QCOMPARE(QApplication::focusWidget(), close);
            QVERIFY(!visited.isEmpty());
            QCOMPARE(visited.constFirst(), static_cast<QWidget *>(m_tabs->tabBar()));
            const QList<QWidget *> controls = m_tabs->widget(i)->findChildren<QWidget *>();
            for (QWidget *control : controls) {
                const bool isControl = control->inherits("QLineEdit") || control->inherits("QPlainTextEdit")
                    || control->inherits("QAbstractButton");
                if (isControl && takesTabFocus(control))
                    QVERIFY2(visited.contains(control), qPrintable(control->objectName() + QStringLiteral(" is never reached")));
            }
        }
    }

    void everyControlHasAnAccessibleName()
    {
        for (int i = 0; i < m_tabs->count(); ++i) {
            const QWidget *page = m_tabs->widget(i);
            for (QWidget *box : page->findChildren<QWidget *>()) {
                if (box->inherits("QLineEdit") || box->inherits("QPlainTextEdit")) {
                    QVERIFY2(!accessibleName(box).isEmpty(), qPrintable(box->objectName()));
                } else if (auto *button = qobject_cast<QAbstractButton *>(box)) {
                    QCOMPARE(accessibleName(button), button->text());
                }
            }
        }
        auto *bookName = m_window->findChild<QLineEdit *>(QStringLiteral("Bname"));
        QCOMPARE(accessibleName(bookName), QStringLiteral("Filename/BookName"));
        auto *place = m_window->findChild<QLineEdit *>(QStringLiteral("ComOpt"));
        QCOMPARE(accessibleName(place), QStringLiteral("Place of Book. (Optional)"));
        auto *fiction = m_window->findChild<QPlainTextEdit *>(QStringLiteral("Gfict"));
        QCOMPARE(accessibleName(fiction), QStringLiteral("Fiction"));
        auto *missionNumber = m_window->findChild<QLineEdit *>(QStringLiteral("Mnum"));
        QCOMPARE(accessibleName(missionNumber), QStringLiteral("Mission No."));
        auto *title = m_window->findChild<QLineEdit *>(QStringLiteral("Mt2"));
        QCOMPARE(accessibleName(title), QStringLiteral("Mission Title"));
    }

    void enterAnswersAMessageBoxWithItsDefault()
    {
        auto *name = m_window->findChild<QLineEdit *>(QStringLiteral("Bname"));
        Testing::type(name, QStringLiteral("Diary"));
        QString question;
        ModalAnswerer::pressEnterInMessageBox(&question);
        QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("Rsetme")), Qt::LeftButton);
        QCOMPARE(question, QStringLiteral("Are you sure you want to reset the book?"));
        QVERIFY(name->text().isEmpty());   // Yes, the default, was chosen
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
