// TableView: row geometry, the cells in sight and their reuse, section titles and selection by
// tap.
#include "ui/kit/TableView.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "core/platform/Log.h"
#include "ui/kit/Fonts.h"

namespace oa {

// Default behaviour of the protocols: one section, no titles, default heights, no reactions.
int TableViewDataSource::numberOfSectionsInTableView(TableView*) {
    return 1;
}
QString TableViewDataSource::titleForHeaderInSection(TableView*, int) {
    return {};
}
QString TableViewDataSource::titleForFooterInSection(TableView*, int) {
    return {};
}
qreal TableViewDelegate::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return -1;
}
qreal TableViewDelegate::heightForHeaderInSection(TableView*, int) {
    return -1;
}
qreal TableViewDelegate::heightForFooterInSection(TableView*, int) {
    return -1;
}
QWidget* TableViewDelegate::viewForHeaderInSection(TableView*, int) {
    return nullptr;
}
void TableViewDelegate::willDisplayCell(TableView*, TableViewCell*, const IndexPath&) {}
void TableViewDelegate::didSelectRowAtIndexPath(TableView*, const IndexPath&) {}
void TableViewDelegate::didDeselectRowAtIndexPath(TableView*, const IndexPath&) {}

namespace {

const QColor kTitleColour(76, 86, 108);

// The title of a section header or footer, drawn in the table's style.
class SectionTitleView : public QWidget {
public:
    SectionTitleView(QString text, bool grouped, bool header, QWidget* parent)
        : QWidget(parent), text_(std::move(text)), grouped_(grouped), header_(header) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (!grouped_) {
            // The plain style's strip: a grey-blue gradient with white text.
            QLinearGradient gradient(0, 0, 0, height());
            gradient.setColorAt(0, QColor(0x90, 0xa0, 0xb0, 235));
            gradient.setColorAt(1, QColor(0xb5, 0xbe, 0xc7, 235));
            painter.fillRect(rect(), gradient);
            painter.setFont(boldSystemFont(17));
            const QRect box = rect().adjusted(12, 0, -12, 0);
            painter.setPen(QColor(0, 0, 0, 90));
            painter.drawText(box.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, text_);
            painter.setPen(Qt::white);
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text_);
            return;
        }
        // Grouped: text on the pinstripes, with a white shadow below it.
        const QRect box =
            header_ ? rect().adjusted(19, 0, -19, -6) : rect().adjusted(19, 4, -19, 0);
        const int flags = header_ ? (Qt::AlignLeft | Qt::AlignBottom)
                                  : (Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap);
        painter.setFont(header_ ? boldSystemFont(17) : systemFont(15));
        painter.setPen(QColor(255, 255, 255, 200));
        painter.drawText(box.translated(0, 1), flags, text_);
        painter.setPen(kTitleColour);
        painter.drawText(box, flags, text_);
    }

private:
    QString text_;
    bool grouped_;
    bool header_;
};

QBrush pinstripes() {
    QImage tile(7, 1, QImage::Format_RGB32);
    for (int x = 0; x < 7; ++x) {
        tile.setPixelColor(x, 0, x < 4 ? QColor(0xc5, 0xcc, 0xd4) : QColor(0xcb, 0xd2, 0xd8));
    }
    return QBrush(tile);
}

}  // namespace

TableView::TableView(Style style, QWidget* parent) : ScrollView(parent), style_(style) {}

TableView::~TableView() {
    // Children die with the widget; the data source and delegate are not asked anything more.
    dataSource_ = nullptr;
    delegate_ = nullptr;
    setScrollDelegate(nullptr);
}

void TableView::setDelegate(TableViewDelegate* delegate) {
    delegate_ = delegate;
    setScrollDelegate(delegate);
}

int TableView::numberOfRowsInSection(int section) const {
    if (section < 0 || section >= numberOfSections()) {
        return 0;
    }
    return sections_[static_cast<size_t>(section)].rows();
}

bool TableView::isValid(const IndexPath& path) const {
    return path.row >= 0 && path.row < numberOfRowsInSection(path.section);
}

// --- Geometry -------------------------------------------------------------------------------

