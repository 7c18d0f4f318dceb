// LeveyPopListView: the overlay, the panel with its title, the entries as a table, and closing by
// choice, by a tap outside or by Escape.
#include "ui/kit/LeveyPopListView.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>

#include "ui/kit/Fonts.h"
#include "ui/kit/TableView.h"

namespace oa {

namespace {
constexpr int kMargin = 10;
constexpr int kIconSide = 24;
constexpr int kFadeMs = 200;
// Space kept free above and below the panel when the entries do not all fit.
constexpr int kScreenMargin = 40;
}  // namespace

// The entries as rows of the panel's table.
class LeveyPopListView::Rows : public TableViewDataSource, public TableViewDelegate {
public:
    explicit Rows(LeveyPopListView* list) : list_(list) {}

    int numberOfRowsInSection(TableView*, int) override { return int(list_->options_.size()); }

    TableViewCell* cellForRowAtIndexPath(TableView* table, const IndexPath& path) override {
        auto* cell = table->dequeueReusableCellWithIdentifier(QStringLiteral("option"));
        if (!cell) {
            cell = new TableViewCell(TableViewCell::Style::Default, QStringLiteral("option"));
            cell->setBackgroundColor(Qt::transparent);
            QLabel* text = cell->textLabel();
            text->setFont(systemFont(16));
            QPalette colours = text->palette();
            colours.setColor(QPalette::WindowText, Qt::white);
            text->setPalette(colours);
        }
        const Option& option = list_->options_.at(path.row);
        QPixmap icon = option.icon;
        if (!icon.isNull() && icon.deviceIndependentSize().height() > kIconSide) {
            icon = icon.scaledToHeight(qRound(kIconSide * icon.devicePixelRatio()),
                                       Qt::SmoothTransformation);
        }
        cell->imageView()->setPixmap(icon);
        cell->textLabel()->setText(option.text);
        return cell;
    }

    void didSelectRowAtIndexPath(TableView*, const IndexPath& path) override {
        list_->select(path.row);
    }

private:
    LeveyPopListView* list_;
};

LeveyPopListView::LeveyPopListView(QString title, QList<Option> options, QWidget* parent)
    : QWidget(parent),
      title_(std::move(title)),
      options_(std::move(options)),
      table_(new TableView(TableView::Style::Plain, this)),
      rows_(new Rows(this)) {
    setObjectName(QStringLiteral("popListView"));
    setFocusPolicy(Qt::StrongFocus);
    table_->setObjectName(QStringLiteral("popListTable"));
    table_->setBackgroundColor(Qt::transparent);
    table_->setSeparatorColor(QColor(255, 255, 255, 40));
    table_->setRowHeight(kRowHeight);
    table_->setDataSource(rows_);
    table_->setDelegate(rows_);
    hide();
}

LeveyPopListView::~LeveyPopListView() {
    // The table goes with the widget's children, after this body: it must not ask rows_.
    table_->setDataSource(nullptr);
    table_->setDelegate(nullptr);
    delete rows_;
}

void LeveyPopListView::showInView(QWidget* view, bool animated) {
    if (!view) {
        return;
    }
    if (parentWidget() != view) {
        setParent(view);
    }
    view->installEventFilter(this);
    setGeometry(view->rect());
    table_->reloadData();
    show();
    raise();
    // The entries take the keys: Up/Down move, Enter chooses, Escape comes up to the list.
    if (!options_.isEmpty()) {
        table_->setFocus(Qt::PopupFocusReason);
        table_->setCurrentRow({0, 0});
    } else {
        setFocus(Qt::PopupFocusReason);
    }
    if (animated) {
        auto* effect = new QGraphicsOpacityEffect(this);
        effect->setOpacity(0);
        setGraphicsEffect(effect);
        auto* fade = new QPropertyAnimation(effect, "opacity", this);
        fade->setDuration(kFadeMs);
        fade->setStartValue(0.0);
        fade->setEndValue(1.0);
        connect(fade, &QPropertyAnimation::finished, this, [this] { setGraphicsEffect(nullptr); });
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

void LeveyPopListView::fadeOut() {
    closing_ = true;
    // Nothing under the list should wait for the fade before it takes taps again.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (!isVisible()) {
        deleteLater();
        return;
    }
    auto* effect = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(effect);
    auto* fade = new QPropertyAnimation(effect, "opacity", this);
    fade->setDuration(kFadeMs);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, this, [this] {
        hide();
        deleteLater();
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void LeveyPopListView::select(int index) {
    if (closing_ || index < 0 || index >= options_.size()) {
        return;
    }
    closing_ = true;
    const QPointer<LeveyPopListView> self(this);
    emit didSelect(index);
    if (self && delegate_) {
        delegate_->leveyPopListView(this, index);
    }
    if (self) {
        fadeOut();
    }
}

void LeveyPopListView::cancel() {
    if (closing_) {
        return;
    }
    closing_ = true;
    const QPointer<LeveyPopListView> self(this);
    emit didCancel();
    if (self && delegate_) {
        delegate_->leveyPopListViewDidCancel();
    }
    if (self) {
        fadeOut();
    }
}

QRect LeveyPopListView::panelRect() const {
    const int rows = int(options_.size());
    const int wanted = kTitleHeight + rows * kRowHeight + kMargin;
    const int height =
        std::max(kTitleHeight + kMargin, std::min(wanted, this->height() - 2 * kScreenMargin));
    const int width = std::min(kPanelWidth, this->width() - 2 * kMargin);
    return QRect((this->width() - width) / 2, (this->height() - height) / 2, width, height);
}

QRect LeveyPopListView::optionRect(int index) const {
    if (index < 0 || index >= options_.size()) {
        return {};
    }
    const QRectF row = table_->rectForRowAtIndexPath({0, index});
    return row.translated(table_->pos()).translated(0, -table_->contentOffset()).toRect();
}

void LeveyPopListView::layoutPanel() {
    const QRect panel = panelRect();
    table_->setGeometry(panel.x() + kMargin / 2, panel.y() + kTitleHeight, panel.width() - kMargin,
                        panel.height() - kTitleHeight - kMargin / 2);
}

void LeveyPopListView::resizeEvent(QResizeEvent*) {
    layoutPanel();
}

bool LeveyPopListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void LeveyPopListView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, 115));
    const QRectF panel = QRectF(panelRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.setBrush(QColor(24, 28, 34, 230));
    painter.drawRoundedRect(panel, 10, 10);

    painter.setFont(boldSystemFont(17));
    painter.setPen(Qt::white);
    const QRectF titleBox(panel.x() + 15, panel.y(), panel.width() - 30, kTitleHeight);
    const QString title =
        painter.fontMetrics().elidedText(title_, Qt::ElideRight, int(titleBox.width()));
    painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setPen(QPen(QColor(255, 255, 255, 70), 1));
    painter.drawLine(QPointF(panel.left() + 1, panel.top() + kTitleHeight - 0.5),
                     QPointF(panel.right() - 1, panel.top() + kTitleHeight - 0.5));
}

void LeveyPopListView::mousePressEvent(QMouseEvent* event) {
    pressedOutside_ = !panelRect().contains(event->position().toPoint());
    event->accept();
}

void LeveyPopListView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (pressedOutside_ && !panelRect().contains(event->position().toPoint())) {
        cancel();
    }
    pressedOutside_ = false;
}

void LeveyPopListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace oa
