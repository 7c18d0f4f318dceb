// PullingListPage: a page of the main index that is one header-only pull-to-refresh list on the
// "otherbackground.png" pattern (the conversation and reminder pages). The page is the table's
// data source and both delegates. Main thread only.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "ui/kit/PullingRefreshTableView.h"

namespace oa {

class PullingListPage : public QWidget,
                        public TableViewDataSource,
                        public TableViewDelegate,
                        public PullingRefreshTableViewDelegate {
    Q_OBJECT
public:
    PullingRefreshTableView* tableView() const { return tableView_; }

protected:
    explicit PullingListPage(QWidget* parent = nullptr);
    ~PullingListPage() override;

    // Makes the table over the whole page (once) and starts its first refresh.
    void createPullingTable(const QString& objectName, qreal rowHeight);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    QPointer<PullingRefreshTableView> tableView_;

private:
    QPixmap pattern_;
};

}  // namespace oa