qreal TableView::automaticHeaderHeight(const Section& section) const {
    if (style_ == Style::Grouped) {
        return section.headerTitle.isEmpty() ? 10 : 40;
    }
    return section.headerTitle.isEmpty() ? 0 : 22;
}

qreal TableView::automaticFooterHeight(const Section& section) const {
    if (style_ == Style::Grouped) {
        return section.footerTitle.isEmpty() ? 10 : 34;
    }
    return section.footerTitle.isEmpty() ? 0 : 22;
}

void TableView::rebuildGeometry() {
    sections_.clear();
    tableHeaderHeight_ = tableHeaderView_ ? tableHeaderView_->height() : 0;
    qreal y = tableHeaderHeight_;
    const int sectionCount =
        dataSource_ ? std::max(0, dataSource_->numberOfSectionsInTableView(this)) : 0;
    sections_.reserve(static_cast<size_t>(sectionCount));
    for (int i = 0; i < sectionCount; ++i) {
        Section section;
        section.top = y;
        section.headerTitle = dataSource_->titleForHeaderInSection(this, i);
        section.footerTitle = dataSource_->titleForFooterInSection(this, i);
        qreal header = delegate_ ? delegate_->heightForHeaderInSection(this, i) : -1;
        section.headerHeight = header < 0 ? automaticHeaderHeight(section) : header;
        y += section.headerHeight;
        const int rows = std::max(0, dataSource_->numberOfRowsInSection(this, i));
        section.rowTops.reserve(static_cast<size_t>(rows) + 1);
        for (int r = 0; r < rows; ++r) {
            section.rowTops.push_back(y);
            const qreal h = delegate_ ? delegate_->heightForRowAtIndexPath(this, {i, r}) : -1;
            y += h < 0 ? rowHeight_ : h;
        }
        section.rowTops.push_back(y);
        const qreal footer = delegate_ ? delegate_->heightForFooterInSection(this, i) : -1;
        section.footerHeight = footer < 0 ? automaticFooterHeight(section) : footer;
        y += section.footerHeight;
        sections_.push_back(std::move(section));
    }
    if (tableFooterView_) {
        y += tableFooterView_->height();
    }
    setContentHeight(y);
}

QRectF TableView::rectForRowAtIndexPath(const IndexPath& path) const {
    if (!isValid(path)) {
        return {};
    }
    const Section& s = sections_[static_cast<size_t>(path.section)];
    const auto r = static_cast<size_t>(path.row);
    return QRectF(0, s.rowTops[r], width(), s.rowTops[r + 1] - s.rowTops[r]);
}

QRectF TableView::rectForSection(int section) const {
    if (section < 0 || section >= numberOfSections()) {
        return {};
    }
    const Section& s = sections_[static_cast<size_t>(section)];
    return QRectF(0, s.top, width(), s.bottom() - s.top);
}

TableViewCell::GroupPosition TableView::groupPosition(const IndexPath& path) const {
    using P = TableViewCell::GroupPosition;
    if (style_ != Style::Grouped) {
        return P::None;
    }
    const int rows = numberOfRowsInSection(path.section);
    if (rows == 1) {
        return P::Single;
    }
    if (path.row == 0) {
        return P::Top;
    }
    return path.row == rows - 1 ? P::Bottom : P::Middle;
}

// --- Loading ----------------------------------------------------------------------------------

void TableView::reloadData() {
    if (inLayout_) {
        reloadPending_ = true;  // asked from inside cellForRow; done when that returns
        return;
    }
    if (selected_) {
        if (TableViewCell* cell = cellForRowAtIndexPath(*selected_)) {
            cell->setSelected(false);
        }
        selected_.reset();
    }
    highlighted_.reset();
    enqueueAllCells();
    for (auto& [key, supplement] : supplements_) {
        if (supplement.widget) {
            supplement.widget->hide();
            supplement.widget->deleteLater();
        }
    }
    supplements_.clear();
    loaded_ = true;
    rebuildGeometry();
    if (isAtRest() && contentOffset() != clamped(contentOffset())) {
        setOffsetInternal(clamped(contentOffset()));
        return;
    }
    layoutContent();
}

