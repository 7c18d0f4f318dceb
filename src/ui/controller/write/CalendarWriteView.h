// CalendarWriteView: the schedule editor: kind (work or personal affair), priority, start and
// end time of day, and the text.
#pragma once

#include <QString>
#include <QTime>

#include "core/protocol/SaveRecords.h"
#include "ui/controller/write/WriteEditor.h"
#include "ui/kit/LeveyPopListView.h"

class QPushButton;

namespace oa {

class TextView;
class SegmentedControl;

class CalendarWriteView : public WriteEditor, public LeveyPopListViewDelegate {
    Q_OBJECT
public:
    explicit CalendarWriteView(QWidget* parent = nullptr);
    ~CalendarWriteView() override;

    // The priorities in code order ("未指定" is 0).
    static QStringList levelTexts();

    // "1" work affair, "2" personal affair.
    QString calType() const { return cal_type_; }
    // 0 to 4.
    int level() const { return level_; }
    // "HH:mm".
    QString startTime() const;
    QString endTime() const;
    QString content() const;
    void setContent(const QString& text);

    // What "保存" submits: always a record; nothing is checked.
    CalendarSaveVO getCalendarSaveVO() const;

    void segmentedControlChangedValue(int index);
    // Opens "请选择优先级" over the window; the list stays reachable through levelList().
    void showLevelView();
    LeveyPopListView* levelList() const { return levelList_; }
    void leveyPopListView(LeveyPopListView* popListView, int index) override;
    void leveyPopListViewDidCancel() override {}
    // Sets the start (0) or end (1) label.
    void setTime(int which, const QTime& time);
    // Opens the time sheet for the start (0) or end (1) label.
    void openActionSheet(int which);

    QJsonObject draft() const override;
    void restoreDraft(const QJsonObject& draft) override;

    SegmentedControl* kindSwitch() const { return kind_; }
    QPushButton* levelButton() const { return level_btn_; }
    QPushButton* startLabel() const { return date_lab_; }
    QPushButton* endLabel() const { return end_lab_; }
    TextView* contentView() const { return content_text_; }

signals:
    // A time sheet is wanted for the start (0) or end (1) label, opened at its time.
    void timeSheetRequested(int which, const QTime& current);

private:
    void setLevel(int level);

    SegmentedControl* kind_;
    QPushButton* level_btn_;
    QPushButton* date_lab_;
    QPushButton* end_lab_;
    TextView* content_text_;
    QString cal_type_ = QStringLiteral("1");
    int level_ = 0;
    QPointer<LeveyPopListView> levelList_;
};

}  // namespace oa
