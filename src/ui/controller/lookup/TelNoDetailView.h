// TelNoDetailView: the places an area-code or post-code search found, one grouped row each in
// reply order: the province as a heading and the place's province, city, county, street, area
// code and post code below it.
#pragma once

#include <QStringList>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "ui/controller/detail/DetailView.h"
#include "ui/kit/TableView.h"

namespace oa {

class TelNoDetailView : public DetailView, public TableViewDataSource, public TableViewDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 220;

    explicit TelNoDetailView(QWidget* parent = nullptr);
    ~TelNoDetailView() override;

    // The places to show; set before createView.
    void setPlaces(std::vector<TelVO> places) { places_ = std::move(places); }
    const std::vector<TelVO>& places() const { return places_; }

    void createView(const std::shared_ptr<BaseVO>& detail) override;

    // The six lines under a place's heading.
    static QStringList lines(const TelVO& place);

    TableView* table() const { return table_; }

    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TableView* table_ = nullptr;
    std::vector<TelVO> places_;
};

}  // namespace oa
