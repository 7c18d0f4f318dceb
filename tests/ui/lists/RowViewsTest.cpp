// The row views of the module lists: frames, fonts, colours, texts and marks of each module's
// row, colours sent with or without "#", file icons by exact extension, records of the wrong
// class, and the factory that picks a row view by module key.
#include <QtTest>
#include <algorithm>
#include <initializer_list>
#include <memory>

#include "core/protocol/ListRecords.h"
#include "ui/controller/main/BaseView.h"
#include "ui/controller/main/CalendarView.h"
#include "ui/controller/main/DiaryView.h"
#include "ui/controller/main/EmailView.h"
#include "ui/controller/main/FileView.h"
#include "ui/controller/main/FuncListLogic.h"
#include "ui/controller/main/NewsView.h"
#include "ui/controller/main/NotifyView.h"
#include "ui/controller/main/RowLabel.h"
#include "ui/controller/main/RowViewFactory.h"
#include "ui/kit/Fonts.h"
#include "ui/support/QtTestRegistry.h"

Q_DECLARE_METATYPE(oa::Text)

namespace oa {

namespace {

const QColor kGrey(127, 127, 127);
const QColor kDarkGrey(51, 51, 51);
const QColor kUnread(251, 230, 133);

RowLabel* label(const QWidget& view, const char* name) {
    return view.findChild<RowLabel*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QLabel* picture(const QWidget& view, const QString& name) {
    return view.findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
}

int childCount(const QWidget& view) {
    return int(view.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size());
}

// Checks a label's frame, font size and colour in one line of a test.
#define CHECK_LABEL(l, frame, points, colour)      \
    do {                                           \
        QVERIFY(l);                                \
        QCOMPARE((l)->geometry(), frame);          \
        QCOMPARE((l)->font().pixelSize(), points); \
        QCOMPARE((l)->textColor(), colour);        \
    } while (false)

// The labels of a second line stand in order, each as wide as its whole text, clear of the
// attachment mark.
void checkFittedLine(const QWidget& view, std::initializer_list<const char*> names) {
    int x = 15;
    for (const char* name : names) {
        RowLabel* l = label(view, name);
        QVERIFY2(l, name);
        QCOMPARE(l->geometry(), QRect(x, 35, l->fittingWidth(), 20));
        QCOMPARE(l->font().pixelSize(), 12);
        QCOMPARE(l->textColor(), kGrey);
        QCOMPARE(l->elidedText(), l->displayText());
        x = l->geometry().right() + 1 + BaseView::kTextGap;
    }
    QVERIFY(x - BaseView::kTextGap <= BaseView::attachmentMarkFrame().left());
}

template <class Record>
std::shared_ptr<Record> make(std::string q_id) {
    auto record = std::make_shared<Record>();
    record->q_id = std::move(q_id);
    return record;
}

}  // namespace

class RowViewsTest : public QObject {
    Q_OBJECT

private slots:
    // Colours in a record may come with or without "#"; the record keeps the bare digits.
    void subjectColourWithOrWithoutHash_data() {
        QTest::addColumn<Text>("subject_color");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<Text>("stored");
        QTest::newRow("with #") << Text("#ff0000") << QColor(255, 0, 0) << Text("ff0000");
        QTest::newRow("without #") << Text("0000ff") << QColor(0, 0, 255) << Text("0000ff");
        QTest::newRow("absent") << Text() << kDarkGrey << Text();
        QTest::newRow("empty") << Text("") << kDarkGrey << Text("");
    }
    void subjectColourWithOrWithoutHash() {
        QFETCH(Text, subject_color);
        QFETCH(QColor, colour);
        QFETCH(Text, stored);

        auto notify = make<NotifyVO>("1");
        notify->subject = "通知";
        notify->subject_color = subject_color;
        NotifyView notifyView;
        notifyView.createView(notify);
        QCOMPARE(label(notifyView, "subject")->textColor(), colour);
        QCOMPARE(notify->subject_color, stored);

        auto news = make<NewsVO>("2");
        news->subject_color = subject_color;
        NewsView newsView;
        newsView.createView(news);
        QCOMPARE(label(newsView, "subject")->textColor(), colour);
        QCOMPARE(news->subject_color, stored);
    }

