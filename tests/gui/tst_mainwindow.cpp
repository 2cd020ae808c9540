// The main window as the author meets it: the splash before it, the tabs, the
// About message, every page laid out whole, used with the keyboard alone and
// through a screen reader, the question before unsaved work is lost, and the
// code page the files are written in: chosen under "Encoding", shown beside
// the menus, remembered between runs, and used for every file. The program's
// own dialogs are answered as the author answers them: the shared save dialog
// "cd1" and real message boxes.
#include "core/document/codepages.h"
#include "core/app/version.h"
#include "gui/loader.h"
#include "gui/tabs/titlespage.h"
#include "gui/twips.h"
#include "support/harness.h"
#include "support/modal.h"
#include "support/testing.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;
using Testing::readAll;

namespace {

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

// The controls placed directly in `container` lie inside it, apart from each
// other, showing their text; then the same inside its frames.
void checkContainer(const QWidget *container)
{
    const auto describe = [](const QWidget *w) { return w->objectName() + u' ' + QDebug::toString(w->geometry()); };
    QList<const QWidget *> placed;
    for (const QWidget *widget : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const auto *frame = qobject_cast<const QFrame *>(widget);
        const bool rule = frame && (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine);
        if (!widget->isWindow() && !rule && widget->isVisibleTo(container))
            placed.append(widget);
    }
    for (const QWidget *widget : placed) {
        QVERIFY2(container->rect().contains(widget->geometry()), qPrintable(describe(widget) + u" leaves its page"_s));
        for (const QWidget *other : placed) {
            QVERIFY2(other == widget || !widget->geometry().intersects(other->geometry()),
                     qPrintable(describe(widget) + u" overlaps "_s + describe(other)));
        }
        QVERIFY2(showsItsText(widget), qPrintable(describe(widget) + u" clips its text"_s));
        if (qobject_cast<const QGroupBox *>(widget))
            checkContainer(widget);
    }
}

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

void choose(Harness &h, int codePage)
{
    for (QAction *item : h.window().encodingMenu->actions())
        if (item->data().toInt() == codePage)
            item->trigger();
}

// The code page checked in the menu (its items are exclusive).
int checkedCodePage(Harness &h)
{
    const QAction *checked = h.window().encodingMenu->actions().constFirst()->actionGroup()->checkedAction();
    return checked ? checked->data().toInt() : 0;
}

using Testing::TwoPages;
const QString &WriteTwoPages = Testing::TwoPageSteps;

// Types `name` into the next save dialog (what it proposed goes to `proposed`)
// and presses Enter; `then` runs on the modal window that opens next.
void typeIntoFileDialog(const QString &name, QString *proposed = nullptr, std::function<void(QWidget *)> then = {})
{
    onNextModal([=](QWidget *modal) {
        auto *edit = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
        QVERIFY(qobject_cast<QFileDialog *>(modal) && edit);
        if (proposed)
            *proposed = edit->text();
        edit->setText(name);
        if (then)
            onNextModal(then);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

// Presses `button` in the next message box; its title and text go to `text`.
void answerMessageBox(QMessageBox::StandardButton button, QString *text = nullptr,
                      std::function<void(QWidget *)> then = {})
{
    onNextModal([=](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        if (text)
            *text = box->windowTitle() + u'|' + box->text();
        if (then)
            onNextModal(then);
        box->button(button)->click();
    });
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The program uses the platform's own save dialog; the tests drive Qt's,
    // which is the one Linux desktops without a portal get.
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion(Version::buildVersion());
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }
    void init()
    {
        Harness h;   // settles where settings go
        QSettings().clear();
    }
    // A dialog answer left waiting by a failed test runs out before the next test opens a dialog.
    void cleanup()
    {
        if (QTest::currentTestFailed())
            QTest::qWait(2500);
    }

    // The splash opens the main window after one second, once, or never when it is closed first.
    void theSplashOpensTheMainWindowAfterOneSecond()
    {
        int opened = 0;
        Loader loader([&opened] { ++opened; }), closedEarly([&opened] { ++opened; });
        loader.Form_Load();
        closedEarly.Form_Load();
        closedEarly.close();
        QTest::qWait(500);
        QVERIFY(loader.isVisible() && opened == 0);
        QTRY_COMPARE_WITH_TIMEOUT(opened, 1, 2000);
        QVERIFY(!loader.isVisible());
        QTest::qWait(1200);
        QCOMPARE(opened, 1);   // one tick only, and none from the splash closed early
    }

    void opensOnTheBooksTab()
    {
        Harness h;
        auto *tabs = h.find<QTabWidget>("Tab1");
        QCOMPARE(tabs->currentIndex(), 0);
        for (const char *button : {"ApPage", "EGoal", "Minus", "Plus"})
            QVERIFY(!h.enabled(button));
        for (QWidget *widget : tabs->widget(5)->findChildren<QWidget *>())   // the About tab is to read only
            QVERIFY2(widget->focusPolicy() == Qt::NoFocus, qPrintable(widget->objectName()));
        // The major and minor number of the version the project is built as.
        const QString version = QCoreApplication::applicationVersion().section(u'.', 0, 1);
        QVERIFY(version.contains(u'.'));
        QCOMPARE(h.text("Abtlbl"), u"Quillwright for Mirkhold mission authors. - Version "_s + version);
        h.window().findChild<QAction *>(u"abtme"_s)->trigger();
        QVERIFY2(h.lastMessage().text.contains(u"\n\nVersion  "_s + version + u'\n'), qPrintable(h.lastMessage().text));
    }

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
        QVERIFY(client->rect().contains(tabs->geometry()) && client->rect().contains(h.find("Command1")->geometry()));
        QVERIFY(!tabs->geometry().intersects(h.find("Command1")->geometry()));
        QVERIFY(tabs->tabBar()->tabRect(tabs->count() - 1).right() < tabs->width());   // no scrolling tabs
        QVERIFY(h.window().minimumSize() != h.window().maximumSize());   // not of one size any more
    }

    // At its start size every control stands where it always stood. A larger
    // window (or a maximised one) grows the tabs, the boxes of the Books and
    // Goals tabs and the tables; "Close" stays below the tabs. Back at the
    // start size, everything is where it was.
    void theWindowGrowsAndComesBack()
    {
        Harness h;
        Qwr &window = h.window();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Testing::writeAll(h.path(u"objnames.str"_s), "obj_door:\"Door\"\r\n");
        QVERIFY(window.openFile(h.path(u"objnames.str"_s)));   // the Strings tab
        h.find<QCheckBox>("titlesCampaign")->setChecked(true);   // the Titles tab's table, shown
        auto *tabs = h.find<QTabWidget>("Tab1");
        for (int i = 0; i < tabs->count(); ++i)   // each page laid out once
            tabs->setCurrentIndex(i);
        tabs->setCurrentWidget(window.titles);
        QWidget *client = h.find("client");
        QCOMPARE(client->size(), QSize(734, 463));
        QCOMPARE(h.find("Tab1")->geometry(), Twips::rect(0, 0, 11010, 6375));
        QCOMPARE(h.find("Command1")->geometry(), Twips::rect(4080, 6480, 975, 375));
        QCOMPARE(h.find("Frame7")->geometry(), Twips::onPage(5640, 1680, 4935, 3735));
        QCOMPARE(h.find("BptxtEntry")->geometry(), Twips::rect(120, 240, 4695, 3375));
        const auto geometries = [&] {
            QStringList all;
            // Not Qt's own parts, nor the pages, which the tab control sizes when it shows them.
            for (QWidget *widget : client->findChildren<QWidget *>(QRegularExpression(u"^[^_]+$"_s)))
                if (tabs->indexOf(widget) < 0)
                    all.append(widget->objectName() + u' ' + QDebug::toString(widget->geometry()));
            all.sort();
            return all;
        };
        const QStringList start = geometries();
        // Each control's growth and move when the window grows by 60 x 40.
        const QList<std::tuple<const char *, QSize, QPoint>> follows = {
            {"Tab1", {60, 40}, {}}, {"Command1", {0, 0}, {0, 40}}, {"Page", {30, 40}, {}}, {"Frame7", {30, 40}, {30, 0}},
            {"Bptxt", {30, 40}, {}}, {"BptxtEntry", {30, 40}, {}}, {"SvBook", {0, 0}, {60, 40}}, {"Gfict", {20, 20}, {}},
            {"Frame5", {20, 20}, {0, 20}}, {"Goaltxt", {40, 40}, {}}, {"EGoal", {0, 0}, {40, 40}},
            {"titleTable", {60, 40}, {}}, {"stringsTable", {60, 40}, {}}};
        // Where the controls stand now, or where they are to stand once grown.
        const auto places = [&](bool toGrow) {
            QStringList all;
            for (const auto &[name, growth, move] : follows) {
                const QRect now = h.find(name)->geometry();
                all.append(QLatin1String(name) + u' '
                           + QDebug::toString(toGrow ? QRect(now.topLeft() + move, now.size() + growth) : now));
            }
            return all;
        };
        const QStringList grown = places(true);

        window.resize(window.size() + QSize(60, 40));   // within the offscreen screen of 800 x 600
        QTRY_COMPARE(client->size(), QSize(734 + 60, 463 + 40));
        QTRY_COMPARE(places(false), grown);
        for (int i = 0; i < tabs->count(); ++i) {   // nothing overlaps at the larger size
            tabs->setCurrentIndex(i);
            checkContainer(tabs->widget(i));
        }

        window.resize(window.size() - QSize(60, 40));
        tabs->setCurrentWidget(window.titles);
        QTRY_COMPARE(client->size(), QSize(734, 463));
        QTRY_COMPARE(geometries(), start);

        window.showMaximized();
        QTRY_VERIFY(window.isMaximized() && client->width() > 734 && client->height() > 463);
        QCOMPARE(h.find("Page")->width(), Twips::toPixels(4695) + (client->width() - 734 + 1) / 2);
        window.showNormal();
        QTRY_COMPARE(client->size(), QSize(734, 463));
        QTRY_COMPARE(geometries(), start);
    }

    void ctrlTabSwitchesTabsFromAnywhere()
    {
        Harness h;
        auto *tabs = h.find<QTabWidget>("Tab1");
        h.find("Page")->setFocus();   // from inside a multi-line box too
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(h.text("Page"), QString());
        h.find("Command1")->setFocus();
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs->currentIndex(), tabs->count() - 1);
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
                if (!control->isVisibleTo(tabs->widget(i)))
                    continue;   // a box kept aside in the same place, out of the tab chain while hidden
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

    // Enter answers a real message box with its default: No, for the close question.
    void enterAnswersAMessageBoxWithItsDefault()
    {
        Harness h(Harness::RealDialogs);
        h.type("Page", u"typed"_s);
        onNextModal([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Return); });
        QVERIFY(!h.window().close());
        QCOMPARE(h.text("Page"), u"typed"_s);
    }

    // What the close question lists after the author's steps ("" when it is not
    // asked); a step ">Button" saves with that button.
    void closingNamesTheUnsavedWork_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("work");
        const auto row = [](const char *name, const QString &steps, const char *work) {
            QTest::newRow(name) << steps << QString::fromUtf8(work);
        };
        const QString saved = WriteTwoPages + u"|>SvBook"_s;
        const QString missions = u"diff2=Insane|Mn2=20|Mt2=The Ring|Mnum=3"_s;
        row("a book name alone", u"Bname=Diary"_s, "");
        row("a page typed, not added", u"Page=It was dark."_s,
            "the page typed but not yet added with \"Add new Page\"");
        row("a place, no pages", u"ComOpt=Attic"_s, "the book");
        row("a page corrected after the save", saved + u"|!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s,
            "the book");
        row("a correction not stored", saved + u"|!Command2|Page=Page_1:\"open\""_s,
            "the page being edited, not yet stored with \"Append/Cancel\"");
        row("stepping through, nothing changed", saved + u"|!Command2|!Command3"_s, "");
        row("a goal typed, not added", u"Gtxt=Find the map"_s,
            "the goal typed but not yet added with \"Create/Add new Goal\"");
        row("a goal being rewritten", u"Gfict=f|Gtxt=t|!Agoal|!Edit|Goaltxt=changed"_s,
            "the goals\n- the goal being edited, not yet stored with \"Edit Goal / Cancel\"");
        row("goals saved", u"Gfict=f|Gtxt=t|!Agoal|>Sgoals"_s, "");
        row("all reset", saved + u"|Gfict=f|!Agoal|?Yes|!Rsetme|?Yes|!Rgoals"_s, "");
        row("mission boxes, one back to its start text", u"diff2=Insane|Mn2=20|Bno=no_briefing"_s,
            "the mission title and difficulty names on the Newgame tab\n"
            "- the mission number and title on the Titles tab");
        row("mission tabs, two saved", missions + u"|>Cngame|>Titles"_s,
            "the mission number and briefing flag on the Missflag tab");
        row("mission tabs saved", missions + u"|>Cngame|>Titles|>Cmf"_s, "");
    }
    void closingNamesTheUnsavedWork()
    {
        QFETCH(QString, steps);
        QFETCH(QString, work);
        Harness h;
        for (const QString &step : steps.split(u'|')) {
            if (step.startsWith(u'>'))
                h.save(qPrintable(step.mid(1)), step.mid(1) + u".str"_s);
            else
                h.run(step);
        }
        QCOMPARE(h.closeQuestion(), work.isEmpty() ? QString()
                                                  : u"This work has not been saved:\n\n- "_s + work
                                                        + u"\n\nClose Quillwright and discard it?"_s);
    }

