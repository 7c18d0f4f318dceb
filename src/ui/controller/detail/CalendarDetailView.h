// CalendarDetailView: a schedule entry as a small table: its type, priority, start, end and
// content.
#pragma once

#include "ui/controller/detail/DetailView.h"

namespace oa {

class CalendarDetailView : public DetailView {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 44;
    static constexpr int kValueX = 115;

    explicit CalendarDetailView(QWidget* parent = nullptr);

    // The type as shown: "个人事务" only for exactly that type, "工作事务" for any other.
    static QString typeText(const Text& cal_type);

    // Draws the previous record when it is a schedule entry; nothing otherwise. The detail
    // record is not used.
    void createView(const std::shared_ptr<BaseVO>& detail) override;
};

}  // namespace oa
