// HomeView: building the grid from the module catalogue and applying counters to its badges.
#include "ui/controller/main/HomeView.h"

#include <QLabel>
#include <QRegion>

#include "core/protocol/ModuleCatalogue.h"
#include "ui/controller/main/HomeService.h"
#include "ui/controller/main/MyView.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/JSBadgeView.h"
#include "ui/kit/ViewTags.h"
#include "ui/session/MainScreen.h"
#include "ui/session/PictureView.h"

namespace oa {

HomeView::HomeView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("homeView"));
}

QRect HomeView::cellFrame(int index, bool threeColumns) {
    if (threeColumns) {
        return {(index % 3) * 90, (index / 3) * 100 + 25, 80, 80};
    }
    return {(index % 4) * 80, (index / 4) * 100 + 50, 80, 80};
}

QRect HomeView::iconFrame(bool threeColumns) {
    return {threeColumns ? 45 : 12, 0, 52, 52};
}

QRect HomeView::labelFrame(bool threeColumns) {
    return {threeColumns ? 33 : 0, 55, 75, 15};
}

void HomeView::createView(const std::vector<std::string>& keys) {
    const QSize screen = mainScreenSize();
    const bool three = isTallScreen();
    background_ = new PictureView(image(QStringLiteral("mainbackground.png")),
                                  PictureView::Mode::Stretch, this);
    background_->setGeometry(0, 0, std::max(width(), screen.width()), screen.height());

    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string& key = keys[i];
        const auto title = ModuleCatalogue::homeTitle(key);
        const auto icon = ModuleCatalogue::homeIcon(key);
        const auto tagValue = ModuleCatalogue::badgeTag(key);
        if (!title || !icon || !tagValue) {
            continue;  // the place stays empty
        }
        auto* cell = new MyView(this);
        cell->setObjectName(QString::fromStdString(key));
        cell->setFunc_name(key);
        cell->setFunc_title(*title);
        // On three columns the icon and the title reach beyond the 80-point cell; the cell's
        // widget grows to hold them (a widget cannot paint outside itself), and its mask keeps
        // taps in the empty part from landing on this cell rather than its neighbour.
        const QRect frame = cellFrame(static_cast<int>(i), three);
        const QRect content = QRect(QPoint(), frame.size()) | iconFrame(three) | labelFrame(three);
        cell->setGeometry(QRect(frame.topLeft(), content.size()));
        if (content.size() != frame.size()) {
            cell->setMask(QRegion(QRect(QPoint(), frame.size())) + iconFrame(three) +
                          labelFrame(three));
        }
        cell->setToolTip(QString::fromStdString(*title));

        // A missing picture leaves the icon empty; the badge and title still show.
        auto* iconView =
            new PictureView(image(QString::fromStdString(*icon)), PictureView::Mode::Stretch, cell);
        iconView->setAttribute(Qt::WA_TransparentForMouseEvents);
        iconView->setGeometry(iconFrame(three));
        auto* badgeView = new JSBadgeView(iconView, JSBadgeView::Alignment::TopRight);
        setTag(badgeView, *tagValue);
        badgeView->setBadgeText(QString::fromUtf8(kInitialBadgeText));
        badgeView->setHidden(true);

        auto* label = new QLabel(QString::fromStdString(*title), cell);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setFont(systemFont(12));
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
        label->setGeometry(labelFrame(three));

        connect(cell, &MyView::tapped, this, [this, cell] { enterFunc(cell); });
    }
}

void HomeView::enterFunc(MyView* cell) {
    if (cell && home_service_) {
        home_service_->ChoiceFunc(cell->func_name(), cell->func_title());
    }
}

void HomeView::addPushFlag(const std::map<std::string, std::string>& counters) {
    for (const auto& [key, counter] : counters) {
        const auto tagValue = ModuleCatalogue::badgeTag(key);
        if (!tagValue) {
            continue;
        }
        auto* badgeView = viewWithTag<JSBadgeView>(this, *tagValue);
        if (!badgeView) {
            continue;  // the module has no cell on this grid
        }
        badgeView->setHidden(counter == "0");
        badgeView->setBadgeText(QString::fromStdString(counter));
        badgeView->setNeedsLayout();
    }
}

QList<MyView*> HomeView::cells() const {
    return findChildren<MyView*>(QString(), Qt::FindDirectChildrenOnly);
}

JSBadgeView* HomeView::badge(const std::string& key) const {
    const auto tagValue = ModuleCatalogue::badgeTag(key);
    return tagValue ? viewWithTag<JSBadgeView>(const_cast<HomeView*>(this), *tagValue) : nullptr;
}

void HomeView::resizeEvent(QResizeEvent*) {
    if (background_) {
        background_->setGeometry(0, 0, width(), std::max(height(), mainScreenSize().height()));
    }
}

}  // namespace oa
