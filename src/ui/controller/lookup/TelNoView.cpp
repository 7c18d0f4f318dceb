// TelNoView: the form, the search from the bar and the place list.
#include "ui/controller/lookup/TelNoView.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>

#include "ui/controller/lookup/LookupObserver.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/TextField.h"
#include "ui/kit/ViewTags.h"

namespace oa {

namespace {

constexpr int kMoveMs = 300;

TextField* labelledField(QWidget* form, const QString& label, const char* name, int y) {
    auto* caption = new QLabel(label, form);
    caption->setFont(systemFont(16));
    caption->setGeometry(15, y, 290, 24);
    auto* field = new TextField(form);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(15, y + 26, 290, 30);
    field->setBorderStyle(TextField::BorderStyle::RoundedRect);
    field->setFont(systemFont(16));
    return field;
}

}  // namespace

TelNoView::TelNoView(QWidget* parent) : OtherBaseView(parent) {}

TelNoView::~TelNoView() {
    result_.reset();
}

void TelNoView::createView() {
    form_ = new QWidget(this);
    form_->setObjectName(QStringLiteral("form"));
    city_txt_ = labelledField(form_, QStringLiteral("市/区/县/街道的名称包括："), "city_txt", 10);
    code_txt_ = labelledField(form_, QStringLiteral("区号："), "code_txt", 72);
    post_txt_ = labelledField(form_, QStringLiteral("邮编："), "post_txt", 134);
    setTag(post_txt_, kPostTag);
    connect(post_txt_, &TextField::didBeginEditing, this, [this] { moveForm(-kLift); });
    for (TextField* field : {city_txt_, code_txt_, post_txt_}) {
        connect(field, &TextField::shouldReturn, this, [this] { restoreForm(); });
    }
    if (OtherFuncController* host = other_delegate()) {
        const QPointer<TelNoView> guard(this);
        host->setRightBarButton(QStringLiteral("查询"), [guard] {
            if (guard) {
                guard->search();
            }
        });
    }
    result_ = observeLookup<TelNoSearchNotification>(this, &TelNoView::result);
}

void TelNoView::resizeEvent(QResizeEvent* event) {
    OtherBaseView::resizeEvent(event);
    if (form_) {
        form_->resize(size());
    }
}

void TelNoView::mousePressEvent(QMouseEvent* event) {
    restoreForm();
    OtherBaseView::mousePressEvent(event);
}

void TelNoView::restoreForm() {
    TextField::endEditing(this);
    moveForm(0);
}

void TelNoView::moveForm(int y) {
    if (!form_ || (form_->y() == y && !move_)) {
        return;
    }
    if (move_) {
        move_->stop();
        delete move_;
    }
    auto* animation = new QPropertyAnimation(form_, "pos", this);
    animation->setDuration(kMoveMs);
    animation->setEndValue(QPoint(0, y));
    move_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void TelNoView::search() {
    OtherFuncController* host = other_delegate();
    if (!host || searching_) {
        return;
    }
    restoreForm();
    searching_ = true;
    host->searchInfo({{"city", city_txt_->text().toStdString()},
                      {"code", code_txt_->text().toStdString()},
                      {"post", post_txt_->text().toStdString()}});
}

void TelNoView::result(Places places) {
    // Only the answer to this screen's own search opens the list.
    if (!searching_) {
        return;
    }
    searching_ = false;
    if (OtherFuncController* host = other_delegate()) {
        host->lookDetail(std::move(places), "tel_no");
    }
}

}  // namespace oa
