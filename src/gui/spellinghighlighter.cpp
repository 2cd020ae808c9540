#include "gui/spellinghighlighter.h"

#include "core/mission/spelling.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCharFormat>

namespace {

constexpr int MaxSuggestions = 6;

} // namespace

SpellingHighlighter::SpellingHighlighter(QPlainTextEdit *box, Spelling::Service *service,
                                         std::function<QString()> language)
    : QSyntaxHighlighter(box->document())
    , m_box(box)
    , m_service(service)
    , m_language(std::move(language))
{
    connect(service, &Spelling::Service::wordsChanged, this, [this](const QString &changed) {
        if (changed == m_language())
            rehighlight();
    });
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        QMenu *menu = contextMenu(position);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_box->viewport()->mapToGlobal(position));
    });
}

void SpellingHighlighter::highlightBlock(const QString &text)
{
    const QString language = m_language();
    if (!m_service->isReady(language)) {
        m_service->request(language);
        return;
    }
    QTextCharFormat misspelt;
    misspelt.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    misspelt.setUnderlineColor(Qt::red);
    for (const Spelling::Word &word : Spelling::words(text)) {
        if (!m_service->isKnown(language, text.sliced(word.start, word.length)))
            setFormat(static_cast<int>(word.start), static_cast<int>(word.length), misspelt);
    }
}

QMenu *SpellingHighlighter::contextMenu(const QPoint &position)
{
    QMenu *menu = m_box->createStandardContextMenu(position);
    const QTextCursor at = m_box->cursorForPosition(position);
    const QTextBlock block = at.block();
    const QString text = block.text();
    const qsizetype offset = at.positionInBlock();
    const QString language = m_language();
    for (const Spelling::Word &word : Spelling::words(text)) {
        if (offset < word.start || offset > word.start + word.length)
            continue;
        const QString misspelt = text.sliced(word.start, word.length);
        if (m_service->isKnown(language, misspelt))
            break;
        const int start = block.position() + static_cast<int>(word.start);
        const int end = start + static_cast<int>(word.length);
        QAction *first = menu->actions().isEmpty() ? nullptr : menu->actions().constFirst();
        QList<QAction *> added;
        const QStringList suggestions = m_service->suggestions(language, misspelt).mid(0, MaxSuggestions);
        for (const QString &suggestion : suggestions) {
            auto *action = new QAction(suggestion, menu);
            connect(action, &QAction::triggered, this, [box = m_box, start, end, suggestion] {
                if (!box)
                    return;
                QTextCursor cursor(box->document());
                cursor.setPosition(start);
                cursor.setPosition(end, QTextCursor::KeepAnchor);
                cursor.insertText(suggestion);
            });
            added.append(action);
        }
        if (suggestions.isEmpty()) {
            auto *none = new QAction(tr("(no suggestions)"), menu);
            none->setEnabled(false);
            added.append(none);
        }
        auto *ignore = new QAction(tr("Ignore"), menu);
        ignore->setObjectName(QStringLiteral("spellingIgnore"));
        connect(ignore, &QAction::triggered, this, [this, language, misspelt] { m_service->ignore(language, misspelt); });
        auto *add = new QAction(tr("Add to the mission's dictionary"), menu);
        add->setObjectName(QStringLiteral("spellingAdd"));
        add->setEnabled(!m_service->missionFolder().isEmpty());
        connect(add, &QAction::triggered, this, [this, language, misspelt] {
            Error error;
            if (!m_service->addToMission(language, misspelt, &error))
                Q_EMIT failed(tr("\"%1\" could not be added to the mission's dictionary: %2").arg(misspelt, error.message));
        });
        added << ignore << add;
        menu->insertActions(first, added);
        if (first)
            menu->insertSeparator(first);
        break;
    }
    return menu;
}
