#pragma once

#include <QObject>
#include <QString>

class Qwr;
class SpellingSetup;
class TranslationWindow;

// The main window's translation window: made once, when first needed, its
// translations checked for spelling in the target language and its marks
// kept in the window's drafts; the mission open shown in it.
class TranslationHost : public QObject
{
    Q_OBJECT

public:
    TranslationHost(Qwr &window, SpellingSetup &spelling);

    TranslationWindow &window();
    // The mission open (or being read) in the translation window, from
    // `source` into `target` when they are given.
    void translateMission(const QString &source, const QString &target);

private:
    Qwr &m_window;
    SpellingSetup &m_spelling;
};
