// EmailWriteView: form, recipient strips, picture and text blocks of the e-mail editor.
#include "ui/controller/write/EmailWriteView.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/platform/Log.h"
#include "ui/controller/write/PeopleJson.h"
#include "ui/controller/write/PictureBlock.h"
#include "ui/kit/ContactAddButton.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/ScrollView.h"
#include "ui/kit/TextField.h"
#include "ui/kit/TextView.h"
#include "ui/kit/ViewTags.h"

namespace oa {

namespace {

using People = EmailWriteView::People;

constexpr int kFormHeight = 5 + 180;

TextField* formField(const QString& placeholder, int y, QWidget* parent) {
    auto* field = new TextField(parent);
    field->setPlaceholderText(placeholder);
    field->setAccessibleName(QString(placeholder).remove(QStringLiteral("请输入")));
    field->setFont(systemFont(16));
    field->setGeometry(95, y, 210, 35);
    return field;
}

}  // namespace

EmailWriteView::EmailWriteView(QWidget* parent) : WriteEditor(parent) {
    createView();
}

EmailWriteView::EmailWriteView(const People& people, QWidget* parent) : WriteEditor(parent) {
    createView();
    loadScrollView(user_scroll1_, people);
}

void EmailWriteView::createView() {
    QPalette pattern = palette();
    pattern.setBrush(QPalette::Window, QBrush(image(QStringLiteral("otherbackground.png"))));
    setPalette(pattern);
    setAutoFillBackground(true);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroll);
    input_view_ = new QWidget;
    input_view_->setAutoFillBackground(false);

    const QStringList labels{QStringLiteral("收件人："), QStringLiteral("抄 送："),
                             QStringLiteral("外部邮箱："), QStringLiteral("主 题：")};
    for (int i = 0; i < labels.size(); ++i) {
        auto* label = new QLabel(labels[i], input_view_);
        label->setFont(systemFont(16));
        label->setGeometry(12, 10 + 45 * i, 80, 35);
    }
    for (int which = 1; which <= 2; ++which) {
        auto* add = new ContactAddButton(input_view_);
        // A 44-point target around the drawn button.
        add->setGeometry(270, 5 + 45 * (which - 1), 44, 44);
        setTag(add, which);
        add->setAccessibleName(which == 1 ? QStringLiteral("添加收件人")
                                          : QStringLiteral("添加抄送"));
        connect(add, &QAbstractButton::clicked, this, [this, which] { emit turnToSearch(which); });
    }
    auto strip = [this](int tagValue, int y) {
        auto* area = new ScrollView(input_view_);
        area->setGeometry(88, y, 180, 35);
        setTag(area, tagValue);
        return area;
    };
    user_scroll1_ = strip(kRecipientStripTag, 10);
    user_scroll2_ = strip(kCopyStripTag, 55);

    address_text_ = formField(QStringLiteral("请输入邮箱地址"), 100, input_view_);
    title_text_ = formField(QStringLiteral("请输入邮件主题"), 145, input_view_);
    for (TextField* field : {address_text_, title_text_}) {
        connect(field, &QLineEdit::textEdited, this, &WriteEditor::changed);
        keepInSightWhileEditing(field);
        connect(field, &TextField::shouldReturn, field, &TextField::resignFirstResponder);
    }

    pictures_ = new PictureBlock(input_view_);
    connect(pictures_, &PictureBlock::addPhotos, this, &EmailWriteView::openTheMenu);
    connect(pictures_, &PictureBlock::changed, this, [this] {
        layoutBlocks();
        emit changed();
    });

    contentView_ = new QWidget(input_view_);
    contentView_->resize(310, 150);
    auto* contentLabel = new QLabel(QStringLiteral("邮件内容"), contentView_);
    contentLabel->setFont(systemFont(16));
    contentLabel->setGeometry(10, 5, 200, 30);
    content_text_ = new TextView(contentView_);
    content_text_->setAccessibleName(QStringLiteral("正文"));
    content_text_->setFont(systemFont(18));
    content_text_->setGeometry(8, 45, 295, 95);
    connect(content_text_, &QPlainTextEdit::textChanged, this, &WriteEditor::changed);
    keepInSightWhileEditing(content_text_);

    layoutBlocks();
    scroll->setWidget(input_view_);
}

void EmailWriteView::layoutBlocks() {
    const int pictureTop = kFormHeight + 10;
    pictures_->move(5, pictureTop);
    const int contentTop = pictureTop + pictures_->height() + 10;
    contentView_->move(5, contentTop);
    input_view_->setFixedSize(320, contentTop + contentView_->height() + 10);
}

void EmailWriteView::loadScrollView(ScrollView* strip, const People& people) {
    const People copy = people;
    (strip == user_scroll1_ ? user_arr1_ : user_arr2_) = copy;
    redraw(strip);
    emit changed();
}