    void notifyRow() {
        auto notify = make<NotifyVO>("42");
        notify->subject = "短标题";
        notify->from_name = "huangzm@yahoo.com.cn";
        notify->send_time = "2026-12-01 09:30";
        NotifyView view;
        view.createView(notify);

        QCOMPARE(view.size(), QSize(320, 61));
        QCOMPARE(view.q_id(), Text("42"));
        RowLabel* subject = label(view, "subject");
        QVERIFY(subject);
        QCOMPARE(subject->text(), QStringLiteral("短标题"));
        QCOMPARE(subject->font().pixelSize(), 16);
        // Sized to its text: a short subject is narrower than its first 205 points.
        QCOMPARE(subject->pos(), QPoint(15, 8));
        QCOMPARE(subject->width(), subject->fittingWidth());
        QVERIFY(subject->width() > 0 && subject->width() < 100);
        // A sender from outside shows whole, the time after it.
        checkFittedLine(view, {"from_name", "send_time"});
        QCOMPARE(label(view, "from_name")->text(), QStringLiteral("huangzm@yahoo.com.cn"));
        QCOMPARE(label(view, "send_time")->text(), QStringLiteral("2026-12-01 09:30"));
        QVERIFY(!picture(view, "icontop"));
        QVERIFY(!picture(view, "attach"));
    }

    // The pinned mark sits 5 points right of the subject's end, which is fitted to the text up
    // to 200 points and set back to 205 beyond.
    void notifyPinnedMarkFollowsSubject_data() {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("longText");
        QTest::newRow("short") << QStringLiteral("置顶") << false;
        QTest::newRow("long") << QStringLiteral("关于二〇二六年度全体员工年终考核工作安排的通知")
                              << true;
        QTest::newRow("empty") << QString() << false;
    }
    void notifyPinnedMarkFollowsSubject() {
        QFETCH(QString, subject);
        QFETCH(bool, longText);
        auto notify = make<NotifyVO>("7");
        notify->subject = subject.toStdString();
        notify->top = "1";
        NotifyView view;
        view.createView(notify);

        RowLabel* label = oa::label(view, "subject");
        QVERIFY(label);
        QCOMPARE(label->width(), longText ? 205 : label->fittingWidth());
        if (longText) {
            QVERIFY(label->fittingWidth() > 205);
            QVERIFY(label->elidedText().endsWith(QChar(0x2026)));
            QCOMPARE(label->text(), subject);
        }
        QLabel* mark = picture(view, "icontop");
        QVERIFY(mark);
        QCOMPARE(mark->pos(), QPoint(label->width() + 20, 8));
    }

    void notifyPinnedOnlyForOne() {
        for (const char* top : {"0", "", "2"}) {
            auto notify = make<NotifyVO>("7");
            notify->top = top;
            NotifyView view;
            view.createView(notify);
            QVERIFY2(!picture(view, "icontop"), top);
        }
    }

    // The unread background for "0" only; the attachment mark for "1" only.
    void readStateAndAttachmentMark_data() {
        QTest::addColumn<Text>("read_flag");
        QTest::addColumn<Text>("has_attachment");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("mark");
        QTest::newRow("unread, attachment") << Text("0") << Text("1") << kUnread << true;
        QTest::newRow("read, none") << Text("1") << Text("0") << QColor(Qt::transparent) << false;
        QTest::newRow("absent flags") << Text() << Text() << QColor(Qt::transparent) << false;
        QTest::newRow("empty flags") << Text("") << Text("") << QColor(Qt::transparent) << false;
    }
    void readStateAndAttachmentMark() {
        QFETCH(Text, read_flag);
        QFETCH(Text, has_attachment);
        QFETCH(QColor, background);
        QFETCH(bool, mark);

        auto notify = make<NotifyVO>("1");
        notify->read_flag = read_flag;
        notify->has_attachment = has_attachment;
        auto email = make<EmailVO>("2");
        email->read_flag = read_flag;
        email->has_attachment = has_attachment;
        auto news = make<NewsVO>("3");
        news->read_flag = read_flag;
        news->has_attachment = has_attachment;
        NotifyView notifyView;
        notifyView.createView(notify);
        EmailView emailView;
        emailView.createView(email);
        NewsView newsView;
        newsView.createView(news);

        for (BaseView* view :
             {static_cast<BaseView*>(&notifyView), static_cast<BaseView*>(&emailView),
              static_cast<BaseView*>(&newsView)}) {
            QCOMPARE(view->backgroundColor(), background);
            QLabel* attach = picture(*view, "attach");
            QCOMPARE(attach != nullptr, mark);
            if (attach) {
                // Left of the chevron (x 290 on).
                QCOMPARE(attach->geometry(), QRect(262, 20, 20, 20));
            }
        }
    }

