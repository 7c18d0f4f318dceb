// The bubble timeline of a dialog: one section of one row per bubble, in the data source's
// order, each row measured once per reload. A tap on a voice bubble starts its play animation,
// makes the timeline ignore touches and asks for playback (voiceBubbleTapped); whoever plays it
// calls stopPlayAnimation when it ends, however it ends. One playback at a time.
#pragma once

#include <QTimer>
#include <optional>
#include <vector>

#include "ui/controller/message/NSBubbleDataInternal.h"
#include "ui/controller/message/UIBubbleTableViewDataSource.h"
#include "ui/kit/TableView.h"

namespace oa {

class UIBubbleTableViewCell;

class UIBubbleTableView : public TableView, private TableViewDataSource, private TableViewDelegate {
    Q_OBJECT
public:
    // Text rows: the text's height plus 5 + 11 of padding and 30 for the date line.
    static constexpr qreal kTextRowPadding = 46;
    static constexpr qreal kVoiceRowHeight = 66;
    // Frames of the play animation per second.
    static constexpr int kPlayFramesPerSecond = 3;

    explicit UIBubbleTableView(QWidget* parent = nullptr);
    ~UIBubbleTableView() override;

    // The table's own, not hidden by the data source's of the same names.
    using TableView::cellForRowAtIndexPath;
    using TableView::numberOfRowsInSection;

    // Not owned; clear it (or destroy the timeline) before it goes.
    UIBubbleTableViewDataSource* bubbleDataSource() const { return bubbleDataSource_; }
    void setBubbleDataSource(UIBubbleTableViewDataSource* source) { bubbleDataSource_ = source; }

    // Asks the data source for every bubble, measures them and reloads the rows. Hides
    // TableView::reloadData: call it on the timeline.
    void reloadData();

    // The rows of the last reload, one per section, in order.
    const std::vector<NSBubbleDataInternal>& bubbleRows() const { return rows_; }

    // The play animation on the voice bubble at `row` (a bubble index). It stays on that bubble
    // (found again by its attachment after a reload) until stopPlayAnimation; meanwhile the
    // timeline ignores touches. A row that is not a voice bubble is ignored.
    void startPlayAnimation(int row);
    // Ends the animation (the resting icon comes back) and lets touches through again.
    void stopPlayAnimation();
    bool isPlaying() const { return playing_.has_value(); }
    // The row of the bubble being played, if it is still in the timeline.
    std::optional<int> playingRow() const;
    // The animation frame shown, 1 to 3, or 0 when nothing plays.
    int playFrame() const { return playing_ ? frame_ : 0; }

    // The cell showing the bubble at `row`, or nullptr when it is not in sight.
    UIBubbleTableViewCell* bubbleCell(int row) const;

signals:
    // A voice bubble was tapped; its animation runs and touches are off until
    // stopPlayAnimation. `mine` is true for the user's own message.
    void voiceBubbleTapped(NSBubbleDataPtr data, bool mine);

protected:
    void touchEnded(QPointF pos) override;

private:
    // What identifies a played bubble across reloads.
    struct PlayingBubble {
        QString attachment_id;
        QString attachment_name;
        int type = 0;
    };

    int numberOfSectionsInTableView(TableView* tableView) override;
    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

    void advanceFrame();
    void showFrame();
    std::optional<int> findPlayingRow() const;

    UIBubbleTableViewDataSource* bubbleDataSource_ = nullptr;
    std::vector<NSBubbleDataInternal> rows_;
    std::optional<PlayingBubble> playing_;
    std::optional<int> playingRow_;
    int frame_ = 1;
    QTimer frameTimer_;
};

}  // namespace oa
