// AnimatedImageView: an SVG renderer that repaints the view whenever its animation moves on.
#include "ui/kit/AnimatedImageView.h"

#include <QPainter>
#include <QSvgRenderer>

#include "ui/kit/Images.h"

namespace oa {

namespace {
constexpr int kFramesPerSecond = 15;
}

AnimatedImageView::AnimatedImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void AnimatedImageView::setImageName(const QString& name) {
    name_ = name;
    delete renderer_;
    renderer_ = nullptr;
    still_ = QPixmap();
    if (const QString svg = imageSvgPath(name); !svg.isEmpty()) {
        renderer_ = new QSvgRenderer(svg, this);
        if (!renderer_->isValid()) {
            delete renderer_;
            renderer_ = nullptr;
        } else if (renderer_->animated()) {
            renderer_->setFramesPerSecond(kFramesPerSecond);
            connect(renderer_, &QSvgRenderer::repaintNeeded, this,
                    qOverload<>(&AnimatedImageView::update));
        }
    } else if (!name.isEmpty()) {
        still_ = image(name);
    }
    update();
}

bool AnimatedImageView::hasImage() const {
    return renderer_ != nullptr || !still_.isNull();
}

bool AnimatedImageView::isAnimated() const {
    return renderer_ && renderer_->animated();
}

void AnimatedImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (renderer_) {
        renderer_->render(&painter, QRectF(rect()));
    } else if (!still_.isNull()) {
        painter.drawPixmap(rect(), still_);
    }
}

}  // namespace oa
