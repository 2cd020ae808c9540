#include "core/mission/spelling/spelling.h"

#include "core/document/codepages.h"
#include "core/save/fileoutput.h"
#include "core/mission/missionsettings.h"
#include "core/save/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryFile>

#include <hunspell.hxx>

#include <memory>
#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace Spelling {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("Spelling", text);
}

// ------------------------------------------------------------ Dictionary encodings

// The encoding a dictionary's SET line names, for its words.
class DictionaryEncoding
{
public:
    explicit DictionaryEncoding(const QByteArray &set)
    {
        const QByteArray name = set.trimmed().toUpper();
        if (name.isEmpty() || name == "ISO8859-1" || name == "ISO-8859-1") {   // Hunspell's default
            m_kind = Kind::Latin1;
            return;
        }
        if (name == "UTF-8" || name == "UTF8") {
            m_kind = Kind::Utf8;
            return;
        }
        static const QRegularExpression windows(QStringLiteral("^(MICROSOFT-)?(CP|WINDOWS-)(\\d+)$"));
        const QRegularExpressionMatch match = windows.match(QString::fromLatin1(name));
        if (match.hasMatch() && CodePages::isSupported(match.captured(3).toInt())) {
            m_kind = Kind::CodePage;
            m_codePage = match.captured(3).toInt();
            return;
        }
#ifdef Q_OS_WIN
        static const QRegularExpression iso(QStringLiteral("^ISO-?8859-(\\d+)$"));
        const QRegularExpressionMatch isoMatch = iso.match(QString::fromLatin1(name));
        if (isoMatch.hasMatch())
            m_systemCodePage = 28590U + isoMatch.captured(1).toUInt();
        else if (name == "KOI8-R")
            m_systemCodePage = 20866;
        else if (name == "KOI8-U")
            m_systemCodePage = 21866;
        else if (name == "TIS620-2533" || name == "TIS-620")
            m_systemCodePage = 874;
        if (m_systemCodePage != 0 && IsValidCodePage(m_systemCodePage))
            m_kind = Kind::System;
#else
        QByteArray iconvName = name;
        if (iconvName.startsWith("ISO8859"))
            iconvName.replace("ISO8859", "ISO-8859");
        if (iconvName == "TIS620-2533")
            iconvName = "TIS-620";
        m_toUtf8 = iconv_open("UTF-8", iconvName.constData());
        m_fromUtf8 = iconv_open(iconvName.constData(), "UTF-8");
        if (m_toUtf8 != reinterpret_cast<iconv_t>(-1) && m_fromUtf8 != reinterpret_cast<iconv_t>(-1))
            m_kind = Kind::System;
#endif
    }
    ~DictionaryEncoding()
    {
#ifndef Q_OS_WIN
        if (m_toUtf8 != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_toUtf8);
        if (m_fromUtf8 != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_fromUtf8);
#endif
    }
    DictionaryEncoding(const DictionaryEncoding &) = delete;
    DictionaryEncoding &operator=(const DictionaryEncoding &) = delete;

    bool isValid() const { return m_kind != Kind::Unknown; }

    // Nothing for a word the encoding cannot hold (the dictionary cannot know it).
    std::optional<std::string> encode(const QString &word) const
    {
        switch (m_kind) {
        case Kind::Utf8:
            return word.toStdString();
        case Kind::Latin1:
            for (const QChar c : word) {
                if (c.unicode() > 0xFF)
                    return std::nullopt;
            }
            return word.toLatin1().toStdString();
        case Kind::CodePage:
            if (const std::optional<QByteArray> bytes = CodePages::encode(word, m_codePage))
                return bytes->toStdString();
            return std::nullopt;
        case Kind::System:
            return systemEncode(word);
        case Kind::Unknown:
            break;
        }
        return std::nullopt;
    }

