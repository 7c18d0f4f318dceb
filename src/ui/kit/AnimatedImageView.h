// AnimatedImageView: shows an image of the resources by name and plays the motion its SVG source
// carries (SMIL animateTransform and animateColor). A name without an SVG source is drawn still,
// as image() renders it; an unknown name shows nothing.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class QSvgRenderer;

namespace oa {

class AnimatedImageView : public QWidget {
    Q_OBJECT
public:
    explicit AnimatedImageView(QWidget* parent = nullptr);

    // Replaces the picture; an empty name clears it.
    void setImageName(const QString& name);
    const QString& imageName() const { return name_; }
    // Whether a picture was found for the name.
    bool hasImage() const;
    // Whether the picture moves.
    bool isAnimated() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    QSvgRenderer* renderer_ = nullptr;  // null when the picture has no SVG source
    QPixmap still_;
};

}  // namespace oa
