#include "gui/tabs/goalspage.h"

#include "gui/fonts.h"
#include "gui/stretch.h"
#include "gui/twips.h"
#include "gui/widgets.h"
#include "core/save/prompts.h"

#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using namespace Widgets;

const QString CounterCaption = QStringLiteral("Goals = ");

} // namespace

GoalsPage::GoalsPage(Prompts &prompts, QWidget *parent)
    : EditorPage(prompts, parent)
{
    setObjectName(QStringLiteral("GoalsTab"));
    const QFont small = Fonts::named(Fonts::ComicSans, 8.25);

    Frame4 = frame("Frame4", QStringLiteral("Fiction"), Twips::onPage(120, 480, 3015, 1815), this);
    Frame4->setFont(small);
    Gfict = textArea("Gfict", Twips::rect(120, 240, 2775, 1485), Frame4, false);
    Gfict->setFont(small);
    Frame5 = frame("Frame5", QStringLiteral("Text"), Twips::onPage(120, 2400, 3015, 1815), this);
    Frame5->setFont(small);
    Gtxt = textArea("Gtxt", Twips::rect(120, 240, 2775, 1455), Frame5, false);
    Gtxt->setFont(small);

    Agoal = button("Agoal", QStringLiteral("Create/Add new Goal"), Twips::onPage(240, 4380, 2655, 375), this);
    Rgoals = button("Rgoals", QStringLiteral("Reset"), Twips::onPage(240, 4980, 855, 375), this);
    Sgoals = button("Sgoals", QStringLiteral("Save"), Twips::onPage(1440, 4980, 1455, 495), this);
    Sgoals->setFont(Fonts::named(Fonts::Carleton, 12));

    Glbl = label("Glbl", CounterCaption, Twips::onPage(4200, 480, 1095, 255), this);
    Edit = button("Edit", QStringLiteral("Edit"), Twips::onPage(7200, 480, 615, 255), this);
    Minus = button("Minus", QStringLiteral("-"), Twips::onPage(8040, 480, 255, 255), this);
    Plus = button("Plus", QStringLiteral("+"), Twips::onPage(8400, 480, 255, 255), this);

    Frame8 = frame("Frame8", QStringLiteral("Goals"), Twips::onPage(4200, 840, 6255, 4935), this);
    Goaltxt = textArea("Goaltxt", Twips::rect(120, 240, 6015, 4575), Frame8, true);
    Goaltxt->setFont(Fonts::named(Fonts::ComicSans, 9.75));
    EGoal = button("EGoal", QStringLiteral("Edit Goal / Cancel"), Twips::onPage(6120, 5880, 2415, 255), this);

    setEditMode(false);

    // A larger window: the list takes two thirds of the growth in width, the
    // two boxes on its left one third and half the height each.
    auto *stretch = new Stretcher(this);
    constexpr double Third = 1.0 / 3;
    stretch->add(Frame4, {0, 0, Third, 0.5});
    stretch->add(Gfict, {0, 0, Third, 0.5});
    stretch->add(Frame5, {0, 0.5, Third, 0.5});
    stretch->add(Gtxt, {0, 0, Third, 0.5});
    for (QWidget *control : {Agoal, Rgoals, Sgoals})
        stretch->add(control, Stretches::KeepBelow);
    for (QWidget *control : {static_cast<QWidget *>(Glbl), static_cast<QWidget *>(Edit),
                             static_cast<QWidget *>(Minus), static_cast<QWidget *>(Plus)})
        stretch->add(control, {Third, 0, 0, 0});
    stretch->add(Frame8, {Third, 0, 2 * Third, 1});
    stretch->add(Goaltxt, {0, 0, 2 * Third, 1});
    stretch->add(EGoal, {2 * Third, 1, 0, 0});   // under the middle of the list

    connect(Agoal, &QPushButton::clicked, this, &GoalsPage::Agoal_Click);
    connect(Rgoals, &QPushButton::clicked, this, &GoalsPage::Rgoals_Click);
    connect(Edit, &QPushButton::clicked, this, &GoalsPage::Edit_Click);
    connect(Minus, &QPushButton::clicked, this, &GoalsPage::Minus_Click);
    connect(Plus, &QPushButton::clicked, this, &GoalsPage::Plus_Click);
    connect(EGoal, &QPushButton::clicked, this, &GoalsPage::EGoal_Click);
    connect(Sgoals, &QPushButton::clicked, this, &GoalsPage::Sgoals_Click);
}

void GoalsPage::Agoal_Click()
{
    if (m_goals.GoalList.isFull()) {
        // What the author typed stays, to be added after a save and a reset.
        m_prompts.show({Prompts::Icon::Information, QStringLiteral("Page Limit."),
                        QStringLiteral(" Sorry 12 goals only!\nSave these goals and press Reset\nto create another.")});
        return;
    }
    m_goals.GoalList.append(GoalsFile::goalEntry(m_goals.document, GoalsFile::nextGoalNumber(m_goals),
                                                 storedText(Gfict), storedText(Gtxt)));
    Glbl->setText(CounterCaption + QString::number(m_goals.GoalCount()));
    showGoalList();
    Gfict->clear();
    Gtxt->clear();
    const QString label = tr("Add goal %1").arg(m_goals.GoalCount());
    if (m_unlaid || !laysOver(m_goals.document))
        m_unlaid = !store(label);
    else   // the list laid already: only the goal added goes in
        m_unlaid = !store(GoalsFile::withLastGoal(m_goals, document()->document(),
                                               codePage()),
                          label);
}

