// Stretchable images: a picture drawn at any size by keeping its corners and edges and stretching
// one middle column and one middle row, as the chat bubbles and bars stretch their artwork.
#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

class QPainter;

namespace oa {

// A picture with caps: the left `leftCap` points and the top `topCap` points are drawn as they
// are, the column right of the left cap and the row below the top cap (one point each) are
// stretched, and the rest (the right and bottom caps) is drawn as it is. A cap of 0 stretches the
// whole width (or height) instead.
struct StretchableImage {
    QPixmap pixmap;
    int leftCap = 0;
    int topCap = 0;

    bool isNull() const { return pixmap.isNull(); }
    // The picture's size in points.
    QSize size() const;
    // Draws the picture stretched over `target` (points, in the painter's coordinates).
    void draw(QPainter& painter, const QRect& target) const;
};

// The image called `name` (see Images.h) with its caps.
StretchableImage stretchableImage(const QString& name, int leftCap, int topCap);

// A widget filled with a stretchable image (transparent where the picture is).
class StretchableImageView : public QWidget {
    Q_OBJECT
public:
    explicit StretchableImageView(QWidget* parent = nullptr);

    const StretchableImage& image() const { return image_; }
    void setImage(const StretchableImage& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StretchableImage image_;
};

}  // namespace oa
