#include "gui/stretch.h"

#include <QEvent>
#include <QWidget>

#include <cmath>

namespace {

int share(double part, int growth)
{
    return static_cast<int>(std::lround(part * growth));
}

} // namespace

Stretcher::Stretcher(QWidget *page)
    : QObject(page)
{
    setObjectName(QStringLiteral("stretcher"));
}

void Stretcher::add(QWidget *control, Stretch rule)
{
    m_rules.append({control, rule});
    move(control, rule, {0, 0}, m_growth);
}

void Stretcher::addPage(QWidget *page)
{
    m_pages.append(page);
    if (Stretcher *inner = of(page))
        inner->setGrowth(m_growth);
}

void Stretcher::setGrowth(QSize growth)
{
    if (growth == m_growth)
        return;
    m_rules.removeIf([](const Rule &rule) { return rule.control.isNull(); });
    for (const Rule &rule : std::as_const(m_rules))
        move(rule.control, rule.stretch, m_growth, growth);
    m_growth = growth;
    for (const QPointer<QWidget> &page : std::as_const(m_pages)) {
        if (Stretcher *inner = page ? of(page) : nullptr)
            inner->setGrowth(growth);
    }
}

void Stretcher::move(QWidget *control, Stretch rule, QSize from, QSize to)
{
    const auto change = [&](double part, int before, int after) { return share(part, after) - share(part, before); };
    QRect place = control->geometry();
    place.translate(change(rule.left, from.width(), to.width()), change(rule.top, from.height(), to.height()));
    place.setWidth(place.width() + change(rule.width, from.width(), to.width()));
    place.setHeight(place.height() + change(rule.height, from.height(), to.height()));
    control->setGeometry(place);
}

Stretcher *Stretcher::of(const QWidget *page)
{
    return page->findChild<Stretcher *>(QStringLiteral("stretcher"), Qt::FindDirectChildrenOnly);
}

GrowingArea::GrowingArea(QWidget *page, QSize startSize, QWidget *parent)
    : QScrollArea(parent)
    , m_startSize(startSize)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);   // the page's controls take the focus, not the area
    page->setMinimumSize(startSize);
    setWidget(page);
    setWidgetResizable(true);
    page->installEventFilter(this);
}

QSize GrowingArea::sizeHint() const
{
    return m_startSize;
}

QSize GrowingArea::growth() const
{
    return (widget()->size() - m_startSize).expandedTo({0, 0});
}

bool GrowingArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget() && event->type() == QEvent::Resize)
        Q_EMIT grown(growth());
    return QScrollArea::eventFilter(watched, event);
}
