// AccessibleItems: the accessibility interface of a widget that draws several controls itself
// (the segments of a segmented control, the buttons of an action sheet, the entries of a pop-up
// list): each drawn control is a child of its own, after the widget's real child widgets.
#pragma once

#include <QAccessibleWidget>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

namespace oa {

struct AccessibleItemModel {
    // The container's name when the widget has no accessibleName.
    std::function<QString()> title;
    QAccessible::Role role = QAccessible::Button;
    std::function<int()> count;
    std::function<QString(int)> name;
    // In the widget's coordinates.
    std::function<QRect(int)> rect;
    std::function<void(int)> press;
    // Null for items that cannot be checked.
    std::function<bool(int)> checked;
};

class AccessibleItems : public QAccessibleWidget {
public:
    AccessibleItems(QWidget* widget, QAccessible::Role role, AccessibleItemModel model);
    ~AccessibleItems() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    const AccessibleItemModel& model() const { return model_; }

private:
    int widgetChildCount() const;

    AccessibleItemModel model_;
    // Registered with QAccessible, which owns them until this interface goes.
    mutable std::vector<QAccessible::Id> items_;
};

}  // namespace oa
