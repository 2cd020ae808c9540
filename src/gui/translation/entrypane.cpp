#include "gui/translation/entrypane.h"

#include "core/mission/backgroundjob.h"
#include "core/mission/translation/differencemarkup.h"
#include "core/mission/translation/personalmemory.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/translation/translationtable.h"
#include "gui/translation/termeditor.h"

#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString escapedLines(const QString &text)
{
    return text.toHtmlEscaped().replace(QLatin1String("\r\n"), QLatin1String("<br>")).replace(u'\n', QLatin1String("<br>"));
}

QTextBrowser *sourceBox(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *box = new QTextBrowser(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setOpenLinks(false);
    box->setMaximumHeight(box->fontMetrics().lineSpacing() * 4 + 2 * box->frameWidth());
    return box;
}

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("<b>%1</b>").arg(text), parent);
    label->setTextFormat(Qt::RichText);
    return label;
}

QLabel *richLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

EntryPane::EntryPane(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("entryPane"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);   // a long note or many terms scroll, the table keeps its room
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto *content = new QWidget(scroll);
    scroll->setWidget(content);
    auto *layout = new QGridLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);

    sourceChange = new QWidget(content);
    sourceChange->setObjectName(QStringLiteral("sourceChange"));
    auto *change = new QGridLayout(sourceChange);
    change->setContentsMargins(0, 0, 0, 0);
    oldSource = sourceBox(sourceChange, QStringLiteral("oldSource"), tr("The source it was translated from"));
    newSource = sourceBox(sourceChange, QStringLiteral("newSource"), tr("The source now"));
    change->addWidget(heading(tr("Translated from"), sourceChange), 0, 0);
    change->addWidget(heading(tr("The source now"), sourceChange), 0, 1);
    change->addWidget(oldSource, 1, 0);
    change->addWidget(newSource, 1, 1);
    sourceChange->hide();

    auto *notes = new QVBoxLayout;
    notes->addWidget(sourceChange);
    notes->addWidget(heading(tr("Notes for translators"), content));
    sourceNotes = richLabel(this, QStringLiteral("sourceNotes"));
    notes->addWidget(sourceNotes);
    auto *noteLabel = new QLabel(tr("&Your note"), content);
    translatorNote = new QPlainTextEdit(content);
    translatorNote->setObjectName(QStringLiteral("translatorNote"));
    translatorNote->setTabChangesFocus(true);
    translatorNote->setPlaceholderText(tr("Kept in the translation record, not in the game's files"));
    translatorNote->setMaximumHeight(translatorNote->fontMetrics().lineSpacing() * 4);
    noteLabel->setBuddy(translatorNote);
    notes->addWidget(noteLabel);
    notes->addWidget(translatorNote);
    notes->addStretch();

    auto *aside = new QVBoxLayout;
    aside->addWidget(heading(tr("Suggestions"), content));
    suggestionList = richLabel(this, QStringLiteral("suggestionList"));
    aside->addWidget(suggestionList);
    aside->addWidget(heading(tr("Terms"), content));
    termList = richLabel(this, QStringLiteral("termList"));
    aside->addWidget(termList);
    termEditor = new TermEditor(content);
    aside->addWidget(termEditor);
    aside->addStretch();

    layout->addLayout(notes, 0, 0);
    layout->addLayout(aside, 0, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);

    connect(translatorNote, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing && m_model && m_row >= 0 && m_row < m_model->rowCount())
            m_model->setNote(m_row, translatorNote->toPlainText());
    });
    m_memoryJob = new BackgroundJob(this);
    m_memoryTimer = new QTimer(this);
    m_memoryTimer->setSingleShot(true);
    m_memoryTimer->setInterval(300);   // a run of edits builds it once
    connect(m_memoryTimer, &QTimer::timeout, this, &EntryPane::buildMemory);
    m_dictionaryJob = new BackgroundJob(this);
    connect(termEditor, &TermEditor::termsChanged, this, [this] {
        m_termProblem.clear();
        refresh();
    });
    connect(termEditor, &TermEditor::failed, this, [this](const QString &message) { m_termProblem = message; });
    for (int number = 1; number <= MaxSuggestions; ++number) {
        auto *key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + number)), this);
        connect(key, &QShortcut::activated, this, [this, number] { takeSuggestion(number); });
    }
    refresh();
}

