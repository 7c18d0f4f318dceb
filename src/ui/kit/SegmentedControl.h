// SegmentedControl: a row of titled segments of which one is selected, drawn in the bar style
// of a navigation bar in a tint colour; the diary list's "工作日志"/"共享日志" switch.
#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

namespace oa {

class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(const QStringList& titles = {}, QWidget* parent = nullptr);

    int numberOfSegments() const { return static_cast<int>(titles_.size()); }
    // An index outside 0..numberOfSegments() appends.
    void insertSegmentWithTitle(const QString& title, int index);
    void removeAllSegments();
    // Empty for an index that is not a segment.
    QString titleForSegmentAtIndex(int index) const;

    // -1 when no segment is selected. Setting it does not emit valueChanged; an index that is
    // not a segment selects none.
    int selectedSegmentIndex() const { return selected_; }
    void setSelectedSegmentIndex(int index);

    QColor tintColor() const { return tint_; }
    void setTintColor(const QColor& colour);

    QSize sizeHint() const override { return {120, 25}; }

signals:
    // The user selected another segment (click, tap or the arrow keys).
    void valueChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend struct AccessibleSegments;
    int segmentAt(QPointF pos) const;
    QRectF segmentRect(int index) const;
    void selectByUser(int index);

    QStringList titles_;
    int selected_ = -1;
    int pressed_ = -1;
    QColor tint_{70, 130, 180};
};

}  // namespace oa
