// EmailWriteView: the e-mail editor: recipients and copy recipients chosen through the picker
// (each a name button in a sideways strip; a tap removes the person), an external address, the
// subject, the text and the pictures to upload.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/SaveRecords.h"
#include "ui/controller/write/WriteEditor.h"

class QPushButton;

namespace oa {

class TextView;
class PictureBlock;
class ScrollView;
class TextField;

class EmailWriteView : public WriteEditor {
    Q_OBJECT
public:
    using People = std::vector<std::shared_ptr<UserVO>>;

    static constexpr int kRecipientStripTag = 100;
    static constexpr int kCopyStripTag = 101;

    explicit EmailWriteView(QWidget* parent = nullptr);
    // Opens with `people` as recipients (a reply).
    explicit EmailWriteView(const People& people, QWidget* parent = nullptr);

    ScrollView* user_scroll1() const { return user_scroll1_; }
    ScrollView* user_scroll2() const { return user_scroll2_; }
    const People& user_arr1() const { return user_arr1_; }
    const People& user_arr2() const { return user_arr2_; }

    // What "发送" submits; nothing when no recipient is chosen (the notice "无收信人" shows).
    std::optional<EmailSaveVO> getEmailSaveVO() const;

    // Replaces the list of `strip` (user_scroll1 or user_scroll2) with `people` and redraws it.
    void loadScrollView(ScrollView* strip, const People& people);
    // A name button was tapped: tag 500 + i removes copy recipient i, 400 + i recipient i.
    void deleteCurButton(int tag);
    // The user_ids of `people` joined by ",".
    static std::string joinedIds(const People& people);

    QString webmail() const;
    QString subject() const;
    QString content() const;
    void setWebmail(const QString& text);
    void setSubject(const QString& text);
    void setContent(const QString& text);

    QJsonObject draft() const override;
    void restoreDraft(const QJsonObject& draft) override;
    std::vector<std::string> pictureFiles() const override;
    void addPicture(const std::string& path) override;
    PictureBlock* pictureBlock() const { return pictures_; }

signals:
    // An add button: 1 recipients, 2 copy recipients.
    void turnToSearch(int which);
    void openTheMenu();

private:
    void createView();
    void redraw(ScrollView* strip);
    void layoutBlocks();

    QWidget* input_view_;
    ScrollView* user_scroll1_;
    ScrollView* user_scroll2_;
    People user_arr1_;
    People user_arr2_;
    TextField* address_text_;
    TextField* title_text_;
    TextView* content_text_;
    PictureBlock* pictures_;
    QWidget* contentView_;
};

}  // namespace oa
