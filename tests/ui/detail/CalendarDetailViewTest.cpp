// The schedule entry's table: row titles, the type and priority texts, times and the wrapped
// content.
#include <QLabel>
#include <QtTest>
#include <memory>

#include "core/protocol/ListRecords.h"
#include "ui/controller/detail/CalendarDetailView.h"
#include "ui/controller/main/RowLabel.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

std::shared_ptr<CalendarVO> entry() {
    auto record = std::make_shared<CalendarVO>();
    record->cal_type = "个人事务";
    record->cal_level_desc = "重要";
    record->cal_level_color = "#FF0000";
    record->cal_time = "2026-12-07 09:00";
    record->end_time = "2026-12-07 10:30";
    record->content = "部门例会";
    return record;
}

QLabel* label(const QWidget& view, const char* name) {
    return view.findChild<QLabel*>(QString::fromLatin1(name));
}

QString text(const QWidget& view, const char* name) {
    QLabel* found = label(view, name);
    return found ? found->text() : QStringLiteral("<none>");
}

}  // namespace

class CalendarDetailViewTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheRowsOfTheEntry() {
        CalendarDetailView view;
        view.resize(320, 436);
        view.setPreviousRecord(entry());
        view.createView(nullptr);
        QStringList titles;
        for (const char* name : {"title0", "title1", "title2", "title3", "contentTitle"}) {
            titles << text(view, name);
        }
        QCOMPARE(titles, QStringList({"日程类型：", "优  先  级：", "起始时间：", "结束时间：",
                                      "日程内容："}));
        QCOMPARE(text(view, "cal_type"), QStringLiteral("个人事务"));
        QCOMPARE(text(view, "cal_level_desc"), QStringLiteral("重要"));
        QCOMPARE(static_cast<RowLabel*>(label(view, "cal_level_desc"))
                     ->palette()
                     .color(QPalette::WindowText),
                 QColor(255, 0, 0));
        QCOMPARE(text(view, "cal_time"), QStringLiteral("2026-12-07 09:00"));
        QCOMPARE(text(view, "end_time"), QStringLiteral("2026-12-07 10:30"));
        QCOMPARE(text(view, "content"), QStringLiteral("部门例会"));
        QCOMPARE(label(view, "cal_type")->x(), CalendarDetailView::kValueX);
        QVERIFY(label(view, "contentTitle")->font().bold());
    }

    void theTypeIsPersonalOnlyWhenExactlySo_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("shown");
        QTest::newRow("personal") << "个人事务" << true << "个人事务";
        QTest::newRow("work") << "工作事务" << true << "工作事务";
        QTest::newRow("other") << "会议" << true << "工作事务";
        QTest::newRow("padded") << "个人事务 " << true << "工作事务";
        QTest::newRow("empty") << "" << true << "工作事务";
        QTest::newRow("absent") << "" << false << "工作事务";
    }
    void theTypeIsPersonalOnlyWhenExactlySo() {
        QFETCH(QString, type);
        QFETCH(bool, present);
        QFETCH(QString, shown);
        auto record = entry();
        record->cal_type = present ? Text(type.toStdString()) : std::nullopt;
        CalendarDetailView view;
        view.setPreviousRecord(record);
        view.createView(nullptr);
        QCOMPARE(text(view, "cal_type"), shown);
    }

    void aPriorityWithoutColourIsNotShown() {
        for (const Text& colour : {Text(), Text("")}) {
            auto record = entry();
            record->cal_level_color = colour;
            CalendarDetailView view;
            view.setPreviousRecord(record);
            view.createView(nullptr);
            QVERIFY(!label(view, "cal_level_desc"));
            QCOMPARE(text(view, "title1"), QStringLiteral("优  先  级："));
        }
    }

    void longContentWrapsInItsRow() {
        auto record = entry();
        record->content =
            std::string(60, 'x').insert(30, " ") + " 会议纪要请各部门负责人阅后转发。";
        CalendarDetailView view;
        view.setPreviousRecord(record);
        view.createView(nullptr);
        QLabel* content = label(view, "content");
        QCOMPARE(content->width(), 160);
        QVERIFY(content->wordWrap());
        QVERIFY(content->height() > 2 * content->fontMetrics().height());
    }

    void anotherRecordDrawsNothing() {
        CalendarDetailView view;
        view.setPreviousRecord(std::make_shared<EmailVO>());
        view.createView(nullptr);
        QVERIFY(view.findChildren<QLabel*>().isEmpty());
        view.setPreviousRecord(nullptr);
        view.createView(nullptr);
        QVERIFY(view.findChildren<QLabel*>().isEmpty());
    }
};

}  // namespace oa

OA_QT_TEST(CalendarDetailViewTest)

#include "CalendarDetailViewTest.moc"