void TableView::insertRowsAtIndexPaths(const QList<IndexPath>& paths) {
    QList<IndexPath> sorted = paths;
    std::sort(sorted.begin(), sorted.end());
    std::optional<IndexPath> selection = selected_;
    QHash<int, int> added;
    for (const IndexPath& path : sorted) {
        ++added[path.section];
        if (selection && path.section == selection->section && path.row <= selection->row) {
            ++selection->row;
        }
    }
    QHash<int, int> expected;
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        expected[it.key()] = numberOfRowsInSection(it.key()) + it.value();
    }
    reloadData();
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (numberOfRowsInSection(it.key()) != it.value()) {
            log("insertRows: section " + std::to_string(it.key()) + " has " +
                std::to_string(numberOfRowsInSection(it.key())) + " rows, expected " +
                std::to_string(it.value()));
        }
    }
    if (selection && isValid(*selection)) {
        selectRowAtIndexPath(*selection, false);
    }
}

void TableView::deleteRowsAtIndexPaths(const QList<IndexPath>& paths) {
    QList<IndexPath> sorted = paths;
    std::sort(sorted.begin(), sorted.end());
    std::optional<IndexPath> selection = selected_;
    // From the last row up, so that earlier removals do not shift the later paths.
    for (auto it = sorted.crbegin(); it != sorted.crend() && selection; ++it) {
        if (*it == *selection) {
            selection.reset();
        } else if (it->section == selection->section && it->row < selection->row) {
            --selection->row;
        }
    }
    reloadData();
    if (selection && isValid(*selection)) {
        selectRowAtIndexPath(*selection, false);
    }
}

void TableView::reloadRowsAtIndexPaths(const QList<IndexPath>& paths) {
    for (const IndexPath& path : paths) {
        if (auto it = visible_.find(path); it != visible_.end()) {
            enqueue(it->second);
            visible_.erase(it);
        }
    }
    layoutContent();
}

TableViewCell* TableView::dequeueReusableCellWithIdentifier(const QString& identifier) {
    auto it = reusePool_.find(identifier);
    if (identifier.isEmpty() || it == reusePool_.end() || it->isEmpty()) {
        return nullptr;
    }
    TableViewCell* cell = it->takeLast();
    cell->prepareForReuse();
    return cell;
}

void TableView::enqueue(TableViewCell* cell) {
    cell->hide();
    cell->setHighlighted(false);
    if (cell->reuseIdentifier().isEmpty()) {
        cell->deleteLater();
        return;
    }
    QList<TableViewCell*>& pool = reusePool_[cell->reuseIdentifier()];
    if (!pool.contains(cell)) {
        pool.append(cell);
    }
}

void TableView::enqueueAllCells() {
    for (auto& [path, cell] : visible_) {
        enqueue(cell);
    }
    visible_.clear();
}

// --- Cells in sight ---------------------------------------------------------------------------

void TableView::layoutContent() {
    updateVisibleCells();
    for (auto& [path, cell] : visible_) {
        placeCell(cell, path);
    }
    updateSupplements();
    placeFocusRing();
    const qreal offset = contentOffset();
    if (tableHeaderView_) {
        tableHeaderView_->setGeometry(0, qRound(-offset), width(), qRound(tableHeaderHeight_));
    }
    if (tableFooterView_) {
        const qreal top = sections_.empty() ? tableHeaderHeight_ : sections_.back().bottom();
        tableFooterView_->setGeometry(0, qRound(top - offset), width(), tableFooterView_->height());
    }
    ScrollView::layoutContent();
}

void TableView::placeCell(TableViewCell* cell, const IndexPath& path) {
    const QRectF r = rectForRowAtIndexPath(path);
    const int top = qRound(r.top() - contentOffset());
    const int bottom = qRound(r.bottom() - contentOffset());
    cell->setGeometry(0, top, width(), bottom - top);
}

