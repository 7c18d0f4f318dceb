// NavigationBar: painting and item layout.
#include "ui/kit/NavigationBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "ui/kit/Fonts.h"

namespace oa {

namespace {
constexpr int kTitleFontSize = 20;
constexpr int kBackButtonHeight = 30;
constexpr int kBackButtonMaxWidth = 100;
}  // namespace

NavigationBar::NavigationBar(QWidget* parent) : QWidget(parent), backButton_(new QPushButton) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    backButton_->setObjectName(QStringLiteral("navigationBackButton"));
    // Tab reaches it and Enter presses it (as Space does); a click leaves the focus where it is.
    backButton_->setFocusPolicy(Qt::TabFocus);
    backButton_->setAutoDefault(true);
    backButton_->setCursor(Qt::PointingHandCursor);
    backButton_->setFont(boldSystemFont(12));
    backButton_->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; padding: 0 8px; border: 1px solid rgba(0, 0, 0, 90);"
        " border-radius: 5px; background: rgba(255, 255, 255, 40); }"
        "QPushButton:pressed { background: rgba(0, 0, 0, 50); }"
        "QPushButton:focus { border: 2px solid #8fd0ff; }"));
    backButton_->setParent(this);
    backButton_->hide();
    connect(backButton_, &QPushButton::clicked, this, &NavigationBar::backRequested);
}

void NavigationBar::setBackgroundImage(const QPixmap& image) {
    background_ = image;
    update();
}

void NavigationBar::setBackButtonTitle(const QString& title) {
    const QFontMetrics metrics(backButton_->font());
    const int width = std::min(kBackButtonMaxWidth, metrics.horizontalAdvance(title) + 18);
    backButton_->setText(metrics.elidedText(title, Qt::ElideRight, width - 18));
    backButton_->resize(width, kBackButtonHeight);
    layoutItems();
}

void NavigationBar::setItems(const QString& title, QWidget* titleView, QWidget* left,
                             QWidget* right) {
    for (QWidget* old : {titleView_.data(), left_.data(), right_.data()}) {
        if (old && old != titleView && old != left && old != right) {
            old->hide();
        }
    }
    title_ = title;
    titleView_ = titleView;
    left_ = left;
    right_ = right;
    for (QWidget* item : {titleView, left, right}) {
        if (item) {
            if (item->parentWidget() != this) {
                item->setParent(this);
            }
            item->show();
            item->raise();
        }
    }
    layoutItems();
    update();
}

QSize NavigationBar::itemSize(QWidget* item) {
    // An item that was given a size keeps it; otherwise it gets what it asks for.
    if (item->testAttribute(Qt::WA_Resized)) {
        return item->size();
    }
    const QSize hint = item->sizeHint();
    return hint.isValid() ? hint : item->size();
}

void NavigationBar::layoutItems() {
    const int h = height();
    if (left_) {
        const QSize s = itemSize(left_);
        left_->setGeometry(kItemMargin, (h - s.height()) / 2, s.width(), s.height());
    }
    if (right_) {
        const QSize s = itemSize(right_);
        right_->setGeometry(width() - kItemMargin - s.width(), (h - s.height()) / 2, s.width(),
                            s.height());
    }
    if (titleView_) {
        const QSize s = itemSize(titleView_);
        titleView_->setGeometry((width() - s.width()) / 2, (h - s.height()) / 2, s.width(),
                                s.height());
    }
}

QRect NavigationBar::titleRect() const {
    const QFontMetricsF metrics(boldSystemFont(kTitleFontSize));
    const int leftEdge = left_ ? left_->geometry().right() + 1 + kItemMargin : kItemMargin;
    const int rightEdge = right_ ? right_->geometry().left() - kItemMargin : width() - kItemMargin;
    const int available = std::max(0, rightEdge - leftEdge);
    // The text's own fractional width, rounded up: at its rounded advance a title that fits
    // would be elided.
    const int textWidth =
        std::min(static_cast<int>(std::ceil(metrics.horizontalAdvance(title_))), available);
    // Centred on the whole bar when that leaves the items uncovered, else centred between them.
    int x = (width() - textWidth) / 2;
    if (x < leftEdge || x + textWidth > rightEdge) {
        x = leftEdge + (available - textWidth) / 2;
    }
    return QRect(x, 0, textWidth, height());
}

void NavigationBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!background_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), background_);
    } else {
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(0x4a, 0x86, 0xc8));
        gradient.setColorAt(1, QColor(0x24, 0x5e, 0x9e));
        painter.fillRect(rect(), gradient);
    }
    if (titleView_ || title_.isEmpty()) {
        return;
    }
    const QFont font = boldSystemFont(kTitleFontSize);
    painter.setFont(font);
    const QRect box = titleRect();
    const QString text = QFontMetrics(font).elidedText(title_, Qt::ElideRight, box.width());
    painter.setPen(QColor(0, 0, 0, 110));
    painter.drawText(box.translated(0, -1), Qt::AlignCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

void NavigationBar::resizeEvent(QResizeEvent*) {
    layoutItems();
}

}  // namespace oa
