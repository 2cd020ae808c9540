// The translation window's exchange with other tools: the target language
// as XLIFF or PO and back, the translator's own memory as TMX and back, and
// the memory fed with what was saved.
#include "gui/translation/translationwindow.h"

#include "core/document/safefile.h"
#include "core/mission/backgroundjob.h"
#include "core/mission/translation/personalmemory.h"
#include "core/save/fileoutput.h"
#include "core/save/prompts.h"
#include "gui/translation/entrypane.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

const QString XliffFilter = QStringLiteral("XLIFF 1.2 (*.xlf *.xliff)");
const QString PoFilter = QStringLiteral("gettext PO (*.po)");
const QString TmxFilter = QStringLiteral("TMX (*.tmx)");

QString number(qsizetype value)
{
    return QLocale(QLocale::English).toString(value);
}

} // namespace

QPushButton *TranslationWindow::makeExchangeButton()
{
    exchangeButton = new QPushButton(tr("E&xchange"), this);
    exchangeButton->setObjectName(QStringLiteral("exchangeButton"));
    exchangeButton->setToolTip(tr("Hand the translation to other tools and take their work back"));
    auto *menu = new QMenu(exchangeButton);
    exportXliffAction = menu->addAction(tr("Export as XLIFF 1.2\u2026"));
    exportXliffAction->setObjectName(QStringLiteral("exportXliff"));
    exportPoAction = menu->addAction(tr("Export as PO\u2026"));
    exportPoAction->setObjectName(QStringLiteral("exportPo"));
    importAction = menu->addAction(tr("Import XLIFF or PO\u2026"));
    importAction->setObjectName(QStringLiteral("importTranslation"));
    menu->addSeparator();
    exportMemoryAction = menu->addAction(tr("Export Translation Memory as TMX\u2026"));
    exportMemoryAction->setObjectName(QStringLiteral("exportMemory"));
    importMemoryAction = menu->addAction(tr("Import TMX into the Translation Memory\u2026"));
    importMemoryAction->setObjectName(QStringLiteral("importMemory"));
    exchangeButton->setMenu(menu);
    connect(exportXliffAction, &QAction::triggered, this, [this] { exportTarget(ExchangeFormat::Xliff); });
    connect(exportPoAction, &QAction::triggered, this, [this] { exportTarget(ExchangeFormat::Po); });
    connect(importAction, &QAction::triggered, this, [this] { importTarget(); });
    connect(exportMemoryAction, &QAction::triggered, this, [this] { exportMemory(); });
    connect(importMemoryAction, &QAction::triggered, this, [this] { importMemory(); });
    return exchangeButton;
}

QString TranslationWindow::exchangeName(const QString &suffix) const
{
    const QString mission = QFileInfo(m_scan.root).fileName();
    const QString target = m_pairedTarget.isEmpty() ? QStringLiteral("translation") : m_pairedTarget.toLower();
    return QDir(m_scan.root).filePath(QStringLiteral("%1-%2.%3").arg(mission, target, suffix));
}

bool TranslationWindow::exportTarget(ExchangeFormat format)
{
    if (m_set.size() == 0) {
        m_prompts.tell(tr("Choose the languages to translate from and into."));
        return false;
    }
    const bool xliff = format == ExchangeFormat::Xliff;
    const QString path = m_prompts.exportPath(exchangeName(xliff ? QStringLiteral("xlf") : QStringLiteral("po")),
                                              xliff ? XliffFilter : PoFilter);
    if (path.isEmpty())
        return false;
    const QByteArray bytes = m_set.exported(xliff ? TranslationSet::Format::Xliff : TranslationSet::Format::Po,
                                            QDateTime::currentDateTimeUtc());
    if (const std::optional<Error> failed = FileOutput::writeFile(path, bytes)) {
        m_prompts.warn(tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), failed->message));
        return false;
    }
    return true;
}