void TableView::updateVisibleCells() {
    if (inLayout_) {
        return;
    }
    inLayout_ = true;
    const qreal top = contentOffset();
    const qreal bottom = top + height();
    std::vector<IndexPath> needed;
    if (dataSource_ && height() > 0) {
        // Sections are ordered by position: find the first one that reaches into sight.
        auto first = std::upper_bound(sections_.begin(), sections_.end(), top,
                                      [](qreal y, const Section& s) { return y < s.bottom(); });
        for (auto s = first; s != sections_.end() && s->top < bottom; ++s) {
            const auto& tops = s->rowTops;
            // First row whose end lies below the top edge.
            auto row = std::upper_bound(tops.begin() + 1, tops.end(), top);
            for (auto r = static_cast<int>(row - (tops.begin() + 1)); r < s->rows(); ++r) {
                const auto index = static_cast<size_t>(r);
                if (tops[index] >= bottom) {
                    break;
                }
                if (tops[index + 1] > tops[index]) {
                    needed.push_back({static_cast<int>(s - sections_.begin()), r});
                }
            }
        }
    }
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (!std::binary_search(needed.begin(), needed.end(), it->first)) {
            enqueue(it->second);
            it = visible_.erase(it);
        } else {
            ++it;
        }
    }
    bool added = false;
    const QPointer<TableView> self(this);
    for (const IndexPath& path : needed) {
        if (visible_.count(path) || !dataSource_) {
            continue;
        }
        TableViewCell* cell = dataSource_->cellForRowAtIndexPath(this, path);
        if (!self) {
            return;
        }
        if (!cell) {
            continue;
        }
        if (std::any_of(visible_.begin(), visible_.end(),
                        [cell](const auto& entry) { return entry.second == cell; })) {
            log("cellForRowAtIndexPath: a cell in sight was returned for another row");
            continue;
        }
        if (auto pool = reusePool_.find(cell->reuseIdentifier()); pool != reusePool_.end()) {
            pool->removeAll(cell);  // handed back without dequeueing
        }
        if (cell->parentWidget() != this) {
            cell->setParent(this);
        }
        visible_[path] = cell;
        cell->setSelected(selected_ == path);
        cell->setHighlighted(highlighted_ == path);
        cell->setGroupPosition(groupPosition(path));
        cell->setSeparatorColor(style_ == Style::Plain &&
                                        separatorStyle_ == SeparatorStyle::SingleLine
                                    ? separatorColor_
                                    : QColor());
        placeCell(cell, path);
        cell->setNeedsLayout();
        cell->show();
        added = true;
        if (delegate_) {
            delegate_->willDisplayCell(this, cell, path);
            if (!self) {
                return;
            }
        }
    }
    inLayout_ = false;
    if (added) {
        // New cells stack on top; headers, content subviews and the indicator stay above them.
        for (auto& [key, supplement] : supplements_) {
            if (supplement.widget) {
                supplement.widget->raise();
            }
        }
        raiseOverlays();
    }
    if (reloadPending_) {
        reloadPending_ = false;
        reloadData();
    }
}

QWidget* TableView::makeTitleView(const QString& text, bool header) const {
    auto* view =
        new SectionTitleView(text, style_ == Style::Grouped, header, const_cast<TableView*>(this));
    view->show();
    return view;
}

void TableView::updateSupplements() {
    const qreal offset = contentOffset();
    const qreal top = offset;
    const qreal bottom = offset + height();
    std::map<std::pair<int, bool>, Supplement> kept;
    const QPointer<TableView> self(this);
    // Sections are ordered by position: start at the first one that reaches into sight, so a
    // step costs the sections in sight, not all of them.
    const auto first = std::upper_bound(sections_.begin(), sections_.end(), top,
                                        [](qreal y, const Section& s) { return y < s.bottom(); });
    for (int i = static_cast<int>(first - sections_.begin()); i < numberOfSections(); ++i) {
        const Section& s = sections_[static_cast<size_t>(i)];
        if (s.top >= bottom) {
            break;
        }
        for (const bool header : {true, false}) {
            const qreal h = header ? s.headerHeight : s.footerHeight;
            const QString& title = header ? s.headerTitle : s.footerTitle;
            if (h <= 0) {
                continue;
            }
            const auto key = std::make_pair(i, header);
            Supplement supplement;
            if (auto it = supplements_.find(key); it != supplements_.end()) {
                supplement = it->second;
                supplements_.erase(it);
            } else {
                QWidget* custom =
                    header && delegate_ ? delegate_->viewForHeaderInSection(this, i) : nullptr;
                if (!self) {
                    return;
                }
                if (custom) {
                    custom->setParent(this);
                    custom->show();
                    supplement = {custom, true};
                } else if (!title.isEmpty()) {
                    supplement = {makeTitleView(title, header), false};
                }
            }
            if (supplement.widget) {
                qreal y = header ? s.top : s.rowsEnd();
                if (header && style_ == Style::Plain) {
                    // Plain headers stay pinned at the top while their section scrolls under.
                    y = std::clamp(offset + contentInset().top, s.top,
                                   std::max(s.top, s.bottom() - h));
                    supplement.widget->raise();
                }
                supplement.widget->setGeometry(0, qRound(y - offset), width(), qRound(h));
            }
            kept[key] = supplement;
        }
    }
    for (auto& [key, supplement] : supplements_) {
        if (supplement.widget) {
            supplement.widget->hide();
            supplement.widget->deleteLater();
        }
    }
    supplements_ = std::move(kept);
}

