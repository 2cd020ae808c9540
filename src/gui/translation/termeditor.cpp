#include "gui/translation/termeditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextCursor>

namespace {

QPlainTextEdit *chooser(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setMaximumHeight(box->fontMetrics().lineSpacing() * 3 + 2 * box->frameWidth());
    return box;
}

// The words chosen in the box, else the word under its cursor.
QString chosenWords(const QPlainTextEdit *box)
{
    QTextCursor cursor = box->textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::WordUnderCursor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, u' ').simplified();
}

} // namespace

TermEditor::TermEditor(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("termEditor"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    entrySource = chooser(this, QStringLiteral("entrySource"), tr("The source, to choose a term's words from"));
    entryTranslation = chooser(this, QStringLiteral("entryTranslation"),
                               tr("The translation, to choose a term's rendering from"));
    addTerm = new QPushButton(tr("&Add Term"), this);
    addTerm->setObjectName(QStringLiteral("addTerm"));
    addTerm->setToolTip(tr("The words chosen in the source become a term of the list, rendered as the words "
                           "chosen in the translation"));
    removeTerm = new QPushButton(tr("&Remove Term"), this);
    removeTerm->setObjectName(QStringLiteral("removeTerm"));
    termTable = new QTableWidget(0, 2, this);
    termTable->setObjectName(QStringLiteral("termTable"));
    termTable->setHorizontalHeaderLabels({tr("Term"), tr("Rendering")});
    termTable->horizontalHeader()->setStretchLastSection(true);
    termTable->verticalHeader()->hide();
    termTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    termTable->setSelectionMode(QAbstractItemView::SingleSelection);
    termTable->setAccessibleName(tr("The term list"));
    layout->addWidget(new QLabel(tr("Source:"), this), 0, 0);
    layout->addWidget(entrySource, 0, 1);
    layout->addWidget(new QLabel(tr("Translation:"), this), 1, 0);
    layout->addWidget(entryTranslation, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(addTerm);
    buttons->addWidget(removeTerm);
    buttons->addStretch();
    layout->addLayout(buttons, 2, 1);
    layout->addWidget(termTable, 3, 0, 1, 2);
    connect(addTerm, &QPushButton::clicked, this, [this] { addChosen(); });
    connect(removeTerm, &QPushButton::clicked, this, [this] { removeChosen(); });
    connect(termTable, &QTableWidget::cellChanged, this, &TermEditor::edited);
    setEnabled(false);
}

void TermEditor::setList(const QString &path, const QString &missionRoot, const TermList::Terms &terms)
{
    m_path = path;
    m_root = missionRoot;
    m_terms = terms;
    setEnabled(!path.isEmpty());
    fill();
}

void TermEditor::showEntry(const QString &source, const QString &translation)
{
    entrySource->setPlainText(source);
    entryTranslation->setPlainText(translation);
}

void TermEditor::fill()
{
    m_filling = true;
    termTable->setRowCount(0);
    for (auto it = m_terms.cbegin(); it != m_terms.cend(); ++it) {
        const int row = termTable->rowCount();
        termTable->insertRow(row);
        termTable->setItem(row, 0, new QTableWidgetItem(it.key()));
        termTable->setItem(row, 1, new QTableWidgetItem(it.value()));
    }
    m_filling = false;
}

bool TermEditor::addChosen()
{
    const QString term = chosenWords(entrySource);
    if (m_path.isEmpty() || term.isEmpty())
        return false;
    m_terms.insert(term, chosenWords(entryTranslation));
    fill();
    const QList<QTableWidgetItem *> found = termTable->findItems(term, Qt::MatchExactly);
    if (!found.isEmpty())   // its rendering, to be typed or corrected
        termTable->setCurrentCell(found.constFirst()->row(), 1);
    save();
    return true;
}

bool TermEditor::removeChosen()
{
    const int row = termTable->currentRow();
    if (m_path.isEmpty() || row < 0 || !termTable->item(row, 0))
        return false;
    m_terms.remove(termTable->item(row, 0)->text());
    fill();
    save();
    return true;
}

void TermEditor::edited(int row, int column)
{
    if (m_filling)
        return;
    TermList::Terms terms;
    for (int r = 0; r < termTable->rowCount(); ++r) {
        const QString term = termTable->item(r, 0) ? termTable->item(r, 0)->text().trimmed() : QString();
        if (!term.isEmpty())
            terms.insert(term, termTable->item(r, 1) ? termTable->item(r, 1)->text() : QString());
    }
    Q_UNUSED(row);
    Q_UNUSED(column);
    if (terms == m_terms)
        return;
    m_terms = terms;
    save();
}

void TermEditor::save()
{
    if (const std::optional<Error> error = TermList::save(m_path, m_terms, m_root))
        Q_EMIT failed(error->message);
    Q_EMIT termsChanged();
}
