#include "gui/artwork.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Artwork {

namespace {

// Draws the emblem into a square of side 100 units.
void drawEmblem(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // The open book.
    QPainterPath left;
    left.moveTo(50, 78);
    left.cubicTo(38, 70, 22, 70, 8, 74);
    left.lineTo(8, 40);
    left.cubicTo(22, 36, 38, 36, 50, 44);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(50, 78);
    right.cubicTo(62, 70, 78, 70, 92, 74);
    right.lineTo(92, 40);
    right.cubicTo(78, 36, 62, 36, 50, 44);
    right.closeSubpath();
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x1e), 2.5));
    p.setBrush(QColor(0xf6, 0xec, 0xd2));
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(QPen(QColor(0xb0, 0x98, 0x70), 1.2));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 50 + i * 6;
        p.drawLine(QPointF(14, y), QPointF(42, y + 2));
        p.drawLine(QPointF(58, y + 2), QPointF(86, y));
    }
    // The quill.
    QPainterPath quill;
    quill.moveTo(40, 66);
    quill.cubicTo(50, 40, 70, 18, 92, 6);
    quill.cubicTo(84, 26, 66, 48, 40, 66);
    QLinearGradient feather(QPointF(40, 66), QPointF(92, 6));
    feather.setColorAt(0, QColor(0x1d, 0x4e, 0x89));
    feather.setColorAt(1, QColor(0x6f, 0xa8, 0xdc));
    p.setPen(QPen(QColor(0x12, 0x2e, 0x52), 1.5));
    p.setBrush(feather);
    p.drawPath(quill);
    p.setPen(QPen(QColor(0x12, 0x2e, 0x52), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(40, 66), QPointF(34, 76));
}

} // namespace

QPixmap splashPicture(qreal devicePixelRatio)
{
    const QSize logical(250, 273);
    QPixmap pixmap(logical * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pixmap);
    QLinearGradient sky(QPointF(0, 0), QPointF(0, logical.height()));
    sky.setColorAt(0, QColor(0xfb, 0xf5, 0xe6));
    sky.setColorAt(1, QColor(0xe3, 0xd2, 0xad));
    p.fillRect(QRect(QPoint(0, 0), logical), sky);
    p.save();
    p.translate(25, 20);
    p.scale(2.0, 2.0);
    drawEmblem(p);
    p.restore();
    QFont title;   // the interface font in its regular weight: no other font file to load at start
    title.setPixelSize(30);
    p.setFont(title);
    p.setPen(QColor(0x3b, 0x26, 0x12));
    p.drawText(QRect(0, 200, logical.width(), 40), Qt::AlignCenter, QStringLiteral("Quillwright"));
    QFont sub;
    sub.setPixelSize(13);
    p.setFont(sub);
    p.drawText(QRect(0, 236, logical.width(), 24), Qt::AlignCenter, QStringLiteral("Mission texts for Mirkhold"));
    return pixmap;
}

QPixmap iconPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 100.0, size / 100.0);
    drawEmblem(p);
    return pixmap;
}

namespace {

class EmblemEngine : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        painter->save();
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 100.0, rect.height() / 100.0);
        drawEmblem(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override { return iconPicture(size.width()); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {32, 32}, {48, 48}, {256, 256}};
    }

    QIconEngine *clone() const override { return new EmblemEngine; }
};

} // namespace

QIcon icon()
{
    return QIcon(new EmblemEngine);
}

} // namespace Artwork
