// PullingRefreshTableView: a table whose header, pulled down past 60 points and let go, asks its
// delegate for newer rows, and whose footer, pulled up past the end, asks for older ones. The
// header or footer stays open while the delegate loads; finishing closes it, notes the time of
// the update and may flash a short message in an orange strip.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QPointer>
#include <optional>

#include "ui/kit/LoadingView.h"
#include "ui/kit/TableView.h"

class QLabel;
class QSequentialAnimationGroup;

namespace oa {

class PullingRefreshTableView;

class PullingRefreshTableViewDelegate {
public:
    virtual ~PullingRefreshTableViewDelegate() = default;
    // The header started loading: a pull down, F5, the wheel or launchRefreshing.
    virtual void pullingTableViewDidStartRefreshing(PullingRefreshTableView* tableView) = 0;
    // The footer started loading. Does nothing by default.
    virtual void pullingTableViewDidStartLoading(PullingRefreshTableView* tableView);
    // The times the header and footer show as the last update once loading has finished; none
    // (the default) means the table's clock.
    virtual std::optional<QDateTime> pullingTableViewRefreshingFinishedDate(
        PullingRefreshTableView* tableView);
    virtual std::optional<QDateTime> pullingTableViewLoadingFinishedDate(
        PullingRefreshTableView* tableView);
};

class PullingRefreshTableView : public TableView {
    Q_OBJECT
public:
    // How far past an end a pull must go to count, and how much room the open header or footer
    // takes.
    static constexpr qreal kPullDistance = 60;

    // A plain table. The delegate is not owned; clear it (or destroy the table) before it goes.
    explicit PullingRefreshTableView(PullingRefreshTableViewDelegate* delegate,
                                     QWidget* parent = nullptr);
    ~PullingRefreshTableView() override;

    PullingRefreshTableViewDelegate* pullingDelegate() const { return pullingDelegate_; }
    void setPullingDelegate(PullingRefreshTableViewDelegate* delegate) {
        pullingDelegate_ = delegate;
    }

    LoadingView* headerView() const { return headerView_; }
    LoadingView* footerView() const { return footerView_; }
    // The strip while a message shows, else nullptr.
    QLabel* msgLabel() const { return msgLabel_; }
    // Whether the load running (or the last one) was started by the footer.
    bool isFooterInAction() const { return isFooterInAction_; }
    bool isLoading() const;

    // The footer reads "没有了哦" and starts nothing until this is set back.
    bool reachedTheEnd() const { return reachedTheEnd_; }
    void setReachedTheEnd(bool reached);
    // No footer at all: hidden, and it never starts a load.
    bool headerOnly() const { return headerOnly_; }
    void setHeaderOnly(bool headerOnly);

    // The table follows its own scrolling through these; an owner that also forwards its scroll
    // callbacks changes nothing.
    void tableViewDidScroll();
    void tableViewDidEndDragging();

    // Closes the header or footer that is loading; after it has closed, a message that is not
    // empty flashes. Does nothing when neither is loading. Main thread only.
    void tableViewDidFinishedLoading();
    void tableViewDidFinishedLoadingWithMessage(const QString& message);

    // Starts a header load as if the user had pulled (also F5). Does nothing while loading.
    void launchRefreshing();
    // Slides the orange strip with `text` in over the top of the list, and out again after 1.2 s.
    void flashMessage(const QString& text);
    // Ends the load under way with `text`, or flashes it when nothing is loading.
    void finishLoadingOrFlash(const QString& text);

    // The clock for the last-update texts; the current time by default.
    void setClock(LoadingView::Clock clock);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void layoutContent() override;
    void wheelEvent(QWheelEvent* event) override;

private:
    qreal footerTop() const;
    void placeLoadingViews();
    void contentSizeDidChange();
    // A wheel that pushed past the top (true) or bottom end: a pull let go there.
    void wheelPull(bool atTop);
    QDateTime now() const;

    PullingRefreshTableViewDelegate* pullingDelegate_;
    LoadingView* headerView_;
    LoadingView* footerView_;
    QPointer<QLabel> msgLabel_;
    QPointer<QSequentialAnimationGroup> msgAnimation_;
    bool isFooterInAction_ = false;
    bool reachedTheEnd_ = false;
    bool headerOnly_ = false;
    LoadingView::Clock clock_;
    // How far the wheel has pushed past an end, up (positive) or down, in one go.
    qreal wheelPush_ = 0;
    QElapsedTimer lastWheel_;
};

}  // namespace oa