    void emailImportance_data() {
        QTest::addColumn<Text>("important_desc");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("1") << Text("1") << QStringLiteral("重要") << QColor(255, 192, 151);
        QTest::newRow("2") << Text("2") << QStringLiteral("非常重要") << QColor(255, 128, 128);
        QTest::newRow("0") << Text("0") << QString() << QColor();
        QTest::newRow("absent") << Text() << QString() << QColor();
        QTest::newRow("1 with space") << Text("1 ") << QString() << QColor();
    }
    void emailImportance() {
        QFETCH(Text, important_desc);
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        auto email = make<EmailVO>("5");
        email->subject = "一封主题相当长的邮件，长到超过二百零五个点的宽度也不会变宽";
        email->from_name = "李四";
        email->send_time = "12-01";
        email->important_desc = important_desc;
        EmailView view;
        view.createView(email);

        // The importance ends the subject's line, before the attachment mark, whole; the
        // subject (always dark grey) gives way to it.
        RowLabel* importance = label(view, "important_desc");
        QVERIFY(importance);
        QCOMPARE(importance->geometry(), QRect(BaseView::kTextRight - importance->fittingWidth(), 8,
                                               importance->fittingWidth(), 20));
        QCOMPARE(importance->font().pixelSize(), 16);
        QCOMPARE(importance->text(), text);
        if (colour.isValid()) {
            QCOMPARE(importance->textColor(), colour);
        }
        RowLabel* subject = label(view, "subject");
        CHECK_LABEL(
            subject,
            QRect(15, 8,
                  text.isEmpty() ? 205 : std::min(205, importance->x() - BaseView::kTextGap - 15),
                  20),
            16, kDarkGrey);
        checkFittedLine(view, {"from_name", "send_time"});
        QCOMPARE(label(view, "from_name")->text(), QStringLiteral("李四"));
    }

    void newsRow() {
        auto news = make<NewsVO>("9");
        news->subject = "新闻";
        news->from_name = "王五";
        news->send_time = "12-02";
        news->click_count = "37";
        NewsView view;
        view.createView(news);

        CHECK_LABEL(label(view, "subject"), QRect(15, 8, 243, 20), 16, kDarkGrey);
        checkFittedLine(view, {"from_name", "send_time", "click_count"});
        QCOMPARE(label(view, "click_count")->text(), QStringLiteral("点击次数：37"));
        QCOMPARE(label(view, "send_time")->text(), QStringLiteral("12-02"));

        news->click_count.reset();
        view.createView(news);
        QCOMPARE(label(view, "click_count")->text(), QStringLiteral("点击次数："));
    }

    void diaryRow() {
        auto diary = make<DiaryVO>("11");
        diary->subject = "周报";
        diary->content = "第一行\n第二行";
        diary->has_attachment = "1";
        DiaryView view;
        view.createView(diary);

        QCOMPARE(view.backgroundColor(), QColor(Qt::transparent));
        CHECK_LABEL(label(view, "subject"), QRect(15, 8, 243, 20), 16, QColor(Qt::black));
        CHECK_LABEL(label(view, "content"), QRect(15, 35, 243, 20), 12, kGrey);
        // A row holds one line: the content's line break does not push text out of the row.
        QCOMPARE(label(view, "content")->displayText(), QStringLiteral("第一行 第二行"));
        QVERIFY(picture(view, "attach"));
    }