bool TranslationWindow::importTarget()
{
    if (m_set.size() == 0) {
        m_prompts.tell(tr("Choose the languages to translate from and into."));
        return false;
    }
    const QString path = m_prompts.importPath(m_scan.root, {XliffFilter, PoFilter});
    if (path.isEmpty())
        return false;
    const QString name = QDir::toNativeSeparators(path);
    const auto read = SafeFile::read(path, SafeFile::ExchangeCap);
    if (const auto *failure = std::get_if<Error>(&read)) {
        m_prompts.warn(tr("%1 could not be read: %2").arg(name, failure->message));
        return false;
    }
    const TranslationSet::Taken taken = m_set.take(m_set.read(path, std::get<QByteArray>(read)),
                                                   tr("Import %1").arg(QFileInfo(path).fileName()));
    if (!taken.problems.isEmpty()) {
        QStringList lines;
        for (const Exchange::Problem &problem : taken.problems) {
            QStringList where;
            for (const QString &part : {problem.line > 0 ? tr("line %1").arg(problem.line) : QString(), problem.file,
                                        problem.key}) {
                if (!part.isEmpty())
                    where.append(part);
            }
            lines.append(where.isEmpty() ? problem.message : where.join(u' ') + QStringLiteral(": ") + problem.message);
        }
        const int shown = std::min(int(lines.size()), 10);
        m_prompts.show({Prompts::Icon::Warning, Prompts::applicationTitle(),
                        tr("%1 was not taken; nothing in the mission was changed:\n\n%2%3")
                            .arg(name, lines.mid(0, shown).join(u'\n'),
                                 lines.size() > shown ? tr("\n\u2026 and %1 more").arg(lines.size() - shown) : QString()),
                        {Prompts::Button::Ok}, Prompts::Button::Ok, lines.join(u'\n')});
        return false;
    }
    if (taken.entries == 0) {
        m_prompts.tell(tr("%1 holds no translation that differs from the mission's; nothing was changed.").arg(name));
        return false;
    }
    if (model(m_shown))
        translationTable->resizeRowsToContents();
    QString told = (taken.entries == 1 ? tr("1 translation") : tr("%1 translations").arg(number(taken.entries)))
        + tr(" taken from %1").arg(name)
        + (taken.files == 0 ? QString()
                            : taken.files == 1 ? tr(" into 1 file") : tr(" into %1 files").arg(number(taken.files)))
        + u'.';
    if (taken.outdated > 0)
        told += taken.outdated == 1 ? tr(" 1 of them was made from an older source: it is Outdated.")
                                    : tr(" %1 of them were made from an older source: they are Outdated.")
                                          .arg(number(taken.outdated));
    m_prompts.tell(told + tr(" Save Translations (or Save All) writes them."));
    return true;
}

void TranslationWindow::feedMemory()
{
    const QString source = sourceLanguage->currentText();
    const QString target = m_pairedTarget;
    if (source.isEmpty() || target.isEmpty() || m_sourceFolder)
        return;
    const QList<TranslationMemory::Unit> confirmed = m_set.confirmedUnits();
    const QList<TranslationMemory::Unit> current = m_set.currentUnits();
    const QString mission = QFileInfo(m_scan.root).fileName();
    const QString path = PersonalMemory::pathOf(source, target);
    // Read, merged and written off the GUI thread: a memory of many missions is large.
    auto *job = new BackgroundJob(this);
    job->start(
        [path, mission, confirmed, current, source, target](const BackgroundJob::Control &) -> QString {
            QString problem;
            const QList<PersonalMemory::Unit> kept = PersonalMemory::load(path, &problem);
            if (!problem.isEmpty())
                return TranslationWindow::tr("Your translation memory %1 could not be read, so it was left as it is: %2")
                    .arg(QDir::toNativeSeparators(path), problem);
            const QList<PersonalMemory::Unit> now = PersonalMemory::merged(kept, mission, confirmed, current);
            if (now == kept)
                return {};
            if (const std::optional<Error> error = PersonalMemory::save(path, now, source, target))
                return TranslationWindow::tr("Your translation memory %1 could not be saved: %2\n\nThe translations were saved.")
                    .arg(QDir::toNativeSeparators(path), error->message);
            return {};
        },
        [this, job](const QString &error) {
            if (!error.isEmpty())
                m_prompts.warn(error);
            job->deleteLater();
        });
}

