#include "gui/spellinghighlighter.h"

#include "core/mission/spelling/spelling.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCharFormat>

SpellingHighlighter::SpellingHighlighter(QPlainTextEdit *box, Spelling::Service *service,
                                         std::function<QString()> language)
    : QSyntaxHighlighter(box->document())
    , m_box(box)
    , m_service(service)
    , m_language(std::move(language))
{
    connect(service, &Spelling::Service::wordsChanged, this, [this](const QString &changed) {
        if (changed == this->language())
            rehighlightQuietly();
    });
    connect(service, &Spelling::Service::languagesChanged, this, &SpellingHighlighter::rehighlightQuietly);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        QMenu *menu = contextMenu(position);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_box->viewport()->mapToGlobal(position));
    });
    rehighlightQuietly();   // now, rather than the highlighter's own first pass, which the box would tell as typing
}

void SpellingHighlighter::rehighlightQuietly()
{
    // Marks are no change of the text: the box must not say its text changed
    // (drafts and unsaved-work marks listen to it).
    const QSignalBlocker quiet(m_box.data());
    rehighlight();
}

void SpellingHighlighter::chooseLanguage(const QString &language)
{
    m_language.choose(language);
    rehighlightQuietly();
    Q_EMIT languageChosen(language);
}

void SpellingHighlighter::highlightBlock(const QString &text)
{
    QTextCharFormat misspelt;
    misspelt.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    misspelt.setUnderlineColor(Qt::red);
    for (const Spelling::Word &word : SpellingBoxes::misspelt(*m_service, language(), text))
        setFormat(static_cast<int>(word.start), static_cast<int>(word.length), misspelt);
}

QMenu *SpellingHighlighter::contextMenu(const QPoint &position)
{
    QMenu *menu = m_box->createStandardContextMenu(position);
    const QTextCursor at = m_box->cursorForPosition(position);
    const QTextBlock block = at.block();
    const QString text = block.text();
    const qsizetype offset = at.positionInBlock();
    for (const Spelling::Word &word : Spelling::words(text)) {
        if (offset < word.start || offset > word.start + word.length)
            continue;
        const int start = block.position() + static_cast<int>(word.start);
        const int end = start + static_cast<int>(word.length);
        const auto replace = [box = m_box, start, end](const QString &suggestion) {
            if (!box)
                return;
            QTextCursor cursor(box->document());
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.insertText(suggestion);
        };
        SpellingBoxes::addWordActions(menu, menu->actions().isEmpty() ? nullptr : menu->actions().constFirst(),
                                      *m_service, language(), text.sliced(word.start, word.length), replace,
                                      [this](const QString &message) { Q_EMIT failed(message); });
        break;
    }
    SpellingBoxes::addFileWordsAction(menu, *m_service, m_language, [this](const QString &message) { Q_EMIT failed(message); });
    SpellingBoxes::addLanguageMenu(menu, m_language, [this](const QString &chosen) { chooseLanguage(chosen); });
    return menu;
}
