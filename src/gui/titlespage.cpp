#include "gui/titlespage.h"

#include "gui/twips.h"
#include "gui/widgets.h"
#include "core/prompts.h"
#include "core/saveflow.h"
#include "core/titlesfile.h"
#include "core/titlestable.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Widgets;

TitlesPage::TitlesPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent)
    : CampaignPage(prompts, saveFlow, parent)
{
    setObjectName(QStringLiteral("TitlesTab"));
    Mn2lbl = label("Mn2lbl", QStringLiteral("Mission No."), Twips::onPage(1560, 1860, 1335, 255), this);
    Mn2 = lineEdit("Mn2", QString(), Twips::onPage(3600, 1860, 735, 375), this);
    Label5 = wrappedLabel("Label5", QStringLiteral("Please ensure this is the same Number and Title as your mission!"),
                          Twips::onPage(4920, 1860, 3735, 495), this);
    Mt2lbl = label("Mt2lbl", QStringLiteral("Mission Title"), Twips::onPage(1560, 2940, 1455, 255), this);
    Mt2 = lineEdit("Mt2", QString(), Twips::onPage(3600, 2940, 2535, 375), this);
    Mn2lbl->setBuddy(Mn2);
    Mt2lbl->setBuddy(Mt2);
    Mn2->setAccessibleDescription(Label5->text());
    Titles = button("Titles", QStringLiteral("Create Titles . str"), Twips::onPage(3480, 4620, 2655, 735), this);
    connect(Titles, &QPushButton::clicked, this, &TitlesPage::Titles_Click);
    titleChoice = make<QComboBox>("titleChoice", Twips::onPage(3600, 1380, 2535, 375), this);
    titleChoice->setAccessibleName(tr("Mission to edit"));
    titleChoice->hide();
    connect(titleChoice, &QComboBox::activated, this, [this](int index) {
        if (!keepEdit()) {
            showChoices();
            return;
        }
        showMission(titleChoice->itemData(index).toInt());
    });
    setBoxes({Mn2, Mt2}, tr("the mission number and title on the Titles tab"));
    makeCampaignBox({"titlesCampaign", "titlePanel", "titleTable", "addTitle", "deleteTitle",
                     tr("Missions and their titles"), tr("the missions in the table on the Titles tab")},
                    Twips::onPage(1560, 840, 4200, 300), Twips::onPage(120, 1260, 10740, 3270));
}

void TitlesPage::Titles_Click()
{
    if (showsTable()) {
        saveCampaign(TitlesFile::FileName);
        return;
    }
    // Only a box with no character at all counts as empty; blanks are written.
    if (Mn2->text().isEmpty()) {
        m_prompts.tell(QStringLiteral("You forgot the Mission No.!"));
        return;
    }
    if (Mt2->text().isEmpty()) {
        m_prompts.tell(QStringLiteral("You forgot the Mission Title!"));
        return;
    }
    if (!m_opened || m_entry < 0) {
        if (m_saveFlow.save(TitlesFile::FileName, TitlesFile::content(Mn2->text(), Mt2->text())))
            markSaved();
        return;
    }
    const TitlesFile::Mission now{Mn2->text(), Mt2->text()};
    const StrDocument file = TitlesFile::document(m_document, m_entry, m_shown, now);
    if (!m_saveFlow.save(TitlesFile::FileName, file))
        return;
    if (std::optional<StrDocument> written = file.written(m_saveFlow.codePage())) {
        m_document = std::move(*written);
        m_shown = now;
    }
    m_otherEdits = false;
    showChoices();
    markSaved();
}

void TitlesPage::load(const StrReader::Result &file, const QString &)
{
    m_opened = true;
    m_document = file.document;
    m_otherEdits = false;
    if (showsTable()) {
        loadCampaign(m_document);
        return;
    }
    const QList<int> missions = TitlesFile::missions(m_document);
    showMission(missions.isEmpty() ? -1 : missions.constFirst());
}

