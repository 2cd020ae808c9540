#include "gui/tabs/editorpage.h"

#include "core/document/codepages.h"
#include "core/mission/workspace.h"
#include "gui/widgets.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>

EditorPage::EditorPage(Prompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
{
}

EditorPage::~EditorPage()
{
    if (m_document)
        m_document->disconnect(this);
}

StrDocument EditorPage::newFile() const
{
    return StrDocument::fromTemplate(Kinds::descriptor(kind()).newFileText);
}

void EditorPage::setDocument(WorkspaceDocument *document, Taking taking)
{
    if (m_document)
        m_document->disconnect(this);
    m_document = document;
    if (!document)
        return;
    connect(document, &WorkspaceDocument::changed, this, &EditorPage::documentChanged);
    connect(document, &WorkspaceDocument::modifiedChanged, this, &EditorPage::changed);
    const StrDocument shown = document->document().merged(document->codePage());
    if (taking == Taking::Opened)
        load(shown, document->path());
    else if (taking == Taking::Shown)
        showDocument(shown);
    Q_EMIT changed();
}

void EditorPage::documentChanged(const QObject *origin)
{
    if (origin == this || !m_document)
        return;   // the page's own change: it shows it already
    showDocument(m_document->document().merged(m_document->codePage()));
    Q_EMIT changed();
}

bool EditorPage::store(const QString &label)
{
    return m_document && store(apply(), label);
}

bool EditorPage::store(const std::variant<StrDocument, Error> &laid, const QString &label)
{
    if (!m_document || std::holds_alternative<Error>(laid))
        return false;
    m_document->change(std::get<StrDocument>(laid), label, this);
    Q_EMIT changed();
    return true;
}

bool EditorPage::laysOver(const StrDocument &base) const
{
    // Shown again after any change of another view: then its bytes are the base's no more.
    const QByteArray &bytes = m_document ? m_document->document().bytes() : QByteArray();
    return m_document && bytes.size() == base.bytes().size() && bytes.constData() == base.bytes().constData();
}

int EditorPage::codePage() const
{
    return m_document ? m_document->codePage() : CodePages::defaultCodePage();
}

bool EditorPage::documentModified() const
{
    return m_document && m_document->isModified();
}

void EditorPage::emitChangesOfBoxes()
{
    for (QLineEdit *box : findChildren<QLineEdit *>())
        connect(box, &QLineEdit::textChanged, this, &EditorPage::changed);
    for (QPlainTextEdit *box : findChildren<QPlainTextEdit *>())
        connect(box, &QPlainTextEdit::textChanged, this, &EditorPage::changed);
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::clicked, this, &EditorPage::changed);
}

QVariantMap EditorPage::boxTexts(const QStringList &names) const
{
    QVariantMap texts;
    for (const QString &name : names) {
        if (const auto *line = findChild<QLineEdit *>(name))
            texts.insert(name, line->text());
        else if (const auto *area = findChild<QPlainTextEdit *>(name))
            texts.insert(name, Widgets::storedText(area));
    }
    return texts;
}

void EditorPage::restoreBoxTexts(const QJsonObject &draft, const QStringList &names)
{
    for (const QString &name : names) {
        const QString text = draft.value(name).toString();
        if (auto *line = findChild<QLineEdit *>(name))
            line->setText(text);
        else if (auto *area = findChild<QPlainTextEdit *>(name))
            Widgets::showStoredText(area, text);
    }
}
