// MyImageView: one item of the tab bar: its picture when selected and when not, and the tab it
// stands for.
#pragma once

#include <QPixmap>
#include <string>

#include "ui/session/PictureView.h"

namespace oa {

// The drawing and the taps are those of PictureView; this adds the two pictures and the tab key.
class MyImageView : public PictureView {
    Q_OBJECT
public:
    explicit MyImageView(QWidget* parent = nullptr);

    QPixmap normal_img() const { return normal_img_; }
    void setNormal_img(const QPixmap& picture);
    QPixmap light_img() const { return light_img_; }
    void setLight_img(const QPixmap& picture);
    const std::string& type_name() const { return type_name_; }
    void setType_name(const std::string& key) { type_name_ = key; }

    // The picture shown: light_img when highlighted, normal_img otherwise.
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    QPixmap image() const { return highlighted_ ? light_img_ : normal_img_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap normal_img_;
    QPixmap light_img_;
    std::string type_name_;
    bool highlighted_ = false;
};

}  // namespace oa
