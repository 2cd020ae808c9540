#include "gui/tabs/campaignpage.h"

#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "gui/stretch.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QJsonObject>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableView>

namespace {

// The table as the view shows it: a marked cell on a warm background.
class MarkedCells : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if ((role == Qt::BackgroundRole || role == Qt::ForegroundRole)
            && QIdentityProxyModel::data(index, MissionTable::MarkRole).toBool())
            return role == Qt::BackgroundRole ? QBrush(QColor(255, 214, 102)) : QBrush(Qt::black);
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

CampaignPage::CampaignPage(Prompts &prompts, QWidget *parent)
    : FormPage(prompts, parent)
{
}

void CampaignPage::makeCampaignBox(const Names &names, const QRect &box, const QRect &panel)
{
    m_names = names;
    new Stretcher(this);
    m_panelRect = panel;
    campaignBox = new QCheckBox(tr("Campaign: several missions"), this);
    campaignBox->setObjectName(QLatin1String(names.box));
    campaignBox->setGeometry(box);
    campaignBox->setToolTip(tr("Edit the missions of a campaign in a table, one row per mission"));
    connect(campaignBox, &QCheckBox::toggled, this, &CampaignPage::setCampaign);
}

std::optional<QList<int>> CampaignPage::campaignMissions() const
{
    if (!m_table)
        return std::nullopt;
    return m_table->missions();
}

void CampaignPage::setOtherMissions(const std::optional<QList<int>> &numbers)
{
    m_other = numbers;
    if (m_table)
        m_table->setOtherMissions(numbers);
}

void CampaignPage::load(const StrDocument &file, const QString &)
{
    m_file = {true, file, -1};
    m_unlaid = false;
    readFileRows();
    if (showsTable()) {
        m_showing = true;
        showTable(makeTable(file));
        m_showing = false;
        return;
    }
    showMission(firstEntry(kind() == StrReader::Kind::Missflag), false);
    if (fileRows()->rowCount() > 1)
        campaignBox->setChecked(true);   // a campaign shows in its table
}

void CampaignPage::showDocument(const StrDocument &file)
{
    m_unlaid = false;
    if (m_table) {
        const QModelIndex current = tableView->currentIndex();
        m_showing = true;
        m_table->reload(file);
        m_showing = false;
        if (m_file.opened)
            m_file.document = file;
        readFileRows();
        if (current.isValid() && current.row() < m_table->rowCount())
            tableView->setCurrentIndex(m_shown->index(current.row(), current.column()));
        return;
    }
    if (!m_file.opened)
        return;   // a file composed from the boxes whole: they are what it holds
    const QString number = shownNumber();
    m_file.document = file;
    readFileRows();
    const int entry = entryOfNumber(number);
    showMission(entry >= 0 ? entry : firstEntry(kind() == StrReader::Kind::Missflag), true);
}

void CampaignPage::takeFile(const StrDocument &file)
{
    m_file = {true, file, -1};
    readFileRows();
    showMission(firstEntry(kind() == StrReader::Kind::Missflag), false);
}

std::variant<StrDocument, Error> CampaignPage::apply() const
{
    if (!m_table)
        return formFile();
    if (std::optional<Error> problem = m_table->problem()) {
        problem->message += QLatin1String("\n\n") + tr("Correct the row, then save again. Nothing was written.");
        return *problem;
    }
    return m_table->document();
}

bool CampaignPage::holdsUnlaid() const
{
    return m_unlaid || (!m_table && FormPage::holdsUnlaid());
}

void CampaignPage::markLaid()
{
    FormPage::markLaid();
    m_unlaid = false;
    if (!m_table && m_file.opened)
        rebaseOnDocument();
}

void CampaignPage::rebaseOnDocument()
{
    if (!document())
        return;
    const QString number = MissionTable::rowNumber(typedNumber());
    m_file.document = document()->document().merged(document()->codePage());
    readFileRows();
    const int entry = entryOfNumber(number);
    showMission(entry >= 0 ? entry : firstEntry(kind() == StrReader::Kind::Missflag), true);
}

QStringList CampaignPage::unsavedWork() const
{
    if (!m_table)
        return FormPage::unsavedWork();
    QStringList work;
    if (FormPage::holdsUnlaid())   // boxes typed into before the table showed
        work = FormPage::unsavedWork();
    if (m_unlaid || documentModified())
        work.append(m_names.work);
    return work;
}

bool CampaignPage::keepEdit()
{
    if (!m_file.opened || m_file.entry < 0 || !boxesEdited())
        return true;
    const QString number = shownNumber();
    const std::variant<StrDocument, Error> edited = formFile();
    if (const auto *refusal = std::get_if<Error>(&edited)) {
        m_prompts.tell(refusal->message);
        return false;
    }
    if (!document())
        return false;
    document()->change(std::get<StrDocument>(edited), tr("Edit mission %1").arg(number), this);
    rebaseOnDocument();
    return true;
}

void CampaignPage::setCampaign(bool on)
{
    if (on == showsTable())
        return;
    if (!on) {
        if (!leaveTable()) {
            const QSignalBlocker blocker(campaignBox);
            campaignBox->setChecked(true);
        }
        return;
    }
    if (!keepEdit()) {
        const QSignalBlocker blocker(campaignBox);
        campaignBox->setChecked(false);
        return;
    }
    showTable(makeTable(m_file.opened ? m_file.document : newCampaign()));
    if (tableView)
        tableView->setFocus();
}

bool CampaignPage::leaveTable()
{
    if (!m_file.opened && m_table->rowCount() == 0 && !m_unlaid) {   // nothing made: the boxes as they were
        hideTable();
        return true;
    }
    if (const std::optional<Error> problem = m_table->problem()) {
        m_prompts.tell(problem->message + QLatin1String("\n\n") + tr("Correct the row first; the table stays."));
        return false;
    }
    const StrDocument file = m_table->document();
    hideTable();
    takeFile(document() ? document()->document().merged(document()->codePage()) : file);
    return true;
}

void CampaignPage::storeTable()
{
    if (m_showing)
        return;
    m_unlaid = !store(tr("Edit the missions in the table"));
}
void CampaignPage::showTable(std::unique_ptr<MissionTable> table)
{
    delete m_panel;
    if (!m_table) {
        m_hidden.clear();
        for (QWidget *control : formControls()) {
            if (!control->isHidden()) {
                m_hidden.append(control);
                control->hide();
            }
        }
    }
    m_table = std::move(table);
    m_table->setOtherMissions(m_other);
    connect(m_table.get(), &MissionTable::edited, this, [this] {
        tableEdited();
        storeTable();
        Q_EMIT changed();
    });
    connect(m_table.get(), &MissionTable::missionsChanged, this, &CampaignPage::missionsChanged);

    m_panel = new QWidget(this);
    m_panel->setObjectName(QLatin1String(m_names.panel));
    m_panel->setGeometry(m_panelRect);
    Stretcher::of(this)->add(m_panel, Stretches::Grow);   // the table grows with the window
    auto *grid = new QGridLayout(m_panel);
    grid->setContentsMargins(0, 0, 0, 0);
    tableView = new QTableView(m_panel);
    tableView->setObjectName(QLatin1String(m_names.table));
    tableView->setAccessibleName(m_names.tableName);
    m_shown = new MarkedCells(m_panel);
    m_shown->setSourceModel(m_table.get());
    tableView->setModel(m_shown);
    tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                               | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    tableView->setTabKeyNavigation(false);   // Tab leaves the table, as it leaves every control
    tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->verticalHeader()->setDefaultSectionSize(tableView->fontMetrics().height() + 6);
    addButton = new QPushButton(tr("Add mission"), m_panel);
    addButton->setObjectName(QLatin1String(m_names.add));
    addButton->setToolTip(tr("Adds a row with the next number (Insert)"));
    deleteButton = new QPushButton(tr("Delete mission"), m_panel);
    deleteButton->setObjectName(QLatin1String(m_names.remove));
    deleteButton->setToolTip(tr("Deletes the selected row (Delete)"));
    for (QPushButton *button : {addButton, deleteButton})
        button->setAutoDefault(true);
    connect(addButton, &QPushButton::clicked, this, &CampaignPage::addRow);
    connect(deleteButton, &QPushButton::clicked, this, &CampaignPage::deleteRow);
    // Only while the table has the focus, and never while a cell is edited
    // (its box takes Delete for itself).
    auto *insertKey = new QShortcut(QKeySequence(Qt::Key_Insert), tableView, nullptr, nullptr,
                                    Qt::WidgetWithChildrenShortcut);
    connect(insertKey, &QShortcut::activated, this, &CampaignPage::addRow);
    auto *deleteKey = new QShortcut(QKeySequence(Qt::Key_Delete), tableView, nullptr, nullptr,
                                    Qt::WidgetWithChildrenShortcut);
    connect(deleteKey, &QShortcut::activated, this, &CampaignPage::deleteRow);
    grid->addWidget(tableView, 0, 0, 3, 1);
    grid->addWidget(addButton, 0, 1);
    grid->addWidget(deleteButton, 1, 1);
    grid->setRowStretch(2, 1);
    addPanelControls(grid, 3);
    m_panel->show();
    if (m_table->rowCount() > 0)
        tableView->setCurrentIndex(m_shown->index(0, 0));

    const QSignalBlocker blocker(campaignBox);
    campaignBox->setChecked(true);
    tableEdited();
    Q_EMIT missionsChanged();
    Q_EMIT changed();
}

void CampaignPage::hideTable()
{
    delete m_panel;
    tableView = nullptr;
    addButton = deleteButton = nullptr;
    m_shown = nullptr;
    m_table.reset();
    for (QWidget *control : std::as_const(m_hidden))
        control->show();
    m_hidden.clear();
    const QSignalBlocker blocker(campaignBox);
    campaignBox->setChecked(false);
    Q_EMIT missionsChanged();
    Q_EMIT changed();
}

void CampaignPage::addRow()
{
    const int row = m_table->addRow(m_table->nextNumber(firstNumber()));
    const QModelIndex number = m_shown->index(row, MissionTable::NumberColumn);
    tableView->setCurrentIndex(number);
    tableView->edit(number);   // the number, selected: typing replaces it
}

void CampaignPage::deleteRow()
{
    const QModelIndex current = tableView->currentIndex();
    if (!current.isValid())
        return;
    if (m_table->isReadOnly(current.row())) {
        m_prompts.tell(tr("Row %1 is kept as it stands: its mission number is not a whole number from 1 to %2.")
                           .arg(current.row() + 1)
                           .arg(MissionTable::HighestNumber));
        return;
    }
    m_table->removeRows(current.row(), 1);
    const int row = std::min(current.row(), m_table->rowCount() - 1);
    if (row >= 0)
        tableView->setCurrentIndex(m_shown->index(row, current.column()));
}

QVariantMap CampaignPage::draft() const
{
    QVariantMap draft = FormPage::draft();
    m_file.addToDraft(draft);
    if (m_table)
        draft.insert(QStringLiteral("campaign"),
                     QVariantMap{{QStringLiteral("base"), m_table->base().toDraft()},
                                 {QStringLiteral("rows"), m_table->state()},
                                 {QStringLiteral("opened"), m_file.opened}});
    return draft;
}

void CampaignPage::restore(const QJsonObject &draft)
{
    m_file.restore(draft, [this](const StrDocument &document) {
        const std::unique_ptr<MissionTable> rows = makeTable(document);
        QList<int> entries;
        for (int row = 0; row < rows->rowCount(); ++row)
            entries.append(rows->entryOf(row, 0));
        return entries;
    });
    readFileRows();
    if (m_file.entry >= 0)
        showMission(m_file.entry, false);
    showChoices();
    FormPage::restore(draft);
    m_unlaid = false;
    const QJsonObject campaign = draft.value(QStringLiteral("campaign")).toObject();
    const std::optional<StrDocument> base = StrDocument::fromDraft(campaign.value(QStringLiteral("base")).toObject());
    std::unique_ptr<MissionTable> table = base ? makeTable(*base) : nullptr;
    m_showing = true;
    if (!table || !table->restoreState(campaign.value(QStringLiteral("rows")).toObject())) {
        if (m_table)
            hideTable();
    } else {
        showTable(std::move(table));
        m_unlaid = true;   // until laid into its file
    }
    m_showing = false;
}

void CampaignPage::readFileRows()
{
    if (m_file.opened)
        m_fileRows = makeTable(m_file.document);
    else
        m_fileRows.reset();
}

int CampaignPage::shownRow() const
{
    return m_fileRows ? m_fileRows->rowOf(m_file.entry) : -1;
}

int CampaignPage::firstEntry(bool last) const
{
    int found = -1;
    for (int row = 0; m_fileRows && row < m_fileRows->rowCount(); ++row) {
        const int entry = m_fileRows->entryOf(row, 0);
        if (entry >= 0 && (found < 0 || (last ? entry > found : entry < found)))
            found = entry;
    }
    return found;
}

int CampaignPage::entryOfNumber(const QString &number) const
{
    for (int row = 0; m_fileRows && row < m_fileRows->rowCount(); ++row) {
        if (m_fileRows->data(m_fileRows->index(row, MissionTable::NumberColumn)).toString() == number)
            return m_fileRows->entryOf(row, 0);
    }
    return -1;
}

int CampaignPage::entryOfKey(const QString &key) const
{
    for (int row = 0; m_fileRows && row < m_fileRows->rowCount(); ++row) {
        const int entry = m_fileRows->entryOf(row, 0);
        if (entry >= 0 && m_file.document.key(entry).compare(key, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return -1;
}

void CampaignPage::showChoices()
{
    QComboBox *choice = choiceBox();
    QList<int> entries;
    for (int row = 0; m_fileRows && row < m_fileRows->rowCount(); ++row) {
        if (const int entry = m_fileRows->entryOf(row, 0); entry >= 0)
            entries.append(entry);
    }
    std::sort(entries.begin(), entries.end());
    choice->clear();
    for (const int entry : std::as_const(entries))
        choice->addItem(m_file.document.key(entry), entry);
    choice->setCurrentIndex(choice->findData(m_file.entry));
    choice->setVisible(entries.size() > 1);
}

std::variant<StrDocument, Error> CampaignPage::editedRow(const RowEdit &edit) const
{
    // On a model of its own: a refused edit leaves the rows shown as they were.
    const std::unique_ptr<MissionTable> rows = makeTable(m_file.document);
    const int shown = rows->rowOf(m_file.entry);
    const int row = edit(*rows, shown);
    if (row < -1) {
        return Error{Error::Kind::Refused,
                     tr("The mission number \u201C%1\u201D is not a whole number from 1 to %2, so the mission is kept "
                        "as it stands and cannot be edited here.")
                         .arg(rows->data(rows->index(shown, MissionTable::NumberColumn)).toString())
                         .arg(MissionTable::HighestNumber),
                     {}, {}};
    }
    if (std::optional<Error> problem = rows->problem())
        return *problem;
    return rows->document();
}
