#include "core/mission/check/spellingcheck.h"

#include "core/document/codepages.h"
#include "core/kinds/prose.h"
#include "core/mission/missionsettings.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/spelling/wordforms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <memory>

namespace MissionFolder::SpellingCheck {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionFolder", text);
}

constexpr int SampleWords = 400;         // the most frequent words of a folder a candidate language is judged by
constexpr int SampledTexts = 20000;      // of the words read for that
constexpr double NearlyAll = 0.95;       // a language that knows this share of them is taken at once

struct Language {
    std::shared_ptr<Spelling::SpellChecker> checker;   // null: none
    QString missing;                                   // why there is none
    QSet<QString> missionWords;
    QString listProblem;
    QString listPath;
    QSet<QString> known;                // words judged known
    QHash<QString, QString> unknown;    // words judged unknown: their message
};

// The prose of the scan's texts, entry by entry.
template<typename Visit>
void forEachProse(const File &file, Visit visit)
{
    const StrDocument &document = file.read.document;
    for (int entry = 0; entry < document.entries().size(); ++entry) {
        const QString raw = document.rawText(entry);
        if (Kinds::holdsProse(file.kind, document.key(entry), raw))
            visit(entry, raw);
    }
}

class Speller
{
public:
    Speller(const Scan &scan, const Options &options, Result &result)
        : m_scan(scan)
        , m_options(options)
        , m_result(result)
        , m_settings(scan.root.isEmpty() ? MissionSettings::Settings() : MissionSettings::read(scan.root))
    {
    }

    void run()
    {
        for (const File &file : m_scan.files) {
            if (file.failure)
                continue;
            const QString language = languageOf(file);
            Language &state = load(language, file);
            if (state.checker)
                spell(file, language, state);
        }
    }

private:
    bool installed(const QString &language) const
    {
        return Spelling::hasDictionary(language, m_options.dictionaryFolders);
    }

    Language &load(const QString &language, const File &first)
    {
        auto it = m_languages.find(language);
        if (it != m_languages.end())
            return *it;
        Language loaded;
        Error error;
        loaded.checker = Spelling::openDictionary(language, m_options.dictionaryFolders, &error,
                                                  m_options.suggest ? Spelling::Suggesting::Quick
                                                                    : Spelling::Suggesting::Full);
        if (!loaded.checker)
            m_result.problems.append({"no-dictionary", first.relativePath, 0, error.message, Severity::Note});
        if (!m_scan.root.isEmpty()) {
            const QString path = Spelling::wordListPath(m_scan.root, language);
            const Spelling::WordList list = Spelling::readWordList(path);
            loaded.missionWords = QSet<QString>(list.words.cbegin(), list.words.cend());
            if (!list.problem.isEmpty()) {
                m_result.problems.append({"unreadable-list", QDir(m_scan.root).relativeFilePath(path), 0, list.problem,
                                          Severity::Warning});
            }
        }
        return *m_languages.insert(language, std::move(loaded));
    }

    // The language of the texts of a language folder ("" for those in none).
    QString languageOf(const File &file)
    {
        const QString &folder = file.language;
        if (const auto chosen = m_chosen.constFind(folder); chosen != m_chosen.cend())
            return *chosen;
        QString language = folder.isEmpty() ? m_settings.spellingLanguage : m_settings.spellingLanguages.value(folder);
        if (language.isEmpty())
            language = choose(file);
        m_chosen.insert(folder, language);
        return language;
    }

    QString choose(const File &file)
    {
        const QString &folder = file.language;
        const QString usual = folder.isEmpty() ? QStringLiteral("english") : folder;
        const LanguageCodePage page = m_scan.codePages.value(folder);
        const int named = codePageOfLanguage(folder, 0);
        const bool detected = CodePages::isSupported(page.detected);
        if (!folder.isEmpty() && (named == 0 || !detected || page.detected == named))
            return folder;   // a language the table does not know, or texts that fit its code page
        const int codePage = detected ? page.detected : page.codePage;
        QStringList candidates;
        for (const QString &language : Spelling::knownLanguages()) {
            if (codePageOfLanguage(language, 0) == codePage && installed(language))
                candidates.append(language);
        }
        if (candidates.removeAll(usual) > 0)
            candidates.prepend(usual);
        if (candidates.isEmpty())
            return usual;
        const QStringList sample = sampleOf(folder);
        QString best = candidates.constFirst();
        qsizetype bestKnown = -1;
        for (const QString &candidate : std::as_const(candidates)) {
            Language &state = load(candidate, file);
            if (!state.checker)
                continue;
            const qsizetype known = std::count_if(sample.cbegin(), sample.cend(), [&](const QString &word) {
                return state.checker->canCheck(word) && state.checker->isKnown(word);
            });
            if (known > bestKnown) {
                best = candidate;
                bestKnown = known;
            }
            if (static_cast<double>(known) >= NearlyAll * static_cast<double>(sample.size()))
                break;
        }
        if (best != usual) {
            const QString where = folder.isEmpty() ? say("The texts in no language folder")
                                                   : say("The texts of the %1 folders").arg(folder);
            m_result.problems.append({"spelling-language", file.relativePath, 0,
                                      say("%1 are in %2: they are spelled in %3, whose dictionary knows %4 of their %5 "
                                          "most frequent words.")
                                          .arg(where, CodePages::shortName(codePage), best,
                                               QString::number(bestKnown), QString::number(sample.size())),
                                      Severity::Note});
        }
        return best;
    }

