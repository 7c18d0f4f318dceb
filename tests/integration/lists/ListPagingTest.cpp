// Module lists through the core's module-logic objects against the demo server: the first page,
// newer items after an event, older pages to the end, the two file cabinets with their folders
// and the two kinds of diary.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

#include "core/platform/MainLoop.h"
#include "core/protocol/FileBO.h"
#include "core/protocol/HomeBO.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "integration/ClientFixture.h"
#include "integration/RecordFields.h"

namespace oa::test {
namespace {

bool newestLast(const RecordList& list) {
    return std::is_sorted(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return idValue(a->q_id) < idValue(b->q_id);
    });
}

bool strictlyNewestFirst(const RecordList& list) {
    return std::adjacent_find(list.begin(), list.end(), [](const auto& a, const auto& b) {
               return idValue(a->q_id) <= idValue(b->q_id);
           }) == list.end();
}

class ListPagingTest : public ClientServerTest {};

TEST_F(ListPagingTest, EmailPagesReachTheEndWithoutGapsOrRepeats) {
    ASSERT_TRUE(signInAs("wangjianguo"));
    auto email = ModuleLogicFactory::createListLogic("email");

    const auto first = email->getList();
    ASSERT_TRUE(first);
    ASSERT_EQ(first->size(), 10u);
    EXPECT_TRUE(newestLast(*first)) << ::testing::PrintToString(idsOf(*first));
    const Text newest = first->back()->q_id;
    EXPECT_EQ(email->firstID(), newest);

    const auto second = email->getMoreList(10);
    ASSERT_TRUE(second);
    ASSERT_EQ(second->size(), 10u);
    EXPECT_TRUE(strictlyNewestFirst(*second));
    EXPECT_LT(idValue(second->front()->q_id), idValue(first->front()->q_id));

    const auto third = email->getMoreList(20);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->size(), 3u);  // 23 e-mails in all
    EXPECT_TRUE(strictlyNewestFirst(*third));
    if (!third->empty()) {
        EXPECT_LT(idValue(third->front()->q_id), idValue(second->back()->q_id));
    }
    EXPECT_EQ(email->getMoreList(23), RecordList{});
    EXPECT_EQ(email->getMoreList(40), RecordList{});

    // Older pages leave the newest id where it was, and nothing newer exists yet.
    EXPECT_EQ(email->firstID(), newest);
    EXPECT_EQ(email->getNewList(email->firstID()), RecordList{});
    EXPECT_EQ(email->firstID(), newest);
    EXPECT_EQ(pageToEnd(*email).size(), 23u);
}

// Screens load on background threads, several at once: every load gets the page a lone load
// gets, and each module keeps its own newest id.
TEST_F(ListPagingTest, ConcurrentLoadsGetWhatALoneLoadGets) {
    ASSERT_TRUE(signInAs("wangjianguo"));
    const std::vector<std::string> keys = {"email",    "notify", "news",        "calendar",
                                           "workflow", "diary",  "file_folder", "public_folder"};
    std::map<std::string, std::vector<std::string>> alone;
    for (const auto& key : keys) {
        const auto page = ModuleLogicFactory::createListLogic(key)->getList();
        ASSERT_TRUE(page && !page->empty()) << key;
        alone[key] = idsOf(*page);
    }

    std::mutex mutex;
    std::vector<std::string> mismatches;  // Guarded by mutex.
    for (int thread = 0; thread < 6; ++thread) {
        runInBackground([&, thread] {
            for (int round = 0; round < 3; ++round) {
                for (std::size_t k = 0; k < keys.size(); ++k) {
                    const auto& key = keys[(k + static_cast<std::size_t>(thread)) % keys.size()];
                    auto logic = ModuleLogicFactory::createListLogic(key);
                    const auto page = logic->getList();
                    const auto ids = page ? idsOf(*page) : std::vector<std::string>{};
                    const bool newestKept = !ids.empty() && logic->firstID() == ids.back();
                    if (ids != alone.at(key) || !newestKept) {
                        std::lock_guard lock(mutex);
                        mismatches.push_back(key);
                    }
                }
            }
        });
    }
    joinBackgroundThreads();
    EXPECT_EQ(mismatches, std::vector<std::string>{});
}

struct EventCase {
    std::string key;
    std::string to;  // recipient of the event, empty for items everyone sees
};

