// How well the same start tells a word's forms where no dictionary gives
// their stems, measured against the Polish dictionary's stems on a text of a
// market (when the dictionary is installed). How fast the translation
// helpers are on a large mission: 400 generated
// files (200 English string files of 30 entries, 6,000 entries, and their
// Polish translations, a tenth of the entries left out) in a temporary
// folder, read as pairs; then suggestions for entries spread over the
// mission, and XLIFF and PO written and taken back for the whole language;
// then the translation window opened on the mission, Ctrl+Down and the
// filter changed in it. Each figure is printed beside its aim. scripts/bench-translation.sh runs it.
#include "core/mission/spelling/spelling.h"
#include "core/mission/translation/exchange.h"
#include "core/mission/translation/memory.h"
#include "core/mission/translation/translation.h"
#include "gui/mainwindow.h"
#include "gui/mission/missionpanel.h"
#include "gui/translation/translationwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTableView>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const char *const Words[] = {"the", "door", "was", "locked", "and", "dark", "night", "came", "over", "tower",
                             "river", "key", "of", "old", "stone", "with", "lanterns", "guards", "slept", "north",
                             "gold", "sword", "road", "city", "gate", "king", "ship", "storm", "wall", "bridge"};

QByteArray sentence(int seed, int words)
{
    QByteArray text;
    for (int i = 0; i < words; ++i) {
        text += Words[static_cast<unsigned>(seed * 7 + i * 13 + i * i + seed / 5) % std::size(Words)];
        text += i + 1 < words ? " " : "";
    }
    return text;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void show(const char *what, double ms, double aim)
{
    std::printf("%-44s %9.2f ms   (aim <= %g ms)%s\n", what, ms, aim, ms <= aim ? "" : "   MISSED");
}

// A neutral Polish text of a market and its weather, for measuring how well
// the same start tells a word's forms where no dictionary gives its stems.
const char *const PolishText =
    "Na rynku stoi stara fontanna. Przy fontannie sprzedawcy rozkładają kosze z jabłkami, gruszkami i śliwkami. "
    "Rano pada deszcz, a po deszczu na placu zbierają się kupcy z dalekich miast. Kupiec z północy sprzedaje "
    "ciepłe płaszcze i wełniane czapki; jego płaszcze są drogie, ale czapek nikt nie kupuje. Nad rynkiem wieje "
    "zimny wiatr, a w zimnym wietrze chorągiewki kręcą się nad bramą. Przy bramie czekają wozy pełne zboża i "
    "beczek z miodem. Dzieci biegają między straganami, a matki wołają je z okien. Wieczorem niebo jest "
    "pochmurne, chmury płyną nad dachami, a na dachach siedzą gołębie. Jutro będzie słonecznie, mówią starzy "
    "rybacy, którzy znają morze i jego wiatry. Na straganie leżą ryby, sery, chleby i bochenki ciepłego "
    "chleba; sprzedawczyni liczy monety i wydaje resztę. Po południu przychodzi burza, grzmoty niosą się nad "
    "miastem, a ulice miasta pustoszeją. Po burzy powietrze jest czyste i chłodne.";

// How often the same start (TermList::samePrefix) finds a word's form that
// the dictionary's stems give, and how often it takes another word for one.
void measurePrefixRule()
{
    std::unique_ptr<Spelling::SpellChecker> polish =
        Spelling::openDictionary(u"polish"_qs, Spelling::dictionaryFolders(), nullptr, Spelling::Suggesting::Quick);
    if (!polish) {
        std::printf("the same start against a dictionary's stems: no Polish dictionary here, not measured\n");
        return;
    }
    QStringList words;
    for (const QString &word : QString::fromUtf8(PolishText).split(QRegularExpression(u"[^\\w]+"_qs), Qt::SkipEmptyParts))
        words.append(word.toLower());
    int forms = 0, found = 0, others = 0, taken = 0;
    for (const QString &word : std::as_const(words)) {
        for (const QString &stem : polish->stems(word)) {
            if (stem.toLower() == word)
                continue;
            ++forms;
            found += TermList::samePrefix(stem, word) ? 1 : 0;
            for (const QString &other : std::as_const(words)) {   // words of another stem starting alike
                if (other == word || other.left(3) != stem.left(3).toLower() || polish->stems(other).contains(stem))
                    continue;
                ++others;
                taken += TermList::samePrefix(stem, other) ? 1 : 0;
            }
        }
    }
    const double recall = forms > 0 ? 100.0 * found / forms : 0;
    const double wrong = others > 0 ? 100.0 * taken / others : 0;
    std::printf("the same start finds a word's form              %6.1f %%   (aim >= 60 %%)%s   %d of %d\n", recall,
                recall >= 60 ? "" : "   MISSED", found, forms);
    std::printf("the same start takes another word for a form    %6.1f %%   (aim <= 25 %%)%s   %d of %d\n", wrong,
                wrong <= 25 ? "" : "   MISSED", taken, others);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    constexpr int Files = 200, Entries = 30;
    for (int f = 0; f < Files; ++f) {
        QByteArray english = "// Strings of part " + QByteArray::number(f) + "\r\n\r\n", polish;
        for (int e = 0; e < Entries; ++e) {
            const int seed = f * Entries + e;
            const QByteArray key = "str_" + QByteArray::number(e);
            english += "// where it is said\r\n" + key + ":\"" + sentence(seed % 2500, 4 + seed % 14) + "\"\r\n";
            if (seed % 10 != 3)
                polish += key + ":\"pl " + sentence(seed % 2500, 3 + seed % 12) + "\"\r\n";
        }
        write(dir.filePath(u"strings/english/part%1.str"_qs.arg(f)), english);
        write(dir.filePath(u"strings/polish/part%1.str"_qs.arg(f)), polish);
    }

    measurePrefixRule();

    QElapsedTimer timer;
    timer.start();
    QList<Exchange::Unit> units;
    QList<TranslationMemory::Unit> translated;
    for (int f = 0; f < Files; ++f) {
        const QString name = u"part%1.str"_qs.arg(f);
        auto source = StrReader::readFile(dir.filePath(u"strings/english/"_qs + name), 1252);
        auto target = StrReader::readFile(dir.filePath(u"strings/polish/"_qs + name), 1250);
        if (!std::holds_alternative<StrReader::Result>(source) || !std::holds_alternative<StrReader::Result>(target))
            return 1;
        const TranslationPair pair(std::get<StrReader::Result>(source), std::get<StrReader::Result>(target), 1250);
        for (const Exchange::Unit &unit : Exchange::unitsOf(pair, u"strings/english/"_qs + name)) {
            units.append(unit);
            if (unit.state != TranslationPair::State::Untranslated)
                translated.append({unit.file, unit.key, unit.source, unit.target});
        }
    }
    std::printf("%lld entries in %d files read in %lld ms\n", static_cast<long long>(units.size()), 2 * Files,
                static_cast<long long>(timer.elapsed()));

    timer.restart();
    const TranslationMemory memory(translated);
    show("building the suggestions' index", static_cast<double>(timer.nsecsElapsed()) / 1e6, 200);

    QList<double> times;
    qsizetype found = 0;
    for (qsizetype i = 0; i < units.size(); i += 97) {
        timer.restart();
        found += memory.suggest(units.at(i).source, units.at(i).file, units.at(i).key).size();
        times.append(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    show("suggestions for one entry (median)", median(times), 16);
    show("suggestions for one entry (slowest)", *std::max_element(times.begin(), times.end()), 16);
    std::printf("  %lld suggestions for %lld entries\n", static_cast<long long>(found),
                static_cast<long long>(times.size()));

    for (const bool po : {false, true}) {
        timer.restart();
        const QByteArray bytes = po ? Exchange::toPo(units, {u"bench"_qs, u"polish"_qs, u"pl"_qs, QDateTime::currentDateTimeUtc(), {}})
                                    : Exchange::toXliff(units, u"en"_qs, u"pl"_qs);
        show(po ? "PO written" : "XLIFF written", static_cast<double>(timer.nsecsElapsed()) / 1e6, 1000);
        timer.restart();
        const Exchange::Import taken = po ? Exchange::fromPo(bytes, units, 1250) : Exchange::fromXliff(bytes, units, 1250);
        show(po ? "PO taken back" : "XLIFF taken back", static_cast<double>(timer.nsecsElapsed()) / 1e6, 1000);
        if (!taken.problems.isEmpty() || !taken.changes.isEmpty()) {
            std::printf("  taken back with %lld changes and %lld problems: the round trip is broken\n",
                        static_cast<long long>(taken.changes.size()), static_cast<long long>(taken.problems.size()));
            return 1;
        }
    }

    // The window: opened on the mission read, then moved about in.
    Qwr window(nullptr);
    window.Form_Load();
    window.openFolder(dir.path());
    const auto waitFor = [](const std::function<bool()> &done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    };
    if (!waitFor([&] { return window.missionPanel && !window.missionPanel->isReading(); }))
        return 1;
    timer.restart();
    window.translateMission(u"english"_qs, u"polish"_qs);
    TranslationWindow *view = nullptr;
    if (!waitFor([&] {
            view = window.findChild<TranslationWindow *>(u"translationView"_qs);
            return view && view->isVisible() && view->translationTable->model()->rowCount() > 0;
        }))
        return 1;
    show("opening the translation view", static_cast<double>(timer.nsecsElapsed()) / 1e6, 300);
    times.clear();
    for (int i = 0; i < 40; ++i) {
        timer.restart();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier);
        QCoreApplication::sendEvent(view->translationTable, &down);
        QCoreApplication::processEvents();
        times.append(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    show("Ctrl+Down to the next untranslated (median)", median(times), 16);
    times.clear();
    for (int i = 0; i < 10; ++i) {
        timer.restart();
        view->translationFilter->setCurrentIndex((view->translationFilter->currentIndex() + 1) % view->translationFilter->count());
        QCoreApplication::processEvents();
        times.append(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    show("a change of the filter (median)", median(times), 16);
    return 0;
}
