#pragma once

#include "core/document/error.h"
#include "core/document/safefile.h"
#include "core/document/strdocument.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>

namespace MissionFolder {
struct Scan;
}

// Spelling in the languages a mission is written in: the words of a text as
// the player reads them, a spell checker per language (Hunspell dictionaries:
// the system's, a folder the author adds, those shipped beside the program),
// and the mission's own word list per language, which the whole team shares.
namespace Spelling {

// A word of a text as written in the file (escapes as written), by position.
struct Word {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const Word &) const = default;
};

// The words of a raw text (between the quotes, escapes as written). Escapes
// (\n, \"), placeholders (%d, %5.2f, %s, %1, %%) and runs holding a digit or
// an underscore (MP5, 3rd, key_name) are no words; an apostrophe or a hyphen
// between two letters belongs to the word (don't, l'eau, well-known).
QList<Word> words(QStringView raw);

// The checker of one language.
// Words longer than this are no words a dictionary is asked about.
inline constexpr qsizetype MaxWordLength = 100;
// Dictionary files larger than this are not loaded.
inline constexpr qint64 MaxDictionaryBytes = SafeFile::DictionaryCap;

class SpellChecker
{
public:
    virtual ~SpellChecker() = default;
    // False for a word the dictionary cannot judge: longer than
    // MaxWordLength, or in a script none of its letters is in.
    virtual bool canCheck(const QString &word) { return word.size() <= MaxWordLength; }
    virtual bool isKnown(const QString &word) = 0;
    virtual QStringList suggestions(const QString &word) = 0;
    // The word's stems, as the dictionary's affix rules take it apart
    // ("fontannie": "fontanna"); none when it knows none.
    virtual QStringList stems(const QString &word)
    {
        Q_UNUSED(word);
        return {};
    }
    // Known from now on, in this checker only (nothing is written).
    virtual void addWord(const QString &word) = 0;
};

// How a checker suggests: Full, as word processors do (near spellings, then
// words sharing letter groups, which reads the whole dictionary for each
// word: 50-300 ms); Quick, near spellings only (a tenth of that), for a whole
// mission checked at once.
enum class Suggesting { Full, Quick };

// A Hunspell dictionary (.aff and .dic), its words converted from and to the
// encoding its .aff file's SET line names. Null, with the reason in `error`,
// when the files cannot be read or the encoding is unknown.
std::unique_ptr<SpellChecker> openHunspell(const QString &affPath, const QString &dicPath, Error *error = nullptr,
                                           Suggesting suggesting = Suggesting::Full);

// The dictionary names tried for a language folder, in order ("english":
// en_US, en_GB, ...; "polish": pl_PL, pl); the name itself for one not known
// ("pt_BR" names its dictionary).
QStringList dictionaryNames(const QString &language);
// The language folders whose dictionaries are known by name, in that list's order.
QStringList knownLanguages();

// Where dictionaries are looked for: the folder the author chose
// (Settings::dictionaryFolder()),
// the `dictionaries` folder beside the program, then the system's
// (/usr/share/hunspell, /usr/share/myspell/dicts).
QStringList dictionaryFolders();

// The checker of `language` from the first of `folders` holding one of its
// dictionaries; null when none has one.
std::unique_ptr<SpellChecker> openDictionary(const QString &language, const QStringList &folders,
                                             Error *error = nullptr, Suggesting suggesting = Suggesting::Full);

// The texts of a document a player reads as prose (Kinds::holdsProse), raw
// as the file holds them: what "Add all unknown words of this file" spells.
QStringList proseTexts(const StrDocument &document, const QString &path);

// Whether one of `folders` holds a dictionary of `language`.
bool hasDictionary(const QString &language, const QStringList &folders);

// The language of the files in no language folder: `[spelling] language=` in
// the mission's quillwright.ini, else "english".
QString missionLanguage(const QString &missionFolder);

// The nearest folder above a file named as a language (english, polish,
// ...), "" when none is.
QString languageFolderOf(const QString &path);

// The mission's word list of a language: <mission>/dictionary-<language>.txt,
// one word a line in UTF-8 (blank lines and lines starting with # are skipped).
inline constexpr int MaxWordListLines = 100000;
QString wordListPath(const QString &missionFolder, const QString &language);
struct WordList {
    QStringList words;
    QString problem;   // why it was not (wholly) read; empty when it was
};
// A file that is not valid UTF-8 gives no word; only the first
// MaxWordListLines lines are read, of a file no larger than
// SafeFile::WordListCap. A missing file is an empty list.
WordList readWordList(const QString &path);
// Adds `word` to the list (written whole by FileOutput, the file's other
// lines kept, through a link only to a place inside the mission's folder,
// where the list stands); false with the reason in `error`.
bool addToWordList(const QString &path, const QString &word, Error *error = nullptr);

