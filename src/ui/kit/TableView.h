// TableView: a vertically scrolling list of sections and rows fed by a data source, in the plain
// or grouped style. Only rows in sight have cell widgets; cells that scroll away are kept for
// reuse by identifier, so a list of thousands of rows costs a screenful of widgets.
#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QPointer>
#include <compare>
#include <map>
#include <optional>
#include <vector>

#include "ui/kit/FocusRing.h"
#include "ui/kit/ScrollView.h"
#include "ui/kit/TableViewCell.h"

namespace oa {

class TableView;

struct IndexPath {
    int section = 0;
    int row = 0;
    auto operator<=>(const IndexPath&) const = default;
};

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView* tableView);
    virtual int numberOfRowsInSection(TableView* tableView, int section) = 0;
    // A cell for the row: one from dequeueReusableCellWithIdentifier, or a new one. The table
    // takes ownership. Returning nullptr leaves the row blank.
    virtual TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) = 0;
    virtual QString titleForHeaderInSection(TableView* tableView, int section);
    virtual QString titleForFooterInSection(TableView* tableView, int section);
};

// Every member has a default, so a delegate overrides only what it needs. Heights below zero
// mean "the table's default". The scrolling callbacks come from ScrollViewDelegate.
class TableViewDelegate : public ScrollViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    virtual qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path);
    virtual qreal heightForHeaderInSection(TableView* tableView, int section);
    virtual qreal heightForFooterInSection(TableView* tableView, int section);
    // A widget shown instead of the header title; the table owns it and deletes it when the
    // header scrolls out of sight, asking again when it comes back.
    virtual QWidget* viewForHeaderInSection(TableView* tableView, int section);
    virtual void willDisplayCell(TableView* tableView, TableViewCell* cell, const IndexPath& path);
    // After a tap on the row; the row is selected by then. The delegate may reload, push a
    // screen or even delete the table.
    virtual void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path);
    virtual void didDeselectRowAtIndexPath(TableView* tableView, const IndexPath& path);
};

class TableView : public ScrollView {
    Q_OBJECT
public:
    enum class Style { Plain, Grouped };
    enum class SeparatorStyle { None, SingleLine };
    enum class ScrollPosition { None, Top, Middle, Bottom };

    static constexpr qreal kDefaultRowHeight = 44;

    explicit TableView(Style style = Style::Plain, QWidget* parent = nullptr);
    ~TableView() override;

    Style style() const { return style_; }

    // Neither is owned. Clear them (or destroy the table) before they are destroyed. A table
    // that was never reloaded loads itself when it is first shown or resized.
    TableViewDataSource* dataSource() const { return dataSource_; }
    void setDataSource(TableViewDataSource* dataSource) { dataSource_ = dataSource; }
    TableViewDelegate* delegate() const { return delegate_; }
    // Also the scroll delegate.
    void setDelegate(TableViewDelegate* delegate);

    // Asks the data source and delegate for everything anew, clears the selection and keeps the
    // content offset (pulled back inside the content when the table is at rest).
    void reloadData();
    // The data source already holds the new rows (or no longer holds the removed ones); these
    // reload and move the selection along with its row.
    void insertRowsAtIndexPaths(const QList<IndexPath>& paths);
    void deleteRowsAtIndexPaths(const QList<IndexPath>& paths);
    // Asks again for the cells of these rows if they are in sight.
    void reloadRowsAtIndexPaths(const QList<IndexPath>& paths);

    // A cell that scrolled out of sight under this identifier, ready for another row, or nullptr
    // when there is none.
    TableViewCell* dequeueReusableCellWithIdentifier(const QString& identifier);

    int numberOfSections() const { return static_cast<int>(sections_.size()); }
    int numberOfRowsInSection(int section) const;

    // The cell showing the row, or nullptr when the row is not in sight.
    TableViewCell* cellForRowAtIndexPath(const IndexPath& path) const;
    std::optional<IndexPath> indexPathForCell(const TableViewCell* cell) const;
    // The row at a point of the table widget, or none.
    std::optional<IndexPath> indexPathForRowAtPoint(QPointF point) const;
    QList<TableViewCell*> visibleCells() const;
    QList<IndexPath> indexPathsForVisibleRows() const;
    // In content coordinates (y = 0 is the top of the content).
    QRectF rectForRowAtIndexPath(const IndexPath& path) const;
    QRectF rectForSection(int section) const;

