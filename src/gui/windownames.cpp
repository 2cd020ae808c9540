#include "gui/windownames.h"

#include "core/app/credits.h"
#include "core/mission/workspace.h"
#include "gui/tabs/editorpage.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QTabBar>
#include <QTabWidget>

WindowNames::WindowNames(QMainWindow &window, QTabWidget &tabs, const QList<EditorPage *> &pathShown,
                         std::function<QString()> mission)
    : QObject(&window)
    , m_window(window)
    , m_tabs(tabs)
    , m_pathShown(pathShown)
    , m_mission(std::move(mission))
{
    // Beside the tab strip, not in it: the tabs and their pages stay where they are.
    filePathLabel = new QLabel(&tabs);
    filePathLabel->setObjectName(QStringLiteral("filePathLabel"));
    filePathLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    filePathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    filePathLabel->hide();
    tabs.installEventFilter(this);
    connect(&tabs, &QTabWidget::currentChanged, this, &WindowNames::update);
}

QString WindowNames::startTitle()
{
    return QLatin1String("Quillwright  ") + Credits::CreditText + QLatin1String("[*]");
}

QString WindowNames::fromMission(const QString &missionFolder, const QString &path)
{
    if (!missionFolder.isEmpty()) {
        const QString relative = QDir(missionFolder).relativeFilePath(path);
        if (!relative.startsWith(QLatin1String("../")) && relative != QLatin1String("..")
            && !QDir::isAbsolutePath(relative))
            return relative;
    }
    return QDir::toNativeSeparators(path);
}

QString WindowNames::title(const QString &missionFolder, const QString &path)
{
    if (!missionFolder.isEmpty()) {
        QString mission = QFileInfo(missionFolder).fileName();
        if (mission.isEmpty())   // a drive's root
            mission = QDir::toNativeSeparators(missionFolder);
        if (path.isEmpty())
            return mission + QLatin1String("[*]");
        return mission + QStringLiteral(" \u2014 ") + fromMission(missionFolder, path) + QLatin1String("[*]");
    }
    if (!path.isEmpty())
        return QFileInfo(path).fileName() + QLatin1String("[*]");
    return startTitle();
}

void WindowNames::start()
{
    m_started = true;
    update();
}

void WindowNames::update()
{
    const QString mission = m_mission ? m_mission() : QString();
    auto *page = qobject_cast<EditorPage *>(m_tabs.currentWidget());
    const WorkspaceDocument *document = page ? page->document() : nullptr;
    const QString path = document && !document->isUnnamed() ? document->path() : QString();
    if (m_started)
        m_window.setWindowTitle(title(mission, path));
    m_path = m_pathShown.contains(page) && !path.isEmpty() ? QDir::toNativeSeparators(fromMission(mission, path))
                                                           : QString();
    filePathLabel->setToolTip(m_path.isEmpty() ? QString() : QDir::toNativeSeparators(path));
    placeLabel();
}

void WindowNames::placeLabel()
{
    if (m_path.isEmpty()) {
        filePathLabel->clear();
        filePathLabel->hide();
        return;
    }
    const QTabBar *bar = m_tabs.tabBar();
    const int left = bar->geometry().x() + bar->sizeHint().width() + 8;
    const int width = std::max(0, m_tabs.width() - left - 4);
    filePathLabel->setText(filePathLabel->fontMetrics().elidedText(m_path, Qt::ElideMiddle, width));
    filePathLabel->setGeometry(left, 0, width, bar->height());
    filePathLabel->show();
    filePathLabel->raise();
}

bool WindowNames::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_tabs && event->type() == QEvent::Resize)
        placeLabel();
    return QObject::eventFilter(watched, event);
}
