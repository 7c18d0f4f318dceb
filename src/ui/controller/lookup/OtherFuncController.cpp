// OtherFuncController: the tables, the search view, searches in the background and the detail
// screen.
#include "ui/controller/lookup/OtherFuncController.h"

#include <QVBoxLayout>
#include <functional>

#include "core/platform/MainLoop.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/lookup/AddressView.h"
#include "ui/controller/lookup/TelNoView.h"
#include "ui/controller/lookup/UserView.h"
#include "ui/controller/lookup/WeatherView.h"
#include "ui/kit/NavigationController.h"

namespace oa {

namespace {

using ViewCreator = std::function<OtherBaseView*()>;

const std::map<std::string, ViewCreator, std::less<>>& searchViews() {
    static const std::map<std::string, ViewCreator, std::less<>> views = {
        {"AddressView", [] { return new AddressView; }},
        {"TelNoView", [] { return new TelNoView; }},
        {"UserView", [] { return new UserView; }},
        {"WeatherView", [] { return new WeatherView; }},
    };
    return views;
}

}  // namespace

OtherFuncController::OtherFuncController(QObject* parent)
    : ViewController(parent),
      boDic_{{"address", "AddressBO"},
             {"tel_no", "TelNoBO"},
             {"user", "UserBO"},
             {"weather", "WeatherBO"}},
      viewDic_{{"address", "AddressView"},
               {"tel_no", "TelNoView"},
               {"user", "UserView"},
               {"weather", "WeatherView"}} {}

OtherFuncController::~OtherFuncController() = default;

void OtherFuncController::loadView() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("lookupPage"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    setView(page);
    setTitle(QString::fromStdString(func_title_));

    const auto named = viewDic_.find(func_type_);
    if (named == viewDic_.end()) {
        return;
    }
    const auto& views = searchViews();
    const auto creator = views.find(named->second);
    if (creator == views.end()) {
        return;
    }
    OtherBaseView* search = creator->second();
    search->setObjectName(QString::fromStdString(named->second));
    search->setOther_delegate(this);
    search->createView();
    layout->addWidget(search);
    searchView_ = search;
}

void OtherFuncController::viewWillAppear(bool animated) {
    setCustomBackButton();
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

void OtherFuncController::searchInfo(const Terms& terms) {
    const auto named = boDic_.find(func_type_);
    if (named == boDic_.end()) {
        return;
    }
    runner_.submit([key = func_type_, boClass = named->second, terms]() -> Task {
        backSearch(key, boClass, terms);
        return {};
    });
}

void OtherFuncController::backSearch(const std::string& key, const std::string& boClass,
                                     const Terms& terms) {
    const auto logic =
        std::dynamic_pointer_cast<OtherBaseBO>(ModuleLogicFactory::create(boClass, key));
    if (logic) {
        logic->search(terms);
    }
}

void OtherFuncController::lookDetail(std::shared_ptr<BaseVO> record, const std::string& key) {
    auto* detail = new DetailController;
    detail->setFunc_type(key);
    detail->setList_vo(std::move(record));
    pushDetail(detail);
}

void OtherFuncController::lookDetail(std::vector<TelVO> places, const std::string& key) {
    auto* detail = new DetailController;
    detail->setFunc_type(key);
    detail->setTel_array(std::move(places));
    pushDetail(detail);
}

void OtherFuncController::lookDetail(const std::string& key, const Text& cityName) {
    auto* detail = new DetailController;
    detail->setFunc_type(key);
    detail->setCity_name(cityName);
    pushDetail(detail);
}

void OtherFuncController::pushDetail(DetailController* detail) {
    // Owned by this screen until pushed, so that it goes with the screen otherwise.
    detail->setParent(this);
    const QPointer<OtherFuncController> guard(this);
    const QPointer<DetailController> pending(detail);
    MainLoop::main().post([guard, pending] {
        if (!guard || !pending) {
            return;
        }
        NavigationController* nav = guard->navigationController();
        if (!nav || nav->topViewController() != guard) {
            delete pending;
            return;
        }
        pending->setParent(nullptr);
        nav->pushViewController(pending, true);
        emit guard->detailPushed(pending);
    });
}

}  // namespace oa
