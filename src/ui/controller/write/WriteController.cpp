// WriteController: editor by key, submission with its verdict, drafts and pictures.
#include "ui/controller/write/WriteController.h"

#include <QAbstractButton>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/CalendarBO.h"
#include "core/protocol/DiaryBO.h"
#include "core/protocol/EmailBO.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/MessageBO.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/write/AddReciverViewController.h"
#include "ui/controller/write/AllSendView.h"
#include "ui/controller/write/BranchViewController.h"
#include "ui/controller/write/CalendarWriteView.h"
#include "ui/controller/write/DiaryWriteView.h"
#include "ui/controller/write/DraftStore.h"
#include "ui/controller/write/EmailWriteView.h"
#include "ui/controller/write/PeopleJson.h"
#include "ui/controller/write/SubmitFailureText.h"
#include "ui/controller/write/UploadPictures.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/DateSheet.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/platform/PicturePicker.h"

namespace oa {

namespace {

// A change is on disk within this time.
constexpr int kDraftDelayMs = 500;

// The draft of a reply belongs to its recipients: the sorted ids, joined.
std::string recipientsKey(const std::vector<std::shared_ptr<UserVO>>& people) {
    std::vector<std::string> ids;
    for (const auto& person : people) {
        ids.push_back(person ? person->user_id.value_or("") : "");
    }
    std::sort(ids.begin(), ids.end());
    std::string out;
    for (const std::string& id : ids) {
        out += (out.empty() ? "" : ",") + id;
    }
    return out;
}

}  // namespace

WriteController::WriteController(QObject* parent)
    : ViewController(parent), draftTimer_(new QTimer(this)) {
    draftTimer_->setSingleShot(true);
    draftTimer_->setInterval(kDraftDelayMs);
    connect(draftTimer_, &QTimer::timeout, this, &WriteController::flushDraft);
}

WriteController::~WriteController() {
    // Quitting or a closed window keeps what was typed.
    flushDraft();
}

DiaryWriteView* WriteController::diary_view() const {
    return qobject_cast<DiaryWriteView*>(editor_.data());
}

EmailWriteView* WriteController::email_view() const {
    return qobject_cast<EmailWriteView*>(editor_.data());
}

CalendarWriteView* WriteController::calendar_view() const {
    return qobject_cast<CalendarWriteView*>(editor_.data());
}

AllSendView* WriteController::send_view() const {
    return send_view_;
}

QString WriteController::name() const {
    if (func_type_ == "diary" || func_type_ == "calendar") {
        return QStringLiteral("保存");
    }
    if (func_type_ == "email" || func_type_ == "message") {
        return QStringLiteral("发送");
    }
    return {};
}

void WriteController::loadView() {
    auto* root = new QWidget;
    // The window's height less the status and navigation bars.
    int windowHeight = 480;
    if (NavigationController* nav = navigationController(); nav && nav->isViewLoaded()) {
        windowHeight = nav->view()->window()->height();
    }
    const int height = std::max(0, windowHeight - 64);
    root->resize(320, height);

    WriteEditor* editor = nullptr;
    if (func_type_ == "diary") {
        editor = new DiaryWriteView(root);
    } else if (func_type_ == "email") {
        editor = userAry_.empty() ? new EmailWriteView(root) : new EmailWriteView(userAry_, root);
    } else if (func_type_ == "calendar") {
        editor = new CalendarWriteView(root);
    } else if (func_type_ == "message") {
        send_view_ = new AllSendView(root);
        send_view_->setGeometry(0, 0, 320, height);
        connect(send_view_->addButton(), &QAbstractButton::clicked, this,
                &WriteController::choiceUsers);
    }
    editor_ = editor;
    setView(root);

    right_ = setRightBarButton(name(), [this] { saveInfo(); });
    setSendButton(right_);
    // Also where the screen was opened without the stack's back button.
    back_ = setCustomBackButton([this] { clickToBack(); });
    if (send_view_) {
        openDraft();
        connect(send_view_->content_text(), &QPlainTextEdit::textChanged, this,
                &WriteController::draftChanged);
        connect(send_view_, &AllSendView::recipientsChanged, this, &WriteController::draftChanged);
    }
    if (!editor) {
        openedWith_ = currentDraft();
        return;
    }
    editor->setGeometry(0, 0, 320, height);
    openDraft();
    openedWith_ = currentDraft();
    connect(editor, &WriteEditor::changed, this, &WriteController::draftChanged);
    if (auto* diary = diary_view()) {
        connect(diary, &DiaryWriteView::openTheMenu, this, &WriteController::openTheMenu);
        connect(diary, &DiaryWriteView::dateSheetRequested, this, [this](const QDate& shown) {
            const QPointer<DiaryWriteView> target = diary_view();
            auto* sheet = new DateSheet(
                shown,
                [target](QDate chosen) {
                    if (target) {
                        target->setDate(chosen);
                    }
                },
                target);
            sheet_ = sheet;
            sheet->showInView(view()->window());
        });
    }
    if (auto* calendar = calendar_view()) {
        connect(calendar, &CalendarWriteView::timeSheetRequested, this,
                [this](int which, const QTime& shown) {
                    const QPointer<CalendarWriteView> target = calendar_view();
                    auto* sheet = new TimeSheet(
                        shown,
                        [target, which](QTime chosen) {
                            if (target) {
                                target->setTime(which, chosen);
                            }
                        },
                        target);
                    sheet_ = sheet;
                    sheet->showInView(view()->window());
                });
    }
    if (auto* email = email_view()) {
        connect(email, &EmailWriteView::openTheMenu, this, &WriteController::openTheMenu);
        connect(email, &EmailWriteView::turnToSearch, this, &WriteController::turnToSearch);
    }
}

void WriteController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

void WriteController::draftChanged() {
    if (finished_) {
        return;
    }
    draftPending_ = true;
    // Taken now: when the window goes, the editor's widgets may go before this screen.
    pendingDraft_ = currentDraft();
    if (!draftTimer_->isActive()) {
        draftTimer_->start();
    }
}

void WriteController::openDraft() {
    drafts_ = std::make_unique<DraftStore>(DraftStore::sessionKey(
        func_type_, func_type_ == "email" ? recipientsKey(userAry_) : std::string()));
    std::optional<QJsonObject> saved = drafts_->load();
    if (!saved) {
        return;
    }
    if (editor_) {
        editor_->restoreDraft(*saved);
    } else if (send_view_) {
        send_view_->loadScrollView(send_view_->user_scroll(),
                                   peopleFromJson(saved->value(QStringLiteral("to")).toArray()));
        send_view_->content_text()->setText(saved->value(QStringLiteral("content")).toString());
    }
    restored_ = true;
    ProgressHUD::showSuccessWithStatus(QStringLiteral("已恢复草稿"));
}

QJsonObject WriteController::currentDraft() const {
    if (editor_) {
        return editor_->draft();
    }
    if (send_view_) {
        return {{QStringLiteral("to"), peopleToJson(send_view_->user_arr())},
                {QStringLiteral("content"), send_view_->content_text()->text()}};
    }
    return {};
}

void WriteController::flushDraft() {
    draftTimer_->stop();
    if (!std::exchange(draftPending_, false) || finished_ || !drafts_) {
        return;
    }
    drafts_->save(pendingDraft_);
}

void WriteController::discardWork() {
    finished_ = true;
    draftPending_ = false;
    draftTimer_->stop();
    if (drafts_) {
        drafts_->remove();
    }
    if (editor_) {
        UploadPictures::remove(editor_->pictureFiles());
    }
}

bool WriteController::hasUnsentWork() const {
    return restored_ || currentDraft() != openedWith_;
}

void WriteController::clickToBack() {
    if (submitting_ || leave_) {
        return;
    }
    if (!hasUnsentWork() || !isViewLoaded()) {
        discardWork();
        leave();
        return;
    }
    auto* sheet = new ActionSheet({}, this, QStringLiteral("取消"), {},
                                  {QStringLiteral("保存草稿"), QStringLiteral("放弃")});
    leave_ = sheet;
    sheet->showInView(view()->window());
}

void WriteController::leave() {
    if (NavigationController* nav = navigationController();
        nav && nav->topViewController() == this) {
        nav->popViewController(true);
    }
}

void WriteController::setButtonsEnabled(bool enabled) {
    for (BarButton* button : {right_.data(), back_.data()}) {
        if (button) {
            button->setEnabled(enabled);
        }
    }
    // What is being sent stays as it is until the verdict.
    for (QWidget* editor :
         {static_cast<QWidget*>(editor_.data()), static_cast<QWidget*>(send_view_.data())}) {
        if (editor) {
            editor->setEnabled(enabled);
        }
    }
}

void WriteController::saveInfo() {
    if (submitting_ || finished_) {
        return;
    }
    Submission submission = makeSubmission();
    if (!submission) {
        return;
    }
    submitting_ = true;
    setButtonsEnabled(false);
    const bool saves = name() == QStringLiteral("保存");
    ProgressHUD::showWithStatus(saves ? QStringLiteral("正在保存...")
                                      : QStringLiteral("正在发送..."));
    const QPointer<WriteController> guard(this);
    runInBackground([guard, submission = std::move(submission)] {
        Outcome outcome = submission();
        MainLoop::main().post([guard, outcome = std::move(outcome)] {
            if (guard) {
                guard->finishSubmit(outcome);
            }
        });
    });
}

void WriteController::finishSubmit(const Outcome& outcome) {
    submitting_ = false;
    if (!outcome.ok) {
        setButtonsEnabled(true);
        ProgressHUD::dismissWithError(
            submitFailureText(name() == QStringLiteral("保存"), outcome.failure));
        emit submitFinished(false);
        return;
    }
    ProgressHUD::dismissWithSuccess(QStringLiteral("成功"));
    discardWork();
    emit submitFinished(true);
    leave();
}

WriteController::Submission WriteController::makeSubmission() {
    // The record is taken on the main thread; the task only sends it.
    // Runs on the submission's thread, whose last exchange it was.
    auto verdictOf = [](SubmitVerdict verdict) {
        if (verdict) {
            return Outcome{true, std::nullopt};
        }
        log("submission failed: " + verdict.reason);
        return Outcome{false, HttpRequest::lastFailure()};
    };
    if (DiaryWriteView* diary = diary_view()) {
        return [record = diary->getDiarySaveVO(), verdictOf] {
            return verdictOf(DiaryBO().saveDiary(record));
        };
    }
    if (EmailWriteView* email = email_view()) {
        std::optional<EmailSaveVO> record = email->getEmailSaveVO();
        if (!record) {
            return {};
        }
        return [record = std::move(*record), verdictOf] {
            return verdictOf(EmailBO().saveEmail(record));
        };
    }
    if (CalendarWriteView* calendar = calendar_view()) {
        return [record = calendar->getCalendarSaveVO(), verdictOf] {
            return verdictOf(CalendarBO().saveCalendar(record));
        };
    }
    if (send_view_) {
        std::optional<AllSendVO> record = send_view_->getAllSendVO();
        if (!record) {
            return {};
        }
        return [record = std::move(*record), verdictOf] {
            return verdictOf(MessageBO().sendMessages(record));
        };
    }
    return {};
}

void WriteController::openTheMenu() {
    if (menu_ || !isViewLoaded()) {
        return;
    }
    auto* sheet = new ActionSheet(QStringLiteral("图片上传"), this, QStringLiteral("取消"), {},
                                  {QStringLiteral("拍照"), QStringLiteral("用户相册")});
    menu_ = sheet;
    sheet->showInView(view()->window());
}

void WriteController::actionSheet(ActionSheet* sheet, int buttonIndex) {
    if (sheet == leave_) {
        if (submitting_) {
            return;
        }
        if (buttonIndex == 0) {
            // Written now, and nothing after: the next screen of this kind opens with it.
            pendingDraft_ = currentDraft();
            draftPending_ = true;
            flushDraft();
            finished_ = true;
            leave();
        } else if (buttonIndex == 1) {
            discardWork();
            leave();
        }
        return;
    }
    if (sheet != menu_) {
        return;
    }
    if (buttonIndex == 0) {
        takePhoto();
    } else if (buttonIndex == 1) {
        LocalPhoto();
    }
}

void WriteController::takePhoto() {
    std::shared_ptr<PicturePicker> pictures = PicturePicker::current();
    if (!pictures->hasCamera()) {
        return;
    }
    const QPointer<WriteController> guard(this);
    pictures->takePhoto(
        [guard](std::optional<QString> path) {
            if (guard && path) {
                guard->didFinishPickingFile(*path);
            } else if (!path) {
                log("您取消了选择图片");
            }
        },
        isViewLoaded() ? view()->window() : nullptr);
}

void WriteController::LocalPhoto() {
    const QPointer<WriteController> guard(this);
    PicturePicker::current()->pickFromLibrary(
        [guard](std::optional<QString> path) {
            if (guard && path) {
                guard->didFinishPickingFile(*path);
            } else if (!path) {
                log("您取消了选择图片");
            }
        },
        isViewLoaded() ? view()->window() : nullptr);
}

AddReciverViewController* WriteController::picker() const {
    return qobject_cast<AddReciverViewController*>(picker_.data());
}

void WriteController::turnToSearch(int which) {
    const QPointer<EmailWriteView> email = email_view();
    if (!email) {
        return;
    }
    pushPicker(which == 1 ? email->user_arr1() : email->user_arr2(),
               [email, which](std::vector<std::shared_ptr<UserVO>> people) {
                   if (email) {
                       email->loadScrollView(
                           which == 1 ? email->user_scroll1() : email->user_scroll2(), people);
                   }
               });
}

void WriteController::choiceUsers() {
    const QPointer<AllSendView> send = send_view_;
    if (!send) {
        return;
    }
    pushPicker(send->user_arr(), [send](std::vector<std::shared_ptr<UserVO>> people) {
        if (send) {
            send->loadScrollView(send->user_scroll(), people);
        }
    });
}

void WriteController::pushPicker(const std::vector<std::shared_ptr<UserVO>>& current,
                                 std::function<void(std::vector<std::shared_ptr<UserVO>>)> load) {
    NavigationController* nav = navigationController();
    if (!nav || nav->topViewController() != this) {
        return;
    }
    auto* picker = new AddReciverViewController;
    picker->setChosen(current);
    const QPointer<WriteController> guard(this);
    const QPointer<AddReciverViewController> pickerGuard(picker);
    picker->userinfoCallBack(
        [guard, pickerGuard, load = std::move(load)](std::vector<std::shared_ptr<UserVO>> people) {
            load(std::move(people));
            if (!guard || !pickerGuard) {
                return;
            }
            if (NavigationController* stack = guard->navigationController();
                stack && stack->topViewController() == pickerGuard) {
                stack->popViewController(true);
            }
        });
    picker_ = picker;
    nav->pushViewController(picker, true);
}

void WriteController::didFinishPickingImage(const QImage& picture) {
    if (!editor_) {
        return;
    }
    if (std::optional<std::string> path = UploadPictures::store(picture)) {
        editor_->addPicture(*path);
    }
}

void WriteController::didFinishPickingFile(const QString& path) {
    if (!editor_) {
        return;
    }
    // Scaling a large photo takes seconds; the window stays responsive meanwhile.
    const QPointer<WriteController> guard(this);
    UploadPictures::storeFileInBackground(path.toStdString(),
                                          [guard](std::optional<std::string> stored) {
                                              if (stored && guard && guard->editor_) {
                                                  guard->editor_->addPicture(*stored);
                                              } else if (stored) {
                                                  UploadPictures::remove({*stored});
                                              }
                                          });
}

}  // namespace oa
