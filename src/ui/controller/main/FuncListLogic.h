// FuncListLogic: what the module list screen does with its pages, without widgets: which page a
// load asks for, how a page is merged into the rows, the newest id for the next refresh, and the
// message or end mark the table shows afterwards.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/protocol/BaseVO.h"

namespace oa {

// The direction of a load: "down" asks for the first or newer page, "up" for the older one.
enum class LoadDirection { down, up };

// One load as the main thread hands it to the background: everything it needs, copied.
struct ListLoad {
    std::string func_type;
    LoadDirection state = LoadDirection::down;
    bool firstPage = false;  // the module's first page, or the first of a diary kind
    bool isDiary = false;    // the shared diaries
    Text firstID;            // "LATEST_ID" of a newer-page request
    long long count = 0;     // "CURRITERMS" of an older-page request
    unsigned generation = 0;
};

// What the load brings back.
struct ListPage {
    ListLoad load;
    // Absent for a module without list logic: nothing was asked.
    std::optional<RecordList> records;
    // The exchange failed (no reply, or an error status); the records are then empty and mean
    // nothing.
    bool failed = false;
};

// What the screen shows after a page was merged.
struct ListUpdate {
    enum class Overlay { unchanged, hidden, shown };

    // False for the result of a load that a diary kind change superseded: nothing changed.
    bool applied = false;
    // The rows changed: reload the table.
    bool reload = false;
    // Finish loading with this message; absent: finish plainly.
    std::optional<std::string> message;
    // Mark the table as having reached the end.
    bool reachedEnd = false;
    // The diary's overlay, and its text when shown.
    Overlay overlay = Overlay::unchanged;
    std::string overlayText;
};

// Main thread only, except searchData, which runs on a load's own thread and touches nothing of
// the object.
class FuncListLogic {
public:
    static constexpr std::string_view kNoNewer = "无最新数据！";
    static constexpr std::string_view kNoOlder = "没有更早的数据！";
    static constexpr std::string_view kLoadFailed = "网络异常，加载信息失败！";
    static constexpr std::string_view kNoOwnDiary = "无工作日志";
    static constexpr std::string_view kNoSharedDiary = "无共享日志";

    explicit FuncListLogic(std::string func_type);

    const std::string& func_type() const { return func_type_; }
    // The rows, top to bottom.
    const RecordList& list() const { return list_; }
    // Rows the screen made itself (a folder's content with its back row).
    void setList(RecordList list) { list_ = std::move(list); }
    // The largest item id among the records received, as the server wrote it; absent at first.
    const Text& firstID() const { return firstID_; }
    LoadDirection state() const { return state_; }
    bool isdiaryYES() const { return isdiaryYES_; }

    // The next load in `direction`: the first page until one has been asked for, then the newer
    // (or, for the diary, the first page again) or the older page.
    ListLoad startLoad(LoadDirection direction);
    // The diary kind control: 0 the user's own diaries, 1 the shared ones. A change starts the
    // first page of that kind at once and supersedes any load still running; any other index
    // does nothing.
    std::optional<ListLoad> changeBrush(int index);

    // Performs one load with a fresh logic object of the module. Blocks; call it on the load's
    // thread.
    static ListPage searchData(const ListLoad& load);

    // Merges a page: newer rows on top in the reply's order, older rows appended below, all in
    // one step; a diary refresh (and a new diary kind) replaces the rows. A failed exchange keeps
    // the rows and says so without marking the end; a module without list logic marks the end.
    ListUpdate finishData(const ListPage& page);

    // Whether tapping a row of the module marks its record read (all but the diary, the file
    // cabinets and the schedule).
    static bool marksReadOnTap(std::string_view func_type);
    // Marks the record of `row` read when the module has a read state; true when it changed.
    bool markRead(std::size_t row);

private:
    void raiseFirstID(const RecordList& records);

    std::string func_type_;
    RecordList list_;
    Text firstID_;
    LoadDirection state_ = LoadDirection::down;
    bool isFirist_ = true;
    bool isdiaryYES_ = false;
    unsigned generation_ = 0;
};

}  // namespace oa
