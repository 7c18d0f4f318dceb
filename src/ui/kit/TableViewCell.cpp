// TableViewCell: layout of the built-in parts by style, and painting of background, grouped
// corners, selection, separator and accessory.
#include "ui/kit/TableViewCell.h"

#include <QAccessible>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/kit/AccessibleKit.h"
#include "ui/kit/Fonts.h"

namespace oa {

namespace {

constexpr qreal kCornerRadius = 8;
constexpr int kPadding = 10;
constexpr int kAccessorySize = 20;

const QColor kGroupBorder(0xab, 0xab, 0xab);
const QColor kGroupSeparator(0xe0, 0xe0, 0xe0);
const QColor kValue1Detail(56, 84, 135);
const QColor kValue2Text(82, 102, 145);
const QColor kSubtitleDetail(128, 128, 128);
const QColor kChevron(0x80, 0x80, 0x80);
const QColor kCheckmark(50, 79, 133);

bool roundsTop(TableViewCell::GroupPosition position) {
    return position == TableViewCell::GroupPosition::Single ||
           position == TableViewCell::GroupPosition::Top;
}

bool roundsBottom(TableViewCell::GroupPosition position) {
    return position == TableViewCell::GroupPosition::Single ||
           position == TableViewCell::GroupPosition::Bottom;
}

// The shape of a grouped cell: a rectangle whose top and/or bottom corners are rounded where
// the section begins or ends. The fill is the closed shape; the outline keeps the sides and the
// rounded ends but leaves out straight top and bottom edges, since between rows a light
// separator is drawn instead.
enum class Shape { Fill, Outline };

QPainterPath cellPath(const QRectF& r, bool top, bool bottom, Shape shape) {
    const qreal k = kCornerRadius;
    const bool fill = shape == Shape::Fill;
    QPainterPath path;
    if (top) {
        path.moveTo(r.left(), r.top() + k);
        path.arcTo(QRectF(r.left(), r.top(), 2 * k, 2 * k), 180, -90);
        path.lineTo(r.right() - k, r.top());
        path.arcTo(QRectF(r.right() - 2 * k, r.top(), 2 * k, 2 * k), 90, -90);
    } else if (fill) {
        path.moveTo(r.left(), r.top());
        path.lineTo(r.right(), r.top());
    } else {
        path.moveTo(r.right(), r.top());
    }
    if (bottom) {
        path.lineTo(r.right(), r.bottom() - k);
        path.arcTo(QRectF(r.right() - 2 * k, r.bottom() - 2 * k, 2 * k, 2 * k), 0, -90);
        path.lineTo(r.left() + k, r.bottom());
        path.arcTo(QRectF(r.left(), r.bottom() - 2 * k, 2 * k, 2 * k), 270, -90);
    } else {
        path.lineTo(r.right(), r.bottom());
        if (fill) {
            path.lineTo(r.left(), r.bottom());
        } else {
            path.moveTo(r.left(), r.bottom());
        }
    }
    if (fill) {
        path.closeSubpath();
    } else {
        path.lineTo(r.left(), r.top() + (top ? k : 0));
    }
    return path;
}

QLabel* makeLabel(QWidget* parent, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    colours.setColor(QPalette::HighlightedText, Qt::white);
    label->setPalette(colours);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->show();
    return label;
}

}  // namespace

TableViewCell::TableViewCell(Style style, QString reuseIdentifier, QWidget* parent)
    : QWidget(parent),
      style_(style),
      reuseIdentifier_(std::move(reuseIdentifier)),
      contentView_(new QWidget(this)) {
    contentView_->setObjectName(QStringLiteral("contentView"));
}

TableViewCell::~TableViewCell() = default;

QLabel* TableViewCell::textLabel() {
    if (!textLabel_) {
        const bool small = style_ == Style::Value2;
        textLabel_ = makeLabel(contentView_, boldSystemFont(small ? 12 : 17),
                               small ? kValue2Text : QColor(Qt::black));
        if (small) {
            textLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        applyLabelColours();
        layoutSubviews();
    }
    return textLabel_;
}

QLabel* TableViewCell::detailTextLabel() {
    if (!detailTextLabel_) {
        switch (style_) {
            case Style::Value1:
                detailTextLabel_ = makeLabel(contentView_, systemFont(17), kValue1Detail);
                detailTextLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                break;
            case Style::Value2:
                detailTextLabel_ = makeLabel(contentView_, boldSystemFont(15), Qt::black);
                break;
            case Style::Default:
            case Style::Subtitle:
                detailTextLabel_ = makeLabel(contentView_, systemFont(14), kSubtitleDetail);
                break;
        }
        applyLabelColours();
        layoutSubviews();
    }
    return detailTextLabel_;
}

QLabel* TableViewCell::imageView() {
    if (!imageView_) {
        imageView_ = new QLabel(contentView_);
        imageView_->setAttribute(Qt::WA_TranslucentBackground);
        imageView_->setAlignment(Qt::AlignCenter);
        imageView_->show();
        layoutSubviews();
    }
    return imageView_;
}

void TableViewCell::removeContentSubviews() {
    const auto children =
        contentView_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        delete child;
    }
}

void TableViewCell::setAccessoryType(AccessoryType type) {
    if (accessoryType_ == type) {
        return;
    }
    accessoryType_ = type;
    layoutSubviews();
    update();
}

void TableViewCell::setAccessoryView(QWidget* view) {
    if (accessoryView_ == view) {
        return;
    }
    delete accessoryView_;
    accessoryView_ = view;
    if (view) {
        view->setParent(this);
        view->show();
    }
    layoutSubviews();
    update();
}

void TableViewCell::setSelectionStyle(SelectionStyle style) {
    selectionStyle_ = style;
    applyLabelColours();
    update();
}

void TableViewCell::setSelected(bool selected, bool animated) {
    Q_UNUSED(animated);  // the change is immediate; the argument keeps callers uniform
    if (selected_ == selected) {
        return;
    }
    selected_ = selected;
    applyLabelColours();
    update();
    // A row chosen while its table has the keyboard is where a screen reader reads next.
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
    if (selected && hasKeyboardAround(this)) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void TableViewCell::setHighlighted(bool highlighted, bool animated) {
    Q_UNUSED(animated);
    if (highlighted_ == highlighted) {
        return;
    }
    highlighted_ = highlighted;
    applyLabelColours();
    update();
}

void TableViewCell::setBackgroundColor(const QColor& colour) {
    background_ = colour;
    update();
}

void TableViewCell::setGroupPosition(GroupPosition position) {
    if (groupPosition_ == position) {
        return;
    }
    groupPosition_ = position;
    layoutSubviews();
    update();
}

void TableViewCell::setSeparatorColor(const QColor& colour) {
    if (separator_ == colour) {
        return;
    }
    separator_ = colour;
    update();
}

void TableViewCell::prepareForReuse() {
    setSelected(false);
    setHighlighted(false);
}

void TableViewCell::applyLabelColours() {
    // The labels keep their own colour in WindowText; while the row is lit they draw with
    // HighlightedText (white) instead, so a colour set by a screen comes back afterwards.
    const bool lit = (selected_ || highlighted_) && selectionStyle_ != SelectionStyle::None;
    for (QLabel* label : {textLabel_.data(), detailTextLabel_.data()}) {
        if (label) {
            label->setForegroundRole(lit ? QPalette::HighlightedText : QPalette::WindowText);
        }
    }
}

QRectF TableViewCell::backgroundRect() const {
    if (groupPosition_ == GroupPosition::None) {
        return QRectF(rect());
    }
    // Half-pixel edges keep the one-point outline sharp.
    return QRectF(kGroupMargin + 0.5, roundsTop(groupPosition_) ? 0.5 : 0,
                  width() - 2 * kGroupMargin - 1,
                  height() - (roundsTop(groupPosition_) ? 0.5 : 0) -
                      (roundsBottom(groupPosition_) ? 0.5 : 0));
}

int TableViewCell::accessoryWidth() const {
    if (accessoryView_) {
        return accessoryView_->width() + kPadding;
    }
    return accessoryType_ == AccessoryType::None ? 0 : kAccessorySize + kPadding;
}

void TableViewCell::resizeEvent(QResizeEvent*) {
    layoutSubviews();
}

void TableViewCell::layoutSubviews() {
    const int left = groupPosition_ == GroupPosition::None ? 0 : kGroupMargin + 1;
    const int right = width() - (groupPosition_ == GroupPosition::None ? 0 : kGroupMargin + 1);
    const int h = height();
    const int contentWidth = std::max(0, right - left - accessoryWidth());
    contentView_->setGeometry(left, 0, contentWidth, h);

    if (accessoryView_) {
        const QSize s = accessoryView_->testAttribute(Qt::WA_Resized)
                            ? accessoryView_->size()
                            : accessoryView_->sizeHint().expandedTo(QSize(1, 1));
        accessoryView_->setGeometry(right - kPadding - s.width(), (h - s.height()) / 2, s.width(),
                                    s.height());
    }

    int x = kPadding;
    if (imageView_ && imageView_->pixmap().isNull() == false) {
        const QSize s = imageView_->pixmap().deviceIndependentSize().toSize();
        imageView_->setGeometry(kPadding, (h - s.height()) / 2, s.width(), s.height());
        x = imageView_->geometry().right() + 1 + kPadding;
    } else if (imageView_) {
        imageView_->setGeometry(kPadding, 0, 0, h);
    }
    const int textRight = contentWidth - kPadding;
    QLabel* text = textLabel_;
    QLabel* detail = detailTextLabel_;
    switch (style_) {
        case Style::Default:
            if (text) {
                text->setGeometry(x, 0, std::max(0, textRight - x), h);
            }
            if (detail) {
                detail->setGeometry(x, 0, 0, 0);  // this style has no place for a detail
            }
            break;
        case Style::Value1: {
            const int detailWidth =
                detail ? std::min(detail->sizeHint().width(), textRight - x) : 0;
            if (detail) {
                detail->setGeometry(textRight - detailWidth, 0, std::max(0, detailWidth), h);
            }
            if (text) {
                const int end = detail && !detail->text().isEmpty()
                                    ? textRight - detailWidth - kPadding
                                    : textRight;
                text->setGeometry(x, 0, std::max(0, end - x), h);
            }
            break;
        }
        case Style::Value2: {
            constexpr int kTextWidth = 67;
            if (text) {
                text->setGeometry(x, 0, kTextWidth, h);
            }
            if (detail) {
                const int start = x + kTextWidth + 6;
                detail->setGeometry(start, 0, std::max(0, textRight - start), h);
            }
            break;
        }
        case Style::Subtitle:
            if (text) {
                text->setGeometry(x, h / 2 - 21, std::max(0, textRight - x), 22);
            }
            if (detail) {
                detail->setGeometry(x, h / 2 + 1, std::max(0, textRight - x), 18);
            }
            break;
    }
}

void TableViewCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool grouped = groupPosition_ != GroupPosition::None;
    const bool top = roundsTop(groupPosition_);
    const bool bottom = roundsBottom(groupPosition_);
    const QRectF box = backgroundRect();
    const QPainterPath shape = grouped ? cellPath(box, top, bottom, Shape::Fill) : QPainterPath();

    auto fill = [&](const QBrush& brush) {
        if (grouped) {
            painter.fillPath(shape, brush);
        } else {
            painter.fillRect(box, brush);
        }
    };
    if (background_.alpha() > 0) {
        fill(background_);
    }
    const bool lit = (selected_ || highlighted_) && selectionStyle_ != SelectionStyle::None;
    if (lit) {
        QLinearGradient gradient(0, 0, 0, height());
        if (selectionStyle_ == SelectionStyle::Blue) {
            gradient.setColorAt(0, QColor(5, 140, 245));
            gradient.setColorAt(1, QColor(1, 93, 230));
        } else {
            gradient.setColorAt(0, QColor(190, 190, 190));
            gradient.setColorAt(1, QColor(160, 160, 160));
        }
        fill(gradient);
    }

    if (grouped) {
        if (!bottom) {
            painter.setPen(QPen(kGroupSeparator, 1));
            painter.drawLine(QPointF(box.left() + 1, height() - 0.5),
                             QPointF(box.right() - 1, height() - 0.5));
        }
        painter.setPen(QPen(kGroupBorder, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(cellPath(box, top, bottom, Shape::Outline));
    } else if (separator_.isValid() && separator_.alpha() > 0) {
        painter.setPen(QPen(separator_, 1));
        painter.drawLine(QPointF(0, height() - 0.5), QPointF(width(), height() - 0.5));
    }

    if (accessoryView_ || accessoryType_ == AccessoryType::None) {
        return;
    }
    const qreal right = grouped ? width() - kGroupMargin - 1 - kPadding : width() - kPadding;
    const QRectF slot(right - kAccessorySize, (height() - kAccessorySize) / 2.0, kAccessorySize,
                      kAccessorySize);
    const QPointF c = slot.center();
    if (accessoryType_ == AccessoryType::DisclosureIndicator) {
        painter.setPen(QPen(lit ? QColor(Qt::white) : kChevron, 3, Qt::SolidLine, Qt::SquareCap,
                            Qt::MiterJoin));
        const QPointF points[] = {
            {c.x() - 2, c.y() - 5}, {c.x() + 3, c.y()}, {c.x() - 2, c.y() + 5}};
        painter.drawPolyline(points, 3);
    } else {
        painter.setPen(QPen(lit ? QColor(Qt::white) : kCheckmark, 2.5, Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
        const QPointF points[] = {
            {c.x() - 6, c.y()}, {c.x() - 2, c.y() + 5}, {c.x() + 6, c.y() - 6}};
        painter.drawPolyline(points, 3);
    }
}

}  // namespace oa