    // Selection. These do not call the delegate; taps do.
    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
    void selectRowAtIndexPath(const IndexPath& path, bool animated,
                              ScrollPosition position = ScrollPosition::None);
    void deselectRowAtIndexPath(const IndexPath& path, bool animated);
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows);

    // The row the keyboard is on: Up/Down, Page Up/Down and Home/End move it (the first key
    // starts at the top row in sight), Enter or Space opens it as a tap would. Ringed while the
    // table has the keyboard focus; it stays on its place in the list across reloads.
    std::optional<IndexPath> currentRow() const { return current_; }
    void setCurrentRow(const IndexPath& path);

    // Appearance.
    qreal rowHeight() const { return rowHeight_; }
    void setRowHeight(qreal height);
    SeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(SeparatorStyle style);
    QColor separatorColor() const { return separatorColor_; }
    void setSeparatorColor(const QColor& colour);
    // An invalid colour (the default) gives the style's own background: white for plain tables,
    // the pinstripes for grouped ones. A transparent colour draws nothing.
    QColor backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const QColor& colour);
    // For a screen whose grouped table does not fill it (a button below, a move out of the
    // keyboard's way): paints `screen` with the grouped pinstripes; its tables then draw none of
    // their own (transparent), so one background lies behind everything.
    static void setGroupedBackground(QWidget* screen);
    // Widgets above the first section and below the last; owned by the table, as wide as it,
    // as high as they are. nullptr removes (and deletes) the current one.
    QWidget* tableHeaderView() const { return tableHeaderView_; }
    void setTableHeaderView(QWidget* view);
    QWidget* tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(QWidget* view);

    void scrollToRowAtIndexPath(const IndexPath& path, ScrollPosition position, bool animated);

    QSize sizeHint() const override { return {320, 416}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void layoutContent() override;
    void touchBegan(QPointF pos, bool onMovingContent) override;
    void touchCancelled() override;
    void touchEnded(QPointF pos) override;

private:
    struct Section {
        qreal top = 0;           // header top
        qreal headerHeight = 0;  // header (title or view)
        QString headerTitle;
        QString footerTitle;
        qreal footerHeight = 0;
        std::vector<qreal> rowTops;  // rows + 1 entries; the last is the end of the rows
        qreal rowsEnd() const { return rowTops.back(); }
        qreal bottom() const { return rowTops.back() + footerHeight; }
        int rows() const { return static_cast<int>(rowTops.size()) - 1; }
    };
    // A header or footer in sight.
    struct Supplement {
        QPointer<QWidget> widget;
        bool custom = false;  // from the delegate, rather than a title
    };

    void rebuildGeometry();
    qreal automaticHeaderHeight(const Section& section) const;
    qreal automaticFooterHeight(const Section& section) const;
    void updateVisibleCells();
    void updateSupplements();
    void placeCell(TableViewCell* cell, const IndexPath& path);
    void enqueue(TableViewCell* cell);
    void enqueueAllCells();
    TableViewCell::GroupPosition groupPosition(const IndexPath& path) const;
    bool isValid(const IndexPath& path) const;
    void selectTapped(const IndexPath& path);
    QWidget* makeTitleView(const QString& text, bool header) const;
    // Rows counted through all sections, for the keyboard's moves.
    int rowCount() const;
    int flatIndex(const IndexPath& path) const;
    IndexPath pathAtFlatIndex(int index) const;
    bool moveCurrentRow(int key);
    void placeFocusRing();

    Style style_;
    TableViewDataSource* dataSource_ = nullptr;
    TableViewDelegate* delegate_ = nullptr;

    std::vector<Section> sections_;
    qreal tableHeaderHeight_ = 0;
    std::map<IndexPath, TableViewCell*> visible_;
    QHash<QString, QList<TableViewCell*>> reusePool_;
    std::map<std::pair<int, bool>, Supplement> supplements_;  // (section, is header)
    QPointer<QWidget> tableHeaderView_;
    QPointer<QWidget> tableFooterView_;
    bool loaded_ = false;
    bool inLayout_ = false;
    bool reloadPending_ = false;

    std::optional<IndexPath> selected_;
    std::optional<IndexPath> highlighted_;
    std::optional<IndexPath> current_;
    QPointer<FocusRingView> ring_;
    bool allowsSelection_ = true;
    qreal rowHeight_ = kDefaultRowHeight;
    SeparatorStyle separatorStyle_ = SeparatorStyle::SingleLine;
    QColor separatorColor_{0xe0, 0xe0, 0xe0};
    QColor backgroundColor_;
};

}  // namespace oa