void TitlesPage::showMission(int entry)
{
    m_entry = entry;
    m_shown = entry >= 0 ? TitlesFile::mission(m_document, entry) : TitlesFile::Mission{};
    fill({m_shown.number, m_shown.title});
    showChoices();
}

void TitlesPage::showChoices()
{
    const QList<int> missions = m_opened ? TitlesFile::missions(m_document) : QList<int>();
    titleChoice->clear();
    for (const int entry : missions)
        titleChoice->addItem(m_document.key(entry), entry);
    titleChoice->setCurrentIndex(titleChoice->findData(m_entry));
    titleChoice->setVisible(missions.size() > 1);
}

bool TitlesPage::keepEdit()
{
    const TitlesFile::Mission now{Mn2->text(), Mt2->text()};
    if (m_entry < 0 || (now.number == m_shown.number && now.title == m_shown.title))
        return true;
    const StrDocument file = TitlesFile::document(m_document, m_entry, m_shown, now);
    if (m_saveFlow.refuse(file.authorTexts()))
        return false;
    std::optional<StrDocument> written = file.written(m_saveFlow.codePage());
    if (!written)
        return false;
    m_document = std::move(*written);
    m_otherEdits = true;
    return true;
}

QStringList TitlesPage::unsavedWork() const
{
    if (showsTable())
        return FormPage::unsavedWork() + campaignWork();
    QStringList work = FormPage::unsavedWork();
    if (m_otherEdits && work.isEmpty())
        work.append(tr("the titles edited on the Titles tab"));
    return work;
}

QJsonObject TitlesPage::draft() const
{
    QJsonObject draft = FormPage::draft();
    if (m_opened) {
        draft.insert(QStringLiteral("document"), m_document.toDraft());
        draft.insert(QStringLiteral("entry"), m_entry);
        draft.insert(QStringLiteral("otherEdits"), m_otherEdits);
    }
    draftCampaign(draft);
    return draft;
}

void TitlesPage::restore(const QJsonObject &draft)
{
    const std::optional<StrDocument> document =
        StrDocument::fromDraft(draft.value(QStringLiteral("document")).toObject());
    m_opened = document.has_value();
    m_document = document.value_or(StrDocument());
    const int entry = draft.value(QStringLiteral("entry")).toInt(-1);
    m_entry = TitlesFile::missions(m_document).contains(entry) ? entry : -1;
    if (m_entry >= 0)
        m_shown = TitlesFile::mission(m_document, m_entry);
    m_otherEdits = m_opened && draft.value(QStringLiteral("otherEdits")).toBool();
    showChoices();
    FormPage::restore(draft);
    restoreCampaign(draft);
}

std::unique_ptr<MissionTable> TitlesPage::makeTable(StrDocument document) const
{
    return std::make_unique<TitlesTable>(std::move(document));
}

StrDocument TitlesPage::newCampaign() const
{
    return StrDocument(QByteArray(), StrDocument::Encoding{});
}

bool TitlesPage::openedDocument(std::optional<StrDocument> *document, bool *unsaved)
{
    if (!m_opened)
        return true;
    if (!keepEdit())
        return false;
    if (m_entry >= 0)
        showMission(m_entry);   // the boxes as the document now has them
    *document = m_document;
    *unsaved = m_otherEdits;
    return true;
}

void TitlesPage::editInBoxes(const StrDocument &document, bool unsaved)
{
    m_opened = true;
    m_document = document;
    m_otherEdits = unsaved;
    const QList<int> missions = TitlesFile::missions(m_document);
    showMission(missions.isEmpty() ? -1 : missions.constFirst());
}

QList<QWidget *> TitlesPage::formControls() const
{
    return {Mn2lbl, Mn2, Label5, Mt2lbl, Mt2, titleChoice};
}

int TitlesPage::firstNumber() const
{
    return MissionTable::wholeNumber(Mn2->text()).value_or(1);
}