void EntryPane::setMission(const QList<File> &files, const QString &termListPath, const QString &personalMemoryPath,
                           const QString &targetLanguage, const QString &missionRoot)
{
    m_personalMemoryPath = personalMemoryPath;
    for (const auto &[name, model] : std::as_const(m_files)) {
        if (model)
            model->disconnect(this);
    }
    m_files.clear();
    for (const auto &[name, model] : files) {
        if (!model)
            continue;
        m_files.append({name, model});
        // A translation changed anywhere changes the memory; in the row shown, the pane.
        const auto changed = [this, model = model] {
            m_memoryTimer->start();
            if (model == m_model)
                refresh();
        };
        connect(model, &QAbstractItemModel::dataChanged, this, changed);
        connect(model, &QAbstractItemModel::modelReset, this, changed);
    }
    m_memory.reset();
    buildMemory();
    m_termProblem.clear();
    const TermList::Terms terms = termListPath.isEmpty() ? TermList::Terms() : TermList::load(termListPath, &m_termProblem);
    termEditor->setList(m_termProblem.isEmpty() ? termListPath : QString(), missionRoot, terms);
    // The target language's dictionary, for the terms' inflected forms: loaded off the GUI thread.
    m_dictionary.reset();
    if (!targetLanguage.isEmpty()) {
        m_dictionaryJob->start(
            [targetLanguage](const BackgroundJob::Control &) {
                return std::shared_ptr<Spelling::SpellChecker>(Spelling::openDictionary(
                    targetLanguage, Spelling::dictionaryFolders(), nullptr, Spelling::Suggesting::Quick));
            },
            [this](std::shared_ptr<Spelling::SpellChecker> dictionary) {
                m_dictionary = std::move(dictionary);
                refresh();
            });
    }
    refresh();
}

void EntryPane::rebuildMemory()
{
    buildMemory();
}

void EntryPane::showEntry(TranslationTableModel *model, int row)
{
    m_model = model;
    m_row = model ? row : -1;
    refresh();
}

QString EntryPane::fileOf(const TranslationTableModel *model) const
{
    for (const auto &[name, held] : m_files) {
        if (held == model)
            return name;
    }
    return {};
}

void EntryPane::buildMemory()
{
    m_memoryTimer->stop();
    QList<TranslationMemory::Unit> units;
    for (const auto &[name, model] : std::as_const(m_files)) {
        if (model)
            units += TranslationMemory::confirmedUnits(model->pair(), name);
    }
    m_memoryJob->start(
        [units = std::move(units), personal = m_personalMemoryPath](const BackgroundJob::Control &) mutable {
            if (!personal.isEmpty())
                units += PersonalMemory::memoryUnits(PersonalMemory::load(personal));
            return std::make_shared<const TranslationMemory>(units);
        },
        [this](std::shared_ptr<const TranslationMemory> memory) {
            m_memory = std::move(memory);
            refresh();
        });
}

void EntryPane::refresh()
{
    m_showing = true;
    const bool shown = m_model && m_row >= 0 && m_row < m_model->rowCount();
    if (!shown) {
        sourceChange->hide();
        sourceNotes->setText(QString());
        translatorNote->setPlainText(QString());
        translatorNote->setEnabled(false);
        suggestionList->setText(QString());
        termList->setText(QString());
        termEditor->showEntry(QString(), QString());
        m_suggestions.clear();
        m_showing = false;
        return;
    }
    const TranslationPair &pair = m_model->pair();
    const TranslationPair::Row &row = pair.row(m_row);
    const QString file = fileOf(m_model);

    const bool outdated = row.state == TranslationPair::State::Outdated;
    sourceChange->setVisible(outdated);
    if (outdated) {
        const QList<TranslationRecord::Segment> change = pair.sourceChange(m_row);
        if (change.isEmpty()) {   // the record keeps only what it was made from, not the text
            oldSource->setHtml(QStringLiteral("<i>%1</i>").arg(tr("The record does not keep the text it was translated from.")));
            newSource->setHtml(escapedLines(row.source));
        } else {
            oldSource->setHtml(DifferenceMarkup::html(change, DifferenceMarkup::Side::Old));
            newSource->setHtml(DifferenceMarkup::html(change, DifferenceMarkup::Side::New));
        }
    }

    QStringList notes;
    if (!pair.openingNote().isEmpty())
        notes.append(tr("<i>The file:</i> %1").arg(escapedLines(pair.openingNote())));
    if (!row.comment.isEmpty())
        notes.append(tr("<i>This entry:</i> %1").arg(escapedLines(row.comment)));
    sourceNotes->setText(notes.isEmpty() ? tr("The source has no comments for this entry.") : notes.join(QLatin1String("<br>")));
    if (translatorNote->toPlainText() != row.note)
        translatorNote->setPlainText(row.note);
    translatorNote->setEnabled(true);

    const QString translation = row.state == TranslationPair::State::Untranslated ? QString() : row.target;
    showSuggestions(file, row.key, row.source);
    showTerms(file, row.key, row.source, translation);
    termEditor->showEntry(row.source, translation);
    m_showing = false;
}

