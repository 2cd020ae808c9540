#include "core/mission/spelling/spelling.h"

#include "core/document/codepages.h"
#include "core/document/safefile.h"
#include "core/kinds/prose.h"
#include "core/save/fileoutput.h"
#include "core/mission/folder.h"
#include "core/mission/missionsettings.h"
#include "core/mission/spelling/wordforms.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Spelling {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("Spelling", text);
}

} // namespace

QStringList proseTexts(const StrDocument &document, const QString &path)
{
    const Kinds::Kind kind = Kinds::kindOf(document, Kinds::kindOfPath(path)).value_or(Kinds::Kind::Other);
    QStringList texts;
    for (int entry = 0; entry < document.entries().size(); ++entry) {
        const QString raw = document.rawText(entry);
        if (Kinds::holdsProse(kind, document.key(entry), raw))
            texts.append(raw);
    }
    return texts;
}

bool hasDictionary(const QString &language, const QStringList &folders)
{
    for (const QString &name : dictionaryNames(language)) {
        for (const QString &folder : folders) {
            const QString base = folder + u'/' + name;
            if (QFileInfo::exists(base + QLatin1String(".aff")) && QFileInfo::exists(base + QLatin1String(".dic")))
                return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- Service

Service::Service(QStringList folders, QObject *parent)
    : QObject(parent)
    , m_folders(std::move(folders))
{
}

Service::~Service()
{
    for (QThread *thread : std::as_const(m_threads)) {
        thread->wait();
        delete thread;
    }
}

void Service::setMissionFolder(const QString &folder)
{
    if (folder == m_missionFolder)
        return;
    m_missionFolder = folder;
    m_settingsLanguages = folder.isEmpty() ? QMap<QString, QString>() : MissionSettings::read(folder).spellingLanguages;
    m_codePageLanguages.clear();
    const QString language = Spelling::missionLanguage(folder);
    const bool languageChanged = language != m_missionLanguage;
    m_missionLanguage = language;
    const QStringList languages = m_missionWords.keys();
    m_missionWords.clear();
    m_verdicts.clear();
    for (const QString &changed : languages)
        Q_EMIT wordsChanged(changed);
    if (languageChanged)
        Q_EMIT languagesChanged();
}

QString Service::languageOf(const QString &path) const
{
    const QString folder = languageFolderOf(path);
    if (folder.isEmpty())
        return m_missionLanguage;
    return m_settingsLanguages.value(folder, m_codePageLanguages.value(folder, folder));
}

void Service::setScan(const MissionFolder::Scan &scan)
{
    const QMap<QString, QString> before = m_codePageLanguages;
    const QString missionBefore = m_missionLanguage;
    m_codePageLanguages.clear();
    const QStringList folders = m_folders.isEmpty() ? dictionaryFolders() : m_folders;
    for (auto it = scan.codePages.cbegin(); it != scan.codePages.cend(); ++it) {
        const int told = it->detected;
        const int own = it.key().isEmpty() ? CodePages::defaultCodePage() : MissionFolder::codePageOfLanguage(it.key(), 0);
        if (!CodePages::isSupported(told) || own == 0 || told == own)
            continue;
        for (const QString &language : knownLanguages()) {
            if (MissionFolder::codePageOfLanguage(language, 0) == told && hasDictionary(language, folders)) {
                m_codePageLanguages.insert(it.key(), language);
                break;
            }
        }
    }
    QString language = m_missionFolder.isEmpty() ? QString() : MissionSettings::read(m_missionFolder).spellingLanguage;
    if (language.isEmpty())
        language = m_codePageLanguages.value(QString());
    // A mission whose every folder is in one code page's language (Polish in
    // english folders alone) is a mission of that language.
    const QStringList given = m_codePageLanguages.values();
    if (language.isEmpty() && !scan.codePages.contains(QString()) && !given.isEmpty()
        && given.size() == scan.codePages.size() && given.count(given.constFirst()) == given.size())
        language = given.constFirst();
    if (language.isEmpty())
        language = QStringLiteral("english");
    m_missionLanguage = language;
    if (before != m_codePageLanguages || missionBefore != m_missionLanguage)
        Q_EMIT languagesChanged();
}

bool Service::setMissionLanguage(const QString &language, Error *error)
{
    if (m_missionFolder.isEmpty()) {
        if (error)
            *error = {Error::Kind::Refused, say("No mission folder is open."), {}, {}};
        return false;
    }
    MissionSettings::Settings settings = MissionSettings::read(m_missionFolder);
    settings.spellingLanguage = language.trimmed().toLower();
    if (std::optional<Error> failure = MissionSettings::write(m_missionFolder, settings)) {
        if (error)
            *error = std::move(*failure);
        return false;
    }
    m_missionLanguage = Spelling::missionLanguage(m_missionFolder);
    Q_EMIT languagesChanged();
    return true;
}

void Service::reload()
{
    ++m_generation;
    m_checkers.clear();
    m_loading.clear();
    m_verdicts.clear();
    Q_EMIT languagesChanged();
}

void Service::request(const QString &language)
{
    if (m_checkers.contains(language) || m_loading.contains(language))
        return;
    m_loading.insert(language);
    QThread *thread = QThread::create([this, language, generation = m_generation,
                                       folders = m_folders.isEmpty() ? dictionaryFolders() : m_folders] {
        Error error;
        // Shared, so that a result the service no longer takes (it went
        // before the call came) is freed with the call.
        std::shared_ptr<SpellChecker> checker(openDictionary(language, folders, &error).release());
        QMetaObject::invokeMethod(
            this,
            [this, language, generation, checker, message = error.message] {
                if (generation == m_generation)   // else looked for where dictionaries no longer are
                    loaded(language, checker, message);
            },
            Qt::QueuedConnection);
    });
    m_threads.append(thread);
    thread->start(QThread::LowPriority);
}

void Service::waitFor(const QString &language)
{
    if (m_checkers.contains(language))
        return;
    if (!m_loading.contains(language)) {
        Error error;
        std::unique_ptr<SpellChecker> checker =
            openDictionary(language, m_folders.isEmpty() ? dictionaryFolders() : m_folders, &error);
        m_loading.insert(language);
        loaded(language, std::shared_ptr<SpellChecker>(checker.release()), error.message);
        return;
    }
    while (!m_checkers.contains(language))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Service::loaded(const QString &language, const std::shared_ptr<SpellChecker> &checker, const QString &error)
{
    m_loading.remove(language);
    m_checkers.insert(language, checker);
    m_verdicts.remove(language);
    if (!checker) {
        Q_EMIT noDictionary(language, error);
        return;
    }
    Q_EMIT ready(language);
    Q_EMIT wordsChanged(language);
}

QSet<QString> &Service::missionWords(const QString &language)
{
    auto it = m_missionWords.find(language);
    if (it != m_missionWords.end())
        return *it;
    QSet<QString> words;
    if (!m_missionFolder.isEmpty()) {
        const WordList list = readWordList(wordListPath(m_missionFolder, language));
        words = QSet<QString>(list.words.cbegin(), list.words.cend());
        if (!list.problem.isEmpty())
            Q_EMIT wordListProblem(list.problem);
    }
    return *m_missionWords.insert(language, words);
}

bool Service::isKnown(const QString &language, const QString &word)
{
    // A box's text is checked again at each key: the verdicts of a language
    // are kept until its words change.
    QHash<QString, bool> &verdicts = m_verdicts[language];
    if (const auto it = verdicts.constFind(word); it != verdicts.cend())
        return *it;
    const auto checker = m_checkers.constFind(language);
    const bool known = checker == m_checkers.cend() || !*checker || !(*checker)->canCheck(word)
        || m_ignored.value(language).contains(word) || inWordList(missionWords(language), word)
        || (*checker)->isKnown(word);
    if (verdicts.size() >= MaxVerdicts)
        verdicts.clear();
    verdicts.insert(word, known);
    return known;
}

QStringList Service::suggestions(const QString &language, const QString &word)
{
    const std::shared_ptr<SpellChecker> checker = m_checkers.value(language);
    return checker ? checker->suggestions(word) : QStringList();
}

void Service::ignore(const QString &language, const QString &word)
{
    m_ignored[language].insert(word);
    m_verdicts.remove(language);
    Q_EMIT wordsChanged(language);
}

bool Service::addToMission(const QString &language, const QString &word, Error *error)
{
    if (m_missionFolder.isEmpty()) {
        if (error)
            *error = {Error::Kind::Refused, say("No mission folder is open."), {}, {}};
        return false;
    }
    if (!addToWordList(wordListPath(m_missionFolder, language), word, error))
        return false;
    missionWords(language).insert(word.trimmed());
    m_verdicts.remove(language);
    Q_EMIT wordsChanged(language);
    return true;
}

QStringList Service::unknownWords(const QString &language, const QStringList &texts)
{
    QHash<QString, int> counts;
    for (const QString &text : texts) {
        for (const Word &word : words(text))
            ++counts[text.sliced(word.start, word.length)];
    }
    QList<std::pair<int, QString>> unknown;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (!isKnown(language, it.key()))
            unknown.append({-it.value(), it.key()});
    }
    std::sort(unknown.begin(), unknown.end());
    QStringList found;
    for (const auto &[count, word] : std::as_const(unknown))
        found.append(word);
    return found;
}

int Service::addAllToMission(const QString &language, const QStringList &words, Error *error)
{
    if (m_missionFolder.isEmpty()) {
        if (error)
            *error = {Error::Kind::Refused, say("No mission folder is open."), {}, {}};
        return -1;
    }
    std::variant<QString, Error> writable = SafeFile::writablePath(wordListPath(m_missionFolder, language), m_missionFolder);
    if (auto *refused = std::get_if<Error>(&writable)) {
        if (error)
            *error = std::move(*refused);
        return -1;
    }
    const QString path = std::get<QString>(writable);
    QByteArray bytes;
    if (QFileInfo::exists(path)) {
        std::variant<QByteArray, Error> read = SafeFile::read(path, SafeFile::WordListCap);
        if (auto *failure = std::get_if<Error>(&read)) {
            if (error)
                *error = std::move(*failure);
            return -1;
        }
        bytes = std::get<QByteArray>(std::move(read));
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes += '\n';
    }
    for (const QString &word : words)
        bytes += word.trimmed().toUtf8() + '\n';
    if (std::optional<Error> failed = FileOutput::writeFile(path, bytes)) {
        if (error)
            *error = std::move(*failed);
        return -1;
    }
    for (const QString &word : words)
        missionWords(language).insert(word.trimmed());
    m_verdicts.remove(language);
    Q_EMIT wordsChanged(language);
    return static_cast<int>(words.size());
}

} // namespace Spelling
