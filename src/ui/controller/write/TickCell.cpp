// TickCell: the tick box as the cell's accessory.
#include "ui/controller/write/TickCell.h"

#include "ui/kit/TickButton.h"

namespace oa {

TickCell::TickCell(const QString& reuseIdentifier, QWidget* parent)
    : TableViewCell(Style::Default, reuseIdentifier, parent), tick_(new TickButton()) {
    setSelectionStyle(SelectionStyle::None);
    tick_->resize(kTickSize, kTickSize);
    setAccessoryView(tick_);
    connect(tick_, &TickButton::toggled, this, &TickCell::tickTapped);
}

bool TickCell::isTicked() const {
    return tick_->isChecked();
}

void TickCell::setTicked(bool ticked) {
    tick_->setChecked(ticked);
}

}  // namespace oa