void PrintTo(const EventCase& c, std::ostream* os) {
    *os << c.key;
}

class NewItemTest : public ClientServerTest, public ::testing::WithParamInterface<EventCase> {};

// A new item created on the server is exactly what "getNew" with the list's newest id brings,
// newest last; asked again, nothing is new.
TEST_P(NewItemTest, GetNewBringsTheNewItemsOnly) {
    const auto& c = GetParam();
    ASSERT_TRUE(signInAs("wangjianguo"));
    auto logic = ModuleLogicFactory::createListLogic(c.key);
    const auto first = logic->getList();
    ASSERT_TRUE(first && !first->empty());
    const Text latest = logic->firstID();
    ASSERT_TRUE(latest);
    const auto unreadBefore = HomeBO().getHomeTipInfo("INIT");

    Fields event = {{"kind", c.key}, {"from", "zhouhong"}, {"subject", "季度预算调整说明"}};
    if (!c.to.empty()) {
        event.push_back({"to", c.to});
    }
    const std::string older = adminEvent(event);
    event[2].second = "季度预算调整说明（修订）";
    const std::string newer = adminEvent(event);
    ASSERT_FALSE(older.empty());
    ASSERT_GT(idValue(newer), idValue(older));

    const auto fresh = logic->getNewList(latest);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(idsOf(*fresh), (std::vector<std::string>{older, newer}));
    if (fresh->size() == 2) {
        EXPECT_EQ(subjectOf(fresh->back()), "季度预算调整说明（修订）");
        EXPECT_EQ(readFlagOf(fresh->back()), "0");
    }
    EXPECT_EQ(logic->firstID(), newer);
    EXPECT_EQ(logic->getNewList(logic->firstID()), RecordList{});
    EXPECT_EQ(logic->firstID(), newer);

    // The first page now starts with them, and the unread counter counts them.
    const auto page = logic->getList();
    ASSERT_TRUE(page && !page->empty());
    EXPECT_EQ(page->back()->q_id, newer);
    const auto unreadAfter = HomeBO().getHomeTipInfo("INIT");
    ASSERT_TRUE(unreadBefore.count(c.key) && unreadAfter.count(c.key));
    EXPECT_EQ(std::stoi(unreadAfter.at(c.key)), std::stoi(unreadBefore.at(c.key)) + 2);
}

INSTANTIATE_TEST_SUITE_P(Modules, NewItemTest,
                         ::testing::Values(EventCase{"email", "wangjianguo"},
                                           EventCase{"notify", ""}, EventCase{"news", ""}),
                         [](const ::testing::TestParamInfo<EventCase>& param) {
                             return param.param.key;
                         });

// Walks a cabinet folder by folder; returns every entry below `entries`.
void walk(FileBO& cabinet, const RecordList& entries, std::vector<std::shared_ptr<FileVO>>& files,
          int& emptyFolders, int depth = 0) {
    ASSERT_LT(depth, 8) << "folders nested too deep: a cycle?";
    for (const auto& file : recordsOf<FileVO>(entries)) {
        files.push_back(file);
        if (file->file_type != "folder") {
            continue;
        }
        const auto content = cabinet.getFolderList(file->q_id);
        ASSERT_TRUE(content);
        emptyFolders += content->empty() ? 1 : 0;
        for (const auto& entry : recordsOf<FileVO>(*content)) {
            EXPECT_EQ(entry->parent_id, file->q_id) << "entry " << *entry->q_id;
            EXPECT_TRUE(entry->now_id) << "entry " << *entry->q_id;
        }
        walk(cabinet, *content, files, emptyFolders, depth + 1);
    }
}

std::set<std::string> idSet(const std::vector<std::shared_ptr<FileVO>>& files) {
    std::set<std::string> ids;
    for (const auto& f : files) {
        ids.insert(f->q_id.value_or(""));
    }
    return ids;
}

