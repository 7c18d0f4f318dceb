// DateSheet and TimeSheet: the action sheet "选择时间" holding a date editor (with a calendar
// pop-up, "yyyy-MM-dd") or a time editor ("HH:mm"), and one button "确定". The value chosen is
// handed back when the sheet closes, whatever closes it: "确定", Return, Escape or a tap on the
// dimmed area. Changes in the editor count only then.
#pragma once

#include <QDate>
#include <QPointer>
#include <QTime>
#include <functional>

#include "ui/kit/ActionSheet.h"

class QDateTimeEdit;
class QTimeEdit;

namespace oa {

class DateSheet : public ActionSheet {
    Q_OBJECT
public:
    // Opens at `value` (today when it is not valid). `done` runs once, when the sheet closes,
    // unless `receiver` was given and is gone by then; nothing runs when the sheet goes with its
    // view.
    DateSheet(QDate value, std::function<void(QDate)> done, QObject* receiver = nullptr,
              QWidget* parent = nullptr);

    QDateTimeEdit* editor() const { return editor_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QDateTimeEdit* editor_;
};

class TimeSheet : public ActionSheet {
    Q_OBJECT
public:
    // As DateSheet, for a time of day (now when `value` is not valid).
    TimeSheet(QTime value, std::function<void(QTime)> done, QObject* receiver = nullptr,
              QWidget* parent = nullptr);

    QTimeEdit* editor() const { return editor_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTimeEdit* editor_;
};

}  // namespace oa
