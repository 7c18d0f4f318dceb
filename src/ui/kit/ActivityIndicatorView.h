// ActivityIndicatorView: the small grey spinner of a list that is loading, twelve spokes turning
// while it runs and nothing shown while it stands.
#pragma once

#include <QColor>
#include <QWidget>

class QTimer;

namespace oa {

class ActivityIndicatorView : public QWidget {
    Q_OBJECT
public:
    explicit ActivityIndicatorView(QWidget* parent = nullptr);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const;

    QColor color() const { return color_; }
    void setColor(const QColor& colour);

    QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* timer_;
    int step_ = 0;
    QColor color_{Qt::gray};
};

}  // namespace oa
