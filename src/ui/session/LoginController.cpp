// LoginController: the title header of the sign-in screen.
#include "ui/session/LoginController.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/NavigationBar.h"

namespace oa {

namespace {

// The bar image stretched over the widget, as the navigation bar draws it.
class HeaderBackground : public QWidget {
public:
    HeaderBackground() : image_(image(QStringLiteral("topbackground.png"))) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (image_.isNull()) {
            painter.fillRect(rect(), QColor(0x32, 0x73, 0xbb));
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(rect(), image_);
        }
    }

private:
    QPixmap image_;
};

}  // namespace

LoginController::LoginController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("登录"));
}

void LoginController::loadView() {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("loginView"));
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The stack's bar is hidden on this screen, so the screen draws its own header.
    auto* header = new HeaderBackground;
    header->setFixedHeight(NavigationBar::kHeight);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    auto* titleLabel = new QLabel(title());
    titleLabel->setObjectName(QStringLiteral("loginTitle"));
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setFont(boldSystemFont(20));
    titleLabel->setStyleSheet(QStringLiteral("color: white;"));
    headerLayout->addWidget(titleLabel);

    layout->addWidget(header);
    layout->addStretch();
    setView(view);
}

}  // namespace oa