    // The Close button, File / Quit and the window's close box ask alike: a
    // warning, No by default; Yes closes.
    void everyWayOfClosingAsks()
    {
        Harness h;
        h.run(u"Page=unsaved|!Apage"_s);
        const std::function<void()> ways[] = {[&h] { h.click("Command1"); },
                                             [&h] { h.window().findChild<QAction *>(u"qtnow"_s)->trigger(); },
                                             [&h] { h.window().close(); }};
        for (const auto &closeIt : ways) {
            closeIt();   // unanswered: the default
            const Prompts::Message question = h.lastMessage();
            QVERIFY(h.window().isVisible() && question.icon == Prompts::Icon::Warning);
            QCOMPARE(question.buttons, (QList{Prompts::Button::Yes, Prompts::Button::No}));
            h.run(u"?Yes"_s);
            closeIt();
            QVERIFY(!h.window().isVisible());
            h.window().show();
        }
    }

    // A text in the code page's language, written byte for byte; the same
    // steps with a character the code page lacks are refused, naming it.
    void writesEachLanguage_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("steps");   // %1: the text
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, int codePage, char kind, const QString &text, const QByteArray &bytes) {
            const QByteArray q = "\"" + bytes + "\"\r\n";
            if (kind == 'p')   // a page
                QTest::newRow(name) << codePage << u"Bname=B|Page+=%1|!Apage"_s << text << QByteArray("SvBook")
                                    << "Page_0:" + q;
            else if (kind == 'g')   // a goal
                QTest::newRow(name) << codePage << u"Gfict+=%1|Gtxt+=%1|!Agoal"_s << text << QByteArray("Sgoals")
                                    << "fiction_0:" + q + "text_0:" + q;
            else   // a title
                QTest::newRow(name) << codePage << u"Mn2=20|Mt2=|Mt2+=%1"_s << text << QByteArray("Titles")
                                    << "// Objectives screen text.\r\ntitle_20: " + q
                                           + "// Save game dialog text.\r\nshort_20: " + q;
        };
        row("Thai title", 874, 't', u"ภารกิจ"_s, "\xC0\xD2\xC3\xA1\xD4\xA8");
        row("Polish page", 1250, 'p', u"Zażółć gęślą jaźń"_s, "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1");
        row("Russian goal", 1251, 'g', u"Карта"_s, "\xCA\xE0\xF0\xF2\xE0");
    }
    void writesEachLanguage()
    {
        QFETCH(int, codePage);
        QFETCH(QString, steps);
        QFETCH(QString, text);
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, expected);
        Harness h;
        choose(h, codePage);
        QCOMPARE(h.find<QLabel>("codePageLabel")->text(), u"Encoding: "_s + CodePages::name(codePage));
        h.run(steps.arg(text));
        QCOMPARE(h.save(button.constData(), u"out.str"_s), expected);
        h.run(steps.arg(codePage == 1251 ? u"\u0142"_s : u"\u0436"_s));   // ł, or ж
        QCOMPARE(h.save(button.constData(), u"refused.str"_s), QByteArray("<missing>"));
        QVERIFY2(h.lastMessage().text.contains(CodePages::description(codePage) + u" has no such character"_s),
                 qPrintable(h.lastMessage().text));
    }

    void theChoiceOutlivesTheWindowAndKeepsTypedText()
    {
        {
            Harness h;
#ifdef Q_OS_WIN
            // The game reads its files in the code page of the Windows it runs on.
            const int system = int(GetACP());
            QCOMPARE(checkedCodePage(h), CodePages::isSupported(system) ? system : 1252);
#else
            QCOMPARE(checkedCodePage(h), 1252);
#endif
            h.run(u"Mt2+=Zażółć"_s);
            choose(h, 1250);
            choose(h, 1251);
            QCOMPARE(h.text("Mt2"), u"Zażółć"_s);
        }
        Harness restarted;
        QCOMPARE(checkedCodePage(restarted), 1251);
        // A damaged setting falls back quietly, and is replaced.
        for (const QVariant &stored : {QVariant(1234), QVariant(u"Cyrillic"_s), QVariant(QStringList{u"1250"_s})}) {
            QSettings().setValue(u"codePage"_s, stored);
            Harness h;
            QCOMPARE(checkedCodePage(h), CodePages::startCodePage(CodePages::systemCodePage()));
            QCOMPARE(QSettings().value(u"codePage"_s).toInt(), checkedCodePage(h));
            QVERIFY(h.prompts.messages.isEmpty());
        }
    }

    void savesThroughTheSharedDialog()
    {
        Harness h(Harness::RealDialogs);
        QVERIFY(!h.window().findChild<QFileDialog *>());   // made when first needed
        h.run(WriteTwoPages);
        QString proposed;
        typeIntoFileDialog(h.path(u"Diary.str"_s), &proposed);
        h.click("SvBook");
        QCOMPARE(proposed, u"Diary.str"_s);
        QCOMPARE(h.window().findChild<QFileDialog *>(u"cd1"_s)->nameFilters().value(0), u"Mission texts (*.str)"_s);
        QCOMPARE(readAll(h.path(u"Diary.str"_s)), TwoPages);
        // The next dialog opens in the folder of the last save, and a name
        // typed without an ending gets ".str".
        typeIntoFileDialog(u"Second"_s);
        h.click("SvBook");
        QCOMPARE(readAll(h.path(u"Second.str"_s)), TwoPages);
        QVERIFY(h.window().close());   // nothing unsaved: no question
        Harness again(Harness::RealDialogs);   // and read back through the open dialog
        typeIntoFileDialog(h.path(u"Diary.str"_s));
        again.window().openAction->trigger();
        QCOMPARE(again.text("Bname") + u'|' + again.text("Label11"), u"Diary|Pages = 2"_s);
    }

    void asksBeforeReplacingAFileEvenTheFirstTime()
    {
        Harness h(Harness::RealDialogs);
        h.run(WriteTwoPages);
        const QString path = h.path(u"Diary.str"_s);
        Testing::writeAll(path, "the author's other book\r\n");
        QString question;
        typeIntoFileDialog(path, nullptr, [&question](QWidget *) {
            answerMessageBox(QMessageBox::No, &question, [](QWidget *dialog) {   // back in the dialog: cancel it
                qobject_cast<QDialog *>(dialog)->reject();
            });
        });
        h.click("SvBook");
        QVERIFY2(question.contains(u"Diary.str"_s), qPrintable(question));
        QCOMPARE(readAll(path), QByteArray("the author's other book\r\n"));
        typeIntoFileDialog(path, nullptr, [](QWidget *) { answerMessageBox(QMessageBox::Yes); });
        h.click("SvBook");
        QCOMPARE(readAll(path), TwoPages);
    }

    void reportsInRealMessageBoxes()
    {
        Harness h(Harness::RealDialogs);
        QString text;
        answerMessageBox(QMessageBox::Ok, &text);
        h.click("SvBook");
        QCOMPARE(text, u"Qwr|You forgot to name your book!"_s);
        h.run(WriteTwoPages);
        const QString path = h.path(u"missing/Diary.str"_s);
        typeIntoFileDialog(path, nullptr, [&text](QWidget *) { answerMessageBox(QMessageBox::Ok, &text); });
        h.click("SvBook");
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