// The spelling of a mission as the window needs it: each language's checker,
// loaded on a thread of its own when first asked for; the mission's word
// lists; words ignored for the session.
class Service : public QObject
{
    Q_OBJECT
public:
    // Dictionaries from `folders`; with none, from dictionaryFolders() as they
    // are when each is loaded.
    explicit Service(QStringList folders = {}, QObject *parent = nullptr);
    ~Service() override;

    void setMissionFolder(const QString &folder);
    QString missionFolder() const { return m_missionFolder; }
    // The language of the texts in no language folder (read from the
    // mission's settings once, when the folder is set; English by default).
    QString missionLanguage() const { return m_missionLanguage; }
    // The language of a file: the one the mission's settings name for its
    // language folder ([spelling] english = polish), else the one its
    // folder's code page gives (setScan), else its language folder, else the
    // mission's.
    QString languageOf(const QString &path) const;
    // The code pages a scan of the mission told its texts to be in: a
    // language folder whose texts are in another code page than its
    // language's (Polish kept in `english` folders), and the files in none,
    // are spelled in the first language of that code page with an installed
    // dictionary (1250: Polish, then Czech, Hungarian, ...), unless the
    // mission's settings name one. The mission's language follows.
    void setScan(const MissionFolder::Scan &scan);
    // Writes it into the mission's settings; false with the reason when no
    // mission is open or the file cannot be written.
    bool setMissionLanguage(const QString &language, Error *error = nullptr);
    // Forgets every dictionary loaded (or missing), to look for them again
    // (another dictionary folder): each is loaded anew when next asked for.
    void reload();

    // Starts loading the language's dictionary unless it is loaded or loading.
    void request(const QString &language);
    bool isReady(const QString &language) const { return m_checkers.contains(language); }
    // Blocks until the language's dictionary is loaded or known to be missing.
    void waitFor(const QString &language);

    // True while the language is not loaded yet or has no dictionary: nothing
    // is marked then.
    bool isKnown(const QString &language, const QString &word);
    QStringList suggestions(const QString &language, const QString &word);

    void ignore(const QString &language, const QString &word);
    // Writes the word to the mission's list of the language.
    bool addToMission(const QString &language, const QString &word, Error *error = nullptr);
    // The distinct words of `texts` (raw, as the file holds them) that the
    // language's dictionary (loaded) and the mission's word list do not know,
    // most frequent first.
    QStringList unknownWords(const QString &language, const QStringList &texts);
    // Writes all of them to the mission's list of the language at once; how
    // many, or -1 with the reason in `error`.
    int addAllToMission(const QString &language, const QStringList &words, Error *error = nullptr);

Q_SIGNALS:
    void ready(const QString &language);
    // Once for each language without a dictionary.
    void noDictionary(const QString &language, const QString &message);
    // A word list problem (invalid UTF-8, too long), once a file.
    void wordListProblem(const QString &message);
    // Words became known (added, ignored, a dictionary loaded): marks go.
    void wordsChanged(const QString &language);
    // The mission's language changed, or the dictionaries were forgotten:
    // every box checks its text again.
    void languagesChanged();

private:
    void loaded(const QString &language, const std::shared_ptr<SpellChecker> &checker, const QString &error);
    QSet<QString> &missionWords(const QString &language);

    QStringList m_folders;
    QString m_missionFolder;
    QString m_missionLanguage = QStringLiteral("english");
    QMap<QString, QString> m_settingsLanguages;   // [spelling] <folder> = <language>
    QMap<QString, QString> m_codePageLanguages;   // folder ("" for none) -> the language its code page gives
    int m_generation = 0;   // a load asked for before reload() is not taken
    QHash<QString, std::shared_ptr<SpellChecker>> m_checkers;   // null: no dictionary
    QSet<QString> m_loading;
    QHash<QString, QSet<QString>> m_missionWords;               // by language, read once
    QHash<QString, QSet<QString>> m_ignored;
    static constexpr qsizetype MaxVerdicts = 200000;
    QHash<QString, QHash<QString, bool>> m_verdicts;           // by language: word -> known
    QList<QThread *> m_threads;
};

} // namespace Spelling
