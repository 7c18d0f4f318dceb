// Stretchable images drawn in nine parts: four corners as they are, four edges stretched along
// one axis, the centre stretched along both.
#include "ui/kit/StretchableImage.h"

#include <QPainter>
#include <array>

#include "ui/kit/Images.h"

namespace oa {

namespace {

// One axis of the nine parts: the start cap, the stretched middle and the end cap, in source
// pixels and in target points.
struct Axis {
    std::array<qreal, 4> source;  // edges of the three source spans
    std::array<qreal, 4> target;  // edges of the three target spans
};

Axis splitAxis(int cap, qreal sizePoints, qreal dpr, int targetStart, int targetLength) {
    Axis axis{};
    const qreal pixels = sizePoints * dpr;
    if (cap <= 0 || cap + 1 > sizePoints) {
        // No cap (or one past the picture): everything stretches.
        axis.source = {0, 0, pixels, pixels};
        axis.target = {qreal(targetStart), qreal(targetStart), qreal(targetStart + targetLength),
                       qreal(targetStart + targetLength)};
        return axis;
    }
    const qreal endCap = sizePoints - cap - 1;
    axis.source = {0, cap * dpr, (cap + 1) * dpr, pixels};
    // A target narrower than both caps shrinks the caps alike rather than overlapping them.
    qreal startLen = cap;
    qreal endLen = endCap;
    if (startLen + endLen > targetLength) {
        const qreal factor = targetLength / (startLen + endLen);
        startLen *= factor;
        endLen *= factor;
    }
    axis.target = {qreal(targetStart), targetStart + startLen, targetStart + targetLength - endLen,
                   qreal(targetStart + targetLength)};
    return axis;
}

}  // namespace

QSize StretchableImage::size() const {
    if (pixmap.isNull()) {
        return {};
    }
    return (QSizeF(pixmap.size()) / pixmap.devicePixelRatio()).toSize();
}

void StretchableImage::draw(QPainter& painter, const QRect& target) const {
    if (pixmap.isNull() || target.isEmpty()) {
        return;
    }
    const qreal dpr = pixmap.devicePixelRatio();
    const QSizeF points = QSizeF(pixmap.size()) / dpr;
    const Axis x = splitAxis(leftCap, points.width(), dpr, target.x(), target.width());
    const Axis y = splitAxis(topCap, points.height(), dpr, target.y(), target.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRectF from(QPointF(x.source[col], y.source[row]),
                              QPointF(x.source[col + 1], y.source[row + 1]));
            const QRectF to(QPointF(x.target[col], y.target[row]),
                            QPointF(x.target[col + 1], y.target[row + 1]));
            if (from.isEmpty() || to.isEmpty()) {
                continue;
            }
            painter.drawPixmap(to, pixmap, from);
        }
    }
    painter.restore();
}

StretchableImage stretchableImage(const QString& name, int leftCap, int topCap) {
    return {image(name), leftCap, topCap};
}

StretchableImageView::StretchableImageView(QWidget* parent) : QWidget(parent) {}

void StretchableImageView::setImage(const StretchableImage& image) {
    image_ = image;
    update();
}

void StretchableImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    image_.draw(painter, rect());
}

}  // namespace oa
