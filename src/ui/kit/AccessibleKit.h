// AccessibleKit: what the kit's self-drawn widgets tell screen readers (role, name, value, state
// and the press action), through one accessibility factory installed on first use.
#pragma once

#include <QAccessible>

class QWidget;

namespace oa {

// Installs the kit's accessibility factory once; later calls do nothing. Cheap: Qt builds an
// interface only when an assistive technology (or a test) asks for one.
void installAccessibleKit();

// Gives a plain widget that stands for a control (a grid cell, a tab) its role. Its name is its
// accessibleName or, without one, what its children read (see accessibleSummary).
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// Controls a screen reader user moves to and activates (buttons, check boxes, fields, list
// rows, tabs...); each needs a name to be told apart.
bool isAccessibleControl(QAccessible::Role role);

// The checked (or, for a tab, selected) state of a widget given a role by setAccessibleRole;
// tells a listening screen reader when it changes.
void setAccessibleChecked(QWidget* widget, bool checked);
// Tells a listening screen reader that a self-drawn control's check state changed.
void notifyAccessibleChecked(QWidget* widget);

// Whether the widget with the keyboard's focus holds `widget` (a row of the focused table).
bool hasKeyboardAround(const QWidget* widget);

// One line for a composite widget such as a list row: the names its visible descendants read
// (labels, named pictures) in order, then their descriptions (a badge's "4 条未读", a row's
// "未读"), separated by "，".
QString accessibleSummary(QWidget* widget);

}  // namespace oa
