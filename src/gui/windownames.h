#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class EditorPage;
class QLabel;
class QMainWindow;
class QTabWidget;

// The names the window gives. Its title names the mission and the current
// tab's file ("SturmdrangPeak — books/terrence.STR", the unsaved mark after
// it), a file opened alone by its name, and with neither the title it always
// had. Right of the tabs' captions, the label "filePathLabel" shows the path
// of the file the Books or Goals tab edits while that tab is shown (from the
// mission's folder when one is open), and nothing for a file of no name.
class WindowNames : public QObject
{
    Q_OBJECT

public:
    // `pathShown`: the tabs whose file's path the label shows; `mission`:
    // the folder of the mission open ("" for none).
    WindowNames(QMainWindow &window, QTabWidget &tabs, const QList<EditorPage *> &pathShown,
                std::function<QString()> mission);

    // The title with nothing opened: "Quillwright  " and the credits.
    static QString startTitle();
    // The title for the file at `path` ("" for a tab of no file) with the
    // mission in `missionFolder` open ("" for none); "[*]" stands for the mark.
    static QString title(const QString &missionFolder, const QString &path);
    // `path` from the mission's folder with '/', or the native full path
    // for a file outside it or with no mission open.
    static QString fromMission(const QString &missionFolder, const QString &path);

    // From now on the title follows the tabs (Form_Load gives the first).
    void start();
    // The title and the label say what is now current.
    void update();

    QLabel *filePathLabel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeLabel();

    QMainWindow &m_window;
    QTabWidget &m_tabs;
    QList<EditorPage *> m_pathShown;
    std::function<QString()> m_mission;
    QString m_path;   // shown in the label, in full
    bool m_started = false;
};