    // The most frequent words of the texts of a language folder.
    QStringList sampleOf(const QString &folder) const
    {
        QHash<QString, int> counts;
        int read = 0;
        for (const File &file : m_scan.files) {
            if (file.language != folder || file.failure || read >= SampledTexts)
                continue;
            forEachProse(file, [&](int, const QString &raw) {
                for (const Spelling::Word &word : Spelling::words(raw)) {
                    ++counts[raw.sliced(word.start, word.length)];
                    ++read;
                }
            });
        }
        QList<std::pair<int, QString>> ranked;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            ranked.append({-it.value(), it.key()});
        std::sort(ranked.begin(), ranked.end());
        QStringList sample;
        for (qsizetype i = 0; i < ranked.size() && i < SampleWords; ++i)
            sample.append(ranked.at(i).second);
        return sample;
    }

    void spell(const File &file, const QString &language, Language &state)
    {
        const StrDocument &document = file.read.document;
        bool saidTooLong = false;   // once a file each
        bool saidScript = false;
        forEachProse(file, [&](int entry, const QString &raw) {
            const qsizetype textStart = document.entries().at(entry).textStart;
            const int firstLine = document.lineOf(entry, textStart);
            const int firstColumn = document.columnOf(textStart);
            // The word's line and column in the file.
            const auto at = [&](const Spelling::Word &found) {
                const QStringView before = QStringView(raw).first(found.start);
                const qsizetype breaks = before.count(u'\n');
                const int column = breaks == 0 ? firstColumn + static_cast<int>(found.start)
                                               : static_cast<int>(found.start - before.lastIndexOf(u'\n'));
                return std::pair{firstLine + static_cast<int>(breaks), column};
            };
            for (const Spelling::Word &word : Spelling::words(raw)) {
                const QString text = raw.sliced(word.start, word.length);
                if (state.known.contains(text))
                    continue;
                auto message = state.unknown.constFind(text);
                if (message == state.unknown.cend()) {
                    if (!state.checker->canCheck(text)) {
                        const bool tooLong = text.size() > Spelling::MaxWordLength;
                        bool &told = tooLong ? saidTooLong : saidScript;
                        if (!told) {
                            told = true;
                            const auto [line, column] = at(word);
                            m_result.problems.append(
                                {"unchecked-word", file.relativePath, line,
                                 tooLong ? say("A word of %1 letters is too long to be checked; such words are left out.")
                                               .arg(text.size())
                                         : say("\"%1\" is in a script the %2 dictionary does not know; such words are "
                                               "left out.")
                                               .arg(text, language),
                                 Severity::Note, column});
                        }
                        continue;
                    }
                    if (Spelling::inWordList(state.missionWords, text) || state.checker->isKnown(text)) {
                        state.known.insert(text);
                        continue;
                    }
                    const QStringList suggestions = m_options.suggest ? state.checker->suggestions(text).mid(0, 5)
                                                                      : QStringList();
                    message = state.unknown.insert(
                        text, suggestions.isEmpty() ? say("\"%1\" is not in the %2 dictionary.").arg(text, language)
                                                    : say("\"%1\" is not in the %2 dictionary; perhaps %3.")
                                                          .arg(text, language, suggestions.join(QLatin1String(", "))));
                }
                ++m_result.unknownWords[language][text];
                const auto [line, column] = at(word);
                m_result.problems.append({"unknown-word", file.relativePath, line, *message, m_options.severity, column});
            }
        });
    }

    const Scan &m_scan;
    const Options &m_options;
    Result &m_result;
    MissionSettings::Settings m_settings;
    QHash<QString, Language> m_languages;   // by language, loaded once
    QHash<QString, QString> m_chosen;       // language folder -> the language its texts are spelled in
};

} // namespace

Result check(const Scan &scan, const Options &options)
{
    Result result;
    Speller(scan, options, result).run();
    return result;
}

QStringList unknownWordLines(const Scan &scan, const Result &result)
{
    QStringList lines;
    for (auto language = result.unknownWords.cbegin(); language != result.unknownWords.cend(); ++language) {
        QList<std::pair<int, QString>> words;
        for (auto it = language->cbegin(); it != language->cend(); ++it)
            words.append({-it.value(), it.key()});
        std::sort(words.begin(), words.end());
        const QString list = QFileInfo(Spelling::wordListPath(scan.root.isEmpty() ? QStringLiteral(".") : scan.root,
                                                              language.key()))
                                 .fileName();
        lines.append((words.size() == 1 ? say("# %1: 1 word no dictionary knows, for %3")
                                        : say("# %1: %2 words no dictionary knows, for %3").arg(QString::number(words.size())))
                         .replace(QLatin1String("%1"), language.key())
                         .replace(QLatin1String("%3"), list));
        for (const auto &[count, word] : std::as_const(words))
            lines.append(QString::number(-count) + u' ' + word);
    }
    return lines;
}

} // namespace MissionFolder::SpellingCheck
