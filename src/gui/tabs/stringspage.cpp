#include "gui/tabs/stringspage.h"

#include "gui/stretch.h"
#include "gui/twips.h"
#include "gui/widgets.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

using namespace Widgets;

StringsPage::StringsPage(Prompts &prompts, QWidget *parent)
    : EditorPage(prompts, parent)
{
    setObjectName(QStringLiteral("stringsTab"));
    stringsFile = label("stringsFile", QString(), Twips::onPage(120, 480, 10695, 255), this);
    stringsTable = make<QTableView>("stringsTable", Twips::onPage(120, 780, 10695, 4620), this);
    stringsTable->setModel(&m_model);
    stringsTable->horizontalHeader()->setStretchLastSection(true);
    stringsTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    stringsTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                  | QAbstractItemView::AnyKeyPressed);
    stringsTable->setAccessibleName(tr("The entries of the string table"));
    stringsSave = button("stringsSave", tr("Save"), Twips::onPage(120, 5520, 1575, 495), this);
    stringsClose = button("stringsClose", tr("Close table"), Twips::onPage(1920, 5520, 1815, 495), this);
    auto *stretch = new Stretcher(this);
    stretch->add(stringsFile, Stretches::GrowWide);
    stretch->add(stringsTable, Stretches::Grow);
    stretch->add(stringsSave, Stretches::KeepBelow);
    stretch->add(stringsClose, Stretches::KeepBelow);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &cell) {
        store(tr("Edit %1").arg(m_model.index(cell.row(), StringTableModel::KeyColumn).data().toString()));
    });
    connect(stringsSave, &QPushButton::clicked, this, &EditorPage::saveRequested);
    connect(stringsClose, &QPushButton::clicked, this, &StringsPage::closeRequested);
}

void StringsPage::load(const StrDocument &file, const QString &path)
{
    m_path = path;
    m_model.setDocument(file);
    stringsFile->setText(QDir::toNativeSeparators(path));
    stringsTable->resizeColumnToContents(StringTableModel::KeyColumn);
    stringsTable->setCurrentIndex(m_model.index(0, StringTableModel::TextColumn));
}

void StringsPage::showDocument(const StrDocument &file)
{
    const QModelIndex current = stringsTable->currentIndex();
    m_model.setDocument(file);
    stringsTable->setCurrentIndex(m_model.index(current.row(), current.column()));
}

std::variant<QString, Error> StringsPage::proposedName() const
{
    return QFileInfo(m_path).fileName();
}

QStringList StringsPage::unsavedWork() const
{
    if (!documentModified())
        return {};
    return {tr("the texts edited in %1").arg(QFileInfo(m_path).fileName())};
}

QVariantMap StringsPage::draft() const
{
    QJsonObject texts;
    const QHash<int, QString> edited = m_model.editedTexts();
    for (auto it = edited.cbegin(); it != edited.cend(); ++it)
        texts.insert(QString::number(it.key()), it.value());
    return {{QStringLiteral("path"), m_path},
            {QStringLiteral("document"), m_model.opened().toDraft()},
            {QStringLiteral("edited"), texts}};
}

void StringsPage::restore(const QJsonObject &draft)
{
    m_path = draft.value(QStringLiteral("path")).toString();
    m_model.setDocument(StrDocument::fromDraft(draft.value(QStringLiteral("document")).toObject())
                            .value_or(StrDocument()));
    QHash<int, QString> edited;
    const QJsonObject texts = draft.value(QStringLiteral("edited")).toObject();
    for (auto it = texts.begin(); it != texts.end(); ++it)
        edited.insert(it.key().toInt(), it.value().toString());
    m_model.setEditedTexts(edited);
    m_unlaid = true;
    stringsFile->setText(QDir::toNativeSeparators(m_path));
}

void StringsPage::showEntry(int entry)
{
    const QModelIndex text = m_model.index(entry, 1);
    if (!text.isValid())
        return;
    stringsTable->setCurrentIndex(text);
    stringsTable->scrollTo(text);
}