bool TranslationWindow::exportMemory()
{
    const QString source = sourceLanguage->currentText();
    const QString target = m_pairedTarget;
    if (source.isEmpty() || target.isEmpty()) {
        m_prompts.tell(tr("Choose the languages to translate from and into."));
        return false;
    }
    const QString memory = PersonalMemory::pathOf(source, target);
    QString problem;
    const QList<PersonalMemory::Unit> all =
        PersonalMemory::merged(PersonalMemory::load(memory, &problem), QFileInfo(m_scan.root).fileName(),
                               m_set.confirmedUnits(), m_set.currentUnits());
    if (!problem.isEmpty())
        m_prompts.warn(tr("Your translation memory %1 could not be read: %2\n\nOnly this mission's translations are "
                          "exported.").arg(QDir::toNativeSeparators(memory), problem));
    const QString path = m_prompts.exportPath(
        QDir(m_scan.root).filePath(QStringLiteral("%1-%2.tmx").arg(source.toLower(), target.toLower())), TmxFilter);
    if (path.isEmpty())
        return false;
    if (const std::optional<Error> failed = FileOutput::writeFile(path, PersonalMemory::toTmx(all, source, target))) {
        m_prompts.warn(tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), failed->message));
        return false;
    }
    return true;
}

bool TranslationWindow::importMemory()
{
    const QString source = sourceLanguage->currentText();
    const QString target = m_pairedTarget;
    if (source.isEmpty() || target.isEmpty()) {
        m_prompts.tell(tr("Choose the languages to translate from and into."));
        return false;
    }
    const QString path = m_prompts.importPath(m_scan.root, {TmxFilter});
    if (path.isEmpty())
        return false;
    const QString name = QDir::toNativeSeparators(path);
    const auto read = SafeFile::read(path, SafeFile::MemoryCap);
    if (const auto *failure = std::get_if<Error>(&read)) {
        m_prompts.warn(tr("%1 could not be read: %2").arg(name, failure->message));
        return false;
    }
    const PersonalMemory::Taken taken =
        PersonalMemory::fromTmx(std::get<QByteArray>(read), source, target, QFileInfo(path).fileName());
    if (!taken.problems.isEmpty()) {
        m_prompts.warn(tr("%1 was not taken into your translation memory:\n\n%2").arg(name, taken.problems.join(u'\n')));
        return false;
    }
    const QString memory = PersonalMemory::pathOf(source, target);
    QString problem;
    const QList<PersonalMemory::Unit> kept = PersonalMemory::load(memory, &problem);
    if (!problem.isEmpty()) {
        m_prompts.warn(tr("Your translation memory %1 could not be read, so it was left as it is: %2")
                           .arg(QDir::toNativeSeparators(memory), problem));
        return false;
    }
    QList<TranslationMemory::Unit> units;
    for (const PersonalMemory::Unit &unit : taken.units)
        units.append({unit.file, unit.key, unit.source, unit.target});
    const QList<PersonalMemory::Unit> now = PersonalMemory::merged(kept, QFileInfo(path).fileName(), units);
    if (const std::optional<Error> error = PersonalMemory::save(memory, now, source, target)) {
        m_prompts.warn(tr("Your translation memory %1 could not be saved: %2")
                           .arg(QDir::toNativeSeparators(memory), error->message));
        return false;
    }
    entryPane->rebuildMemory();
    m_prompts.tell((taken.units.size() == 1 ? tr("1 pair taken into your translation memory from %1.").arg(name)
                                            : tr("%1 pairs taken into your translation memory from %2.")
                                                  .arg(number(taken.units.size()), name))
                   + (taken.skipped > 0 ? tr(" %1 without both languages were left out.").arg(number(taken.skipped))
                                        : QString()));
    return true;
}
