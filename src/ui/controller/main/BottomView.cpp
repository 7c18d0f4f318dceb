// BottomView: the items of the tab bar and the selection among them.
#include "ui/controller/main/BottomView.h"

#include <QPainter>

#include "ui/controller/main/BottomDelegate.h"
#include "ui/controller/main/MyImageView.h"
#include "ui/kit/Images.h"

namespace oa {

namespace {

struct Tab {
    const char* key;
    const char* selected;
    const char* normal;
    const char* title;  // what a screen reader reads for the picture
};

constexpr Tab kTabs[] = {
    {"home", "home1", "home2", "首页"},
    {"message", "message1", "message2", "微讯"},
    {"remind", "remind1", "remind2", "事务提醒"},
    {"affairs", "affairs1", "affairs2", "更多"},
};

}  // namespace

BottomView::BottomView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("bottomView"));
}

void BottomView::createView() {
    pattern_ = image(QStringLiteral("footer_bg.png"));
    int i = 0;
    for (const Tab& tab : kTabs) {
        auto* item = new MyImageView(this);
        item->setObjectName(QString::fromUtf8(tab.key));
        item->setGeometry(i * 80, 2, 80, 49);
        item->setNormal_img(image(QString::fromUtf8(tab.normal)));
        item->setLight_img(image(QString::fromUtf8(tab.selected)));
        item->setType_name(tab.key);
        item->setAccessibleName(QString::fromUtf8(tab.title));
        if (i == 0) {
            item->setHighlighted(true);
            tempMyView_ = item;
        }
        connect(item, &MyImageView::tapped, this, [this, item] { changeState(item); });
        ++i;
    }
    update();
}

void BottomView::changeState(MyImageView* tapped) {
    if (!tapped || tapped == tempMyView_) {
        return;
    }
    tapped->setHighlighted(true);
    if (tempMyView_) {
        tempMyView_->setHighlighted(false);
    }
    tempMyView_ = tapped;
    if (bottom_delegate_) {
        bottom_delegate_->changeView(tapped->type_name());
    }
}

QList<MyImageView*> BottomView::items() const {
    return findChildren<MyImageView*>(QString(), Qt::FindDirectChildrenOnly);
}

MyImageView* BottomView::item(const std::string& key) const {
    for (MyImageView* candidate : items()) {
        if (candidate->type_name() == key) {
            return candidate;
        }
    }
    return nullptr;
}

void BottomView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (pattern_.isNull()) {
        painter.fillRect(rect(), QColor(0x20, 0x24, 0x2a));
        return;
    }
    painter.drawTiledPixmap(rect(), pattern_);
}

}  // namespace oa
