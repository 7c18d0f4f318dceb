// TickCell: the tick box as the cell's accessory.
#include "ui/controller/write/TickCell.h"

#include "ui/kit/CheckBox.h"

namespace oa {

TickCell::TickCell(const QString& reuseIdentifier, QWidget* parent)
    : TableViewCell(Style::Default, reuseIdentifier, parent),
      tick_(new CheckBox(QStringLiteral("uncheck.png"), QStringLiteral("checked.png"))) {
    setSelectionStyle(SelectionStyle::None);
    tick_->resize(kTickSize, kTickSize);
    setAccessoryView(tick_);
    // clicked() comes from the user only, never from setChecked().
    connect(tick_, &QAbstractButton::clicked, this, &TickCell::tickTapped);
}

bool TickCell::isTicked() const {
    return tick_->isChecked();
}

void TickCell::setTicked(bool ticked) {
    tick_->setChecked(ticked);
}

}  // namespace oa