    void calendarRow_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<Text>("cal_level_color");
        QTest::addColumn<bool>("longContent");
        QTest::addColumn<QColor>("levelColour");
        QTest::newRow("short, # colour")
            << QStringLiteral("开会") << Text("#ff8080") << false << QColor(255, 128, 128);
        QTest::newRow("long, bare colour")
            << QStringLiteral("与客户讨论下一季度全部项目的排期、预算以及人员安排的会议")
            << Text("3366cc") << true << QColor(0x33, 0x66, 0xcc);
    }
    void calendarRow() {
        QFETCH(QString, content);
        QFETCH(Text, cal_level_color);
        QFETCH(bool, longContent);
        QFETCH(QColor, levelColour);
        auto calendar = make<CalendarVO>("13");
        calendar->cal_time = "09:00";
        calendar->end_time = "10:30";
        calendar->content = content.toStdString();
        calendar->cal_level_desc = "重要";
        calendar->cal_level_color = cal_level_color;
        CalendarView view;
        view.createView(calendar);

        QCOMPARE(view.backgroundColor(), QColor(Qt::transparent));
        CHECK_LABEL(label(view, "cal_time"), QRect(15, 8, 45, 20), 16, kDarkGrey);
        QCOMPARE(label(view, "cal_time")->text(), QStringLiteral("09:00"));
        CHECK_LABEL(label(view, "end_time"), QRect(60, 8, 100, 20), 16, kDarkGrey);
        QCOMPARE(label(view, "end_time")->text(), QStringLiteral("—  10:30"));

        RowLabel* text = label(view, "content");
        QVERIFY(text);
        QCOMPARE(text->pos(), QPoint(15, 35));
        QCOMPARE(text->width(), longContent ? 200 : text->fittingWidth());
        QVERIFY(longContent ? text->fittingWidth() >= 200 : text->width() < 200);

        RowLabel* level = label(view, "cal_level_desc");
        CHECK_LABEL(level, QRect(15 + text->width() + 10, 35, level->fittingWidth(), 20), 12,
                    levelColour);
        QCOMPARE(level->text(), QStringLiteral("重要"));
        QVERIFY(!calendar->cal_level_color->starts_with('#'));
    }

    void calendarWithoutLevelColour() {
        for (const Text& colour : {Text(), Text("")}) {
            auto calendar = make<CalendarVO>("14");
            calendar->content = "无级别";
            calendar->cal_level_desc = "一般";
            calendar->cal_level_color = colour;
            CalendarView view;
            view.createView(calendar);
            QVERIFY(label(view, "content"));
            QVERIFY(!label(view, "cal_level_desc"));
        }
    }

    // The first matching row of the icon table wins; extensions are compared exactly.
    void fileIcons_data() {
        QTest::addColumn<Text>("file_type");
        QTest::addColumn<Text>("file_ext");
        QTest::addColumn<QString>("icon");
        QTest::newRow("folder") << Text("folder") << Text("") << "folder_64";
        QTest::newRow("back row: folder without ext") << Text("folder") << Text() << "file_64";
        QTest::newRow("folder with ext") << Text("folder") << Text("doc") << "file_word_64";
        QTest::newRow("doc") << Text("file") << Text("doc") << "file_word_64";
        QTest::newRow("docx") << Text("file") << Text("docx") << "file_word_64";
        QTest::newRow("xls") << Text("file") << Text("xls") << "file_excel_64";
        QTest::newRow("xlsx") << Text("file") << Text("xlsx") << "file_excel_64";
        QTest::newRow("ppt") << Text("file") << Text("ppt") << "file_powerpoint_64";
        QTest::newRow("pptx") << Text("file") << Text("pptx") << "file_powerpoint_64";
        QTest::newRow("pdf") << Text("file") << Text("pdf") << "file_pdf_64";
        QTest::newRow("PDF is not pdf") << Text("file") << Text("PDF") << "file_64";
        QTest::newRow("Doc is not doc") << Text("file") << Text("Doc") << "file_64";
        QTest::newRow("jpg") << Text("file") << Text("jpg") << "file_image_64";
        QTest::newRow("jpeg") << Text("file") << Text("jpeg") << "file_image_64";
        QTest::newRow("png") << Text("file") << Text("png") << "file_image_64";
        QTest::newRow("gif") << Text("file") << Text("gif") << "file_image_64";
        QTest::newRow(".pdf with dot") << Text("file") << Text(".pdf") << "file_64";
        QTest::newRow("zip") << Text("file") << Text("zip") << "file_64";
        QTest::newRow("file without ext") << Text("file") << Text("") << "file_64";
        QTest::newRow("nothing") << Text() << Text() << "file_64";
    }
    void fileIcons() {
        QFETCH(Text, file_type);
        QFETCH(Text, file_ext);
        QFETCH(QString, icon);
        auto file = make<FileVO>("20");
        file->file_type = file_type;
        file->file_ext = file_ext;
        QCOMPARE(FileView::iconName(*file), icon);

        FileView view;
        view.createView(file);
        QLabel* shown = picture(view, icon);
        QVERIFY(shown);
        QCOMPARE(shown->geometry(), QRect(15, 5, 50, 50));
    }

