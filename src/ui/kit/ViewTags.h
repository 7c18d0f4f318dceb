// View tags: small integers attached to widgets so that a screen (or a test) can find a control
// or a badge in a widget tree by number, as the screens identify their controls.
#pragma once

class QWidget;

namespace oa {

// Attaches `tag` to the widget; 0 (the default of every widget) removes it.
void setTag(QWidget* widget, int tag);
// The widget's tag, 0 when it has none or the widget is null.
int tag(const QWidget* widget);
// The first widget carrying `tag` in the tree under `root`, `root` included, searched depth
// first with siblings in child order (creation order unless restacked). nullptr when none has
// it, when `root` is null, or for tag 0, which every untagged widget carries.
QWidget* viewWithTag(QWidget* root, int tag);

// viewWithTag with a checked cast; nullptr when the widget found is of another class.
template <typename T>
T* viewWithTag(QWidget* root, int tagValue) {
    return qobject_cast<T*>(viewWithTag(root, tagValue));
}

}  // namespace oa