TEST_F(ListPagingTest, PublicAndPersonalCabinetsAndTheirFolders) {
    ASSERT_TRUE(signInAs("wangjianguo"));
    auto publicLogic =
        std::dynamic_pointer_cast<FileBO>(ModuleLogicFactory::createListLogic("public_folder"));
    auto personalLogic =
        std::dynamic_pointer_cast<FileBO>(ModuleLogicFactory::createListLogic("file_folder"));
    ASSERT_TRUE(publicLogic && personalLogic);

    std::vector<std::shared_ptr<FileVO>> publicFiles;
    std::vector<std::shared_ptr<FileVO>> personalFiles;
    int publicEmpty = 0;
    int personalEmpty = 0;
    const auto publicRoot = pageToEnd(*publicLogic);
    const auto personalRoot = pageToEnd(*personalLogic);
    ASSERT_FALSE(publicRoot.empty());
    ASSERT_FALSE(personalRoot.empty());
    walk(*publicLogic, publicRoot, publicFiles, publicEmpty);
    walk(*personalLogic, personalRoot, personalFiles, personalEmpty);

    for (const auto& root : {publicRoot, personalRoot}) {
        for (const auto& file : recordsOf<FileVO>(root)) {
            EXPECT_EQ(file->parent_id, "0") << *file->q_id;
        }
    }
    // Two different cabinets: no entry in both.
    const auto publicIds = idSet(publicFiles);
    for (const auto& id : idSet(personalFiles)) {
        EXPECT_FALSE(publicIds.count(id)) << "entry " << id << " in both cabinets";
    }
    std::set<std::string> extensions;
    for (const auto& file : publicFiles) {
        if (file->file_type == "file") {
            extensions.insert(file->file_ext.value_or(""));
        }
    }
    for (const char* ext : {"doc", "xls", "pdf", "png", "txt"}) {
        EXPECT_TRUE(extensions.count(ext)) << "no ." << ext << " file in the public cabinet";
    }
    EXPECT_GE(publicEmpty, 1);
    EXPECT_GT(publicFiles.size(), publicRoot.size());
    EXPECT_GT(personalFiles.size(), personalRoot.size());

    // Another user's personal cabinet is not this one, and its folders stay closed to him.
    std::vector<std::string> personalFolders;
    for (const auto& file : recordsOf<FileVO>(personalRoot)) {
        if (file->file_type == "folder") {
            personalFolders.push_back(*file->q_id);
        }
    }
    ASSERT_FALSE(personalFolders.empty());
    ASSERT_TRUE(signInAs("zhangwei"));
    FileBO zhangweiCabinet("file_folder");
    for (const auto& id : idsOf(pageToEnd(zhangweiCabinet))) {
        EXPECT_FALSE(idSet(personalFiles).count(id)) << "entry " << id << " in both";
    }
    for (const auto& folder : personalFolders) {
        EXPECT_EQ(zhangweiCabinet.getFolderList(folder), RecordList{}) << "folder " << folder;
        EXPECT_EQ(FileBO("public_folder").getFolderList(folder), RecordList{}) << folder;
    }
}

struct DiaryCase {
    std::string user;
    std::string password;
    bool share;
    std::string author;  // every subject names its author; empty: the list is empty
};

void PrintTo(const DiaryCase& c, std::ostream* os) {
    *os << c.user << (c.share ? " shared" : " own");
}

class DiaryListTest : public ClientServerTest, public ::testing::WithParamInterface<DiaryCase> {};

TEST_P(DiaryListTest, OwnAndSharedDiaries) {
    const auto& c = GetParam();
    ASSERT_TRUE(signInAs(c.user, c.password));
    auto diary = ModuleLogicFactory::createListLogic("diary");
    diary->setIsDiary(c.share);
    const auto all = pageToEnd(*diary);
    EXPECT_EQ(all.empty(), c.author.empty());
    for (const auto& record : all) {
        const auto subject = subjectOf(record).value_or("");
        EXPECT_NE(subject.find(c.author), std::string::npos) << subject;
    }
    // The flag goes with the requests for newer and older items too.
    EXPECT_EQ(diary->getNewList("0")->size(), std::min<std::size_t>(all.size(), 100));
    EXPECT_EQ(diary->getMoreList(0)->size(), std::min<std::size_t>(all.size(), 10));
}

INSTANTIATE_TEST_SUITE_P(Users, DiaryListTest,
                         ::testing::Values(DiaryCase{"zhangwei", "123456", false, "张伟"},
                                           DiaryCase{"zhangwei", "123456", true, "李娜"},
                                           DiaryCase{"zhouhong", "123456", true, ""},
                                           DiaryCase{"yangfan", "Lucky2013", false, ""}),
                         [](const ::testing::TestParamInfo<DiaryCase>& param) {
                             return param.param.user + (param.param.share ? "_shared" : "_own");
                         });

}  // namespace
}  // namespace oa::test