    void fileRow() {
        auto file = make<FileVO>("21");
        file->file_type = "file";
        file->file_ext = "zip";
        file->name = "资料.zip";
        file->send_time = "2026-11-30";
        file->has_attachment = "1";
        FileView view;
        view.createView(file);
        CHECK_LABEL(label(view, "name"), QRect(75, 8, 183, 20), 16, QColor(Qt::black));
        QCOMPARE(label(view, "name")->text(), QStringLiteral("资料.zip"));
        CHECK_LABEL(label(view, "send_time"), QRect(75, 35, 183, 20), 12, kGrey);
        QVERIFY(picture(view, "attach"));
        QCOMPARE(view.backgroundColor(), QColor(Qt::transparent));
    }

    // The back row of a folder looks like the way out, not like a document.
    void backRowShowsTheFolderUpIcon() {
        QCOMPARE(FileView::iconName(*FuncListLogic::backRow()), QStringLiteral("folder_up_64"));
    }

    // Entries of other days show their date, so that they do not look alike.
    void calendarDateUnlessToday_data() {
        QTest::addColumn<Text>("cal_date");
        QTest::addColumn<QString>("shown");
        QTest::newRow("today") << Text("2026-12-01") << QString();
        QTest::newRow("tomorrow") << Text("2026-12-02") << QStringLiteral("12-02");
        QTest::newRow("last year") << Text("2025-12-01") << QStringLiteral("2025-12-01");
        QTest::newRow("absent") << Text() << QString();
        QTest::newRow("empty") << Text("") << QString();
        QTest::newRow("no date") << Text("周五") << QStringLiteral("周五");
    }
    void calendarDateUnlessToday() {
        QFETCH(Text, cal_date);
        QFETCH(QString, shown);
        QCOMPARE(CalendarView::shownDate(cal_date, QDate(2026, 12, 1)), shown);
    }

    void calendarRowShowsAnotherDaysDate() {
        auto calendar = make<CalendarVO>("15");
        calendar->cal_time = "09:00";
        calendar->cal_date = QDate::currentDate().addDays(1).toString(Qt::ISODate).toStdString();
        CalendarView view;
        view.createView(calendar);
        QVERIFY(label(view, "cal_date"));
        QCOMPARE(label(view, "cal_date")->text(),
                 CalendarView::shownDate(calendar->cal_date, QDate::currentDate()));
        calendar->cal_date = QDate::currentDate().toString(Qt::ISODate).toStdString();
        view.createView(calendar);
        QVERIFY(!label(view, "cal_date"));
    }

