#include "app/line.h"

#include "app/twips.h"

#include <QPainter>

Line::Line(const QString &name, QPoint fromTwips, QPoint toTwips, int penWidth, QWidget *parent)
    : QWidget(parent)
    , m_penWidth(penWidth)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPoint from(Twips::toPixels(fromTwips.x()), Twips::toPixels(fromTwips.y() - Twips::TabStrip));
    const QPoint to(Twips::toPixels(toTwips.x()), Twips::toPixels(toTwips.y() - Twips::TabStrip));
    const QRect bounds = QRect(from, to).normalized().adjusted(0, 0, penWidth, penWidth);
    setGeometry(bounds);
    m_from = from - bounds.topLeft();
    m_to = to - bounds.topLeft();
}

void Line::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), m_penWidth, Qt::SolidLine, Qt::FlatCap));
    const QPointF offset(m_penWidth / 2.0, m_penWidth / 2.0);
    painter.drawLine(QPointF(m_from) + offset, QPointF(m_to) + offset);
}
