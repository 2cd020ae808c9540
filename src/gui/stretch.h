#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QScrollArea>
#include <QSize>

// How a control follows a page that grows beyond the size it was laid out
// for: the shares of the growth by which its left edge, its top edge, its
// width and its height change. 0 keeps it, 1 follows the whole growth; two
// boxes side by side can take half each.
struct Stretch {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

namespace Stretches {
inline constexpr Stretch Grow{0, 0, 1, 1};         // both ways
inline constexpr Stretch GrowWide{0, 0, 1, 0};     // to the right only
inline constexpr Stretch KeepBelow{0, 1, 0, 0};    // moves with the bottom edge
inline constexpr Stretch KeepRight{1, 0, 0, 0};    // moves with the right edge
inline constexpr Stretch KeepBottomRight{1, 1, 0, 0};
} // namespace Stretches

// The controls of a page laid out for one size (in twips) that move or grow
// when the page grows, each by its rule. A growth moves each control from
// where it stands by the change of its share, so at growth zero every control
// stands exactly where the page put it, and what else moved it (texts made to
// fit) is kept. The stretcher is a child of its page; pages inside the page
// (tabs) can follow the same growth.
class Stretcher : public QObject
{
    Q_OBJECT

public:
    explicit Stretcher(QWidget *page);

    // `control` stands where it belongs at growth zero; it follows `rule`
    // from now on, the growth so far included.
    void add(QWidget *control, Stretch rule);
    // A page inside this one, grown by as much (the pages of a tab control).
    void addPage(QWidget *page);
    void setGrowth(QSize growth);
    QSize growth() const { return m_growth; }

    // The stretcher of `page`, or none.
    static Stretcher *of(const QWidget *page);

private:
    struct Rule {
        QPointer<QWidget> control;
        Stretch stretch;
    };
    static void move(QWidget *control, Stretch rule, QSize from, QSize to);

    QList<Rule> m_rules;
    QList<QPointer<QWidget>> m_pages;
    QSize m_growth{0, 0};
};

// The central part of a window laid out for `startSize`: it shows its page
// at that size, lets it grow with the window, and scrolls it when the window
// leaves less room than that (a panel docked beside it on a small screen).
class GrowingArea : public QScrollArea
{
    Q_OBJECT

public:
    GrowingArea(QWidget *page, QSize startSize, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    // How much larger than its start size the page is now.
    QSize growth() const;

Q_SIGNALS:
    void grown(QSize growth);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSize m_startSize;
};