    QString decode(const std::string &bytes) const
    {
        const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
        switch (m_kind) {
        case Kind::Utf8:
            return QString::fromUtf8(view);
        case Kind::Latin1:
            return QString::fromLatin1(view);
        case Kind::CodePage:
            return CodePages::decode(view, m_codePage).text;
        case Kind::System:
            return systemDecode(bytes);
        case Kind::Unknown:
            break;
        }
        return {};
    }

private:
    enum class Kind { Unknown, Utf8, Latin1, CodePage, System };

#ifdef Q_OS_WIN
    std::optional<std::string> systemEncode(const QString &word) const
    {
        if (word.isEmpty())
            return std::string();
        const auto wide = reinterpret_cast<LPCWCH>(word.utf16());
        BOOL lost = FALSE;
        const int size = WideCharToMultiByte(m_systemCodePage, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(word.size()),
                                             nullptr, 0, nullptr, &lost);
        if (size <= 0 || lost)
            return std::nullopt;
        std::string out(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(m_systemCodePage, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(word.size()), out.data(), size,
                            nullptr, &lost);
        return lost ? std::nullopt : std::optional<std::string>(out);
    }
    QString systemDecode(const std::string &bytes) const
    {
        if (bytes.empty())
            return {};
        const int size = MultiByteToWideChar(m_systemCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        if (size <= 0)
            return {};
        QString out(size, Qt::Uninitialized);
        MultiByteToWideChar(m_systemCodePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                            reinterpret_cast<LPWSTR>(out.data()), size);
        return out;
    }
    unsigned m_systemCodePage = 0;
#else
    static std::optional<std::string> convert(iconv_t converter, const QByteArray &in)
    {
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(in.size()) * 4 + 4, '\0');
        char *from = const_cast<char *>(in.constData());
        std::size_t fromLeft = static_cast<std::size_t>(in.size());
        char *to = out.data();
        std::size_t toLeft = out.size();
        if (iconv(converter, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        out.resize(out.size() - toLeft);
        return out;
    }
    std::optional<std::string> systemEncode(const QString &word) const
    {
        const QMutexLocker lock(&m_mutex);
        return convert(m_fromUtf8, word.toUtf8());
    }
    QString systemDecode(const std::string &bytes) const
    {
        const QMutexLocker lock(&m_mutex);
        const std::optional<std::string> utf8 = convert(m_toUtf8, QByteArray::fromStdString(bytes));
        return utf8 ? QString::fromStdString(*utf8) : QString();
    }
    iconv_t m_toUtf8 = reinterpret_cast<iconv_t>(-1);
    iconv_t m_fromUtf8 = reinterpret_cast<iconv_t>(-1);
    mutable QMutex m_mutex;
#endif
    Kind m_kind = Kind::Unknown;
    int m_codePage = 0;
};

// The value of an .aff file's `name` line (a three-letter name such as SET);
// `missing` without one, nothing when the file cannot be read.
QByteArray affValue(const QString &affPath, const QByteArray &name, const QByteArray &missing = {})
{
    const std::variant<QByteArray, Error> read = SafeFile::read(affPath, MaxDictionaryBytes);
    if (!std::holds_alternative<QByteArray>(read))
        return {};
    const QByteArray &bytes = std::get<QByteArray>(read);
    qsizetype at = 0;
    for (int line = 0; line < 10000 && at < bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', at);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray text = bytes.sliced(at, std::min<qsizetype>(end - at, 4096)).trimmed();
        if (text.startsWith(name + ' ') || text.startsWith(name + '\t'))
            return text.mid(name.size() + 1).trimmed();
        at = end;
    }
    return missing;
}

// The SET line of an .aff file (ISO8859-1 without one, as Hunspell reads it).
QByteArray affEncoding(const QString &affPath)
{
    return affValue(affPath, "SET", "ISO8859-1");
}

// The TRY line of an .aff file: the letters of the language, most used first.
QByteArray affLetters(const QString &affPath)
{
    return affValue(affPath, "TRY");
}

// Why a dictionary's files cannot be used, or nothing: too large to load
// without stalling for long, no ordinary files (Hunspell opens them itself,
// and would wait for ever on a pipe), or a .dic that does not start with the
// number of its words (Hunspell then loads nothing and says why only on the
// console).
QString dictionaryDamage(const QString &affPath, const QString &dicPath)
{
    for (const QString &path : {affPath, dicPath}) {
        if (QFileInfo(path).size() > MaxDictionaryBytes)
            return say("The dictionary %1 is too large to be loaded (more than %2 MB).")
                .arg(QDir::toNativeSeparators(path), QString::number(MaxDictionaryBytes / (1024 * 1024)));
        if (const std::optional<Error> refused = SafeFile::readable(path, MaxDictionaryBytes))
            return say("The dictionary cannot be loaded: %1").arg(refused->message);
    }
    const std::variant<QByteArray, Error> head = SafeFile::readStart(dicPath, MaxDictionaryBytes, 256);
    if (const auto *refused = std::get_if<Error>(&head))
        return say("The dictionary cannot be loaded: %1").arg(refused->message);
    QByteArray first = std::get<QByteArray>(head);
    first = first.first(first.contains('\n') ? first.indexOf('\n') : first.size()).trimmed();
    if (first.startsWith("\xEF\xBB\xBF"))
        first = first.mid(3);
    bool counted = false;
    (void)first.split(' ').constFirst().split('\t').constFirst().toLongLong(&counted);
    if (!counted)
        return say("The dictionary %1 is damaged: its first line is not the number of its words.")
            .arg(QDir::toNativeSeparators(dicPath));
    return {};
}

// Hunspell opens files with fopen: a UTF-8 path that Windows is told of with \\?\.
QByteArray hunspellPath(const QString &path)
{
#ifdef Q_OS_WIN
    return "\\\\?\\" + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

// Hunspell counts the dictionaries that share a table of its own (for UTF-8
// dictionaries) in a plain global: two opened or closed at once on two
// threads could make the table twice, or free it under the other. Opening
// and closing a dictionary take turns.
QMutex &hunspellTurns()
{
    static QMutex turns;
    return turns;
}

class HunspellChecker final : public SpellChecker
{
public:
    HunspellChecker(const QString &aff, const QString &dic, const QByteArray &encoding)
        : m_encoding(encoding)
    {
        {
            const QMutexLocker turn(&hunspellTurns());
            m_hunspell = std::make_unique<Hunspell>(hunspellPath(aff).constData(), hunspellPath(dic).constData());
        }
        if (!usable())
            return;
        const std::string letters = affLetters(aff).toStdString();
        for (const QChar letter : m_encoding.decode(letters)) {
            if (letter.isLetter())
                m_scripts.insert(letter.script());
        }
    }
    ~HunspellChecker() override
    {
        const QMutexLocker turn(&hunspellTurns());
        m_hunspell.reset();
    }
    HunspellChecker(const HunspellChecker &) = delete;
    HunspellChecker &operator=(const HunspellChecker &) = delete;
    bool usable() const { return m_encoding.isValid(); }

    bool canCheck(const QString &word) override
    {
        if (!SpellChecker::canCheck(word))
            return false;
        if (m_scripts.isEmpty())   // a dictionary that names no letters: it is asked
            return true;
        return std::all_of(word.cbegin(), word.cend(), [this](QChar c) {
            return !c.isLetter() || c.script() == QChar::Script_Common || c.script() == QChar::Script_Inherited
                || m_scripts.contains(c.script());
        });
    }

    bool isKnown(const QString &word) override
    {
        const std::optional<std::string> bytes = m_encoding.encode(word);
        const QMutexLocker lock(&m_mutex);
        return bytes && m_hunspell->spell(*bytes);
    }
    QStringList suggestions(const QString &word) override
    {
        QStringList out;
        const std::optional<std::string> bytes = m_encoding.encode(word);
        if (!bytes)
            return out;
        const QMutexLocker lock(&m_mutex);
        for (const std::string &each : m_hunspell->suggest(*bytes))
            out.append(m_encoding.decode(each));
        return out;
    }
    void addWord(const QString &word) override
    {
        const std::optional<std::string> bytes = m_encoding.encode(word);
        const QMutexLocker lock(&m_mutex);
        if (bytes)
            m_hunspell->add(*bytes);
    }
    QStringList stems(const QString &word) override
    {
        QStringList out;
        const std::optional<std::string> bytes = m_encoding.encode(word);
        if (!bytes)
            return out;
        const QMutexLocker lock(&m_mutex);
        for (const std::string &each : m_hunspell->stem(*bytes))
            out.append(m_encoding.decode(each));
        return out;
    }

private:
    std::unique_ptr<Hunspell> m_hunspell;   // made and let go of in turn (hunspellTurns)
    DictionaryEncoding m_encoding;
    QSet<QChar::Script> m_scripts;   // of the letters the dictionary names
    QMutex m_mutex;
};

struct LanguageDictionaries {
    QLatin1String language;
    QLatin1String names;   // comma-separated
};

const LanguageDictionaries Known[] = {
    {QLatin1String("english"), QLatin1String("en_US,en_GB,en_CA,en_AU,en")},
    {QLatin1String("german"), QLatin1String("de_DE,de_AT,de_CH,de")},
    {QLatin1String("french"), QLatin1String("fr_FR,fr")},
    {QLatin1String("italian"), QLatin1String("it_IT,it")},
    {QLatin1String("spanish"), QLatin1String("es_ES,es")},
    {QLatin1String("portuguese"), QLatin1String("pt_PT,pt_BR,pt")},
    {QLatin1String("dutch"), QLatin1String("nl_NL,nl")},
    {QLatin1String("danish"), QLatin1String("da_DK,da")},
    {QLatin1String("swedish"), QLatin1String("sv_SE,sv")},
    {QLatin1String("norwegian"), QLatin1String("nb_NO,nn_NO,no")},
    {QLatin1String("finnish"), QLatin1String("fi_FI,fi")},
    {QLatin1String("polish"), QLatin1String("pl_PL,pl")},
    {QLatin1String("czech"), QLatin1String("cs_CZ,cs")},
    {QLatin1String("hungarian"), QLatin1String("hu_HU,hu")},
    {QLatin1String("slovak"), QLatin1String("sk_SK,sk")},
    {QLatin1String("slovenian"), QLatin1String("sl_SI,sl")},
    {QLatin1String("croatian"), QLatin1String("hr_HR,hr")},
    {QLatin1String("romanian"), QLatin1String("ro_RO,ro")},
    {QLatin1String("russian"), QLatin1String("ru_RU,ru")},
    {QLatin1String("ukrainian"), QLatin1String("uk_UA,uk")},
    {QLatin1String("bulgarian"), QLatin1String("bg_BG,bg")},
    {QLatin1String("greek"), QLatin1String("el_GR,el")},
    {QLatin1String("turkish"), QLatin1String("tr_TR,tr")},
    {QLatin1String("hebrew"), QLatin1String("he_IL,he")},
    {QLatin1String("arabic"), QLatin1String("ar")},
    {QLatin1String("lithuanian"), QLatin1String("lt_LT,lt")},
    {QLatin1String("latvian"), QLatin1String("lv_LV,lv")},
    {QLatin1String("estonian"), QLatin1String("et_EE,et")},
    {QLatin1String("vietnamese"), QLatin1String("vi_VN,vi")},
    {QLatin1String("thai"), QLatin1String("th_TH,th")},
};

} // namespace

std::unique_ptr<SpellChecker> openHunspell(const QString &affPath, const QString &dicPath, Error *error,
                                           Suggesting suggesting)
{
    if (!QFileInfo(affPath).isReadable() || !QFileInfo(dicPath).isReadable()) {
        if (error)
            *error = {Error::Kind::NotRead,
                      say("%1 or %2 cannot be read.").arg(QDir::toNativeSeparators(affPath), QDir::toNativeSeparators(dicPath)),
                      dicPath, {}};
        return nullptr;
    }
    if (const QString damage = dictionaryDamage(affPath, dicPath); !damage.isEmpty()) {
        if (error)
            *error = {Error::Kind::NotRead, damage, dicPath, {}};
        return nullptr;
    }
    const QByteArray encoding = affEncoding(affPath);
    // Quick: the same rules with no suggestions by letter groups, from a copy
    // of the .aff file that says so, as Hunspell takes its options from it.
    QTemporaryFile quickAff(QDir::temp().filePath(QStringLiteral("quillwright-XXXXXX.aff")));
    QString rules = affPath;
    if (suggesting == Suggesting::Quick) {
        const std::variant<QByteArray, Error> original = SafeFile::read(affPath, MaxDictionaryBytes);
        if (std::holds_alternative<QByteArray>(original) && quickAff.open()
            && quickAff.write(std::get<QByteArray>(original) + "\nMAXNGRAMSUGS 0\n") >= 0 && quickAff.flush())
            rules = quickAff.fileName();
    }
    auto checker = std::make_unique<HunspellChecker>(rules, dicPath, encoding);
    if (!checker->usable()) {
        if (error)
            *error = {Error::Kind::NotRead,
                      say("The dictionary %1 is in an encoding the program does not know (%2).")
                          .arg(QDir::toNativeSeparators(affPath), QString::fromLatin1(encoding)),
                      affPath, {}};
        return nullptr;
    }
    return checker;
}

QStringList dictionaryNames(const QString &language)
{
    for (const LanguageDictionaries &known : Known) {
        if (language.compare(known.language, Qt::CaseInsensitive) == 0)
            return QString(known.names).split(u',');
    }
    return {language};
}

QStringList knownLanguages()
{
    QStringList languages;
    for (const LanguageDictionaries &known : Known)
        languages.append(QString(known.language));
    return languages;
}

QStringList dictionaryFolders()
{
    QStringList folders;
    if (const QString user = Settings::dictionaryFolder(); !user.isEmpty())
        folders.append(user);
    if (QCoreApplication::instance())
        folders.append(QCoreApplication::applicationDirPath() + QLatin1String("/dictionaries"));
#ifndef Q_OS_WIN
    folders.append(QStringLiteral("/usr/share/hunspell"));
    folders.append(QStringLiteral("/usr/share/myspell/dicts"));
#endif
    return folders;
}

std::unique_ptr<SpellChecker> openDictionary(const QString &language, const QStringList &folders, Error *error,
                                             Suggesting suggesting)
{
    for (const QString &name : dictionaryNames(language)) {
        for (const QString &folder : folders) {
            const QString base = folder + u'/' + name;
            if (QFileInfo::exists(base + QLatin1String(".aff")) && QFileInfo::exists(base + QLatin1String(".dic")))
                return openHunspell(base + QLatin1String(".aff"), base + QLatin1String(".dic"), error, suggesting);
        }
    }
    if (error)
        *error = {Error::Kind::NotRead,
                  say("No dictionary for %1 (%2) in %3: its words are not checked.")
                      .arg(language, dictionaryNames(language).join(QLatin1String(", ")),
                           QDir::toNativeSeparators(folders.join(QLatin1String(", ")))),
                  {}, {}};
    return nullptr;
}

QString missionLanguage(const QString &missionFolder)
{
    if (!missionFolder.isEmpty()) {
        if (QString language = MissionSettings::read(missionFolder).spellingLanguage; !language.isEmpty())
            return language;
    }
    return QStringLiteral("english");
}

QString languageFolderOf(const QString &path)
{
    QStringList folders = QDir::fromNativeSeparators(path).split(u'/', Qt::SkipEmptyParts);
    if (!folders.isEmpty())
        folders.removeLast();   // the file's own name
    for (auto it = folders.crbegin(); it != folders.crend(); ++it) {
        for (const LanguageDictionaries &known : Known) {
            if (it->compare(known.language, Qt::CaseInsensitive) == 0)
                return QString(known.language);
        }
    }
    return {};
}

QString wordListPath(const QString &missionFolder, const QString &language)
{
    return QDir(missionFolder).filePath(QLatin1String("dictionary-") + language.toLower() + QLatin1String(".txt"));
}

WordList readWordList(const QString &path)
{
    WordList list;
    if (const QFileInfo info(path); !info.exists() && !info.isSymLink())
        return list;
    const std::variant<QByteArray, Error> read = SafeFile::read(path, SafeFile::WordListCap);
    if (const auto *refused = std::get_if<Error>(&read)) {
        list.problem = refused->message;
        return list;
    }
    const QByteArray &file = std::get<QByteArray>(read);
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    int lines = 0;
    for (qsizetype at = 0; at < file.size();) {
        if (lines == MaxWordListLines) {
            list.problem = say("%1 has more than %2 lines: only the first %2 were read.")
                               .arg(QDir::toNativeSeparators(path), QString::number(MaxWordListLines));
            break;
        }
        qsizetype end = file.indexOf('\n', at);
        end = end < 0 ? file.size() : end + 1;
        const QByteArrayView bytes = QByteArrayView(file).sliced(at, end - at);
        at = end;
        ++lines;
        const QString line = QString(decoder.decode(bytes)).trimmed();
        if (decoder.hasError()) {
            list.words.clear();
            list.problem = say("%1 is not UTF-8 (line %2): none of its words were read.")
                               .arg(QDir::toNativeSeparators(path), QString::number(lines));
            return list;
        }
        if (!line.isEmpty() && !line.startsWith(u'#'))
            list.words.append(line);
    }
    return list;
}

bool addToWordList(const QString &path, const QString &word, Error *error)
{
    QByteArray bytes;
    if (const QFileInfo old(path); old.exists() || old.isSymLink()) {
        std::variant<QByteArray, Error> read = SafeFile::read(path, SafeFile::WordListCap);
        if (auto *refused = std::get_if<Error>(&read)) {
            if (error)
                *error = std::move(*refused);
            return false;
        }
        bytes = std::get<QByteArray>(std::move(read));
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes += '\n';
    }
    bytes += word.trimmed().toUtf8() + '\n';
    if (std::optional<Error> failed = FileOutput::writeFile(path, bytes, QFileInfo(path).absolutePath())) {
        if (error)
            *error = std::move(*failed);
        return false;
    }
    return true;
}

} // namespace Spelling