// --- Queries ----------------------------------------------------------------------------------

TableViewCell* TableView::cellForRowAtIndexPath(const IndexPath& path) const {
    const auto it = visible_.find(path);
    return it == visible_.end() ? nullptr : it->second;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell* cell) const {
    for (const auto& [path, shown] : visible_) {
        if (shown == cell) {
            return path;
        }
    }
    return std::nullopt;
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(QPointF point) const {
    const qreal y = point.y() + contentOffset();
    auto s = std::upper_bound(sections_.begin(), sections_.end(), y,
                              [](qreal v, const Section& section) { return v < section.bottom(); });
    if (s == sections_.end() || y < s->rowTops.front() || y >= s->rowsEnd()) {
        return std::nullopt;
    }
    auto row = std::upper_bound(s->rowTops.begin() + 1, s->rowTops.end(), y);
    return IndexPath{static_cast<int>(s - sections_.begin()),
                     static_cast<int>(row - (s->rowTops.begin() + 1))};
}

QList<TableViewCell*> TableView::visibleCells() const {
    QList<TableViewCell*> cells;
    for (const auto& [path, cell] : visible_) {
        cells.append(cell);
    }
    return cells;
}

QList<IndexPath> TableView::indexPathsForVisibleRows() const {
    QList<IndexPath> paths;
    for (const auto& [path, cell] : visible_) {
        paths.append(path);
    }
    return paths;
}

// --- Selection --------------------------------------------------------------------------------

void TableView::selectRowAtIndexPath(const IndexPath& path, bool animated,
                                     ScrollPosition position) {
    if (!isValid(path)) {
        return;
    }
    if (selected_ && *selected_ != path) {
        deselectRowAtIndexPath(*selected_, animated);
    }
    selected_ = path;
    if (TableViewCell* cell = cellForRowAtIndexPath(path)) {
        cell->setSelected(true, animated);
    }
    if (position != ScrollPosition::None) {
        scrollToRowAtIndexPath(path, position, animated);
    }
}

void TableView::deselectRowAtIndexPath(const IndexPath& path, bool animated) {
    if (selected_ != path) {
        return;
    }
    selected_.reset();
    if (TableViewCell* cell = cellForRowAtIndexPath(path)) {
        cell->setSelected(false, animated);
    }
}

void TableView::setAllowsSelection(bool allows) {
    allowsSelection_ = allows;
    if (!allows && selected_) {
        deselectRowAtIndexPath(*selected_, false);
    }
}

void TableView::selectTapped(const IndexPath& path) {
    const QPointer<TableView> self(this);
    if (selected_ && *selected_ != path) {
        const IndexPath previous = *selected_;
        deselectRowAtIndexPath(previous, true);
        if (delegate_) {
            delegate_->didDeselectRowAtIndexPath(this, previous);
            if (!self) {
                return;
            }
        }
    }
    if (!isValid(path)) {
        return;  // the deselect handler reloaded the rows away
    }
    selected_ = path;
    if (TableViewCell* cell = cellForRowAtIndexPath(path)) {
        cell->setSelected(true, true);
    }
    if (delegate_) {
        delegate_->didSelectRowAtIndexPath(this, path);
    }
}

// --- Appearance -------------------------------------------------------------------------------

void TableView::setRowHeight(qreal height) {
    rowHeight_ = height;
}

void TableView::setSeparatorStyle(SeparatorStyle style) {
    separatorStyle_ = style;
    for (auto& [path, cell] : visible_) {
        cell->setSeparatorColor(style_ == Style::Plain && style == SeparatorStyle::SingleLine
                                    ? separatorColor_
                                    : QColor());
    }
}

void TableView::setSeparatorColor(const QColor& colour) {
    separatorColor_ = colour;
    setSeparatorStyle(separatorStyle_);
}

void TableView::setBackgroundColor(const QColor& colour) {
    backgroundColor_ = colour;
    update();
}

void TableView::setGroupedBackground(QWidget* screen) {
    if (!screen) {
        return;
    }
    QPalette colours = screen->palette();
    colours.setBrush(QPalette::Window, pinstripes());
    screen->setPalette(colours);
    screen->setAutoFillBackground(true);
}

void TableView::setTableHeaderView(QWidget* view) {
    if (tableHeaderView_ == view) {
        return;
    }
    delete tableHeaderView_;
    tableHeaderView_ = view;
    if (view) {
        view->setParent(this);
        view->show();
    }
    rebuildGeometry();
    layoutContent();
}

void TableView::setTableFooterView(QWidget* view) {
    if (tableFooterView_ == view) {
        return;
    }
    delete tableFooterView_;
    tableFooterView_ = view;
    if (view) {
        view->setParent(this);
        view->show();
    }
    rebuildGeometry();
    layoutContent();
}

void TableView::scrollToRowAtIndexPath(const IndexPath& path, ScrollPosition position,
                                       bool animated) {
    if (!isValid(path)) {
        return;
    }
    const QRectF r = rectForRowAtIndexPath(path);
    const EdgeInsets inset = contentInset();
    const qreal visibleTop = contentOffset() + inset.top;
    const qreal visibleHeight = height() - inset.top - inset.bottom;
    qreal y = contentOffset();
    switch (position) {
        case ScrollPosition::Top:
            y = r.top() - inset.top;
            break;
        case ScrollPosition::Middle:
            y = r.center().y() - inset.top - visibleHeight / 2;
            break;
        case ScrollPosition::Bottom:
            y = r.bottom() - inset.top - visibleHeight;
            break;
        case ScrollPosition::None:
            if (r.top() < visibleTop) {
                y = r.top() - inset.top;
            } else if (r.bottom() > visibleTop + visibleHeight) {
                y = r.bottom() - inset.top - visibleHeight;
            }
            break;
    }
    setContentOffset(clamped(y), animated);
}

// --- Events -----------------------------------------------------------------------------------

void TableView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (backgroundColor_.isValid()) {
        if (backgroundColor_.alpha() > 0) {
            painter.fillRect(rect(), backgroundColor_);
        }
        return;
    }
    if (style_ == Style::Grouped) {
        static const QBrush stripes = pinstripes();
        painter.fillRect(rect(), stripes);
    } else {
        painter.fillRect(rect(), Qt::white);
    }
}

