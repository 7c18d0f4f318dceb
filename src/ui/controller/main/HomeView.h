// HomeView: the home grid: one cell per module of the signed-in user, in the server's order,
// each with its icon, hidden counter badge and title; a tap opens the module.
#pragma once

#include <QList>
#include <QRect>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

namespace oa {

class HomeService;
class JSBadgeView;
class MyView;

class HomeView : public QWidget {
    Q_OBJECT
public:
    static constexpr char kInitialBadgeText[] = "11";

    explicit HomeView(QWidget* parent = nullptr);

    // The main index; not owned.
    HomeService* home_service() const { return home_service_; }
    void setHome_service(HomeService* service) { home_service_ = service; }

    // Builds the grid. A key outside the module catalogue makes no cell, but uses up its
    // place. Four columns, or three on the 320 x 568 screen.
    void createView(const std::vector<std::string>& keys);
    // A tap on a cell: opens its module through home_service.
    void enterFunc(MyView* cell);
    // Counters by module key: each badge of a known module on the grid is hidden for "0" and
    // shown with the text otherwise; modules not named keep their badges.
    void addPushFlag(const std::map<std::string, std::string>& counters);

    // Geometry of the cell at `index` and, inside a cell, of its icon and its title.
    static QRect cellFrame(int index, bool threeColumns);
    static QRect iconFrame(bool threeColumns);
    static QRect labelFrame(bool threeColumns);

    // The cells in grid order (unknown keys have none).
    QList<MyView*> cells() const;
    // The badge of the first cell of module `key`, or nullptr.
    JSBadgeView* badge(const std::string& key) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    HomeService* home_service_ = nullptr;
    QWidget* background_ = nullptr;
};

}  // namespace oa
