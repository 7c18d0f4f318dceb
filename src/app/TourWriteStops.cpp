// Tour: the write screen's editors: a diary, an e-mail with a recipient and a picture, the
// recipient picker and its departments, a schedule entry with the priority list, a group
// message, a diary whose saving fails and which stays open with its text (leaving it asks
// first), and a diary, an e-mail with a picture, a group message and a schedule entry that go
// through, the entry then showing in the schedule list.
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>

#include "app/Tour.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/ListRecords.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ASIFormDataRequest.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/write/AddReciverViewController.h"
#include "ui/controller/write/AllSendView.h"
#include "ui/controller/write/BranchViewController.h"
#include "ui/controller/write/CalendarWriteView.h"
#include "ui/controller/write/DiaryWriteView.h"
#include "ui/controller/write/EmailWriteView.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

NavigationController* writeStackOf(Window* window) {
    return window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
}

// The screen of class T on top, nothing moving and no progress indicator up.
template <typename T>
T* atRest(Window* window) {
    NavigationController* nav = writeStackOf(window);
    if (!nav || nav->isTransitioning() || nav->isRevealing() || nav->presentedViewController() ||
        ProgressHUD::state() != ProgressHUD::State::Hidden) {
        return nullptr;
    }
    auto* screen = qobject_cast<T*>(nav->topViewController());
    return screen && screen->isAppeared() ? screen : nullptr;
}

WriteController* pushWrite(Window* window, const std::string& kind,
                           std::vector<std::shared_ptr<UserVO>> to = {}) {
    auto* write = new WriteController;
    write->setFunc_type(kind);
    write->setUserAry(std::move(to));
    writeStackOf(window)->pushViewController(write, true);
    return write;
}

std::shared_ptr<UserVO> colleague(const char* id, const char* uid, const char* name) {
    auto person = std::make_shared<UserVO>();
    person->user_id = id;
    person->user_uid = uid;
    person->user_name = name;
    return person;
}

// A group message to 陈静 and 赵磊.
void pushGroupMessage(Window* window, const QString& text) {
    AllSendView* send = pushWrite(window, "message")->send_view();
    send->loadScrollView(send->user_scroll(),
                         {colleague("chenjing", "3", "陈静"), colleague("zhaolei", "4", "赵磊")});
    send->content_text()->setText(text);
}

// Leaves a write screen as a user who drops its content: "返回", then "放弃".
void leaveDropping(WriteController* write) {
    write->clickToBack();
    if (ActionSheet* question = write->leaveSheet()) {
        question->clickButtonAtIndex(1);
    }
}

// Back on the index after a submission, with "成功" showing.
std::function<bool()> succeeded(Window* window) {
    return [window] {
        NavigationController* nav = writeStackOf(window);
        return nav && !nav->isTransitioning() &&
               qobject_cast<IndexController*>(nav->topViewController()) &&
               ProgressHUD::state() == ProgressHUD::State::Success;
    };
}

// A small landscape, as a photo from the album would be.
QImage samplePhoto() {
    QImage photo(240, 160, QImage::Format_RGB32);
    QPainter painter(&photo);
    painter.fillRect(photo.rect(), QColor(135, 190, 235));
    painter.fillRect(QRect(0, 110, 240, 50), QColor(80, 150, 80));
    painter.setBrush(QColor(255, 200, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(190, 40), 18, 18);
    return photo;
}

}  // namespace

