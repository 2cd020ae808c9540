#include "support/harness.h"

#include "support/testing.h"

#include "core/mission/translation/personalmemory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>

namespace {

// Settings go to a folder of the test's own, never to the author's; so does
// the translator's memory, so that no run suggests what an earlier one
// translated.
bool isolateSettings()
{
    static QTemporaryDir settings;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    PersonalMemory::setFolder(settings.filePath(QStringLiteral("translation-memory")));
    return true;
}

} // namespace

Harness::Harness(Dialogs dialogs)
    : m_window((isolateSettings(), std::make_unique<Qwr>(dialogs == ScriptedDialogs ? &prompts : nullptr)))
{
    m_window->Form_Load();
    m_window->activateWindow();   // so that keys reach the focused control
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("The main window did not become active");
}

Harness::~Harness()
{
    m_window->hide();   // leaves without the question about unsaved work
}

QWidget *Harness::find(const char *name) const
{
    auto *widget = m_window->findChild<QWidget *>(QLatin1String(name));
    if (!widget)
        qFatal("The window has no control named %s", name);
    return widget;
}

void Harness::click(const char *name)
{
    QTest::mouseClick(find(name), Qt::LeftButton);
}

void Harness::type(const char *name, const QString &text)
{
    QWidget *box = find(name);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);   // select all, then delete
    QTest::keyClick(box, Qt::Key_Delete);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines.at(i));
    }
}

void Harness::paste(const char *name, const QString &text)
{
    QWidget *box = find(name);
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->insert(text);
    else if (auto *area = qobject_cast<QPlainTextEdit *>(box))
        area->insertPlainText(text);
}

void Harness::run(const QString &steps)
{
    for (const QString &step : steps.split(QLatin1Char('|'))) {
        const QByteArray name = step.section(QLatin1Char('='), 0, 0).toLatin1();
        const QString value = step.section(QLatin1Char('='), 1);
        if (step.startsWith(QLatin1Char('!'))) {
            const int times = step.contains(QLatin1Char('*')) ? step.section(QLatin1Char('*'), 1).toInt() : 1;
            for (int i = 0; i < times; ++i)
                click(step.mid(1).section(QLatin1Char('*'), 0, 0).toLatin1().constData());
        } else if (step.startsWith(QLatin1Char('?'))) {
            prompts.setNextAnswer(step == QLatin1String("?Yes") ? Prompts::Button::Yes : Prompts::Button::No);
        } else if (name.endsWith('+')) {
            paste(name.chopped(1).constData(), value);
        } else if (!step.isEmpty()) {
            type(name.constData(), value);
        }
    }
}

QString shownText(const QWidget *widget)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return line->text();
    if (const auto *area = qobject_cast<const QPlainTextEdit *>(widget))
        return area->toPlainText();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return frame->title();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    return {};
}

QString Harness::text(const char *name) const
{
    return shownText(find(name));
}

bool Harness::enabled(const char *name) const
{
    return find(name)->isEnabled();
}

QByteArray Harness::save(const char *button, const QString &fileName)
{
    prompts.setNextPath(path(fileName));
    click(button);
    return Testing::readAll(path(fileName));
}

QString Harness::closeQuestion()
{
    const qsizetype asked = prompts.messages.size();
    prompts.setNextAnswer(Prompts::Button::No);
    if (m_window->close()) {
        m_window->show();
        prompts.clearAnswers();
        return {};
    }
    return prompts.messages.size() > asked ? prompts.lastMessage().text : QStringLiteral("<kept open silently>");
}
