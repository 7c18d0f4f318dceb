// WeatherView: the weather lookup: a city field searched with "查询" on the host's bar, and the
// preset cities; either opens the city's forecast.
#pragma once

#include <QStringList>

#include "ui/controller/lookup/OtherBaseView.h"
#include "ui/kit/TableView.h"

namespace oa {

class TextField;

class WeatherView : public OtherBaseView, public TableViewDataSource, public TableViewDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 40;

    explicit WeatherView(QWidget* parent = nullptr);
    ~WeatherView() override;

    void createView() override;

    TextField* city_text() const { return city_text_; }
    TableView* table_view() const { return table_view_; }
    const QStringList& city_arr() const { return city_arr_; }

    // "查询": the forecast of the typed city.
    void search();

    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void openCity(const QString& city);

    TextField* city_text_ = nullptr;
    TableView* table_view_ = nullptr;
    QStringList city_arr_;
};

}  // namespace oa
