// PlaceholderView: the body of a screen whose real content comes later: it names the screen
// and the inputs it was opened with, so that the ways into it can be used and checked now.
#pragma once

#include <QLabel>
#include <QStringList>

namespace oa {

class PlaceholderView : public QLabel {
    Q_OBJECT
public:
    // `heading` in large type, then one line per entry of `details`.
    PlaceholderView(const QString& heading, const QStringList& details, QWidget* parent = nullptr);

    QString heading() const { return heading_; }
    QStringList details() const { return details_; }

private:
    QString heading_;
    QStringList details_;
};

}  // namespace oa
