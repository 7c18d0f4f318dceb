// DetailController: the background fetch, the view by module key, replying and attachments.
#include "ui/controller/detail/DetailController.h"

#include <QVBoxLayout>

#include "core/platform/MainLoop.h"
#include "core/protocol/DetailRecords.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/protocol/ReplyText.h"
#include "core/protocol/UserBO.h"
#include "ui/controller/detail/DetailView.h"
#include "ui/controller/detail/DetailViewRegistry.h"
#include "ui/controller/detail/WebDetailView.h"
#include "ui/controller/main/AttachmentViewController.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"

namespace oa {

DetailController::DetailController(QObject* parent) : ViewController(parent) {
    setCustomBackButton();
}

DetailController::Fetched DetailController::fetchDetail(const std::string& key, const Text& itemId,
                                                        const Text& cityName) {
    if (key == "calendar" || key == "user" || key == "tel_no") {
        return {};
    }
    const std::shared_ptr<BaseBO> logic = ModuleLogicFactory::createDetailLogic(key);
    if (!logic) {
        return {};
    }
    Fetched fetched;
    if (key == "weather") {
        const auto days = logic->getWetherInfo(cityName);
        fetched.detail = days.empty() ? nullptr : days.front();
    } else {
        fetched.detail = logic->getDetailInfo(itemId);
    }
    fetched.failed = HttpRequest::lastFailure().has_value();
    return fetched;
}

bool DetailController::offersReply(const std::string& key, const std::shared_ptr<BaseVO>& detail) {
    if (key != "email") {
        return false;
    }
    const auto email = std::dynamic_pointer_cast<EmailDetailVO>(detail);
    return !email || integerValue(email->is_webmail.value_or("")) == 0;
}

DetailController::People DetailController::replyRecipients(const People& found,
                                                           const Text& fromName,
                                                           const Text& fromUserId) {
    People recipients;
    if (!fromName || fromName->empty()) {
        return recipients;
    }
    const bool byId = fromUserId && !fromUserId->empty();
    for (const auto& person : found) {
        if (person && person->user_name == fromName && (!byId || person->user_id == fromUserId)) {
            recipients.push_back(person);
        }
    }
    return recipients;
}

void DetailController::loadView() {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("detailPage"));
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    setView(view);

    const QPointer<DetailController> guard(this);
    const Text itemId = list_vo_ ? list_vo_->q_id : Text();
    runInBackground([guard, key = func_type_, itemId, city = city_name_] {
        Fetched fetched = fetchDetail(key, itemId, city);
        MainLoop::main().post([guard, fetched = std::move(fetched)] {
            if (guard) {
                guard->createTheView(fetched);
            }
        });
    });
}

void DetailController::createTheView(const Fetched& fetched) {
    detail_ = fetched.detail;
    DetailView* view = DetailViewRegistry::create(func_type_);
    if (view) {
        view->setObjectName(QStringLiteral("detailView"));
        if (func_type_ == "weather") {
            view->setCity_name(city_name_);
        } else {
            view->setPreviousRecord(list_vo_);
        }
        const QPointer<DetailController> guard(this);
        view->setAttachmentOpener([guard](int category, const std::string& address) {
            if (guard) {
                guard->turnReadAttachment(category, address);
            }
        });
        this->view()->layout()->addWidget(view);
        view->show();
        detailView_ = view;
    }
    if (offersReply(func_type_, detail_)) {
        setRightBarButton(QStringLiteral("回复"), [this] { clickToWrite(); });
    }
    if (view) {
        // A failed exchange still gives a record (every field absent); a page made from it
        // would show an empty item.
        auto* page = qobject_cast<WebDetailView*>(view);
        if (fetched.failed && page && page->needsDetail()) {
            page->showDetailFailure();
        } else {
            view->createView(detail_);
        }
    }
    emit detailShown();
}

void DetailController::clickToWrite() {
    if (searching_) {
        return;
    }
    const auto email = std::dynamic_pointer_cast<EmailVO>(list_vo_);
    const Text fromName = email ? email->from_name : Text();
    const auto detail = std::dynamic_pointer_cast<EmailDetailVO>(detail_);
    const Text fromUserId = detail ? detail->from_user_id : Text();
    if (!fromName || fromName->empty()) {
        // A search for "" finds the whole staff; nobody is addressed instead.
        pushWrite({});
        return;
    }
    searching_ = true;
    ProgressHUD::showWithStatus(QStringLiteral("正在加载..."));
    const QPointer<DetailController> guard(this);
    runInBackground([guard, fromName, fromUserId] {
        const UserBO users;
        People recipients = replyRecipients(
            UserBO::userList(users.httpJsonInfo({{"name", *fromName}})), fromName, fromUserId);
        MainLoop::main().post([guard, recipients = std::move(recipients)]() mutable {
            if (!guard) {
                return;
            }
            guard->searching_ = false;
            ProgressHUD::dismiss();
            guard->pushWrite(std::move(recipients));
        });
    });
}

void DetailController::pushWrite(People recipients) {
    NavigationController* nav = navigationController();
    if (!nav || nav->topViewController() != this) {
        return;
    }
    auto* write = new WriteController;
    write->setFunc_type(func_type_);
    write->setUserAry(std::move(recipients));
    nav->pushViewController(write, true);
}

void DetailController::turnReadAttachment(int category, const std::string& address) {
    NavigationController* nav = navigationController();
    if (!nav) {
        return;
    }
    auto* viewer = new AttachmentViewController;
    viewer->setAttachmentCategory(category);
    viewer->setAttachmentURL(address);
    nav->pushViewController(viewer, true);
}

void DetailController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

void DetailController::viewWillDisappear(bool) {
    ProgressHUD::dismiss();
}

}  // namespace oa
