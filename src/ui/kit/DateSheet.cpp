// DateSheet and TimeSheet: the editors inside the sheet and the value handed back on closing.
#include "ui/kit/DateSheet.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QTimeEdit>

#include "ui/kit/Fonts.h"

namespace oa {

namespace {

const QString kTitle = QStringLiteral("选择时间");
const QString kDone = QStringLiteral("确定");
constexpr int kEditorHeight = 44;

void styleEditor(QAbstractSpinBox* editor) {
    editor->setFont(systemFont(22));
    editor->setAlignment(Qt::AlignCenter);
    editor->setFixedHeight(kEditorHeight);
    editor->setStyleSheet(QStringLiteral(
        "QAbstractSpinBox { border: 1px solid #c8c8c8; border-radius: 8px; background: white;"
        " padding: 0 8px; }"
        "QAbstractSpinBox:focus { border-color: #5b9ad8; }"
        "QAbstractSpinBox::drop-down { border: none; width: 30px; }"));
}

// Runs `done` with the editor's value once the sheet closes, if the receiver (when given) is
// still there.
template <typename Value, typename Read>
void handBack(ActionSheet* sheet, std::function<void(Value)> done, QObject* receiver, Read read) {
    const bool guarded = receiver != nullptr;
    QObject::connect(
        sheet, &ActionSheet::didDismissWithButtonIndex, sheet,
        [done = std::move(done), target = QPointer<QObject>(receiver), guarded, read](int) {
            if (done && (!guarded || target)) {
                done(read());
            }
        });
}

bool isReturn(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

DateSheet::DateSheet(QDate value, std::function<void(QDate)> done, QObject* receiver,
                     QWidget* parent)
    : ActionSheet(kTitle, nullptr, kDone, {}, {}, parent), editor_(new QDateTimeEdit) {
    setObjectName(QStringLiteral("dateSheet"));
    editor_->setObjectName(QStringLiteral("dateEditor"));
    editor_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    editor_->setCalendarPopup(true);
    editor_->setDate(value.isValid() ? value : QDate::currentDate());
    editor_->calendarWidget()->setFirstDayOfWeek(Qt::Monday);
    styleEditor(editor_);
    setContentWidget(editor_);
    handBack<QDate>(this, std::move(done), receiver, [editor = editor_] { return editor->date(); });
}

void DateSheet::keyPressEvent(QKeyEvent* event) {
    // Return in the editor (which passes it on) closes the sheet as "确定" does.
    if (isReturn(event)) {
        clickButtonAtIndex(cancelButtonIndex());
        return;
    }
    ActionSheet::keyPressEvent(event);
}

TimeSheet::TimeSheet(QTime value, std::function<void(QTime)> done, QObject* receiver,
                     QWidget* parent)
    : ActionSheet(kTitle, nullptr, kDone, {}, {}, parent), editor_(new QTimeEdit) {
    setObjectName(QStringLiteral("timeSheet"));
    editor_->setObjectName(QStringLiteral("timeEditor"));
    editor_->setDisplayFormat(QStringLiteral("HH:mm"));
    editor_->setWrapping(true);
    // Typed, or turned with the wheel and the arrow keys, hour or minute as the cursor says.
    editor_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    const QTime now = QTime::currentTime();
    editor_->setTime(value.isValid() ? value : QTime(now.hour(), now.minute()));
    styleEditor(editor_);
    setContentWidget(editor_);
    handBack<QTime>(this, std::move(done), receiver, [editor = editor_] { return editor->time(); });
}

void TimeSheet::keyPressEvent(QKeyEvent* event) {
    if (isReturn(event)) {
        clickButtonAtIndex(cancelButtonIndex());
        return;
    }
    ActionSheet::keyPressEvent(event);
}

}  // namespace oa