void TableView::resizeEvent(QResizeEvent* event) {
    if (!loaded_ && dataSource_) {
        reloadData();
        return;
    }
    ScrollView::resizeEvent(event);
}

void TableView::showEvent(QShowEvent*) {
    if (!loaded_ && dataSource_) {
        reloadData();
    }
    // Qt turns updates off while it renders a tree that is not shown (a picture of a screen
    // sliding or fading in); rows and headers added then keep them off and would never paint.
    if (updatesEnabled()) {
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->updatesEnabled()) {
                child->setUpdatesEnabled(true);
            }
        }
    }
}

void TableView::touchBegan(QPointF pos, bool onMovingContent) {
    highlighted_.reset();
    // A touch that stops moving content does not select anything.
    if (onMovingContent || !allowsSelection_) {
        return;
    }
    if (auto path = indexPathForRowAtPoint(pos)) {
        highlighted_ = path;
        if (TableViewCell* cell = cellForRowAtIndexPath(*path)) {
            cell->setHighlighted(true);
        }
    }
}

void TableView::touchCancelled() {
    if (!highlighted_) {
        return;
    }
    if (TableViewCell* cell = cellForRowAtIndexPath(*highlighted_)) {
        cell->setHighlighted(false);
    }
    highlighted_.reset();
}

