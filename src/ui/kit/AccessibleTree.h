// AccessibleTree: a screen as a screen reader sees it, one line per accessible object (role,
// name, value, state), and the visible controls in it that have no name.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace oa {

struct AccessibleTree {
    QString text;         // indented by depth; "!" marks a visible control without a name
    QStringList unnamed;  // the path of each visible control without a name
};

AccessibleTree accessibleTree(QWidget* root);

}  // namespace oa