void Tour::addWriteStops() {
    Window* window = window_;
    auto faultSet = std::make_shared<bool>(false);
    auto listShown = std::make_shared<QElapsedTimer>();
    auto sheetShown = std::make_shared<QElapsedTimer>();
    stops_.push_back({"write: back to the index",
                      [window] {
                          NavigationController* nav = writeStackOf(window);
                          return nav && !nav->isTransitioning() && !nav->presentedViewController();
                      },
                      false,
                      [window] {
                          NavigationController* nav = writeStackOf(window);
                          for (ViewController* screen : nav->viewControllers()) {
                              if (qobject_cast<IndexController*>(screen)) {
                                  nav->popToViewController(screen, false);
                              }
                          }
                      }});
    stops_.push_back({"index for the diary",
                      [window] { return atRest<IndexController>(window) != nullptr; }, false,
                      [window] {
                          WriteController* write = pushWrite(window, "diary");
                          write->diary_view()->setContent(
                              QStringLiteral("上午走访两家客户，下午整理合同。"));
                      }});
    stops_.push_back({"35-write-diary",
                      [window] { return atRest<WriteController>(window) != nullptr; }, true,
                      [window] { leaveDropping(atRest<WriteController>(window)); }});
    stops_.push_back({"index for the e-mail",
                      [window] { return atRest<IndexController>(window) != nullptr; }, false,
                      [window] {
                          WriteController* write =
                              pushWrite(window, "email", {colleague("chenjing", "3", "陈静")});
                          EmailWriteView* email = write->email_view();
                          email->setSubject(QStringLiteral("季度报表"));
                          email->setContent(QStringLiteral("报表见图片。"));
                          write->didFinishPickingImage(samplePhoto());
                      }});
    stops_.push_back({"36-write-email",
                      [window] { return atRest<WriteController>(window) != nullptr; }, true,
                      [window] {
                          WriteController* write = atRest<WriteController>(window);
                          write->turnToSearch(2);
                          write->picker()->textFieldDidChange(QStringLiteral("赵"));
                      }});
    stops_.push_back({"37-email-picker",
                      [window] {
                          auto* picker = atRest<AddReciverViewController>(window);
                          return picker && !picker->isSearching() && !picker->list().empty();
                      },
                      true,
                      [window] {
                          auto* picker = atRest<AddReciverViewController>(window);
                          picker->clickToCheckIt(0, true);
                          picker->clickToChoose();
                      }});
    stops_.push_back(
        {"38-email-departments",
         [window] {
             auto* branch = atRest<BranchViewController>(window);
             return branch && !branch->isLoading() && !branch->dataAry().empty();
         },
         true,
         [window] {
             NavigationController* nav = writeStackOf(window);
             nav->popViewController(false);
             if (auto* picker = qobject_cast<AddReciverViewController*>(nav->topViewController())) {
                 picker->clickToSet();
             }
         }});
    stops_.push_back({"e-mail with its copy recipient",
                      [window] { return atRest<WriteController>(window) != nullptr; }, false,
                      [window] { leaveDropping(atRest<WriteController>(window)); }});
    stops_.push_back({"index for the schedule",
                      [window] { return atRest<IndexController>(window) != nullptr; }, false,
                      [window] {
                          WriteController* write = pushWrite(window, "calendar");
                          write->calendar_view()->setContent(QStringLiteral("部门例会"));
                      }});
    stops_.push_back({"schedule open",
                      [window] { return atRest<WriteController>(window) != nullptr; }, false,
                      [window, listShown] {
                          atRest<WriteController>(window)->calendar_view()->showLevelView();
                          listShown->start();
                      }});
    stops_.push_back({"39-write-schedule-priority",
                      [window, listShown] {
                          NavigationController* nav = writeStackOf(window);
                          auto* write = qobject_cast<WriteController*>(nav->topViewController());
                          // The list has faded in.
                          return listShown->elapsed() >= 500 && write && write->calendar_view() &&
                                 write->calendar_view()->levelList() &&
                                 write->calendar_view()->levelList()->isVisible();
                      },
                      true,
                      [window] {
                          auto* write = qobject_cast<WriteController*>(
                              writeStackOf(window)->topViewController());
                          write->calendar_view()->levelList()->select(1);
                          leaveDropping(write);
                      }});
    stops_.push_back(
        {"index for the group message",
         [window] { return atRest<IndexController>(window) != nullptr; }, false,
         [window] { pushGroupMessage(window, QStringLiteral("下午三点在三楼会议室开会。")); }});
    stops_.push_back({"40-write-message",
                      [window] { return atRest<WriteController>(window) != nullptr; }, true,
                      [window] { leaveDropping(atRest<WriteController>(window)); }});
    stops_.push_back(
        {"index for the failing diary",
         [window] { return atRest<IndexController>(window) != nullptr; }, false,
         [this, window, faultSet] {
             WriteController* write = pushWrite(window, "diary");
             write->diary_view()->setContent(QStringLiteral("这段文字在保存失败后仍然保留。"));
             // The demo server refuses the next diary once.
             const std::string address =
                 GlobalVar::getInstance_global().oa().value_or("") + "/demo/admin/fault";
             const QPointer<Tour> guard(this);
             runInBackground([guard, address, faultSet] {
                 auto request = ASIFormDataRequest::requestWithURL(address);
                 request->setPostValue(std::string("page"),
                                       std::string("/mobile/diary/submit.php"));
                 request->setPostValue(std::string("count"), std::string("1"));
                 request->setPostValue(std::string("status"), std::string("503"));
                 request->addRequestHeader("X-OA-Admin", "1");
                 request->startSynchronous();
                 MainLoop::main().post([guard, faultSet] {
                     if (guard) {
                         *faultSet = true;
                     }
                 });
             });
         }});
    stops_.push_back(
        {"diary to fail",
         [window, faultSet] { return *faultSet && atRest<WriteController>(window) != nullptr; },
         false, [window] { atRest<WriteController>(window)->saveInfo(); }});
    stops_.push_back({"41-write-failed",
                      [window] {
                          auto* write = qobject_cast<WriteController*>(
                              writeStackOf(window)->topViewController());
                          return write && !write->isSubmitting() &&
                                 ProgressHUD::state() == ProgressHUD::State::Error;
                      },
                      true, [] {}});
    stops_.push_back({"failed diary, its message gone",
                      [window] { return atRest<WriteController>(window) != nullptr; }, false,
                      [window, sheetShown] {
                          // The text was never sent: "返回" asks what to do with it.
                          atRest<WriteController>(window)->clickToBack();
                          sheetShown->start();
                      }});
    stops_.push_back({"42-write-leave-question",
                      [window, sheetShown] {
                          auto* write = qobject_cast<WriteController*>(
                              writeStackOf(window)->topViewController());
                          // The sheet has slid in.
                          return write && write->leaveSheet() && sheetShown->elapsed() >= 500;
                      },
                      true,
                      [window] {
                          auto* write = qobject_cast<WriteController*>(
                              writeStackOf(window)->topViewController());
                          write->leaveSheet()->clickButtonAtIndex(1);
                      }});
    // A writing screen filled in on the index, sent or saved once, and its "成功".
    auto sendOnce = [this, window](const QString& what, const QString& shot,
                                   std::function<void()> fillIn) {
        stops_.push_back({QStringLiteral("index for the ") + what,
                          [window] { return atRest<IndexController>(window) != nullptr; }, false,
                          std::move(fillIn)});
        stops_.push_back({what + QStringLiteral(" to send"),
                          [window] { return atRest<WriteController>(window) != nullptr; }, false,
                          [window] { atRest<WriteController>(window)->saveInfo(); }});
        stops_.push_back({shot, succeeded(window), true, [] {}});
    };
    sendOnce(QStringLiteral("diary"), QStringLiteral("43-write-saved"), [window] {
        WriteController* write = pushWrite(window, "diary");
        write->diary_view()->setContent(QStringLiteral("完成季度报表初稿，\n明天交财务部核对。"));
    });
    sendOnce(QStringLiteral("e-mail"), QStringLiteral("44-email-sent"), [window] {
        WriteController* write = pushWrite(window, "email", {colleague("chenjing", "3", "陈静")});
        write->email_view()->setSubject(QStringLiteral("季度报表"));
        write->email_view()->setContent(QStringLiteral("陈静：\n报表见图片，请核对。"));
        write->didFinishPickingImage(samplePhoto());
    });
    sendOnce(QStringLiteral("group message"), QStringLiteral("45-message-sent"),
             [window] { pushGroupMessage(window, QStringLiteral("下午三点开会，\n请准时到。")); });
    sendOnce(QStringLiteral("schedule"), QStringLiteral("46-schedule-saved"), [window] {
        WriteController* write = pushWrite(window, "calendar");
        write->calendar_view()->setContent(QStringLiteral("部门例会\n带上本周工作小结"));
    });
    stops_.push_back(
        {"index for the schedule list",
         [window] { return atRest<IndexController>(window) != nullptr; }, false,
         [window] { atRest<IndexController>(window)->ChoiceFunc("calendar", "日程安排"); }});
    stops_.push_back({"47-schedule-list-new",
                      [window] {
                          auto* list = atRest<FuncController>(window);
                          // Loaded, the pulled header closed again.
                          if (!list || list->loadsRunning() != 0 || !list->tableView() ||
                              list->tableView()->isLoading() ||
                              list->tableView()->contentInset() != EdgeInsets{} ||
                              list->tableView()->contentOffset() != 0) {
                              return false;
                          }
                          for (const auto& row : list->logic().list()) {
                              const auto* entry = dynamic_cast<const CalendarVO*>(row.get());
                              if (entry && entry->content.value_or("").starts_with("部门例会")) {
                                  return true;
                              }
                          }
                          return false;
                      },
                      true, [window] { writeStackOf(window)->popViewController(false); }});
}

}  // namespace oa
