// BaseView: shared drawing helpers of the row views.
#include "ui/controller/main/BaseView.h"

#include <QPainter>
#include <algorithm>

#include "ui/controller/main/RowLabel.h"
#include "ui/kit/ColorFromHexRGB.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"

namespace oa {

BaseView::BaseView(QWidget* parent) : QWidget(parent) {
    resize(kRowWidth, kRowHeight);
}

void BaseView::createView(const std::shared_ptr<BaseVO>&) {}

void BaseView::setBackgroundColor(const QColor& colour) {
    background_ = colour;
    update();
}

QColor BaseView::colorFromRecordField(Text& field) {
    if (field && !field->empty() && field->front() == '#') {
        field->erase(0, 1);
    }
    return colorFromHexRGB(field);
}

void BaseView::paintEvent(QPaintEvent*) {
    if (background_.alpha() > 0) {
        QPainter(this).fillRect(rect(), background_);
    }
}

void BaseView::clearView() {
    const auto children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        delete child;
    }
    setBackgroundColor(Qt::transparent);
}

RowLabel* BaseView::addLabel(const char* name, const QRect& frame, int points, const QColor& colour,
                             const QString& text) {
    auto* label = new RowLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(systemFont(points));
    label->setTextColor(colour);
    label->setText(text);
    label->setGeometry(frame);
    label->show();
    return label;
}

RowLabel* BaseView::addLabel(const char* name, const QRect& frame, int points, const QColor& colour,
                             const Text& text) {
    return addLabel(name, frame, points, colour, QString::fromStdString(text.value_or("")));
}

QLabel* BaseView::addImage(const QString& name, const QRect& frame) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setAttribute(Qt::WA_TranslucentBackground);
    const QPixmap picture = image(name + QStringLiteral(".png"));
    label->setPixmap(picture);
    if (frame.size().isEmpty()) {
        label->setGeometry(QRect(frame.topLeft(), picture.deviceIndependentSize().toSize()));
    } else {
        label->setScaledContents(true);
        label->setGeometry(frame);
    }
    label->show();
    return label;
}

void BaseView::setReadState(const Text& read_flag) {
    setBackgroundColor(read_flag == "0" ? unreadBackground() : QColor(Qt::transparent));
    // The colour says it on screen; the row's line says it to a screen reader.
    setAccessibleDescription(read_flag == "0" ? QStringLiteral("未读") : QString());
}

void BaseView::addAttachmentMark(const Text& has_attachment) {
    if (has_attachment == "1") {
        addImage(QStringLiteral("attach"), attachmentMarkFrame())
            ->setAccessibleName(QStringLiteral("附件"));
    }
}

void BaseView::fitLine(std::initializer_list<RowLabel*> labels, int right) {
    if (labels.size() == 0) {
        return;
    }
    RowLabel* const* first = labels.begin();
    int others = 0;
    for (RowLabel* const* label = first + 1; label != labels.end(); ++label) {
        others += kTextGap + (*label)->fittingWidth();
    }
    int x = (*first)->x();
    for (RowLabel* const* label = first; label != labels.end(); ++label) {
        const int room = std::max(0, right - x - (label == first ? others : 0));
        const int width = std::min((*label)->fittingWidth(), room);
        (*label)->setGeometry(x, (*label)->y(), width, (*label)->height());
        x += width + kTextGap;
    }
}

}  // namespace oa
