// FuncListLogic: what the module list screen does with its pages, without widgets: which page a
// load asks for, how a page is merged into the rows, the newest id for the next refresh, the
// message or end mark the table shows afterwards, the diary kinds and the cabinets' folders.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/BaseVO.h"
#include "core/protocol/ListRecords.h"

namespace oa {

// The direction of a load: "down" asks for the first or newer page, "up" for the older one.
enum class LoadDirection { down, up };

// What a load of a file cabinet asks for instead of a page of the list.
enum class FolderRequest {
    none,      // a page of the list
    open,      // the content of a folder tapped
    reload,    // the content of the folder shown, again
    topLevel,  // the cabinet's top level, after the back row of the outermost folder
    nothing,   // no request: an older page inside a folder, which has none
};

// One load as the main thread hands it to the background: everything it needs, copied.
struct ListLoad {
    std::string func_type;
    LoadDirection state = LoadDirection::down;
    bool firstPage = false;  // the module's first page, or the first of a diary kind
    bool isDiary = false;    // the shared diaries
    Text firstID;            // "LATEST_ID" of a newer-page request
    long long count = 0;     // "CURRITERMS" of an older-page request
    // The rows the load was started on; a result for rows since replaced is dropped.
    unsigned generation = 0;
    FolderRequest folder = FolderRequest::none;
    Text folderId;  // the folder of open and reload
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

    // False for the result of a load that a diary kind change or a folder step superseded:
    // nothing changed (the table ends its loading plainly).
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

// What a tap on a row leads to.
struct RowTap {
    enum class Kind {
        none,         // nothing (a folder load is running, or an entry of another type)
        detail,       // push the detail screen of the record
        folderShown,  // back to the enclosing folder, already in the rows: reload the table
        folderLoad,   // run `load` (show "正在加载..." and ignore taps until it is merged)
    };
    Kind kind = Kind::none;
    // The record was marked read: redraw the row.
    bool markedRead = false;
    std::optional<ListLoad> load;
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
    static constexpr std::string_view kEmptyFolder = "此文件夹为空";

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
    // one step, leaving out items already listed (an item that arrived since the first page
    // moves the server's older pages by one); a diary refresh (and a new diary kind) replaces
    // the rows, and every diary load shows or hides the overlay. A failed exchange keeps
    // the rows and says so without marking the end; a module without list logic marks the end.
    // A folder's content replaces the rows with the back row on top; a failed folder request
    // keeps the rows and the folders open.
    ListUpdate finishData(const ListPage& page);

    // A tap on the row: marks the record read where the module has a read state, opens a file
    // or any other record, walks into a folder or, on the back row, out of it.
    RowTap didSelectRow(std::size_t row);
    // The folders open, outermost first; empty at the cabinet's top level.
    std::size_t folderDepth() const { return folders_.size(); }
    bool isFolderLoading() const { return folderLoading_; }
    // A folder is shown that holds nothing: its rows are the back row alone.
    bool isEmptyFolder() const { return !folders_.empty() && list_.size() == 1; }
    // The row a folder's content starts with.
    static std::shared_ptr<FileVO> backRow();
    static bool isBackRow(const FileVO& file);

    // Whether tapping a row of the module marks its record read (all but the diary, the file
    // cabinets and the schedule).
    static bool marksReadOnTap(std::string_view func_type);
    // Marks the record of `row` read when the module has a read state; true when it changed.
    bool markRead(std::size_t row);

private:
    // One folder open: its id and its rows, the back row first.
    struct Folder {
        Text id;
        RecordList rows;
    };

    // The records of a page not among the rows yet (nor earlier on the page), in page order.
    RecordList notListed(const RecordList& records) const;
    void raiseFirstID(const RecordList& records);
    ListUpdate finishFolder(const ListPage& page);
    ListLoad folderLoad(FolderRequest request, Text folderId);

    std::string func_type_;
    RecordList list_;
    Text firstID_;
    LoadDirection state_ = LoadDirection::down;
    bool isFirist_ = true;
    bool isdiaryYES_ = false;
    unsigned generation_ = 0;
    std::vector<Folder> folders_;  // tempFile_arr: innermost last
    bool folderLoading_ = false;
};

}  // namespace oa
