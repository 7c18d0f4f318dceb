// ModuleRowCell: the divider, the chevron above the full-width content, and the row view.
#include "ui/controller/main/ModuleRowCell.h"

#include <QPainter>

#include "ui/controller/main/RowViewFactory.h"
#include "ui/kit/Images.h"

namespace oa {

namespace {

constexpr int kDividerY = 60;
constexpr int kChevronSize = 20;

// The disclosure chevron as a widget, so that it lies above the row view (which may paint the
// unread background across the whole row); white while the row is lit.
class Chevron : public QWidget {
public:
    explicit Chevron(TableViewCell* cell) : QWidget(cell), cell_(cell) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        resize(kChevronSize, kChevronSize);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const bool lit = cell_->selectionStyle() != TableViewCell::SelectionStyle::None &&
                         (cell_->isSelected() || cell_->isHighlighted());
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(lit ? QColor(Qt::white) : QColor(0x80, 0x80, 0x80), 3, Qt::SolidLine,
                            Qt::SquareCap, Qt::MiterJoin));
        const QPointF c = QRectF(rect()).center();
        const QPointF points[] = {
            {c.x() - 2, c.y() - 5}, {c.x() + 3, c.y()}, {c.x() - 2, c.y() + 5}};
        painter.drawPolyline(points, 3);
    }

private:
    TableViewCell* cell_;
};

}  // namespace

ModuleRowCell::ModuleRowCell(QWidget* parent)
    : TableViewCell(Style::Default, identifier(), parent),
      divider_(new QLabel(this)),
      chevron_(new Chevron(this)) {
    setSelectionStyle(SelectionStyle::Blue);
    divider_->setObjectName(QStringLiteral("dividerline.png"));
    divider_->setAttribute(Qt::WA_TransparentForMouseEvents);
    divider_->setScaledContents(true);
    divider_->setPixmap(image(QStringLiteral("dividerline.png")));
    setAccessoryType(AccessoryType::DisclosureIndicator);
    setAccessoryView(chevron_);
}

BaseView* ModuleRowCell::showRecord(std::string_view key, const std::shared_ptr<BaseVO>& record) {
    removeContentSubviews();
    if (!record) {
        return nullptr;
    }
    std::unique_ptr<BaseView> view = RowViewFactory::createForModule(key);
    if (!view) {
        return nullptr;
    }
    view->setParent(contentView());
    view->createView(record);
    view->show();
    rowView_ = view.release();
    return rowView_;
}

void ModuleRowCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    contentView()->setGeometry(0, 0, width(), height());
    const QPixmap& line = divider_->pixmap();
    const int lineHeight =
        line.isNull() ? 1 : std::max(1, int(line.deviceIndependentSize().height()));
    divider_->setGeometry(0, kDividerY, width(), lineHeight);
    // Later siblings paint above earlier ones: the row view's content comes first.
    divider_->raise();
    chevron_->raise();
}

}  // namespace oa
