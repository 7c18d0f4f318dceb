// The fields the integration tests compare, read from whichever record class a module's parser
// made, and a walk through every page of a module list.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "core/protocol/BaseBO.h"
#include "core/protocol/DetailRecords.h"
#include "core/protocol/ListRecords.h"

namespace oa::test {

// Calls `f` with the record as the first of `Records` it is; returns what `f` returns, or an
// absent text when it is none of them.
template <class... Records, class F>
Text fieldOf(const std::shared_ptr<BaseVO>& record, F f) {
    Text result;
    const bool found = (([&] {
                            if (auto typed = std::dynamic_pointer_cast<Records>(record)) {
                                result = f(*typed);
                                return true;
                            }
                            return false;
                        }()) ||
                        ...);
    (void)found;
    return result;
}

inline Text readFlagOf(const std::shared_ptr<BaseVO>& r) {
    return fieldOf<EmailVO, NotifyVO, NewsVO>(r, [](const auto& v) { return v.read_flag; });
}

inline Text hasAttachmentOf(const std::shared_ptr<BaseVO>& r) {
    return fieldOf<EmailVO, NotifyVO, NewsVO, DiaryVO, FileVO>(
        r, [](const auto& v) { return v.has_attachment; });
}

inline Text subjectOf(const std::shared_ptr<BaseVO>& r) {
    if (auto file = std::dynamic_pointer_cast<FileVO>(r)) {
        return file->name;
    }
    return fieldOf<EmailVO, NotifyVO, NewsVO, DiaryVO>(r, [](const auto& v) { return v.subject; });
}

// The content and attachment lists of a detail record of any module.
struct DetailParts {
    bool isDetail = false;
    Text content;
    TextList ids;
    TextList names;
};

inline DetailParts detailPartsOf(const std::shared_ptr<BaseVO>& detail) {
    DetailParts parts;
    fieldOf<EmailDetailVO, NotifyDetailVO, NewsDetailVO, DiaryDetailVO, FileDetailVO>(
        detail, [&](const auto& v) {
            parts = {true, v.content, v.attachment_id_arr, v.attachment_name_arr};
            return Text();
        });
    return parts;
}

// Every item of a module list, newest first: the first page, then older pages until the server
// has no more. Fails the test when a page repeats an item.
inline RecordList pageToEnd(BaseBO& logic) {
    const auto first = logic.getList();
    EXPECT_TRUE(first);
    RecordList all;
    if (!first) {
        return all;
    }
    all.assign(first->rbegin(), first->rend());
    for (int page = 0; page < 50; ++page) {
        const auto more = logic.getMoreList(static_cast<long long>(all.size()));
        EXPECT_TRUE(more);
        if (!more || more->empty()) {
            break;
        }
        all.insert(all.end(), more->begin(), more->end());
    }
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            EXPECT_NE(all[i]->q_id, all[j]->q_id) << "item repeated across pages";
        }
    }
    return all;
}

}  // namespace oa::test
