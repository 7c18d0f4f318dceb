#include "ui/controller/message/UIBubbleTableView.h"

#include "ui/controller/message/BubbleText.h"
#include "ui/controller/message/UIBubbleTableViewCell.h"

namespace oa {

UIBubbleTableView::UIBubbleTableView(QWidget* parent) : TableView(Style::Plain, parent) {
    Q_ASSERT(style() == Style::Plain);
    setBackgroundColor(Qt::transparent);
    setSeparatorStyle(SeparatorStyle::None);
    setDataSource(this);
    setDelegate(this);
    frameTimer_.setInterval(1000 / kPlayFramesPerSecond);
    connect(&frameTimer_, &QTimer::timeout, this, &UIBubbleTableView::advanceFrame);
}

UIBubbleTableView::~UIBubbleTableView() {
    setDataSource(nullptr);
    setDelegate(nullptr);
}

void UIBubbleTableView::reloadData() {
    rows_.clear();
    const int count = bubbleDataSource_ ? bubbleDataSource_->rowsForBubbleTable(this) : 0;
    rows_.reserve(count > 0 ? std::size_t(count) : 0);
    for (int i = 0; i < count; ++i) {
        NSBubbleDataPtr bubble = bubbleDataSource_->bubbleTableViewDataForRow(this, i);
        Q_ASSERT_X(bubble, "UIBubbleTableView::reloadData", "a bubble for every row");
        if (!bubble) {
            continue;
        }
        NSBubbleDataInternal row;
        row.data = bubble;
        row.labelSize = measureBubbleText(bubble->isVoice() ? QString() : bubble->text());
        row.header = bubble->dateString();
        row.height = bubble->isVoice() ? kVoiceRowHeight : row.labelSize.height() + kTextRowPadding;
        rows_.push_back(std::move(row));
    }
    playingRow_ = findPlayingRow();
    TableView::reloadData();
}

std::optional<int> UIBubbleTableView::findPlayingRow() const {
    if (!playing_) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const NSBubbleData& bubble = *rows_[i].data;
        if (bubble.isVoice() && bubble.attachment_id() == playing_->attachment_id &&
            bubble.attachment_name() == playing_->attachment_name &&
            bubble.type() == playing_->type) {
            return int(i);
        }
    }
    return std::nullopt;
}

void UIBubbleTableView::startPlayAnimation(int row) {
    if (row < 0 || row >= int(rows_.size()) || !rows_[std::size_t(row)].data->isVoice()) {
        return;
    }
    stopPlayAnimation();
    const NSBubbleData& bubble = *rows_[std::size_t(row)].data;
    playing_ = PlayingBubble{bubble.attachment_id(), bubble.attachment_name(), bubble.type()};
    playingRow_ = row;
    frame_ = 1;
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    frameTimer_.start();
    showFrame();
}

void UIBubbleTableView::stopPlayAnimation() {
    frameTimer_.stop();
    const std::optional<int> row = playingRow_;
    playing_.reset();
    playingRow_.reset();
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    if (row) {
        if (UIBubbleTableViewCell* cell = bubbleCell(*row)) {
            cell->setPlayFrame(0);
        }
    }
}

std::optional<int> UIBubbleTableView::playingRow() const {
    return playingRow_;
}

UIBubbleTableViewCell* UIBubbleTableView::bubbleCell(int row) const {
    return qobject_cast<UIBubbleTableViewCell*>(
        TableView::cellForRowAtIndexPath(IndexPath{row, 0}));
}

void UIBubbleTableView::advanceFrame() {
    frame_ = frame_ % 3 + 1;
    showFrame();
}

void UIBubbleTableView::showFrame() {
    if (!playingRow_) {
        return;
    }
    if (UIBubbleTableViewCell* cell = bubbleCell(*playingRow_)) {
        cell->setPlayFrame(frame_);
    }
}

void UIBubbleTableView::touchEnded(QPointF pos) {
    if (!playing_) {
        if (const std::optional<IndexPath> path = indexPathForRowAtPoint(pos)) {
            UIBubbleTableViewCell* cell = bubbleCell(path->section);
            if (cell && cell->dataInternal().data && cell->dataInternal().data->isVoice()) {
                QWidget* bubble = cell->bubbleImage();
                const QPoint inBubble = bubble->mapFrom(this, pos.toPoint());
                if (bubble->rect().contains(inBubble)) {
                    touchCancelled();
                    const NSBubbleDataPtr bubbleData = cell->dataInternal().data;
                    startPlayAnimation(path->section);
                    emit voiceBubbleTapped(bubbleData, bubbleData->isMine());
                    return;
                }
            }
        }
    }
    TableView::touchEnded(pos);
}

int UIBubbleTableView::numberOfSectionsInTableView(TableView*) {
    return int(rows_.size());
}

int UIBubbleTableView::numberOfRowsInSection(TableView*, int section) {
    return section >= 0 && section < int(rows_.size()) ? 1 : 0;
}

TableViewCell* UIBubbleTableView::cellForRowAtIndexPath(TableView* tableView,
                                                        const IndexPath& path) {
    auto* cell = qobject_cast<UIBubbleTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(UIBubbleTableViewCell::kReuseIdentifier));
    if (!cell) {
        cell = new UIBubbleTableViewCell;
    }
    cell->setDataInternal(rows_.at(std::size_t(path.section)));
    cell->setPlayFrame(playingRow_ == path.section ? frame_ : 0);
    return cell;
}

qreal UIBubbleTableView::heightForRowAtIndexPath(TableView*, const IndexPath& path) {
    if (path.section < 0 || path.section >= int(rows_.size())) {
        return -1;
    }
    return rows_[std::size_t(path.section)].height;
}

}  // namespace oa
