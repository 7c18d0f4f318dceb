// WriteController: the write screen that hosts one editor chosen by module key ("diary",
// "email", "message", "calendar"), submits what it holds with "保存"/"发送", and serves the
// editors with the picture menu, the date and time sheets and the recipient picker.
//
// One submission runs at a time, with the progress indicator up and the bar buttons disabled.
// Success shows "成功" and closes the screen; failure shows "保存失败：<reason>" or
// "发送失败：<reason>" (after a time-out: that the outcome is unknown) and keeps it with
// everything entered. The content is kept as a draft while the screen is open, and
// leaving a screen with content not sent asks whether to keep it.
#pragma once

#include <QImage>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/ExchangeFailure.h"
#include "ui/controller/write/WriteEditor.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/ViewController.h"

class QTimer;

namespace oa {

class AddReciverViewController;
class AllSendView;
class CalendarWriteView;
class DiaryWriteView;
class DraftStore;
class EmailWriteView;

class WriteController : public ViewController, public ActionSheetDelegate {
    Q_OBJECT
public:
    explicit WriteController(QObject* parent = nullptr);
    ~WriteController() override;

    const std::string& func_type() const { return func_type_; }
    void setFunc_type(const std::string& key) { func_type_ = key; }
    // The people the screen opens addressed to (a reply's sender, say).
    const std::vector<std::shared_ptr<UserVO>>& userAry() const { return userAry_; }
    void setUserAry(std::vector<std::shared_ptr<UserVO>> people) { userAry_ = std::move(people); }

    // The editor of the screen's kind, or nullptr (the view must be loaded).
    WriteEditor* editor() const { return editor_; }
    DiaryWriteView* diary_view() const;
    EmailWriteView* email_view() const;
    CalendarWriteView* calendar_view() const;
    AllSendView* send_view() const;
    BarButton* rightButton() const { return right_; }
    BarButton* backButton() const { return back_; }
    // "保存" for the diary and the schedule, "发送" for the others, empty for an unknown key.
    QString name() const;

    // The right button: submits the editor's record unless a submission is running or the
    // editor refuses (it has said why).
    void saveInfo();
    bool isSubmitting() const { return submitting_; }
    // The left button: a screen as it opened closes at once; one with content not sent asks
    // first, with "保存草稿" (the next screen of its kind opens with it), "放弃" (draft and
    // picture files go) and "取消".
    void clickToBack();
    // That question while it is open.
    ActionSheet* leaveSheet() const { return leave_; }

    // The picture menu "图片上传" and its choices: 0 camera, 1 album, 2 cancel.
    void openTheMenu();
    ActionSheet* pictureMenu() const { return menu_; }
    // The date or time sheet an editor opened last, while it is open.
    ActionSheet* sheet() const { return sheet_; }
    void actionSheet(ActionSheet* sheet, int buttonIndex) override;
    // The camera (nothing without one) and the album.
    void takePhoto();
    void LocalPhoto();

    // The e-mail editor's add buttons: the picker opens with the recipients (1) or the copy
    // recipients (any other value) ticked, and its choice becomes that list.
    void turnToSearch(int which);
    // The group-message editor's add button: the same for its recipients.
    void choiceUsers();
    // The picker pushed last, while it is open.
    AddReciverViewController* picker() const;
    // A picture came from the camera or the album: stored as an upload file and listed. A null
    // picture adds nothing.
    void didFinishPickingImage(const QImage& picture);
    // A picture file was chosen: stored in the background (see UploadPictures::storeFile) and
    // listed when that is done; a file that is no picture adds nothing.
    void didFinishPickingFile(const QString& path);

    // The draft store of this screen (after the view has loaded).
    const DraftStore* draftStore() const { return drafts_.get(); }
    // Writes the draft now if a change is waiting.
    void flushDraft();

signals:
    // A submission ended; the screen is closing when it succeeded.
    void submitFinished(bool succeeded);

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    // Whether the server took the record, and why not.
    struct Outcome {
        bool ok = false;
        std::optional<ExchangeFailure> failure;
    };
    using Submission = std::function<Outcome()>;
    // The editor's record as a task for a background thread; empty when there is nothing to
    // send (no editor, or the editor refused).
    Submission makeSubmission();
    void finishSubmit(const Outcome& outcome);
    void setButtonsEnabled(bool enabled);
    void draftChanged();
    // Creates the draft store of the screen's kind and fills the editor from a stored draft.
    void openDraft();
    // The content of the editor (or the group-message editor) as a draft.
    QJsonObject currentDraft() const;
    void discardWork();
    // Pops this screen if it is on top.
    void leave();
    // Whether the screen holds something its user entered: a restored draft, or any change since
    // it opened.
    bool hasUnsentWork() const;
    // Pushes the picker with `current` ticked; `load` receives its choice, then the picker is
    // popped.
    void pushPicker(const std::vector<std::shared_ptr<UserVO>>& current,
                    std::function<void(std::vector<std::shared_ptr<UserVO>>)> load);

    std::string func_type_;
    std::vector<std::shared_ptr<UserVO>> userAry_;
    QPointer<WriteEditor> editor_;
    QPointer<AllSendView> send_view_;
    QPointer<BarButton> right_;
    QPointer<BarButton> back_;
    QPointer<ActionSheet> menu_;
    QPointer<ActionSheet> sheet_;
    QPointer<ActionSheet> leave_;
    QPointer<QObject> picker_;
    bool submitting_ = false;
    // Set once the screen's content has been sent or dropped: no draft is written after that.
    bool finished_ = false;
    // A change not yet written to the draft.
    bool draftPending_ = false;
    QJsonObject pendingDraft_;
    // The content as the screen opened, and whether that came from a stored draft.
    QJsonObject openedWith_;
    bool restored_ = false;
    std::unique_ptr<DraftStore> drafts_;
    QTimer* draftTimer_;
};

}  // namespace oa