    // Each view draws its own record class only; anything else gives an empty row, also over a
    // row drawn before.
    void wrongRecordClassGivesEmptyRow() {
        auto email = make<EmailVO>("1");
        email->read_flag = "0";
        email->has_attachment = "1";
        auto notify = make<NotifyVO>("2");
        notify->read_flag = "0";
        notify->has_attachment = "1";
        std::unique_ptr<BaseView> views[] = {
            std::make_unique<NotifyView>(),   std::make_unique<EmailView>(),
            std::make_unique<NewsView>(),     std::make_unique<DiaryView>(),
            std::make_unique<CalendarView>(), std::make_unique<FileView>(),
        };
        for (auto& view : views) {
            const char* name = view->metaObject()->className();
            view->createView(qobject_cast<EmailView*>(view.get()) ? std::shared_ptr<BaseVO>(notify)
                                                                  : email);
            QVERIFY2(childCount(*view) == 0, name);
            QVERIFY2(view->backgroundColor() == QColor(Qt::transparent), name);
            QVERIFY2(!view->q_id(), name);
            view->createView(nullptr);
            QVERIFY2(childCount(*view) == 0, name);
        }
    }

    // A view drawn again shows only the new record: no mark or background of the old one.
    void redrawReplacesTheOldRecord() {
        auto unread = make<NotifyVO>("1");
        unread->read_flag = "0";
        unread->top = "1";
        unread->has_attachment = "1";
        auto read = make<NotifyVO>("2");
        read->read_flag = "1";
        NotifyView view;
        view.createView(unread);
        QVERIFY(picture(view, "attach") && picture(view, "icontop"));
        view.createView(read);
        QVERIFY(!picture(view, "attach"));
        QVERIFY(!picture(view, "icontop"));
        QCOMPARE(view.backgroundColor(), QColor(Qt::transparent));
        QCOMPARE(view.findChildren<RowLabel*>(QStringLiteral("subject")).size(), 1);
        QCOMPARE(view.q_id(), Text("2"));
    }

    // A character the default font draws blank ("℃") still shows in a row.
    void blankGlyphsOfTheDefaultFontShow() {
        RowLabel row;
        row.setFont(systemFont(16));
        row.resize(60, 20);
        row.setText(QStringLiteral("℃"));
        const QImage drawn = row.grab().toImage();
        int ink = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                ink += qAlpha(drawn.pixel(x, y)) > 0 && qGray(drawn.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        QVERIFY(ink > 0);
    }

    // Server text is shown as it is, never read as markup.
    void serverTextIsPlain() {
        auto notify = make<NotifyVO>("3");
        notify->subject = "<b>粗体</b><img src=\"/etc/x.png\">";
        NotifyView view;
        view.createView(notify);
        RowLabel* subject = label(view, "subject");
        QCOMPARE(subject->textFormat(), Qt::PlainText);
        QCOMPARE(subject->displayText(), QString::fromStdString(*notify->subject));
    }

    void factoryByModuleKey_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("className");
        QTest::newRow("email") << "email"
                               << "oa::EmailView";
        QTest::newRow("notify") << "notify"
                                << "oa::NotifyView";
        QTest::newRow("workflow") << "workflow"
                                  << "oa::NotifyView";
        QTest::newRow("news") << "news"
                              << "oa::NewsView";
        QTest::newRow("calendar") << "calendar"
                                  << "oa::CalendarView";
        QTest::newRow("diary") << "diary"
                               << "oa::DiaryView";
        QTest::newRow("file_folder") << "file_folder"
                                     << "oa::FileView";
        QTest::newRow("public_folder") << "public_folder"
                                       << "oa::FileView";
        QTest::newRow("user: no list view") << "user" << QString();
        QTest::newRow("unknown key") << "mail" << QString();
        QTest::newRow("upper case key") << "EMAIL" << QString();
    }
    void factoryByModuleKey() {
        QFETCH(QString, key);
        QFETCH(QString, className);
        std::unique_ptr<BaseView> view = RowViewFactory::createForModule(key.toStdString());
        QCOMPARE(view ? QString::fromLatin1(view->metaObject()->className()) : QString(),
                 className);
    }

    void factoryRegistersLookupViews() {
        QVERIFY(!RowViewFactory::create("TestRowView"));
        RowViewFactory::registerClass("TestRowView", [] { return std::make_unique<DiaryView>(); });
        std::unique_ptr<BaseView> view = RowViewFactory::create("TestRowView");
        QVERIFY(qobject_cast<DiaryView*>(view.get()));
    }
};

}  // namespace oa

OA_QT_TEST(RowViewsTest)
#include "RowViewsTest.moc"
