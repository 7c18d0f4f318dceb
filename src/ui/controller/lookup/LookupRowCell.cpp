// LookupRowCell: placing the first line's texts one after the other.
#include "ui/controller/lookup/LookupRowCell.h"

#include "ui/controller/main/BaseView.h"
#include "ui/controller/main/RowLabel.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"

namespace oa {

namespace {
constexpr int kLeft = 10;
constexpr int kFirstY = 8;
constexpr int kSecondY = 34;
constexpr int kLineHeight = 22;
}  // namespace

LookupRowCell::LookupRowCell(QWidget* parent)
    : TableViewCell(Style::Default, identifier(), parent) {
    setSelectionStyle(SelectionStyle::Gray);
    for (std::size_t i = 0; i < first_.size(); ++i) {
        auto* label = new RowLabel(contentView());
        label->setObjectName(QStringLiteral("first%1").arg(i));
        label->setFont(systemFont(i == 0 ? 16 : 14));
        label->setTextColor(i == 0 ? BaseView::darkGrey() : BaseView::grey());
        first_[i] = label;
    }
    second_ = new RowLabel(contentView());
    second_->setObjectName(QStringLiteral("second"));
    second_->setFont(systemFont(14));
    second_->setTextColor(BaseView::grey());
    divider_ = new QLabel(this);
    divider_->setObjectName(QStringLiteral("dividerline"));
    divider_->setScaledContents(true);
    divider_->setPixmap(image(QStringLiteral("dividerline.png")));
}

LookupRowCell* LookupRowCell::dequeue(TableView* table) {
    if (auto* cell =
            qobject_cast<LookupRowCell*>(table->dequeueReusableCellWithIdentifier(identifier()))) {
        return cell;
    }
    return new LookupRowCell;
}

void LookupRowCell::setLines(const QStringList& first, const QString& second) {
    for (std::size_t i = 0; i < first_.size(); ++i) {
        const QString text = int(i) < first.size() ? first.at(int(i)) : QString();
        first_[i]->setText(text);
        first_[i]->setVisible(!text.isEmpty());
    }
    second_->setText(second);
    layoutSubviews();
}

void LookupRowCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    const int right = contentView()->width() - kLeft;
    int x = kLeft;
    for (RowLabel* label : first_) {
        if (label->isHidden()) {
            continue;
        }
        const int width = std::max(0, std::min(label->fittingWidth(), right - x));
        label->setGeometry(x, kFirstY, width, kLineHeight);
        x += width + kGap;
    }
    second_->setGeometry(kLeft, kSecondY, std::max(0, right - kLeft), kLineHeight - 2);
    divider_->setGeometry(0, height() - 2, width(), 2);
    divider_->raise();
}

}  // namespace oa
