// PictureView: a widget that shows one of the client's images, stretched over its area or
// repeated as a pattern; mouse clicks are reported, so a picture can take taps.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace oa {

class PictureView : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Stretch, Tile };

    explicit PictureView(const QPixmap& picture = {}, Mode mode = Mode::Stretch,
                         QWidget* parent = nullptr);

    QPixmap picture() const { return picture_; }
    void setPicture(const QPixmap& picture);
    Mode mode() const { return mode_; }

signals:
    void tapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    Mode mode_;
    bool pressed_ = false;
};

}  // namespace oa
