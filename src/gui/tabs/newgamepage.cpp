#include "gui/tabs/newgamepage.h"

#include "gui/fonts.h"
#include "gui/twips.h"
#include "gui/widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Widgets;

NewgamePage::NewgamePage(Prompts &prompts, QWidget *parent)
    : FormPage(prompts, parent)
{
    setObjectName(QStringLiteral("NewgameTab"));
    const QFont advice = Fonts::named(Fonts::ComicSans, 9.75);

    Label3 = wrappedLabel("Label3",
                          QStringLiteral("Enter your mission title. You can also change the text for difficulty levels."),
                          Twips::onPage(1320, 780, 6855, 375), this);
    Label3->setFont(advice);
    Line1 = rule("Line1", {240, 1260}, {9120, 1260}, 2, this);

    Label1 = label("Label1", QStringLiteral("Mission Title :"), Twips::onPage(360, 1740, 1575, 255), this);
    Mt = lineEdit("Mt", QStringLiteral("The Ring"), Twips::onPage(2160, 1740, 2535, 375), this);
    Label2 = label("Label2", QStringLiteral("Difficulty :"), Twips::onPage(600, 2580, 1215, 255), this);
    diff0 = lineEdit("diff0", QStringLiteral("Easy"), Twips::onPage(2160, 2580, 2535, 375), this);
    diff1 = lineEdit("diff1", QStringLiteral("Hard"), Twips::onPage(2160, 3180, 2535, 375), this);
    diff2 = lineEdit("diff2", QStringLiteral("Expert"), Twips::onPage(2160, 3780, 2535, 375), this);

    // A bracket tying the three difficulty boxes to the advice beside them.
    Line3 = rule("Line3", {4800, 2760}, {5160, 2760}, 1, this);
    Line4 = rule("Line4", {4800, 3360}, {5160, 3360}, 1, this);
    Line5 = rule("Line5", {4800, 3960}, {5160, 3960}, 1, this);
    Line6 = rule("Line6", {5160, 2760}, {5160, 3960}, 1, this);
    Line7 = rule("Line7", {5160, 3360}, {5400, 3360}, 1, this);
    Label4 = wrappedLabel("Label4", QStringLiteral("Best to keep these to 10 chars in length max."),
                          Twips::onPage(5640, 3120, 2295, 675), this);
    Label4->setFont(advice);

    // What a screen reader says for each box: its label, and which level.
    Label1->setBuddy(Mt);
    Label2->setBuddy(diff0);
    diff0->setAccessibleName(QStringLiteral("Difficulty : easiest level"));
    diff1->setAccessibleName(QStringLiteral("Difficulty : middle level"));
    diff2->setAccessibleName(QStringLiteral("Difficulty : hardest level"));
    for (QLineEdit *level : {diff0, diff1, diff2})
        level->setAccessibleDescription(Label4->text());

    Cngame = button("Cngame", QStringLiteral("Create Newgame . str"), Twips::onPage(3120, 5460, 2775, 615), this);
    connect(Cngame, &QPushButton::clicked, this, &NewgamePage::Cngame_Click);
    setBoxes({Mt, diff0, diff1, diff2}, tr("the mission title and difficulty names on the Newgame tab"));
}

void NewgamePage::Cngame_Click()
{
    Q_EMIT saveRequested();
}

std::variant<QString, Error> NewgamePage::proposedName() const
{
    return QString(NewgameFile::FileName);
}

std::variant<StrDocument, Error> NewgamePage::apply() const
{
    return NewgameFile::document(m_file, NewgameFile::texts(m_file), boxTexts());
}

NewgameFile::Texts NewgamePage::boxTexts() const
{
    return {Mt->text(), diff0->text(), diff1->text(), diff2->text()};
}

namespace {

QStringList listed(const NewgameFile::Texts &texts)
{
    return {texts.title, texts.easy, texts.middle, texts.hardest};
}

} // namespace

void NewgamePage::load(const StrDocument &file, const QString &)
{
    m_file = file;
    fill(listed(NewgameFile::texts(m_file)));
}

void NewgamePage::showDocument(const StrDocument &file)
{
    m_file = file;
    follow(listed(NewgameFile::texts(m_file)));
}

QVariantMap NewgamePage::draft() const
{
    QVariantMap draft = FormPage::draft();
    draft.insert(QStringLiteral("document"), m_file.toDraft());
    return draft;
}

void NewgamePage::restore(const QJsonObject &draft)
{
    m_file = StrDocument::fromDraft(draft.value(QStringLiteral("document")).toObject())
                 .value_or(NewgameFile::newDocument());
    FormPage::restore(draft);
}
