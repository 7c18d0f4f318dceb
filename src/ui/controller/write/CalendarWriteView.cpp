// CalendarWriteView: form, kind switch, priority list and time labels of the schedule editor.
#include "ui/controller/write/CalendarWriteView.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "ui/controller/write/WallClock.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/SegmentedControl.h"
#include "ui/kit/TextView.h"

namespace oa {

namespace {

constexpr char kTimeFormat[] = "HH:mm";

QPushButton* timeLabel(const QString& name, int y, QWidget* parent) {
    auto* label = new QPushButton(parent);
    label->setObjectName(name);
    label->setFlat(true);
    label->setFont(systemFont(18));
    label->setGeometry(120, y, 150, 30);
    label->setText(WallClock::now().time().toString(QString::fromLatin1(kTimeFormat)));
    return label;
}

}  // namespace

CalendarWriteView::CalendarWriteView(QWidget* parent) : WriteEditor(parent) {
    QPalette pattern = palette();
    pattern.setBrush(QPalette::Window, QBrush(image(QStringLiteral("otherbackground.png"))));
    setPalette(pattern);
    setAutoFillBackground(true);

    const QStringList labels{QStringLiteral("日程类型:"), QStringLiteral("优先级:"),
                             QStringLiteral("起始时间:"), QStringLiteral("结束时间:")};
    for (int i = 0; i < labels.size(); ++i) {
        auto* label = new QLabel(labels[i], this);
        label->setFont(systemFont(18));
        label->setGeometry(20, 20 + 44 * i, 100, 30);
    }

    kind_ = new SegmentedControl({QStringLiteral("工作事务"), QStringLiteral("个人事务")}, this);
    kind_->setSelectedSegmentIndex(0);
    kind_->setTintColor(QColor(200, 40, 40));
    kind_->setGeometry(120, 20, 180, 30);
    connect(kind_, &SegmentedControl::valueChanged, this,
            &CalendarWriteView::segmentedControlChangedValue);

    level_btn_ = new QPushButton(QStringLiteral("未指定"), this);
    level_btn_->setObjectName(QStringLiteral("levelButton"));
    level_btn_->setGeometry(120, 64, 150, 30);
    connect(level_btn_, &QPushButton::clicked, this, &CalendarWriteView::showLevelView);

    date_lab_ = timeLabel(QStringLiteral("startLabel"), 108, this);
    end_lab_ = timeLabel(QStringLiteral("endLabel"), 152, this);
    connect(date_lab_, &QPushButton::clicked, this, [this] { openActionSheet(0); });
    connect(end_lab_, &QPushButton::clicked, this, [this] { openActionSheet(1); });

    content_text_ = new TextView(this);
    content_text_->setAccessibleName(QStringLiteral("内容"));
    content_text_->setFont(systemFont(18));
    content_text_->setGeometry(25, 210, 270, 140);
    connect(content_text_, &QPlainTextEdit::textChanged, this, &WriteEditor::changed);
    keepInSightWhileEditing(content_text_);
}

CalendarWriteView::~CalendarWriteView() {
    if (levelList_) {
        levelList_->setDelegate(nullptr);
        levelList_->fadeOut();
    }
}

QStringList CalendarWriteView::levelTexts() {
    return {QStringLiteral("未指定"), QStringLiteral("重要/紧急"), QStringLiteral("重要/不紧急"),
            QStringLiteral("不重要/紧急"), QStringLiteral("不重要/不紧急")};
}

CalendarSaveVO CalendarWriteView::getCalendarSaveVO() const {
    CalendarSaveVO record;
    record.cal_start = startTime().toStdString();
    record.cal_end = endTime().toStdString();
    record.cal_leve = std::to_string(level_);
    record.cal_type = cal_type_.toStdString();
    record.cal_content = content().toStdString();
    return record;
}

QString CalendarWriteView::startTime() const {
    return date_lab_->text();
}

QString CalendarWriteView::endTime() const {
    return end_lab_->text();
}

QString CalendarWriteView::content() const {
    return content_text_->text();
}

void CalendarWriteView::setContent(const QString& text) {
    content_text_->setPlainText(text);
}

void CalendarWriteView::segmentedControlChangedValue(int index) {
    cal_type_ = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    emit changed();
}

void CalendarWriteView::showLevelView() {
    if (levelList_) {
        return;
    }
    QList<LeveyPopListView::Option> options;
    const QPixmap icon = image(QStringLiteral("22.png"));
    for (const QString& text : levelTexts()) {
        options.push_back({icon, text});
    }
    auto* list = new LeveyPopListView(QStringLiteral("请选择优先级"), options);
    list->setDelegate(this);
    levelList_ = list;
    list->showInView(window(), true);
}

void CalendarWriteView::leveyPopListView(LeveyPopListView* popListView, int index) {
    Q_UNUSED(popListView);
    if (index >= 0 && index < levelTexts().size()) {
        setLevel(index);
        emit changed();
    }
}

void CalendarWriteView::setLevel(int level) {
    level_ = level;
    level_btn_->setText(levelTexts().value(level));
}

void CalendarWriteView::setTime(int which, const QTime& time) {
    if (!time.isValid()) {
        return;
    }
    (which == 0 ? date_lab_ : end_lab_)->setText(time.toString(QString::fromLatin1(kTimeFormat)));
    emit changed();
}

void CalendarWriteView::openActionSheet(int which) {
    const QString shown = (which == 0 ? date_lab_ : end_lab_)->text();
    emit timeSheetRequested(which, QTime::fromString(shown, QString::fromLatin1(kTimeFormat)));
}

QJsonObject CalendarWriteView::draft() const {
    return {{QStringLiteral("type"), cal_type_},
            {QStringLiteral("level"), level_},
            {QStringLiteral("start"), startTime()},
            {QStringLiteral("end"), endTime()},
            {QStringLiteral("content"), content()}};
}

void CalendarWriteView::restoreDraft(const QJsonObject& draft) {
    const QSignalBlocker quiet(this);
    if (draft.contains(QStringLiteral("type"))) {
        segmentedControlChangedValue(
            draft.value(QStringLiteral("type")).toString() == QLatin1String("2") ? 1 : 0);
        kind_->setSelectedSegmentIndex(cal_type_ == QLatin1String("2") ? 1 : 0);
    }
    const int level = draft.value(QStringLiteral("level")).toInt(-1);
    if (level >= 0 && level < levelTexts().size()) {
        setLevel(level);
    }
    const QString format = QString::fromLatin1(kTimeFormat);
    setTime(0, QTime::fromString(draft.value(QStringLiteral("start")).toString(), format));
    setTime(1, QTime::fromString(draft.value(QStringLiteral("end")).toString(), format));
    if (draft.contains(QStringLiteral("content"))) {
        content_text_->setPlainText(draft.value(QStringLiteral("content")).toString());
    }
}

}  // namespace oa
