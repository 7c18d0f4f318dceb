// DiaryWriteView: form, kind switch, date and picture block of the diary editor.
#include "ui/controller/write/DiaryWriteView.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QJsonArray>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/session/GlobalVar.h"
#include "ui/controller/write/PictureBlock.h"
#include "ui/controller/write/WallClock.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/SegmentedControl.h"
#include "ui/kit/TextField.h"
#include "ui/kit/TextView.h"

namespace oa {

namespace {

constexpr char kDateFormat[] = "yyyy-MM-dd";
constexpr int kTitleFontSize = 18;
constexpr int kTitleMinimumFontSize = 12;
// The field's padding and the line edit's own margins.
constexpr int kTitleMargins = 8;
// The picture block sits 10 points below this frame's bottom (y 143, 180 high).
constexpr int kPictureTop = 143 + 180 + 10;

QLabel* formLabel(const QString& text, int y, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(systemFont(18));
    label->setGeometry(20, y, 90, 30);
    return label;
}

QStringList toStrings(const QJsonArray& array) {
    QStringList out;
    for (const QJsonValue& value : array) {
        out << value.toString();
    }
    return out;
}

}  // namespace

DiaryWriteView::DiaryWriteView(QWidget* parent) : WriteEditor(parent) {
    createView();
}

QString DiaryWriteView::proposedTitle(const QString& diaryType) {
    const QString name =
        QString::fromStdString(GlobalVar::getInstance_global().login_user_name().value_or(""));
    return name + WallClock::today().toString(QString::fromLatin1(kDateFormat)) +
           (diaryType == QLatin1String("2") ? QStringLiteral("个人日志")
                                            : QStringLiteral("工作日志"));
}

void DiaryWriteView::createView() {
    QPalette pattern = palette();
    pattern.setBrush(QPalette::Window, QBrush(image(QStringLiteral("otherbackground.png"))));
    setPalette(pattern);
    setAutoFillBackground(true);

    editView_ = new QScrollArea(this);
    editView_->setFrameShape(QFrame::NoFrame);
    editView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editView_->viewport()->setAutoFillBackground(false);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(editView_);
    form_ = new QWidget;
    form_->setAutoFillBackground(false);

    formLabel(QStringLiteral("标题:"), 20, form_);
    formLabel(QStringLiteral("类型:"), 65, form_);
    formLabel(QStringLiteral("日期:"), 110, form_);
    formLabel(QStringLiteral("日志内容:"), 155, form_);

    title_text_ = new TextField(form_);
    title_text_->setFont(systemFont(kTitleFontSize));
    title_text_->setGeometry(100, 20, 200, 30);
    connect(title_text_, &QLineEdit::textChanged, this, &DiaryWriteView::fitTitle);
    proposed_ = proposedTitle(QStringLiteral("1"));
    title_text_->setText(proposed_);
    title_text_->setCursorPosition(0);
    connect(title_text_, &QLineEdit::textEdited, this, &WriteEditor::changed);
    keepInSightWhileEditing(title_text_);
    connect(title_text_, &TextField::shouldReturn, title_text_, &TextField::resignFirstResponder);

    kind_ = new SegmentedControl({QStringLiteral("工作日志"), QStringLiteral("个人日志")}, form_);
    kind_->setSelectedSegmentIndex(0);
    kind_->setTintColor(QColor(200, 40, 40));
    kind_->setGeometry(100, 65, 180, 30);
    connect(kind_, &SegmentedControl::valueChanged, this,
            &DiaryWriteView::segmentedControlChangedValue);

    date_lab_ = new QPushButton(form_);
    date_lab_->setObjectName(QStringLiteral("dateLabel"));
    date_lab_->setFlat(true);
    date_lab_->setFont(systemFont(18));
    date_lab_->setGeometry(100, 110, 180, 30);
    date_lab_->setText(WallClock::today().toString(QString::fromLatin1(kDateFormat)));
    connect(date_lab_, &QPushButton::clicked, this, &DiaryWriteView::openActionSheet);

    content_text_ = new TextView(form_);
    content_text_->setAccessibleName(QStringLiteral("内容"));
    content_text_->setFont(systemFont(18));
    content_text_->setGeometry(25, 190, 270, 140);
    connect(content_text_, &QPlainTextEdit::textChanged, this, &WriteEditor::changed);
    keepInSightWhileEditing(content_text_);

    pictures_ = new PictureBlock(form_);
    connect(pictures_, &PictureBlock::addPhotos, this, &DiaryWriteView::openTheMenu);
    connect(pictures_, &PictureBlock::changed, this, [this] {
        layoutPictures();
        emit changed();
    });
    layoutPictures();
    editView_->setWidget(form_);
}

void DiaryWriteView::fitTitle() {
    // As small as needed for the whole title to show, down to a size still easy to read.
    const int room = title_text_->width() - kTitleMargins;
    int size = kTitleFontSize;
    while (size > kTitleMinimumFontSize &&
           QFontMetrics(systemFont(size)).horizontalAdvance(title_text_->text()) > room) {
        --size;
    }
    title_text_->setFont(systemFont(size));
}

void DiaryWriteView::layoutPictures() {
    pictures_->move(5, kPictureTop);
    form_->setFixedSize(320, kPictureTop + pictures_->height() + 10);
}

DiarySaveVO DiaryWriteView::getDiarySaveVO() const {
    DiarySaveVO record;
    record.diaryTitle = title().toStdString();
    record.diaryDate = date().toStdString();
    record.diaryType = diaryType().toStdString();
    record.diaryContent = content().toStdString();
    record.diaryAttachment = pictures_->imageAry();
    return record;
}

QString DiaryWriteView::title() const {
    return title_text_->text();
}

void DiaryWriteView::setTitle(const QString& title) {
    title_text_->setText(title);
    emit changed();
}

QString DiaryWriteView::date() const {
    return date_lab_->text();
}

void DiaryWriteView::setDate(const QDate& date) {
    if (!date.isValid()) {
        return;
    }
    date_lab_->setText(date.toString(QString::fromLatin1(kDateFormat)));
    emit changed();
}

QString DiaryWriteView::content() const {
    return content_text_->text();
}

void DiaryWriteView::setContent(const QString& text) {
    content_text_->setPlainText(text);
}

void DiaryWriteView::segmentedControlChangedValue(int index) {
    diary_type_ = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    if (title_text_->text() == proposed_) {
        proposed_ = proposedTitle(diary_type_);
        title_text_->setText(proposed_);
    }
    emit changed();
}

void DiaryWriteView::openActionSheet() {
    emit dateSheetRequested(QDate::fromString(date(), QString::fromLatin1(kDateFormat)));
}

QJsonObject DiaryWriteView::draft() const {
    QJsonArray images;
    for (const std::string& path : pictures_->imageAry()) {
        images.append(QString::fromStdString(path));
    }
    return {{QStringLiteral("title"), title()},     {QStringLiteral("proposed"), proposed_},
            {QStringLiteral("type"), diaryType()},  {QStringLiteral("date"), date()},
            {QStringLiteral("content"), content()}, {QStringLiteral("images"), images}};
}

void DiaryWriteView::restoreDraft(const QJsonObject& draft) {
    const QSignalBlocker quiet(this);
    if (draft.contains(QStringLiteral("type"))) {
        diary_type_ = draft.value(QStringLiteral("type")).toString() == QLatin1String("2")
                          ? QStringLiteral("2")
                          : QStringLiteral("1");
        kind_->setSelectedSegmentIndex(diary_type_ == QLatin1String("2") ? 1 : 0);
    }
    if (draft.contains(QStringLiteral("proposed"))) {
        proposed_ = draft.value(QStringLiteral("proposed")).toString();
    }
    if (draft.contains(QStringLiteral("title"))) {
        title_text_->setText(draft.value(QStringLiteral("title")).toString());
    }
    const QDate day = QDate::fromString(draft.value(QStringLiteral("date")).toString(),
                                        QString::fromLatin1(kDateFormat));
    if (day.isValid()) {
        date_lab_->setText(day.toString(QString::fromLatin1(kDateFormat)));
    }
    if (draft.contains(QStringLiteral("content"))) {
        content_text_->setPlainText(draft.value(QStringLiteral("content")).toString());
    }
    std::vector<std::string> images;
    for (const QString& path : toStrings(draft.value(QStringLiteral("images")).toArray())) {
        if (QFileInfo::exists(path)) {
            images.push_back(path.toStdString());
        }
    }
    pictures_->setImageAry(std::move(images));
    layoutPictures();
}

std::vector<std::string> DiaryWriteView::pictureFiles() const {
    return pictures_->imageAry();
}

void DiaryWriteView::addPicture(const std::string& path) {
    pictures_->addImage(path);
}

}  // namespace oa
