#include "gui/missionpanel.h"

#include "core/codepages.h"
#include "core/mission/missionsettings.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Draws a result's line with the match marked.
class MatchDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const qsizetype length = index.data(MissionResultsModel::MatchLengthRole).toLongLong();
        if (index.column() != MissionResultsModel::TextColumn || length <= 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        item.widget->style()->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        const qsizetype start = index.data(MissionResultsModel::MatchStartRole).toLongLong();
        QTextDocument document;
        document.setDefaultFont(item.font);
        document.setDocumentMargin(0);
        document.setHtml(text.first(start).toHtmlEscaped() + QLatin1String("<b><u>")
                         + text.sliced(start, length).toHtmlEscaped() + QLatin1String("</u></b>")
                         + text.sliced(start + length).toHtmlEscaped());
        painter->save();
        painter->translate(item.rect.topLeft() + QPoint(3, (item.rect.height() - int(document.size().height())) / 2));
        painter->setClipRect(QRect(QPoint(0, 0), item.rect.size()));
        document.drawContents(painter);
        painter->restore();
    }
};

} // namespace

MissionPanel::MissionPanel(QWidget *parent)
    : QDockWidget(tr("Mission"), parent)
{
    setObjectName(QStringLiteral("missionPanel"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    missionFolderName = new QLabel(body);
    missionFolderName->setObjectName(QStringLiteral("missionFolderName"));
    missionFolderName->setWordWrap(true);
    layout->addWidget(missionFolderName);
    auto *codePageRow = new QHBoxLayout;
    const auto codePageBox = [body](const char *name, const QString &accessibleName) {
        auto *box = new QComboBox(body);
        box->setObjectName(QLatin1String(name));
        box->setAccessibleName(accessibleName);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        return box;
    };
    missionCodePage = codePageBox("missionCodePage", tr("The code page of the mission"));
    codePageLanguage = codePageBox("codePageLanguage", tr("A language folder of the mission"));
    languageCodePage = codePageBox("languageCodePage", tr("The code page of the language folder"));
    codePageRow->addWidget(missionCodePage, 1);
    codePageRow->addWidget(codePageLanguage);
    codePageRow->addWidget(languageCodePage, 1);
    layout->addLayout(codePageRow);
    connect(missionCodePage, &QComboBox::activated, this,
            [this] { setMissionCodePage(missionCodePage->currentData().toInt()); });
    connect(codePageLanguage, &QComboBox::currentIndexChanged, this, &MissionPanel::showCodePages);
    connect(languageCodePage, &QComboBox::activated, this, [this] {
        setLanguageCodePage(codePageLanguage->currentData().toString(), languageCodePage->currentData().toInt());
    });
    folderProgress = new QProgressBar(body);
    folderProgress->setObjectName(QStringLiteral("folderProgress"));
    folderProgress->hide();
    layout->addWidget(folderProgress);

    missionTree = new QTreeView(body);
    missionTree->setObjectName(QStringLiteral("missionTree"));
    missionTree->setModel(&m_tree);
    missionTree->setAccessibleName(tr("The files of the mission"));
    missionTree->header()->setSectionResizeMode(MissionTreeModel::NameColumn, QHeaderView::Stretch);
    missionTree->header()->setStretchLastSection(false);
    layout->addWidget(missionTree, 3);

    auto *findRow = new QHBoxLayout;
    findText = new QLineEdit(body);
    findText->setObjectName(QStringLiteral("findText"));
    findText->setPlaceholderText(tr("Find in the mission"));
    findText->setAccessibleName(tr("Find in the mission"));
    findButton = new QPushButton(tr("Find"), body);
    findButton->setObjectName(QStringLiteral("findButton"));
    findRow->addWidget(findText, 1);
    findRow->addWidget(findButton);
    layout->addLayout(findRow);
    auto *options = new QHBoxLayout;
    findWholeWords = new QCheckBox(tr("Whole words"), body);
    findWholeWords->setObjectName(QStringLiteral("findWholeWords"));
    findCase = new QCheckBox(tr("Match case"), body);
    findCase->setObjectName(QStringLiteral("findCase"));
    findRegex = new QCheckBox(tr("Regular expression"), body);
    findRegex->setObjectName(QStringLiteral("findRegex"));
    checkButton = new QPushButton(tr("Check"), body);
    checkButton->setObjectName(QStringLiteral("checkButton"));
    checkButton->setToolTip(tr("Lists every problem of the mission's files"));
    for (QWidget *option : {static_cast<QWidget *>(findWholeWords), static_cast<QWidget *>(findCase),
                            static_cast<QWidget *>(findRegex)})
        options->addWidget(option);
    options->addStretch();
    options->addWidget(checkButton);
    layout->addLayout(options);
    auto *replaceRow = new QHBoxLayout;
    replaceText = new QLineEdit(body);
    replaceText->setObjectName(QStringLiteral("replaceText"));
    replaceText->setPlaceholderText(tr("Replace with"));
    replaceText->setAccessibleName(tr("Replace with"));
    replaceButton = new QPushButton(tr("Replace All\u2026"), body);
    replaceButton->setObjectName(QStringLiteral("replaceButton"));
    replaceRow->addWidget(replaceText, 1);
    replaceRow->addWidget(replaceButton);
    layout->addLayout(replaceRow);
    auto *pendingRow = new QHBoxLayout;
    saveReplaced = new QPushButton(tr("Save Replaced Files"), body);
    saveReplaced->setObjectName(QStringLiteral("saveReplaced"));
    undoReplace = new QPushButton(tr("Undo Replace"), body);
    undoReplace->setObjectName(QStringLiteral("undoReplace"));
    saveReplaced->hide();
    undoReplace->hide();
    pendingRow->addWidget(saveReplaced);
    pendingRow->addWidget(undoReplace);
    pendingRow->addStretch();
    layout->addLayout(pendingRow);
    resultsLabel = new QLabel(body);
    resultsLabel->setWordWrap(true);
    resultsLabel->setObjectName(QStringLiteral("resultsLabel"));
    layout->addWidget(resultsLabel);
    findResults = new QTreeView(body);
    findResults->setObjectName(QStringLiteral("findResults"));
    findResults->setRootIsDecorated(false);
    findResults->setModel(&m_results);
    findResults->setItemDelegate(new MatchDelegate(findResults));
    findResults->setAccessibleName(tr("Found in the mission"));
    layout->addWidget(findResults, 2);
    setWidget(body);

    connect(findText, &QLineEdit::returnPressed, this, &MissionPanel::find);
    connect(findButton, &QPushButton::clicked, this, &MissionPanel::find);
    connect(checkButton, &QPushButton::clicked, this, &MissionPanel::check);
    connect(replaceButton, &QPushButton::clicked, this, &MissionPanel::replaceRequested);
    connect(saveReplaced, &QPushButton::clicked, this, &MissionPanel::saveReplacedRequested);
    connect(undoReplace, &QPushButton::clicked, this, &MissionPanel::undoReplaceRequested);
    connect(missionTree, &QTreeView::activated, this, [this](const QModelIndex &index) {
        const int file = index.data(MissionTreeModel::FileRole).toInt();
        if (file >= 0)
            Q_EMIT fileChosen(file, -1);
    });
    connect(findResults, &QTreeView::activated, this, &MissionPanel::chooseResult);
}

MissionPanel::~MissionPanel()
{
    if (m_thread) {
        m_cancel->store(true);
        m_thread->wait();
        delete m_thread;
    }
}

void MissionPanel::openFolder(const QString &folder)
{
    if (m_thread) {   // read again once this reading is done
        if (folder == m_folder) {
            m_readAgain = true;
            return;
        }
        m_cancel->store(true);
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    m_folder = folder;
    missionFolderName->setText(QDir::toNativeSeparators(folder));
    folderProgress->setRange(0, 0);
    folderProgress->show();
    m_reading = std::make_shared<MissionFolder::Scan>();
    m_cancel = std::make_shared<std::atomic_bool>(false);
    const auto reading = m_reading;
    const auto cancel = m_cancel;
    m_thread = QThread::create([this, folder, reading, cancel] {
        *reading = MissionFolder::scan(folder, std::nullopt, [this, cancel](int done, int total) {
            if (cancel->load())
                return;
            QMetaObject::invokeMethod(folderProgress, [this, done, total] {
                folderProgress->setRange(0, total);
                folderProgress->setValue(done);
            }, Qt::QueuedConnection);
        }, cancel.get());
    });
    connect(m_thread, &QThread::finished, this, &MissionPanel::finishReading);
    m_thread->start();
}

void MissionPanel::finishReading()
{
    QThread *thread = std::exchange(m_thread, nullptr);
    thread->wait();
    delete thread;   // waited for: its finished signal came here queued
    if (m_cancel->load())
        return;
    folderProgress->hide();
    m_tree.setScan(*m_reading);
    setPendingReplacements({}, QString());
    missionTree->expandToDepth(1);
    const MissionFolder::Scan &read = m_tree.scan();
    if (!read.failure.isEmpty())
        resultsLabel->setText(read.failure);
    else if (read.files.isEmpty())
        resultsLabel->setText(tr("The folder holds no .str file."));
    else
        resultsLabel->setText(read.truncated ? tr("%1 files; the folder holds more, which were not read.")
                                                   .arg(read.files.size())
                                             : tr("%1 files.").arg(read.files.size()));
    m_reading.reset();
    const QSignalBlocker blocker(codePageLanguage);
    const QString language = codePageLanguage->currentData().toString();
    codePageLanguage->clear();
    for (auto it = read.codePages.cbegin(); it != read.codePages.cend(); ++it)
        codePageLanguage->addItem(it.key().isEmpty() ? tr("(no language folder)") : it.key(), it.key());
    codePageLanguage->setCurrentIndex(std::max(0, codePageLanguage->findData(language)));
    showCodePages();
    Q_EMIT folderRead();
    if (std::exchange(m_readAgain, false))
        openFolder(m_folder);
}

void MissionPanel::startFind()
{
    show();
    raise();
    findText->setFocus();
    findText->selectAll();
}

MissionFolder::FindOptions MissionPanel::findOptions() const
{
    return {findWholeWords->isChecked(), findCase->isChecked(), findRegex->isChecked()};
}

void MissionPanel::setPendingReplacements(const QList<std::pair<int, StrDocument>> &pending, const QString &summary)
{
    m_pending = pending;
    saveReplaced->setVisible(!m_pending.isEmpty());
    undoReplace->setVisible(!m_pending.isEmpty());
    replaceButton->setEnabled(m_pending.isEmpty());
    for (QComboBox *box : {missionCodePage, codePageLanguage, languageCodePage})
        box->setEnabled(m_pending.isEmpty());   // reading again would drop the replacements
    if (!summary.isEmpty())
        resultsLabel->setText(summary);
}

void MissionPanel::find()
{
    QString error;
    const MissionFolder::FindOptions options = findOptions();
    const QList<MissionFolder::Match> matches = MissionFolder::find(scan(), findText->text(), options, &error);
    m_results.setRows(MissionResultsModel::matchRows(scan(), matches));
    if (!error.isEmpty())
        resultsLabel->setText(tr("The regular expression cannot be used: %1").arg(error));
    else
        resultsLabel->setText(matches.size() == 1 ? tr("1 match.") : tr("%1 matches.").arg(matches.size()));
    findResults->resizeColumnToContents(MissionResultsModel::FileColumn);
}

void MissionPanel::check()
{
    m_results.setRows(MissionResultsModel::problemRows(scan()));
    const qsizetype count = m_results.rows().size();
    resultsLabel->setText(count == 0 ? tr("No problems in %1 files.").arg(scan().files.size())
                                     : count == 1 ? tr("1 problem.") : tr("%1 problems.").arg(count));
    findResults->resizeColumnToContents(MissionResultsModel::FileColumn);
}

void MissionPanel::chooseResult(const QModelIndex &index)
{
    const int file = index.data(MissionResultsModel::FileRole).toInt();
    if (file >= 0)
        Q_EMIT fileChosen(file, index.data(MissionResultsModel::EntryRole).toInt());
}

// ---------------------------------------------------------------- Code pages

void MissionPanel::showCodePages()
{
    const MissionFolder::Scan &read = scan();
    const MissionSettings::Settings settings = MissionSettings::read(m_folder);
    // What the bytes and names tell each language; the mission's: most files'.
    const auto told = [](const MissionFolder::LanguageCodePage &page) {
        return CodePages::isSupported(page.detected) ? page.detected : page.named;
    };
    QMap<int, int> filesTold;
    for (const MissionFolder::File &file : read.files)
        ++filesTold[told(read.codePages.value(file.language))];
    const int missionTold = filesTold.isEmpty()
        ? 0 : std::max_element(filesTold.cbegin(), filesTold.cend()).key();
    const QString language = codePageLanguage->currentData().toString();
    const auto fill = [](QComboBox *box, int automatic, int detected, int chosen) {
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItem(automatic ? tr("Automatic: %1").arg(CodePages::shortName(automatic)) : tr("Automatic"), 0);
        for (const int codePage : CodePages::all()) {
            box->addItem(codePage == detected ? tr("%1 \u2013 detected").arg(CodePages::name(codePage))
                                              : CodePages::name(codePage),
                         codePage);
        }
        box->setCurrentIndex(std::max(0, box->findData(chosen)));
    };
    fill(missionCodePage, settings.missionCodePage ? 0 : missionTold, missionTold, settings.missionCodePage.value_or(0));
    const MissionFolder::LanguageCodePage page = read.codePages.value(language);
    fill(languageCodePage, page.codePage, told(page), settings.languageCodePages.value(language.toLower(), 0));
    languageCodePage->setEnabled(codePageLanguage->count() > 0 && m_pending.isEmpty());
}

bool MissionPanel::setMissionCodePage(int codePage)
{
    return changeCodePage(QString(), codePage, true);
}

bool MissionPanel::setLanguageCodePage(const QString &language, int codePage)
{
    return changeCodePage(language, codePage, false);
}

bool MissionPanel::changeCodePage(const QString &language, int codePage, bool wholeMission)
{
    if (m_folder.isEmpty())
        return false;
    MissionSettings::Settings settings = MissionSettings::read(m_folder);
    const MissionSettings::Settings before = settings;
    const std::optional<int> chosen = CodePages::isSupported(codePage) ? std::optional<int>(codePage) : std::nullopt;
    if (wholeMission)
        settings.missionCodePage = chosen;
    else if (chosen)
        settings.languageCodePages.insert(language.toLower(), *chosen);
    else
        settings.languageCodePages.remove(language.toLower());
    if (settings == before)
        return true;
    QString error;
    if (!MissionSettings::write(m_folder, settings, &error)) {
        resultsLabel->setText(tr("The code page could not be kept in %1: %2")
                                  .arg(QDir::toNativeSeparators(MissionSettings::pathIn(m_folder)), error));
        showCodePages();
        return false;
    }
    openFolder(m_folder);
    Q_EMIT codePageChanged(m_folder);
    return true;
}