void EmailWriteView::redraw(ScrollView* strip) {
    const bool copies = strip != user_scroll1_;
    const People& people = copies ? user_arr2_ : user_arr1_;
    // The tapped button may be among the old ones: they go later.
    for (QPushButton* old : strip->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
    }
    strip->setContentWidth(60 * static_cast<qreal>(people.size()));
    for (std::size_t i = 0; i < people.size(); ++i) {
        auto* name =
            new QPushButton(QString::fromStdString(people[i]->user_name.value_or("")), strip);
        name->setGeometry(60 * static_cast<int>(i), 2, 50, 30);
        // A white rounded button; the title blue among the recipients, brown among the copies.
        name->setStyleSheet(
            QStringLiteral("QPushButton { color: %1; background: white;"
                           " border: 1px solid #a9afb8; border-radius: 8px;"
                           " font-size: 14px; }"
                           " QPushButton:pressed { background: #d9e4f2; }")
                .arg(copies ? QStringLiteral("#8b4513") : QStringLiteral("#1f5aa0")));
        const int tagValue = (copies ? 500 : 400) + static_cast<int>(i);
        setTag(name, tagValue);
        connect(name, &QPushButton::clicked, this, [this, tagValue] { deleteCurButton(tagValue); });
        name->show();
    }
}

void EmailWriteView::deleteCurButton(int tagValue) {
    People& people = tagValue >= 500 ? user_arr2_ : user_arr1_;
    const int index = tagValue - (tagValue >= 500 ? 500 : 400);
    if (index < 0 || index >= static_cast<int>(people.size())) {
        return;
    }
    people.erase(people.begin() + index);
    redraw(tagValue >= 500 ? user_scroll2_ : user_scroll1_);
    emit changed();
}

std::optional<EmailSaveVO> EmailWriteView::getEmailSaveVO() const {
    if (user_arr1_.empty()) {
        log("无收件人");
        ProgressHUD::showErrorWithStatus(QStringLiteral("无收信人"));
        return std::nullopt;
    }
    EmailSaveVO record;
    record.to_id = joinedIds(user_arr1_);
    record.cs_id = joinedIds(user_arr2_);
    record.webmail = webmail().toStdString();
    record.subject = subject().toStdString();
    record.content = content().toStdString();
    record.imageAry = pictures_->imageAry();
    return record;
}

std::string EmailWriteView::joinedIds(const People& people) {
    std::string out;
    for (std::size_t i = 0; i < people.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += people[i]->user_id.value_or("");
    }
    return out;
}

QString EmailWriteView::webmail() const {
    return address_text_->text();
}

QString EmailWriteView::subject() const {
    return title_text_->text();
}

QString EmailWriteView::content() const {
    return content_text_->text();
}

void EmailWriteView::setWebmail(const QString& text) {
    address_text_->setText(text);
}

void EmailWriteView::setSubject(const QString& text) {
    title_text_->setText(text);
}

void EmailWriteView::setContent(const QString& text) {
    content_text_->setPlainText(text);
}

QJsonObject EmailWriteView::draft() const {
    QJsonArray images;
    for (const std::string& path : pictures_->imageAry()) {
        images.append(QString::fromStdString(path));
    }
    return {{QStringLiteral("to"), peopleToJson(user_arr1_)},
            {QStringLiteral("cc"), peopleToJson(user_arr2_)},
            {QStringLiteral("webmail"), webmail()},
            {QStringLiteral("subject"), subject()},
            {QStringLiteral("content"), content()},
            {QStringLiteral("images"), images}};
}

void EmailWriteView::restoreDraft(const QJsonObject& draft) {
    const QSignalBlocker quiet(this);
    if (draft.contains(QStringLiteral("to"))) {
        loadScrollView(user_scroll1_, peopleFromJson(draft.value(QStringLiteral("to")).toArray()));
    }
    if (draft.contains(QStringLiteral("cc"))) {
        loadScrollView(user_scroll2_, peopleFromJson(draft.value(QStringLiteral("cc")).toArray()));
    }
    address_text_->setText(draft.value(QStringLiteral("webmail")).toString());
    title_text_->setText(draft.value(QStringLiteral("subject")).toString());
    content_text_->setPlainText(draft.value(QStringLiteral("content")).toString());
    std::vector<std::string> images;
    for (const QJsonValue& value : draft.value(QStringLiteral("images")).toArray()) {
        if (QFileInfo::exists(value.toString())) {
            images.push_back(value.toString().toStdString());
        }
    }
    pictures_->setImageAry(std::move(images));
    layoutBlocks();
}

std::vector<std::string> EmailWriteView::pictureFiles() const {
    return pictures_->imageAry();
}

void EmailWriteView::addPicture(const std::string& path) {
    pictures_->addImage(path);
}

}  // namespace oa
