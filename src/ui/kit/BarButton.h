// BarButton: the custom navigation bar buttons of the screens: a title in a 13-point font over a
// stretched background image, such as the back button "  返回" and the right buttons "保存",
// "发微讯" and the like.
#pragma once

#include <QPushButton>
#include <QString>

namespace oa {

class BarButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr QSize kSize{50, 25};
    static constexpr int kFontSize = 13;

    // `imageName` as for image(); `size` in points.
    BarButton(const QString& title, const QString& imageName, QSize size = kSize,
              QWidget* parent = nullptr);

    QString imageName() const { return imageName_; }

    // "  返回" (two leading spaces) on "btnback1.png", 50 x 25 points.
    static BarButton* backButton();
    // `title` on "btn_background1", 50 x 25 points.
    static BarButton* rightButton(const QString& title);

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString imageName_;
};

}  // namespace oa
