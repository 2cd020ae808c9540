#include "gui/translationhost.h"

#include "core/save/prompts.h"
#include "gui/mainwindow.h"
#include "gui/mission/missionpanel.h"
#include "gui/spellingsetup.h"
#include "gui/translation/translationwindow.h"

TranslationHost::TranslationHost(Qwr &window, SpellingSetup &spelling)
    : QObject(&window)
    , m_window(window)
    , m_spelling(spelling)
{
}

TranslationWindow &TranslationHost::window()
{
    if (!m_window.translation) {
        auto *made = new TranslationWindow(*m_window.workspace, m_window.prompts(), &m_window);
        m_window.translation = made;
        m_spelling.checkTranslations(*made);
        // A mark or a note is kept in the draft as a translation typed is.
        connect(made, &TranslationWindow::marksChanged, &m_window, &Qwr::draftSoon);
    }
    return *m_window.translation;
}

void TranslationHost::translateMission(const QString &source, const QString &target)
{
    MissionPanel *panel = m_window.missionPanel;
    if (!panel)
        return;
    if (panel->isReading()) {   // once the folder is read
        auto *once = new QObject(this);
        connect(panel, &MissionPanel::folderRead, once, [this, once, source, target] {
            once->deleteLater();
            translateMission(source, target);
        });
        return;
    }
    TranslationWindow &translation = window();
    if (!translation.unsavedWork().isEmpty() && translation.isVisible()) {
        translation.raise();
        translation.activateWindow();
        return;
    }
    translation.setMission(panel->scan());
    if (!source.isEmpty() && !translation.chooseLanguages(source, target))
        m_window.prompts().warn(
            tr("The mission has no language folder named \u201C%1\u201D to translate from.").arg(source));
    translation.show();
    translation.raise();
}
