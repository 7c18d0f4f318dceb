// CalendarDetailView: the rows of a schedule entry.
#include "ui/controller/detail/CalendarDetailView.h"

#include <QLabel>

#include "core/protocol/ListRecords.h"
#include "ui/controller/main/RowLabel.h"
#include "ui/kit/Fonts.h"

namespace oa {

namespace {

constexpr int kTop = 10;
constexpr int kTitleX = 20;
constexpr int kValueWidth = 205;
constexpr int kContentWidth = 160;

}  // namespace

CalendarDetailView::CalendarDetailView(QWidget* parent) : DetailView(parent) {
    setOtherBackground();
}

QString CalendarDetailView::typeText(const Text& cal_type) {
    return cal_type == "个人事务" ? QStringLiteral("个人事务") : QStringLiteral("工作事务");
}

void CalendarDetailView::createView(const std::shared_ptr<BaseVO>&) {
    clearView();
    auto entry = std::dynamic_pointer_cast<CalendarVO>(previousRecord());
    if (!entry) {
        return;
    }
    const QStringList titles = {QStringLiteral("日程类型："), QStringLiteral("优  先  级："),
                                QStringLiteral("起始时间："), QStringLiteral("结束时间：")};
    for (int row = 0; row < titles.size(); ++row) {
        const int y = kTop + row * kRowHeight;
        addLabel(QStringLiteral("title%1").arg(row).toLatin1().constData(),
                 {kTitleX, y, kValueX - kTitleX, kRowHeight}, 16, darkGrey(), titles[row]);
        addImage(QStringLiteral("分割线"), {0, y + kRowHeight - 1, kRowWidth, 1});
    }
    auto valueFrame = [](int row) {
        return QRect(kValueX, kTop + row * kRowHeight, kValueWidth, kRowHeight);
    };
    addLabel("cal_type", valueFrame(0), 15, darkGrey(), typeText(entry->cal_type));
    if (hasText(entry->cal_level_color)) {
        const QColor colour = colorFromRecordField(entry->cal_level_color);
        addLabel("cal_level_desc", valueFrame(1), 15, colour, entry->cal_level_desc);
    }
    addLabel("cal_time", valueFrame(2), 15, darkGrey(), entry->cal_time);
    addLabel("end_time", valueFrame(3), 15, darkGrey(), entry->end_time);

    // The content wraps; its row is 44 points higher than the wrapped text.
    const int contentTop = kTop + 4 * kRowHeight;
    RowLabel* heading =
        addLabel("contentTitle", {kTitleX, contentTop, kValueX - kTitleX, kRowHeight}, 16,
                 darkGrey(), QStringLiteral("日程内容："));
    heading->setFont(boldSystemFont(16));
    auto* content = new QLabel(QString::fromStdString(entry->content.value_or("")), this);
    content->setObjectName(QStringLiteral("content"));
    content->setTextFormat(Qt::PlainText);
    content->setWordWrap(true);
    content->setFont(systemFont(15));
    QPalette palette = content->palette();
    palette.setColor(QPalette::WindowText, darkGrey());
    content->setPalette(palette);
    const int textHeight = content->heightForWidth(kContentWidth);
    content->setGeometry(kValueX, contentTop + kRowHeight / 2, kContentWidth, textHeight);
    content->show();
    addImage(QStringLiteral("分割线"), {0, contentTop + textHeight + kRowHeight - 1, kRowWidth, 1});
}

}  // namespace oa
