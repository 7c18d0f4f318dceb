// DiaryWriteView: the work-diary editor: a proposed title, the kind switch (work or personal
// diary), the date, the text and the pictures to upload.
#pragma once

#include <QDate>
#include <QString>
#include <string>
#include <vector>

#include "core/protocol/SaveRecords.h"
#include "ui/controller/write/WriteEditor.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace oa {

class TextView;
class PictureBlock;
class SegmentedControl;
class TextField;

class DiaryWriteView : public WriteEditor {
    Q_OBJECT
public:
    explicit DiaryWriteView(QWidget* parent = nullptr);

    // "1" work diary, "2" personal diary.
    QString diaryType() const { return diary_type_.isEmpty() ? QStringLiteral("1") : diary_type_; }
    QString title() const;
    void setTitle(const QString& title);
    // "yyyy-MM-dd".
    QString date() const;
    void setDate(const QDate& date);
    QString content() const;
    void setContent(const QString& text);

    // What "保存" submits: always a record, empty texts included.
    DiarySaveVO getDiarySaveVO() const;

    // The kind switch moved to `index` (0 work, 1 personal). The title follows only while it is
    // the proposed one, so a typed title is never overwritten.
    void segmentedControlChangedValue(int index);
    // "<login_user_name><yyyy-MM-dd>工作日志" (or "个人日志") for today.
    static QString proposedTitle(const QString& diaryType);

    // Opens the date sheet at the label's date; its choice goes into the label.
    void openActionSheet();

    QJsonObject draft() const override;
    void restoreDraft(const QJsonObject& draft) override;
    std::vector<std::string> pictureFiles() const override;
    void addPicture(const std::string& path) override;

    TextField* titleField() const { return title_text_; }
    SegmentedControl* kindSwitch() const { return kind_; }
    QPushButton* dateLabel() const { return date_lab_; }
    TextView* contentView() const { return content_text_; }
    PictureBlock* pictureBlock() const { return pictures_; }

signals:
    // The attach button: the write screen shows the picture menu.
    void openTheMenu();
    // The date sheet is wanted (the write screen or a test answers with setDate).
    void dateSheetRequested(const QDate& current);

private:
    void createView();
    void layoutPictures();
    // Shrinks the title's font so that a long title shows whole.
    void fitTitle();

    QScrollArea* editView_;
    QWidget* form_;
    TextField* title_text_;
    SegmentedControl* kind_;
    QPushButton* date_lab_;
    TextView* content_text_;
    PictureBlock* pictures_;
    QString diary_type_;
    // The title this editor proposed last; the switch rewrites the title only while it is this.
    QString proposed_;
};

}  // namespace oa
