// AccessibleKit: the accessibility factory of the kit's self-drawn widgets. Qt asks it for every
// class of a widget, most derived first, before its own interfaces, so a kit class answered here
// keeps its role and name in every screen's subclass.
#include "ui/kit/AccessibleKit.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui/kit/AccessibleItems.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/ActivityIndicatorView.h"
#include "ui/kit/AlertView.h"
#include "ui/kit/JSBadgeView.h"
#include "ui/kit/LeveyPopListView.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/SegmentedControl.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TickButton.h"

namespace oa {

namespace {

constexpr char kRoleProperty[] = "oaAccessibleRole";
constexpr char kCheckedProperty[] = "oaAccessibleChecked";

}  // namespace

bool isAccessibleControl(QAccessible::Role role) {
    switch (role) {
        case QAccessible::Button:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::ListItem:
        case QAccessible::PageTab:
        case QAccessible::MenuItem:
        case QAccessible::ButtonMenu:
        case QAccessible::Link:
        case QAccessible::SpinBox:
        case QAccessible::Slider:
            return true;
        default:
            return false;
    }
}

namespace {

// What an interface's visible, non-control descendants read: names, then descriptions.
void gather(QAccessibleInterface* iface, QStringList& names, QStringList& descriptions) {
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (!child || child->state().invisible || isAccessibleControl(child->role())) {
            continue;
        }
        const QString name = child->text(QAccessible::Name).simplified();
        if (!name.isEmpty()) {
            names << name;
        } else {
            gather(child, names, descriptions);
        }
        const QString description = child->text(QAccessible::Description).simplified();
        if (!description.isEmpty()) {
            descriptions << description;
        }
    }
}

// A self-drawn control: the kit widget tells its name, value, check state and press action.
struct ControlModel {
    std::function<QString()> name;
    std::function<QString()> value;
    std::function<QString()> description;
    std::function<std::optional<bool>()> checked;
    std::function<bool()> busy;
    std::function<bool()> selected;
    std::function<void()> press;
};

class AccessibleControl : public QAccessibleWidget {
public:
    AccessibleControl(QWidget* widget, QAccessible::Role role, ControlModel model)
        : QAccessibleWidget(widget, role), model_(std::move(model)) {}

    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (!text.isEmpty()) {
            return text;
        }
        switch (t) {
            case QAccessible::Name:
                return model_.name ? model_.name() : accessibleSummary(widget());
            case QAccessible::Value:
                return model_.value ? model_.value() : QString();
            case QAccessible::Description:
                return model_.description ? model_.description() : QString();
            default:
                return {};
        }
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (const auto checked = model_.checked ? model_.checked() : std::nullopt) {
            state.checkable = true;
            state.checked = *checked;
            // A tab is the page shown rather than ticked.
            state.selected = *checked && role() == QAccessible::PageTab;
        }
        state.busy = model_.busy && model_.busy();
        if (model_.selected) {
            state.selectable = true;
            state.selected = model_.selected();
            state.focused = state.focused || (state.selected && hasKeyboardAround(widget()));
        }
        return state;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (model_.press) {
            names.prepend(role() == QAccessible::CheckBox ? toggleAction() : pressAction());
        }
        return names;
    }

