#pragma once

#include <QPoint>
#include <QWidget>

// A straight decorative line between two points of its parent, in twips.
class Line : public QWidget
{
    Q_OBJECT

public:
    Line(const QString &name, QPoint fromTwips, QPoint toTwips, int penWidth, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from;   // in this widget's coordinates, pixels
    QPoint m_to;
    int m_penWidth;
};
