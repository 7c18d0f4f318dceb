// View tags: found anywhere below a root, the first in child order winning, typed lookups.
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/ViewTags.h"

namespace oa {

class ViewTagsTest : public QObject {
    Q_OBJECT

private slots:
    void findsTagsDepthFirstInChildOrder() {
        QWidget root;
        auto* form = new QWidget(&root);
        auto* name = new QLineEdit(form);
        auto* cell = new QWidget(&root);
        auto* icon = new QLabel(cell);
        auto* firstBadge = new QLabel(icon);
        auto* laterCell = new QWidget(&root);
        auto* secondBadge = new QLabel(laterCell);
        setTag(name, 1000);
        setTag(firstBadge, 1005);
        setTag(secondBadge, 1005);  // the same module twice in a grid
        setTag(&root, 7);

        QCOMPARE(viewWithTag(&root, 1000), name);
        QCOMPARE(viewWithTag(&root, 7), &root);
        // Depth first: the badge deep inside the first cell comes before the later cell's.
        QCOMPARE(viewWithTag(&root, 1005), firstBadge);
        QCOMPARE(viewWithTag(laterCell, 1005), secondBadge);
        QCOMPARE(tag(firstBadge), 1005);
        QCOMPARE(tag(icon), 0);

        // Typed lookups check the class; untagging and tag 0 find nothing.
        QCOMPARE(viewWithTag<QLineEdit>(&root, 1000), name);
        QCOMPARE(viewWithTag<QLineEdit>(&root, 1005), nullptr);
        setTag(name, 0);
        QCOMPARE(viewWithTag(&root, 1000), nullptr);
        QCOMPARE(viewWithTag(&root, 0), nullptr);
        QCOMPARE(viewWithTag(nullptr, 1005), nullptr);
        setTag(nullptr, 3);  // harmless
        QCOMPARE(tag(nullptr), 0);
    }
};

}  // namespace oa

OA_KIT_TEST(ViewTagsTest)
#include "ViewTagsTest.moc"
