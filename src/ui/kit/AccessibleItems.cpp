// AccessibleItems: the drawn controls of a widget as accessible children.
#include "ui/kit/AccessibleItems.h"

#include <QWidget>

namespace oa {

namespace {

// One drawn control; valid while its widget lives and still draws that many controls.
class AccessibleItem : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessibleItem(const AccessibleItems* owner, int index) : owner_(owner), index_(index) {}

    bool isValid() const override {
        return owner_->isValid() && owner_->model().count && index_ < owner_->model().count();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_->window(); }
    QAccessibleInterface* parent() const override { return const_cast<AccessibleItems*>(owner_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid() || !owner_->model().name) {
            return {};
        }
        return owner_->model().name(index_);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid() || !owner_->model().rect) {
            return {};
        }
        const QRect local = owner_->model().rect(index_);
        const auto* widget = static_cast<const QWidget*>(owner_->object());
        return {widget->mapToGlobal(local.topLeft()), local.size()};
    }
    QAccessible::Role role() const override { return owner_->model().role; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const QAccessible::State parent = owner_->state();
        state.invisible = parent.invisible;
        state.disabled = parent.disabled;
        if (owner_->model().checked) {
            state.checkable = true;
            state.checked = owner_->model().checked(index_);
            state.selected = state.checked;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override {
        return owner_->model().press ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid() && owner_->model().press) {
            owner_->model().press(index_);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int index() const { return index_; }

private:
    const AccessibleItems* owner_;
    int index_;
};

}  // namespace

AccessibleItems::AccessibleItems(QWidget* widget, QAccessible::Role role, AccessibleItemModel model)
    : QAccessibleWidget(widget, role), model_(std::move(model)) {}

AccessibleItems::~AccessibleItems() {
    for (QAccessible::Id id : items_) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

QString AccessibleItems::text(QAccessible::Text t) const {
    QString text = QAccessibleWidget::text(t);
    if (text.isEmpty() && t == QAccessible::Name && model_.title) {
        text = model_.title();
    }
    return text;
}

int AccessibleItems::widgetChildCount() const {
    return QAccessibleWidget::childCount();
}

int AccessibleItems::childCount() const {
    return widgetChildCount() + (model_.count ? model_.count() : 0);
}

QAccessibleInterface* AccessibleItems::child(int index) const {
    const int widgets = widgetChildCount();
    if (index < widgets) {
        return QAccessibleWidget::child(index);
    }
    const int item = index - widgets;
    if (item < 0 || item >= childCount() - widgets) {
        return nullptr;
    }
    while (int(items_.size()) <= item) {
        items_.push_back(
            QAccessible::registerAccessibleInterface(new AccessibleItem(this, int(items_.size()))));
    }
    return QAccessible::accessibleInterface(items_[std::size_t(item)]);
}

int AccessibleItems::indexOfChild(const QAccessibleInterface* child) const {
    if (child && child->object() == nullptr && child->parent() == this) {
        const int item = static_cast<const AccessibleItem*>(child)->index();
        return item < childCount() - widgetChildCount() ? widgetChildCount() + item : -1;
    }
    return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* AccessibleItems::childAt(int x, int y) const {
    for (int i = widgetChildCount(); i < childCount(); ++i) {
        QAccessibleInterface* item = child(i);
        if (item && item->rect().contains(x, y)) {
            return item;
        }
    }
    return QAccessibleWidget::childAt(x, y);
}

}  // namespace oa