    void doAction(const QString& name) override {
        if (model_.press && (name == pressAction() || name == toggleAction())) {
            model_.press();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

private:
    ControlModel model_;
};

// The Space key, as the keyboard would give it: the widget reacts as to the user.
void pressSpace(QWidget* widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

// A tap in the middle, for the plain widgets that stand for controls and act on a tap.
void tap(QWidget* widget) {
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

QAccessibleInterface* segmentsOf(SegmentedControl* control);

QAccessibleInterface* controlFor(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) {
        return nullptr;
    }
    if (const QVariant role = widget->property(kRoleProperty); role.isValid()) {
        return new AccessibleControl(
            widget, QAccessible::Role(role.toInt()),
            {.checked = [widget]() -> std::optional<bool> {
                 const QVariant checked = widget->property(kCheckedProperty);
                 return checked.isValid() ? std::optional<bool>(checked.toBool()) : std::nullopt;
             },
             .press = [widget] { tap(widget); }});
    }
    if (className == QLatin1String("oa::Switch")) {
        auto* sw = static_cast<Switch*>(widget);
        return new AccessibleControl(
            widget, QAccessible::CheckBox,
            {.name = {},
             .value = [sw] { return sw->isOn() ? QStringLiteral("开") : QStringLiteral("关"); },
             .checked = [sw] { return std::optional<bool>(sw->isOn()); },
             .press = [sw] { sw->click(); }});
    }
    if (className == QLatin1String("oa::TickButton")) {
        auto* tick = static_cast<TickButton*>(widget);
        return new AccessibleControl(
            widget, QAccessible::CheckBox,
            {.name = [] { return QStringLiteral("选择"); },
             .checked = [tick] { return std::optional<bool>(tick->isChecked()); },
             .press = [tick] { pressSpace(tick); }});
    }
    if (className == QLatin1String("oa::LongPressButton")) {
        auto* button = static_cast<LongPressButton*>(widget);
        return new AccessibleControl(widget, QAccessible::Button,
                                     {.name = [button] { return button->title().trimmed(); }});
    }
    if (className == QLatin1String("oa::JSBadgeView")) {
        auto* badge = static_cast<JSBadgeView*>(widget);
        return new AccessibleControl(
            widget, QAccessible::StaticText,
            {.name = [] { return QString(); },
             .description =
                 [badge] { return QStringLiteral("%1 条未读").arg(badge->badgeText()); }});
    }
    if (className == QLatin1String("oa::NavigationBar")) {
        auto* bar = static_cast<NavigationBar*>(widget);
        return new AccessibleControl(widget, QAccessible::ToolBar,
                                     {.name = [bar] { return bar->title(); }});
    }
    if (className == QLatin1String("oa::ActivityIndicatorView")) {
        auto* spinner = static_cast<ActivityIndicatorView*>(widget);
        return new AccessibleControl(widget, QAccessible::Animation,
                                     {.name = [] { return QStringLiteral("正在加载"); },
                                      .busy = [spinner] { return spinner->isAnimating(); }});
    }
    if (className == QLatin1String("oa::ProgressHUD")) {
        return new AccessibleControl(
            widget, QAccessible::Notification,
            {.name = [] { return ProgressHUD::status(); },
             .value =
                 [] {
                     const auto fraction = ProgressHUD::progress();
                     return fraction ? QStringLiteral("%1%").arg(qRound(*fraction * 100))
                                     : QString();
                 },
             .busy = [] { return ProgressHUD::state() == ProgressHUD::State::Busy; }});
    }
    if (className == QLatin1String("oa::TableViewCell")) {
        auto* cell = static_cast<TableViewCell*>(widget);
        auto ticked = [cell]() -> std::optional<bool> {
            return cell->accessoryType() == TableViewCell::AccessoryType::Checkmark
                       ? std::optional<bool>(true)
                       : std::nullopt;
        };
        return new AccessibleControl(
            widget, QAccessible::ListItem,
            {.checked = ticked, .selected = [cell] { return cell->isSelected(); }});
    }
    if (className == QLatin1String("oa::TableView")) {
        return new QAccessibleWidget(widget, QAccessible::List);
    }
    if (className == QLatin1String("oa::AlertView")) {
        auto* alert = static_cast<AlertView*>(widget);
        return new AccessibleControl(widget, QAccessible::AlertMessage,
                                     {.name = [alert] { return alert->title(); }});
    }
    if (className == QLatin1String("oa::ActionSheet")) {
        auto* sheet = static_cast<ActionSheet*>(widget);
        return new AccessibleItems(widget, QAccessible::Dialog,
                                   {.title = [sheet] { return sheet->title(); },
                                    .role = QAccessible::Button,
                                    .count = [sheet] { return sheet->numberOfButtons(); },
                                    .name = [sheet](int i) { return sheet->buttonTitleAtIndex(i); },
                                    .rect = [sheet](int i) { return sheet->buttonRect(i); },
                                    .press = [sheet](int i) { sheet->clickButtonAtIndex(i); }});
    }
    if (className == QLatin1String("oa::LeveyPopListView")) {
        // Its entries are the rows of its own table.
        auto* list = static_cast<LeveyPopListView*>(widget);
        return new AccessibleControl(widget, QAccessible::Dialog,
                                     {.name = [list] { return list->title(); }});
    }
    if (className == QLatin1String("oa::SegmentedControl")) {
        return segmentsOf(static_cast<SegmentedControl*>(widget));
    }
    return nullptr;
}

}  // namespace

// Reaches the segmented control's geometry and the user's choice, which it keeps to itself.
struct AccessibleSegments {
    static QAccessibleInterface* of(SegmentedControl* control) {
        return new AccessibleItems(
            control, QAccessible::PageTabList,
            {.role = QAccessible::PageTab,
             .count = [control] { return control->numberOfSegments(); },
             .name = [control](int i) { return control->titleForSegmentAtIndex(i); },
             .rect = [control](int i) { return control->segmentRect(i).toAlignedRect(); },
             .press = [control](int i) { control->selectByUser(i); },
             .checked = [control](int i) { return control->selectedSegmentIndex() == i; }});
    }
};

namespace {

QAccessibleInterface* segmentsOf(SegmentedControl* control) {
    return AccessibleSegments::of(control);
}

}  // namespace

void installAccessibleKit() {
    static const bool installed = [] {
        QAccessible::installFactory(&controlFor);
        return true;
    }();
    (void)installed;
}

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    widget->setProperty(kRoleProperty, int(role));
}

void setAccessibleChecked(QWidget* widget, bool checked) {
    const QVariant before = widget->property(kCheckedProperty);
    widget->setProperty(kCheckedProperty, checked);
    if (!before.isValid() || before.toBool() != checked) {
        notifyAccessibleChecked(widget);
    }
}

void notifyAccessibleChecked(QWidget* widget) {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

bool hasKeyboardAround(const QWidget* widget) {
    const QWidget* focus = widget->window()->focusWidget();
    return focus && focus != widget && focus->hasFocus() && focus->isAncestorOf(widget);
}

QString accessibleSummary(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface) {
        return {};
    }
    QStringList names;
    QStringList descriptions;
    gather(iface, names, descriptions);
    return (names + descriptions).join(QStringLiteral("，"));
}

}  // namespace oa
