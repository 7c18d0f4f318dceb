// The badge: size from its text, centred on the icon's top-right corner, found by tag, shown
// and hidden, and drawn in full although it overhangs the icon.
#include <QLabel>
#include <QPointer>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/JSBadgeView.h"
#include "ui/kit/ViewTags.h"

namespace oa {

namespace {

// A page with grid cells as the home grid lays them out: 80 x 80 cells, the 52 x 52 icon at
// (12, 0), first row at y 50.
struct Grid {
    QWidget page;
    QList<QLabel*> icons;
    QList<JSBadgeView*> badges;

    explicit Grid(const QList<int>& tags) {
        page.resize(320, 416);
        for (int i = 0; i < tags.size(); ++i) {
            auto* cell = new QWidget(&page);
            cell->setGeometry((i % 4) * 80, (i / 4) * 100 + 50, 80, 80);
            auto* icon = new QLabel(cell);
            icon->setGeometry(12, 0, 52, 52);
            auto* badge = new JSBadgeView(icon, JSBadgeView::Alignment::TopRight);
            setTag(badge, tags[i]);
            badge->setBadgeText("11");
            badge->setHidden(true);
            icons.append(icon);
            badges.append(badge);
        }
        page.show();
    }

    QColor pixel(QPoint at) { return page.grab().toImage().pixelColor(at); }
};

bool reddish(const QColor& c) {
    return c.red() > 150 && c.green() < 110 && c.blue() < 110;
}

}  // namespace

class JSBadgeViewTest : public QObject {
    Q_OBJECT

private slots:
    void sizeFollowsTheTextAndSitsOnTheCorner() {
        Grid grid({1005});
        JSBadgeView* badge = grid.badges[0];
        const QFontMetrics metrics(boldSystemFont(14));
        QCOMPARE(badge->badgeText(), QString("11"));
        QCOMPARE(badge->height(), 24);
        QCOMPARE(badge->width(), metrics.horizontalAdvance("11") + 16);
        // Centred on the icon's top-right corner: half above the icon's top edge.
        QCOMPARE(badge->y(), -12);
        QVERIFY(std::abs(badge->geometry().center().x() + 0.5 - 52) <= 1);

        badge->setBadgeText("128");
        QCOMPARE(badge->width(), metrics.horizontalAdvance("128") + 16);
        QVERIFY(std::abs(badge->geometry().center().x() + 0.5 - 52) <= 1);
        badge->setBadgeText("");
        QCOMPARE(badge->width(), 16);  // a small badge without digits

        badge->setBadgeAlignment(JSBadgeView::Alignment::BottomLeft);
        QCOMPARE(badge->geometry(), QRect(-8, 52 - 12, 16, 24));
        badge->setBadgeAlignment(JSBadgeView::Alignment::TopRight);
        grid.icons[0]->resize(60, 60);  // the anchor follows the icon's size
        QVERIFY(std::abs(badge->geometry().center().x() + 0.5 - 60) <= 1);
    }

    void shownAndHiddenInFullAboveTheIcon() {
        Grid grid({1005, 1006});
        // 6 points above the icon of the first cell, which starts at (12, 50) on the page:
        // outside the icon and its cell, still inside the badge.
        const QPoint overhang(64, 50 - 6);
        QVERIFY(!reddish(grid.pixel(overhang)));
        grid.badges[0]->setBadgeText("3");
        grid.badges[0]->setHidden(false);
        QVERIFY(reddish(grid.pixel(overhang)));
        QVERIFY(!reddish(grid.pixel(overhang + QPoint(80, 0))));  // the second stays hidden

        // Moving the cell takes the drawn badge along.
        grid.icons[0]->parentWidget()->move(0, 150);
        QVERIFY(!reddish(grid.pixel(overhang)));
        QVERIFY(reddish(grid.pixel(overhang + QPoint(0, 100))));

        // Hiding the icon or the badge hides the drawing.
        grid.icons[0]->hide();
        QVERIFY(!reddish(grid.pixel(overhang + QPoint(0, 100))));
        grid.icons[0]->show();
        grid.badges[0]->setHidden(true);
        QVERIFY(!reddish(grid.pixel(overhang + QPoint(0, 100))));
    }

    void foundByTagFirstIconFirst() {
        Grid grid({1005, 101100, 1005});
        QCOMPARE(viewWithTag(&grid.page, 101100), grid.badges[1]);
        QCOMPARE(viewWithTag<JSBadgeView>(&grid.page, 1005), grid.badges[0]);
        // Updating a badge does not reorder anything: the first stays first.
        grid.badges[0]->setBadgeText("9");
        grid.badges[0]->setHidden(false);
        QCOMPARE(viewWithTag(&grid.page, 1005), grid.badges[0]);
    }

    void goesWithItsIcon() {
        Grid grid({1005, 1006});
        QPointer<JSBadgeView> badge = grid.badges[0];
        grid.badges[0]->setHidden(false);
        const int widgetsBefore = grid.page.findChildren<QWidget*>().size();
        delete grid.icons[0];
        QVERIFY(badge.isNull());
        // The badge and whatever drew it are gone; nothing else went.
        QCOMPARE(grid.page.findChildren<QWidget*>().size(), widgetsBefore - 3);
        QVERIFY(!reddish(grid.pixel({64, 44})));
    }
};

}  // namespace oa

OA_KIT_TEST(JSBadgeViewTest)
#include "JSBadgeViewTest.moc"