void TableView::touchEnded(QPointF pos) {
    if (!highlighted_) {
        return;
    }
    const IndexPath path = *highlighted_;
    touchCancelled();
    if (indexPathForRowAtPoint(pos) == path) {
        selectTapped(path);
    }
}

// --- Keyboard -------------------------------------------------------------------------------

int TableView::rowCount() const {
    int count = 0;
    for (const Section& section : sections_) {
        count += section.rows();
    }
    return count;
}

int TableView::flatIndex(const IndexPath& path) const {
    int index = 0;
    for (int s = 0; s < path.section && s < numberOfSections(); ++s) {
        index += sections_[static_cast<size_t>(s)].rows();
    }
    return index + path.row;
}

IndexPath TableView::pathAtFlatIndex(int index) const {
    for (int s = 0; s < numberOfSections(); ++s) {
        const int rows = sections_[static_cast<size_t>(s)].rows();
        if (index < rows) {
            return {s, index};
        }
        index -= rows;
    }
    return {};
}

void TableView::setCurrentRow(const IndexPath& path) {
    if (!isValid(path)) {
        return;
    }
    current_ = path;
    scrollToRowAtIndexPath(path, ScrollPosition::None, false);
    placeFocusRing();
}

bool TableView::moveCurrentRow(int key) {
    const int count = rowCount();
    if (count == 0) {
        return false;
    }
    const QList<IndexPath> inSight = indexPathsForVisibleRows();
    const int page = std::max(1, static_cast<int>(inSight.size()) - 1);
    if (!current_ || !isValid(*current_)) {
        // The first key lands on the top row in sight rather than jumping away from it.
        const IndexPath start =
            inSight.isEmpty() ? IndexPath{} : *std::min_element(inSight.begin(), inSight.end());
        setCurrentRow(key == Qt::Key_End    ? pathAtFlatIndex(count - 1)
                      : key == Qt::Key_Home ? IndexPath{}
                                            : start);
        return true;
    }
    int index = flatIndex(*current_);
    switch (key) {
        case Qt::Key_Up:
            --index;
            break;
        case Qt::Key_Down:
            ++index;
            break;
        case Qt::Key_PageUp:
            index -= page;
            break;
        case Qt::Key_PageDown:
            index += page;
            break;
        case Qt::Key_Home:
            index = 0;
            break;
        default:
            index = count - 1;
            break;
    }
    setCurrentRow(pathAtFlatIndex(std::clamp(index, 0, count - 1)));
    return true;
}

void TableView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    // Rows that cannot be chosen (a form in a table) leave the keys to scrolling.
    const bool plain =
        allowsSelection_ && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
                  key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End)) {
        if (moveCurrentRow(key)) {
            return;
        }
    }
    const bool activate = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (plain && activate && current_ && isValid(*current_)) {
        if (!event->isAutoRepeat()) {
            selectTapped(*current_);
        }
        return;
    }
    ScrollView::keyPressEvent(event);
}

void TableView::focusInEvent(QFocusEvent* event) {
    ScrollView::focusInEvent(event);
    placeFocusRing();
}

void TableView::focusOutEvent(QFocusEvent* event) {
    ScrollView::focusOutEvent(event);
    placeFocusRing();
}

void TableView::placeFocusRing() {
    if (current_ && !isValid(*current_)) {
        // The rows went with a reload: the ring stays at the same place in the list.
        const int count = rowCount();
        current_ = count > 0
                       ? std::optional(pathAtFlatIndex(std::min(flatIndex(*current_), count - 1)))
                       : std::nullopt;
    }
    if (!current_ || !hasFocus()) {
        if (ring_) {
            ring_->hide();
        }
        return;
    }
    if (!ring_) {
        ring_ = new FocusRingView(this);
    }
    const QRectF r = rectForRowAtIndexPath(*current_);
    const int top = qRound(r.top() - contentOffset());
    ring_->setGeometry(0, top, width(), qRound(r.bottom() - contentOffset()) - top);
    ring_->show();
    ring_->raise();
}

}  // namespace oa
