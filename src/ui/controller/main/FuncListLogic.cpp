// FuncListLogic: page requests, merging and the messages of the module list.
#include "ui/controller/main/FuncListLogic.h"

#include <cctype>
#include <limits>
#include <set>

#include "core/protocol/BaseBO.h"
#include "core/protocol/FileBO.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/ModuleLogicFactory.h"

namespace oa {

namespace {

// The integer an item id starts with, as the server's ids are compared: leading space and a
// sign allowed, reading stops at the first other character; 0 when there is none.
long long itemNumber(const Text& id) {
    if (!id) {
        return 0;
    }
    const std::string& s = *id;
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
        const int digit = s[i] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

constexpr const char* kBackRowId = "-999";

}  // namespace

FuncListLogic::FuncListLogic(std::string func_type) : func_type_(std::move(func_type)) {}

ListLoad FuncListLogic::startLoad(LoadDirection direction) {
    state_ = direction;
    ListLoad load;
    load.func_type = func_type_;
    load.state = direction;
    load.isDiary = isdiaryYES_;
    load.firstID = firstID_;
    load.count = static_cast<long long>(list_.size());
    load.generation = generation_;
    if (isFirist_) {
        // The first page is asked for whatever the direction; it fills the empty list.
        isFirist_ = false;
        load.state = state_ = LoadDirection::down;
        load.firstPage = true;
    } else if (!folders_.empty()) {
        // Inside a folder a pull down reloads it; there are no older pages.
        load.folder =
            direction == LoadDirection::down ? FolderRequest::reload : FolderRequest::nothing;
        load.folderId = folders_.back().id;
    }
    return load;
}

std::optional<ListLoad> FuncListLogic::changeBrush(int index) {
    if (index != 0 && index != 1) {
        return std::nullopt;
    }
    isdiaryYES_ = index == 1;
    isFirist_ = true;
    ++generation_;
    return startLoad(LoadDirection::down);
}

ListPage FuncListLogic::searchData(const ListLoad& load) {
    ListPage page{load, std::nullopt, false};
    const std::shared_ptr<BaseBO> logic = ModuleLogicFactory::createListLogic(load.func_type);
    if (!logic) {
        return page;
    }
    logic->setIsDiary(load.isDiary);
    if (load.folder == FolderRequest::nothing) {
        page.records.emplace();
        return page;
    }
    if (load.folder == FolderRequest::open || load.folder == FolderRequest::reload) {
        // Folder ids must not raise the newest id: FileBO reads them with a parser of its own.
        if (auto cabinet = std::dynamic_pointer_cast<FileBO>(logic)) {
            page.records = cabinet->getFolderList(load.folderId);
        }
    } else if (load.state == LoadDirection::up) {
        page.records = logic->getMoreList(load.count);
    } else if (load.firstPage || load.func_type == "diary" ||
               load.folder == FolderRequest::topLevel) {
        page.records = logic->getList();
    } else {
        page.records = logic->getNewList(load.firstID);
    }
    // An operation that sent nothing gives no records and leaves lastFailure as it was, so it
    // is asked only after a request went out.
    page.failed = page.records.has_value() && HttpRequest::lastFailure().has_value();
    if (page.failed) {
        page.records->clear();
    }
    return page;
}

ListUpdate FuncListLogic::finishData(const ListPage& page) {
    ListUpdate update;
    const ListLoad& load = page.load;
    if (load.generation != generation_) {
        return update;
    }
    update.applied = true;
    if (load.folder != FolderRequest::none) {
        return finishFolder(page);
    }

    if (!page.records) {
        update.message = std::string(kLoadFailed);
        update.reachedEnd = true;
        return update;
    }

    const bool diary = func_type_ == "diary";
    const bool down = load.state == LoadDirection::down;
    // A new diary kind never keeps the other kind's rows, not even when its load failed.
    if (diary && load.firstPage && !list_.empty()) {
        list_.clear();
        update.reload = true;
    }
    if (page.failed) {
        update.message = std::string(kLoadFailed);
        if (diary && load.firstPage) {
            update.overlay = ListUpdate::Overlay::hidden;
        }
        return update;
    }

    const RecordList& records = *page.records;
    if (diary && down && !list_.empty()) {
        list_.clear();
        update.reload = true;
    }
    const RecordList added = notListed(records);
    if (down) {
        // The logic objects hand the first and the newer pages newest last; taken from the end
        // they go on top in the order the server sent them.
        list_.insert(list_.begin(), added.rbegin(), added.rend());
    } else {
        list_.insert(list_.end(), added.begin(), added.end());
    }
    raiseFirstID(records);

    if (!added.empty()) {
        update.reload = true;
    } else {
        update.message = std::string(down ? kNoNewer : kNoOlder);
    }
    if (diary) {
        // Every load decides: the first diary written shows after a refresh, not under the text.
        update.overlay = list_.empty() ? ListUpdate::Overlay::shown : ListUpdate::Overlay::hidden;
        update.overlayText = std::string(load.isDiary ? kNoSharedDiary : kNoOwnDiary);
    }
    return update;
}

ListUpdate FuncListLogic::finishFolder(const ListPage& page) {
    ListUpdate update;
    update.applied = true;
    const ListLoad& load = page.load;
    folderLoading_ = false;
    if (!page.records || page.failed) {
        // The rows and the folders open stay as they were; the step can be tried again.
        update.message = std::string(kLoadFailed);
        return update;
    }
    const RecordList& records = *page.records;
    switch (load.folder) {
        case FolderRequest::nothing:
            update.message = std::string(kNoOlder);
            return update;
        case FolderRequest::topLevel:
            // The logic object hands the first page newest last; the rows take the reply's order.
            folders_.clear();
            list_.assign(records.rbegin(), records.rend());
            raiseFirstID(records);
            break;
        case FolderRequest::open:
        case FolderRequest::reload: {
            Folder folder{load.folderId, {backRow()}};
            folder.rows.insert(folder.rows.end(), records.begin(), records.end());
            if (load.folder == FolderRequest::reload && !folders_.empty()) {
                folders_.back() = folder;
            } else {
                folders_.push_back(folder);
            }
            list_ = folder.rows;
            break;
        }
        case FolderRequest::none:
            break;
    }
    // The rows are another list now: a pull started on the rows before is dropped.
    ++generation_;
    update.reload = true;
    return update;
}

ListLoad FuncListLogic::folderLoad(FolderRequest request, Text folderId) {
    // A pull that is still running belongs to the rows being left: its result is dropped.
    ++generation_;
    folderLoading_ = true;
    ListLoad load;
    load.func_type = func_type_;
    load.generation = generation_;
    load.folder = request;
    load.folderId = std::move(folderId);
    return load;
}

std::shared_ptr<FileVO> FuncListLogic::backRow() {
    auto row = std::make_shared<FileVO>();
    row->name = "返回上一级";
    row->q_id = kBackRowId;
    row->file_type = "folder";
    return row;
}

bool FuncListLogic::isBackRow(const FileVO& file) {
    return file.file_type == "folder" && file.q_id == kBackRowId;
}

RowTap FuncListLogic::didSelectRow(std::size_t row) {
    RowTap tap;
    if (folderLoading_ || row >= list_.size()) {
        return tap;
    }
    tap.markedRead = markRead(row);
    const auto file = std::dynamic_pointer_cast<FileVO>(list_[row]);
    if (!file || file->file_type == "file") {
        tap.kind = RowTap::Kind::detail;
        return tap;
    }
    if (file->file_type != "folder") {
        return tap;
    }
    if (file->q_id == kBackRowId) {
        if (folders_.size() > 1) {
            folders_.pop_back();
            list_ = folders_.back().rows;
            // A reload of the folder left, still running, must not land in this one.
            ++generation_;
            tap.kind = RowTap::Kind::folderShown;
            return tap;
        }
        tap.kind = RowTap::Kind::folderLoad;
        tap.load = folderLoad(FolderRequest::topLevel, std::nullopt);
        return tap;
    }
    tap.kind = RowTap::Kind::folderLoad;
    tap.load = folderLoad(FolderRequest::open, file->q_id);
    return tap;
}

RecordList FuncListLogic::notListed(const RecordList& records) const {
    // An item is its id, and for the cabinets also its kind: a folder and a file may share an
    // id. A record without an id is always new.
    auto key = [](const std::shared_ptr<BaseVO>& record) -> std::optional<std::string> {
        if (!record || !record->q_id) {
            return std::nullopt;
        }
        const auto file = std::dynamic_pointer_cast<FileVO>(record);
        return file ? file->file_type.value_or("") + '/' + *record->q_id : *record->q_id;
    };
    std::set<std::string> listed;
    for (const auto& record : list_) {
        if (auto id = key(record)) {
            listed.insert(std::move(*id));
        }
    }
    RecordList added;
    for (const auto& record : records) {
        const auto id = key(record);
        if (!id || listed.insert(*id).second) {
            added.push_back(record);
        }
    }
    return added;
}

void FuncListLogic::raiseFirstID(const RecordList& records) {
    for (const auto& record : records) {
        if (record && record->q_id &&
            (!firstID_ || itemNumber(record->q_id) > itemNumber(firstID_))) {
            firstID_ = record->q_id;
        }
    }
}

bool FuncListLogic::marksReadOnTap(std::string_view func_type) {
    return func_type != "diary" && func_type != "file_folder" && func_type != "public_folder" &&
           func_type != "calendar";
}

bool FuncListLogic::markRead(std::size_t row) {
    if (!marksReadOnTap(func_type_) || row >= list_.size()) {
        return false;
    }
    const std::shared_ptr<BaseVO>& record = list_[row];
    Text* flag = nullptr;
    if (auto notify = std::dynamic_pointer_cast<NotifyVO>(record)) {
        flag = &notify->read_flag;
    } else if (auto email = std::dynamic_pointer_cast<EmailVO>(record)) {
        flag = &email->read_flag;
    } else if (auto news = std::dynamic_pointer_cast<NewsVO>(record)) {
        flag = &news->read_flag;
    }
    if (!flag || *flag == "1") {
        return false;
    }
    // Built anew rather than assigned: GCC 12 at -O3 warns, wrongly, about assigning a literal
    // here (-Wrestrict), and warnings are errors.
    flag->emplace("1");
    return true;
}

}  // namespace oa
