#pragma once

#include "core/missiontranslation.h"
#include "core/translation.h"

#include <QWidget>

#include <memory>
#include <vector>

class Prompts;
class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTreeView;

// The translation of a mission: a source language and a target language
// of its folder, the files of the source listed with how much of each is
// translated, and one file's entries as a table of key, source text (read
// only), translation (edited in place) and state.
//
// Keys: Ctrl+Down and Ctrl+Up go to the next and the previous entry not yet
// translated (in every file, round the mission); Ctrl+Return marks the entry
// done; Ctrl+S saves every file translated.
class TranslationWindow : public QWidget
{
    Q_OBJECT

public:
    TranslationWindow(Prompts &prompts, QWidget *parent = nullptr);
    ~TranslationWindow() override;

    // The mission `scan` read; its language folders are offered.
    void setMission(const MissionFolder::Scan &scan);
    // Chooses the languages (folder names); false when the mission has no
    // such source language.
    bool chooseLanguages(const QString &source, const QString &target);
    // The source read from another folder (for a mission whose folders name
    // no language: the target is the mission itself).
    void useSourceFolder(const MissionFolder::Scan &source);

    // What closing would lose ("" when nothing).
    QStringList unsavedWork() const;
    // Saves every file with translations not yet saved; false when one was refused.
    bool saveAll();
    // Goes to the next (previous) untranslated entry of the mission.
    void goToUntranslated(bool forward);

    QComboBox *sourceLanguage = nullptr;
    QComboBox *targetLanguage = nullptr;     // editable: a new language starts by name
    QComboBox *targetCodePage = nullptr;
    QTreeView *translationFiles = nullptr;
    QTableView *translationTable = nullptr;
    QComboBox *translationFilter = nullptr;
    QLabel *translationCounts = nullptr;     // "1,204 of 1,580 entries translated"
    QLabel *fileCounts = nullptr;            // the file shown
    QPushButton *markDone = nullptr;
    QPushButton *translationSave = nullptr;
    QPushButton *sourceFolderButton = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void pairFiles();
    void showFile(int file);
    void showCounts();
    bool confirmTarget(int file);
    TranslationTableModel *model(int file) const;

    Prompts &m_prompts;
    MissionFolder::Scan m_scan;
    std::optional<MissionFolder::Scan> m_sourceFolder;
    QList<MissionTranslation::FilePair> m_files;
    std::vector<std::unique_ptr<TranslationTableModel>> m_models;
    QStandardItemModel *m_fileList = nullptr;
    TranslationFilterModel *m_filter = nullptr;
    int m_shown = -1;
    QString m_pairedTarget;   // the target language the files are paired with
};