void EntryPane::showSuggestions(const QString &file, const QString &key, const QString &source)
{
    m_suggestions = m_memory ? m_memory->suggest(source, file, key, 60, MaxSuggestions)
                             : QList<TranslationMemory::Suggestion>();
    if (!m_memory) {
        suggestionList->setText(tr("Looking through the mission's translations\u2026"));
        return;
    }
    if (m_suggestions.isEmpty()) {
        suggestionList->setText(tr("None from the mission's translations."));
        return;
    }
    QStringList lines;
    for (qsizetype i = 0; i < m_suggestions.size(); ++i) {
        const TranslationMemory::Suggestion &suggestion = m_suggestions.at(i);
        const QString shortcut = QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + int(i))).toString(QKeySequence::NativeText);
        lines.append(tr("<b>%1</b> &nbsp;%2&nbsp;% &nbsp;%3<br><small>%4 &nbsp;(%5, %6)</small>")
                         .arg(shortcut.toHtmlEscaped())
                         .arg(suggestion.percent)
                         .arg(escapedLines(suggestion.unit.target),
                              DifferenceMarkup::html(suggestion.difference, DifferenceMarkup::Side::Both),
                              suggestion.unit.file.toHtmlEscaped(), suggestion.unit.key.toHtmlEscaped()));
    }
    suggestionList->setText(lines.join(QLatin1String("<br>")));
}

void EntryPane::showTerms(const QString &file, const QString &key, const QString &source, const QString &target)
{
    if (!m_termProblem.isEmpty()) {
        termList->setText(m_termProblem.toHtmlEscaped());
        return;
    }
    const TermList::Terms held = TermList::held(termEditor->terms(), source);
    if (held.isEmpty()) {
        termList->setText(tr("None of the term list in this source."));
        return;
    }
    QStringList missing;
    TermList::Stemmer stems;
    if (const std::shared_ptr<Spelling::SpellChecker> dictionary = m_dictionary)
        stems = [dictionary](const QString &word) { return dictionary->stems(word); };
    for (const TermList::Finding &finding : TermList::check(held, {{file, key, source, target}}, stems))
        missing.append(finding.term);
    QStringList lines;
    for (auto it = held.begin(); it != held.end(); ++it) {
        const QString term = tr("%1 \u2192 %2").arg(it.key().toHtmlEscaped(), it.value().toHtmlEscaped());
        lines.append(missing.contains(it.key())
                         ? tr("<span style=\"color:#b00000;\">\u26A0 %1: the translation does not hold \u201C%2\u201D</span>")
                               .arg(term, it.value().toHtmlEscaped())
                         : term);
    }
    termList->setText(lines.join(QLatin1String("<br>")));
}

bool EntryPane::takeSuggestion(int number)
{
    if (!m_model || m_row < 0 || m_row >= m_model->rowCount() || number < 1 || number > m_suggestions.size())
        return false;
    // A suggestion not made from the same source waits for a review: it is never Done by itself.
    const TranslationMemory::Suggestion &suggestion = m_suggestions.at(number - 1);
    return m_model->setTranslation(m_row, suggestion.unit.target, suggestion.percent < 100);
}
