// AccessibleTree: walks the accessible interfaces from a window down, as an assistive technology
// does, so that what it finds is what a screen reader gets.
#include "ui/kit/AccessibleTree.h"

#include <QAccessible>
#include <QMetaEnum>
#include <QWidget>

#include "ui/kit/AccessibleKit.h"

namespace oa {

namespace {

bool needsName(const QAccessibleInterface* iface) {
    if (isAccessibleControl(iface->role())) {
        return true;
    }
    // A plain widget that takes the keyboard's focus is a control whatever it draws; a scroll
    // area takes it to scroll.
    auto* widget = qobject_cast<QWidget*>(iface->object());
    return iface->role() == QAccessible::Client && widget &&
           !widget->inherits("QAbstractScrollArea") && !widget->inherits("oa::ScrollView") &&
           (widget->focusPolicy() & Qt::TabFocus) && !widget->isWindow();
}

QString roleName(QAccessible::Role role) {
    const char* key = QMetaEnum::fromType<QAccessible::Role>().valueToKey(role);
    return key ? QString::fromLatin1(key) : QString::number(role);
}

QString stateText(const QAccessible::State& state) {
    QStringList parts;
    if (state.checked) {
        parts << QStringLiteral("checked");
    }
    if (state.selected) {
        parts << QStringLiteral("selected");
    }
    if (state.focused) {
        parts << QStringLiteral("focused");
    }
    if (state.disabled) {
        parts << QStringLiteral("disabled");
    }
    if (state.busy) {
        parts << QStringLiteral("busy");
    }
    return parts.join(QLatin1Char(' '));
}

void walk(QAccessibleInterface* iface, int depth, const QString& path, AccessibleTree& tree) {
    const QAccessible::State state = iface->state();
    if (state.invisible) {
        return;
    }
    const QString name = iface->text(QAccessible::Name).simplified();
    const QString here = path + QLatin1Char('/') + roleName(iface->role()) +
                         (name.isEmpty() ? QString() : QLatin1Char('[') + name + QLatin1Char(']'));
    const bool unnamed = name.isEmpty() && needsName(iface);
    if (unnamed) {
        QString detail = here;
        if (QObject* object = iface->object()) {
            detail += QStringLiteral(" (%1)").arg(QLatin1String(object->metaObject()->className()));
        }
        tree.unnamed << detail;
    }
    QString line = QString(depth * 2, QLatin1Char(' ')) + (unnamed ? QStringLiteral("! ") : "") +
                   roleName(iface->role()) + QStringLiteral(" \"") + name + QLatin1Char('"');
    if (const QString value = iface->text(QAccessible::Value); !value.isEmpty()) {
        line += QStringLiteral(" value=\"%1\"").arg(value);
    }
    if (const QString description = iface->text(QAccessible::Description); !description.isEmpty()) {
        line += QStringLiteral(" description=\"%1\"").arg(description.simplified());
    }
    if (const QString states = stateText(state); !states.isEmpty()) {
        line += QLatin1Char(' ') + states;
    }
    tree.text += line + QLatin1Char('\n');
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface* child = iface->child(i)) {
            walk(child, depth + 1, here, tree);
        }
    }
}

}  // namespace

AccessibleTree accessibleTree(QWidget* root) {
    installAccessibleKit();
    AccessibleTree tree;
    if (QAccessibleInterface* iface =
            root ? QAccessible::queryAccessibleInterface(root) : nullptr) {
        walk(iface, 0, QString(), tree);
    }
    return tree;
}

}  // namespace oa
