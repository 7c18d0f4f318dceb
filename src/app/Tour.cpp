// Tour: the stops of the walk: sign-in, environment chooser, settings (also moved up for its
// lowest field), home grid with its badges after a real sign-in, the "more" page and the
// workflow page, closed by its own link; then a schedule entry, an e-mail page with "回复" and a
// reminder page.
#include "app/Tour.h"

#include <QDir>
#include <QFile>
#include <QGraphicsEffect>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include "app/ShownPicture.h"
#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/protocol/SmsBO.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/detail/WebDetailView.h"
#include "ui/controller/main/AttachmentViewController.h"
#include "ui/controller/main/BottomView.h"
#include "ui/controller/main/HomeView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/MyView.h"
#include "ui/controller/main/WorkflowController.h"
#include "ui/kit/AccessibleTree.h"
#include "ui/kit/AlertView.h"
#include "ui/kit/LeveyPopListView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TextField.h"
#include "ui/kit/Window.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"
#include "ui/session/SetController.h"

namespace oa {

namespace {

NavigationController* stackOf(Window* window) {
    return window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
}

// Nothing moves: no slide, reveal, fade or progress indicator under way.
bool settled(NavigationController* nav) {
    if (!nav || nav->isTransitioning() || nav->isRevealing()) {
        return false;
    }
    const ProgressHUD* hud = ProgressHUD::instance();
    return ProgressHUD::state() == ProgressHUD::State::Hidden && !(hud && hud->isVisible());
}

template <typename T>
T* top(NavigationController* nav) {
    return nav ? qobject_cast<T*>(nav->topViewController()) : nullptr;
}

}  // namespace

Tour::Tour(Window* window, QString folder, QObject* parent)
    : QObject(parent), window_(window), folder_(std::move(folder)), timer_(new QTimer(this)) {
    timer_->setInterval(kPollMs);
    connect(timer_, &QTimer::timeout, this, &Tour::poll);
}

void Tour::start(std::function<void(bool)> done) {
    done_ = std::move(done);
    if (!window_ || !QDir().mkpath(folder_)) {
        log("tour: no window or no folder " + folder_.toStdString());
        finish(false);
        return;
    }
    buildStops();
    timer_->start();
}

void Tour::buildStops() {
    Window* window = window_;
    auto login = [window] { return top<LoginController>(stackOf(window)); };

    stops_.push_back({"01-sign-in",
                      [window, login] {
                          const QWindow* handle = window->windowHandle();
                          return handle && handle->isExposed() && login() &&
                                 settled(stackOf(window));
                      },
                      true, [login] { login()->loginView()->openChoiceView(); }});
    stops_.push_back({"02-environments",
                      [login] {
                          LeveyPopListView* list =
                              login() ? login()->loginView()->choiceView() : nullptr;
                          return list && list->isVisible() && !list->graphicsEffect();
                      },
                      true, [login] { login()->loginView()->choiceView()->select(0); }});
    stops_.push_back({"environment chosen",
                      [login] { return login() && !login()->loginView()->choiceView(); }, false,
                      [login] { login()->enterSetController(); }});
    stops_.push_back({"03-settings",
                      [window] {
                          NavigationController* nav = stackOf(window);
                          return top<SetController>(nav) && settled(nav);
                      },
                      true,
                      [window] {
                          // Editing the last address moves the table up out of the keyboard's
                          // way.
                          auto* set = top<SetController>(stackOf(window));
                          TextField* field = set->field(SetController::kIp3Tag);
                          field->setFocus();
                          set->textFieldDidBeginEditing(field);
                      }});
    stops_.push_back({"04-settings-editing",
                      [window] {
                          auto* set = top<SetController>(stackOf(window));
                          return set && set->tableView()->y() == -SetController::kKeyboardShift;
                      },
                      true,
                      [window] {
                          auto* set = top<SetController>(stackOf(window));
                          set->takebackKeyboard();
                          set->clickToBack();
                      }});
    stops_.push_back(
        {"back at sign-in", [window, login] { return login() && settled(stackOf(window)); }, false,
         [this, login] {
             connect(login(), &LoginController::loginFinished, this, [](const QString& failure) {
                 if (!failure.isEmpty()) {
                     log("tour: sign-in failed: " + failure.toStdString());
                 }
             });
             login()->loginView()->loginEvent();
         }});
    // Over HTTPS with a certificate nobody trusts yet (./run.sh --https), the sign-in asks
    // first; the tour trusts it and the sign-in goes on. Over HTTP the home grid comes at once.
    auto trustAlert = [login]() -> AlertView* {
        AlertView* alert = login() ? login()->trustAlert() : nullptr;
        // Shown and faded in (the fade's effect goes once it is done).
        return alert && alert->isVisible() && !alert->isClosing() && !alert->graphicsEffect()
                   ? alert
                   : nullptr;
    };
    stops_.push_back({"04a-certificate-question",
                      [window, trustAlert] {
                          return trustAlert() != nullptr || top<IndexController>(stackOf(window));
                      },
                      true,
                      [trustAlert] {
                          AlertView* alert = trustAlert();
                          alert->clickButtonAtIndex(alert->firstOtherButtonIndex());
                      },
                      false, [trustAlert] { return trustAlert() == nullptr; }});
    stops_.push_back({"index shown",
                      [window] {
                          NavigationController* nav = stackOf(window);
                          return top<IndexController>(nav) && settled(nav);
                      },
                      false,
                      [this, window] {
                          // The first counters may have arrived already; ask again and wait
                          // for that answer.
                          auto* index = top<IndexController>(stackOf(window));
                          connect(index, &IndexController::countersApplied, this,
                                  [this] { ++countersApplied_; });
                          index->modulesChange();
                      }});
    stops_.push_back({"05-home", [this] { return countersApplied_ > 0; }, true,
                      [window] {
                          auto* index = top<IndexController>(stackOf(window));
                          BottomView* bar = index->bottom_view();
                          bar->changeState(bar->item("affairs"));
                      }});
    stops_.push_back({"06-more", [] { return true; }, true, [] {}});
    buildListStops();
    stops_.push_back({"lists closed",
                      [window] {
                          NavigationController* nav = stackOf(window);
                          return top<IndexController>(nav) && settled(nav);
                      },
                      false,
                      [this, window] {
                          // Back to the home grid, and through its workflow tile.
                          auto* index = top<IndexController>(stackOf(window));
                          BottomView* bar = index->bottom_view();
                          bar->changeState(bar->item("home"));
                          openWorkflow(index);
                      }});
    stops_.push_back(
        {"12-workflow", [this] { return workflowLoaded_ > 0 && settled(stackOf(window_)); }, true,
         [window] {
             // The page closes itself through its own "返回主界面" link.
             auto* page =
                 qobject_cast<WorkflowController*>(stackOf(window)->presentedViewController());
             page->webView()->runJavaScript(
                 QStringLiteral("document.querySelector('a[href^=\"backtomain\"]').click()"));
         },
         true});
    stops_.push_back({"workflow closed",
                      [window] {
                          NavigationController* nav = stackOf(window);
                          return !nav->presentedViewController() && settled(nav);
                      },
                      false, [this] { fetchDetailSamples(); }});
    addDetailStops();
    addMessageListStops();
    addDialogStops();
    addLookupStops();
    addPickerStops();
    addWriteStops();
    addDesktopStops();
    addZoomStops();
}

void Tour::fetchDetailSamples() {
    const QPointer<Tour> guard(this);
    runInBackground([guard] {
        auto first = [](const char* key, auto&& wanted) -> std::shared_ptr<BaseVO> {
            const auto logic = ModuleLogicFactory::createListLogic(key);
            const auto list = logic ? logic->getList() : std::nullopt;
            std::shared_ptr<BaseVO> found;
            for (const auto& record : list.value_or(RecordList())) {
                if (!found || wanted(record)) {
                    found = record;
                }
                if (wanted(record)) {
                    break;
                }
            }
            return found;
        };
        auto calendar = first("calendar", [](const auto&) { return true; });
        // One with attachments shows their links on the page.
        auto email = first("email", [](const std::shared_ptr<BaseVO>& record) {
            auto mail = std::dynamic_pointer_cast<EmailVO>(record);
            return mail && mail->has_attachment == "1";
        });
        // A reminder of a kind without a screen opens its own page.
        std::string reminder = "/mobile/sms/show.php?SMS_ID=1";
        for (const auto& sms : SmsBO().getSmsInfo()) {
            if (sms && sms->sms_url && !sms->sms_url->empty() &&
                !ModuleCatalogue::reminderModule(sms->sms_type.value_or(""))) {
                reminder = *sms->sms_url;
                break;
            }
        }
        MainLoop::main().post([guard, calendar, email, reminder] {
            if (guard) {
                guard->calendarSample_ = calendar;
                guard->emailSample_ = email;
                guard->reminderSample_ = reminder;
                guard->samplesFetched_ = true;
            }
        });
    });
}

void Tour::addDetailStops() {
    Window* window = window_;
    auto pushDetail = [window](const std::string& key, std::shared_ptr<BaseVO> record) {
        auto* detail = new DetailController;
        detail->setFunc_type(key);
        detail->setList_vo(std::move(record));
        stackOf(window)->pushViewController(detail, true);
        return detail;
    };
    auto detailShown = [window](const char* key) {
        NavigationController* nav = stackOf(window);
        auto* detail = top<DetailController>(nav);
        return detail && detail->func_type() == key && detail->detailView() && settled(nav);
    };
    stops_.push_back({"detail samples", [this] { return samplesFetched_; }, false,
                      [this, pushDetail] {
                          if (!calendarSample_) {
                              log("tour: the signed-in user has no schedule entry");
                          }
                          pushDetail("calendar", calendarSample_);
                      }});
    stops_.push_back({"13-schedule-detail", [detailShown] { return detailShown("calendar"); }, true,
                      [this, window, pushDetail] {
                          stackOf(window)->popViewController(false);
                          DetailController* detail = pushDetail("email", emailSample_);
                          connect(detail, &DetailController::detailShown, this, [this, detail] {
                              if (auto* page = qobject_cast<WebDetailView*>(detail->detailView())) {
                                  connect(page, &WebDetailView::pageFinished, this,
                                          [this] { ++detailPageLoaded_; });
                              }
                          });
                      }});
    stops_.push_back({"14-email-page",
                      [this, detailShown] { return detailPageLoaded_ > 0 && detailShown("email"); },
                      true,
                      [this, window] {
                          NavigationController* nav = stackOf(window);
                          nav->popViewController(false);
                          if (auto* index = top<IndexController>(nav)) {
                              index->showSmsViewWith(reminderSample_);
                          }
                      },
                      true});
    stops_.push_back({"15-reminder-page",
                      [window] {
                          NavigationController* nav = stackOf(window);
                          return top<AttachmentViewController>(nav) && settled(nav);
                      },
                      true, [window] { stackOf(window)->popViewController(false); }, true});
    stops_.push_back({"reminder page closed",
                      [window] {
                          NavigationController* nav = stackOf(window);
                          return top<IndexController>(nav) && settled(nav);
                      },
                      false, [] {}});
    addAttachmentStops();
}

void Tour::openWorkflow(IndexController* index) {
    for (MyView* cell : index->home_view()->cells()) {
        if (cell->func_name() != "workflow") {
            continue;
        }
        index->home_view()->enterFunc(cell);
        auto* page = qobject_cast<WorkflowController*>(stackOf(window_)->presentedViewController());
        if (page) {
            connect(page, &WorkflowController::pageFinished, this, [this] { ++workflowLoaded_; });
        }
        return;
    }
    log("tour: the signed-in user has no workflow tile");
}

void Tour::poll() {
    if (next_ >= stops_.size()) {
        finish(true);
        return;
    }
    Stop& stop = stops_[next_];
    if (!stop.ready()) {
        waitedMs_ += kPollMs;
        if (waitedMs_ > kStepTimeoutMs) {
            log("tour: gave up waiting at \"" + stop.name.toStdString() + "\"");
            finish(false);
        }
        return;
    }
    waitedMs_ = 0;
    ++next_;
    if (stop.skip && stop.skip()) {
        return;
    }
    if (stop.shot) {
        const QString path = QDir(folder_).absoluteFilePath(stop.name + ".png");
        if (!shotOf(stop).save(path, "PNG")) {
            log("tour: could not write " + path.toStdString());
            finish(false);
            return;
        }
        written_.append(path);
        log("screenshot: " + path.toStdString());
        // What a screen reader finds on the stop, beside its picture, for checking by eye.
        if (qEnvironmentVariableIsSet("OA_TOUR_ACCESSIBLE_TREE")) {
            QFile tree(QDir(folder_).absoluteFilePath(stop.name + ".accessible.txt"));
            if (tree.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                tree.write(accessibleTree(window_).text.toUtf8());
            }
        }
    }
    stop.then();
}

QPixmap Tour::shotOf(const Stop& stop) const {
    if (stop.picture) {
        return stop.picture();
    }
    // A web page is drawn by the engine's own compositor, which a widget grab may miss; the
    // screen has it when there is one.
    if (stop.fromScreen) {
        // What the screen shows lags behind the widgets until they are painted.
        window_->repaint();
        return shownPicture(*window_);
    }
    return window_->grab();
}

void Tour::finish(bool ok) {
    timer_->stop();
    if (done_) {
        auto done = std::move(done_);
        done(ok);
    }
}

}  // namespace oa