void GoalsPage::Rgoals_Click()
{
    if (m_goals.GoalCount() > 0
        && !m_prompts.ask(Prompts::Icon::None, QStringLiteral("Reset Goals"),
                          QStringLiteral("Are you sure you want to reset the goals?"), Prompts::Button::Yes))
        return;
    // The list box and the counter keep showing the old list until the next add.
    m_goals.GoalList.reset();
    m_goals.document = newFile();
    m_goals.opened = false;
    m_unlaid = false;
    Gfict->clear();
    Gtxt->clear();
    Q_EMIT startedAnew();
}

void GoalsPage::Edit_Click()
{
    setEditMode(true);
    showStoredText(Goaltxt, m_goals.GoalList.at(m_goals.GoalEditPos()));
}

void GoalsPage::Minus_Click()
{
    showStoredText(Goaltxt, m_goals.GoalList.step(-1));
}

void GoalsPage::Plus_Click()
{
    showStoredText(Goaltxt, m_goals.GoalList.step(+1));
}

void GoalsPage::EGoal_Click()
{
    // Stored whether changed or not: unchanged, the button serves as Cancel.
    const int slot = m_goals.GoalEditPos();
    const bool changed = slot < m_goals.GoalCount() && m_goals.GoalList.at(slot) != storedText(Goaltxt);
    m_goals.GoalList.store(slot, storedText(Goaltxt));
    setEditMode(false);
    showGoalList();
    if (changed)   // a slot beyond the list is no part of the file
        m_unlaid = !store(tr("Rewrite goal %1").arg(slot + 1));
}

void GoalsPage::Sgoals_Click()
{
    Q_EMIT saveRequested();
}

std::variant<QString, Error> GoalsPage::proposedName() const
{
    return QString(GoalsFile::SuggestedName);
}

std::variant<StrDocument, Error> GoalsPage::apply() const
{
    return GoalsFile::document(m_goals, codePage());
}

QStringList GoalsPage::unsavedWork() const
{
    QStringList work;
    if (documentModified() || m_unlaid)
        work.append(tr("the goals"));
    if (const QString typed = unstoredWork(); !typed.isEmpty())
        work.append(typed);
    return work;
}

QString GoalsPage::unstoredWork() const
{
    if (isEditing()) {
        if (storedText(Goaltxt) != m_goals.GoalList.at(m_goals.GoalEditPos()))
            return tr("the goal being edited, not yet stored with \"Edit Goal / Cancel\"");
    } else if (!Gfict->document()->isEmpty() || !Gtxt->document()->isEmpty()) {
        return tr("the goal typed but not yet added with \"Create/Add new Goal\"");
    }
    return {};
}

QWidget *GoalsPage::unstoredBox() const
{
    if (unstoredWork().isEmpty())
        return nullptr;
    if (isEditing())
        return Goaltxt;
    return Gfict->document()->isEmpty() ? Gtxt : Gfict;
}

void GoalsPage::load(const StrDocument &file, const QString &)
{
    GoalsFile::load(m_goals, file);
    m_unlaid = false;
    Glbl->setText(CounterCaption + QString::number(m_goals.GoalCount()));
    Gfict->clear();
    Gtxt->clear();
    setEditMode(false);
    showGoalList();
}

void GoalsPage::showDocument(const StrDocument &file)
{
    GoalsFile::show(m_goals, file);
    m_unlaid = false;
    Glbl->setText(CounterCaption + QString::number(m_goals.GoalCount()));
    if (!isEditing())   // the goal being edited keeps what is typed there
        showGoalList();
}

bool GoalsPage::isEditing() const
{
    return EGoal->isEnabled();
}

void GoalsPage::setEditMode(bool editing)
{
    for (QPushButton *listButton : {Sgoals, Edit, Agoal, Rgoals})
        listButton->setEnabled(!editing);
    for (QPushButton *editButton : {Minus, Plus, EGoal})
        editButton->setEnabled(editing);
}

void GoalsPage::showGoalList()
{
    showStoredText(Goaltxt, m_goals.GoalList.listText());
}

QVariantMap GoalsPage::draft() const
{
    QVariantMap draft = boxTexts({QStringLiteral("Gfict"), QStringLiteral("Gtxt"), QStringLiteral("Goaltxt")});
    m_editor.draft(draft, isEditing());
    draft.insert(QStringLiteral("Glbl"), Glbl->text());
    return draft;
}

void GoalsPage::restore(const QJsonObject &draft)
{
    m_editor.restoreSlots(draft);
    restoreBoxTexts(draft, {QStringLiteral("Gfict"), QStringLiteral("Gtxt"), QStringLiteral("Goaltxt")});
    setEditMode(draft.value(QStringLiteral("editing")).toBool());
    Glbl->setText(draft.value(QStringLiteral("Glbl")).toString(CounterCaption));
    m_editor.restoreFile(draft);
    m_unlaid = true;   // until laid into its file
}

void GoalsPage::showEntry(int entry)
{
    if (isEditing())
        return;   // the box shows the slot being edited
    m_editor.showEntry(Goaltxt, entry);
}
