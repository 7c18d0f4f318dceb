// The module logic against a loopback server: list flags end to end, the list orders, the newest
// id, details with their attachment links, folder listings, and the factories by module key.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

#include "Replies.h"
#include "ServerFixture.h"
#include "core/protocol/AddressBO.h"
#include "core/protocol/BaseBO.h"
#include "core/protocol/CalendarBO.h"
#include "core/protocol/DiaryBO.h"
#include "core/protocol/EmailBO.h"
#include "core/protocol/FileBO.h"
#include "core/protocol/JsonOperation.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/protocol/NewsBO.h"
#include "core/protocol/NotifyBO.h"
#include "core/protocol/Records.h"
#include "core/protocol/TelNoBO.h"
#include "core/protocol/UserBO.h"
#include "core/protocol/WeatherBO.h"

namespace oa::test {
namespace {

using Ids = std::vector<std::string>;
using ModuleLogicTest = ServerFixture;

Ids idsOf(const std::optional<RecordList>& records) {
    Ids ids;
    for (const auto& record : records.value_or(RecordList{})) {
        ids.push_back(record->q_id.value_or("(absent)"));
    }
    return ids;
}

// The three list requests of one module, end to end: the page, the position fields and the flag.
struct FlagCase {
    const char* name;
    const char* key;
    bool shared;
    const char* page;
    std::optional<std::string> ftype;
};

class ModuleListFlag : public ServerFixture, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(ModuleListFlag, TravelsWithAllThreeListRequests) {
    const FlagCase& c = GetParam();
    reply(c.page, "[]");
    auto logic = ModuleLogicFactory::createListLogic(c.key);
    ASSERT_TRUE(logic);
    logic->setIsDiary(c.shared);
    logic->getList();
    logic->getNewList("9");
    logic->getMoreList(2);

    Fields flag;
    if (c.ftype) {
        flag.emplace_back("FTYPE", *c.ftype);
    }
    auto expected = [&](Fields fields) {
        fields.insert(fields.end(), flag.begin(), flag.end());
        return fields;
    };
    const auto sent = server.requests();
    ASSERT_EQ(sent.size(), 3u);
    for (const auto& one : sent) {
        EXPECT_EQ(one.target, c.page);
    }
    EXPECT_EQ(fieldsOf(sent[0]),
              expected({{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", kSession}}));
    EXPECT_EQ(
        fieldsOf(sent[1]),
        expected({{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "9"}, {"P", kSession}}));
    EXPECT_EQ(
        fieldsOf(sent[2]),
        expected(
            {{"ATYPE", "refreshList"}, {"A", "getMore"}, {"CURRITERMS", "2"}, {"P", kSession}}));
}

INSTANTIATE_TEST_SUITE_P(
    Modules, ModuleListFlag,
    ::testing::Values(FlagCase{"PublicCabinet", "public_folder", false,
                               "/mobile/file_folder/data.php", "public"},
                      FlagCase{"PersonalCabinet", "file_folder", true,
                               "/mobile/file_folder/data.php", "personal"},
                      FlagCase{"OwnDiaries", "diary", false, "/mobile/diary/data.php", "diary"},
                      FlagCase{"SharedDiaries", "diary", true, "/mobile/diary/data.php", "share"},
                      FlagCase{"Email", "email", true, "/mobile/email/data.php", std::nullopt},
                      FlagCase{"WorkflowUsesTheNoticePage", "workflow", false,
                               "/mobile/notify/data.php", std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ModuleLogicTest, FirstPageAndNewerItemsComeNewestLastOlderItemsInReplyOrder) {
    reply("/mobile/email/data.php", readReply("email_list.json"));
    EmailBO logic;
    EXPECT_EQ(idsOf(logic.getList()), (Ids{"115", "118", "120"}));
    EXPECT_EQ(idsOf(logic.getNewList("100")), (Ids{"115", "118", "120"}));
    EXPECT_EQ(idsOf(logic.getMoreList(3)), (Ids{"120", "118", "115"}));
    EXPECT_TRUE(std::dynamic_pointer_cast<EmailVO>(logic.getList()->front()));
}

TEST_F(ModuleLogicTest, NewestIdRisesAcrossRequestsAndIsSentAsLatestId) {
    NewsBO logic;
    reply("/mobile/news/data.php", R"([{"q_id":"900000120"},{"q_id":"900000119"}])");
    logic.getList();
    EXPECT_EQ(logic.firstID(), "900000120");

    reply("/mobile/news/data.php", R"([{"q_id":"900000090"}])");
    EXPECT_EQ(idsOf(logic.getNewList(logic.firstID())), (Ids{"900000090"}));
    EXPECT_EQ(logic.firstID(), "900000120");
    EXPECT_EQ(fieldsOf(server.requests().at(1)).at(2),
              (std::pair<std::string, std::string>("LATEST_ID", "900000120")));

    // Another logic object of the same module starts from what the module has seen.
    NewsBO again;
    reply("/mobile/news/data.php", "NONEWDATA");
    EXPECT_EQ(again.getNewList(std::nullopt), RecordList{});
    EXPECT_EQ(again.firstID(), "900000120");
}

TEST_F(ModuleLogicTest, NewestIdIsKeptPerModule) {
    reply("/mobile/news/data.php", R"([{"q_id":"900000500"}])");
    NewsBO().getList();
    reply("/mobile/notify/data.php", R"([{"q_id":"5"}])");
    BaseBO workflow("workflow");
    workflow.getList();
    EXPECT_EQ(workflow.firstID(), "5");
}

TEST_F(ModuleLogicTest, EmptyPagesGiveEmptyListsAndNoPageGivesNone) {
    reply("/mobile/email/data.php", "NOMOREDATA");
    EXPECT_EQ(EmailBO().getMoreList(20), RecordList{});
    server.setReply("/mobile/email/data.php", {200, {}, ""});
    EXPECT_EQ(EmailBO().getList(), RecordList{});

    for (const char* key : {"user", "weather", "sms", ""}) {
        BaseBO logic(key);
        EXPECT_EQ(logic.getList(), std::nullopt) << key;
        EXPECT_EQ(logic.getNewList("1"), std::nullopt) << key;
        EXPECT_EQ(logic.getMoreList(1), std::nullopt) << key;
    }
    EXPECT_EQ(server.requests().size(), 2u);
}

// The content of any detail record, for checking the appended links.
Text contentOf(const std::shared_ptr<BaseVO>& detail) {
    if (auto r = std::dynamic_pointer_cast<EmailDetailVO>(detail)) {
        return r->content;
    }
    if (auto r = std::dynamic_pointer_cast<NotifyDetailVO>(detail)) {
        return r->content;
    }
    if (auto r = std::dynamic_pointer_cast<NewsDetailVO>(detail)) {
        return r->content;
    }
    if (auto r = std::dynamic_pointer_cast<DiaryDetailVO>(detail)) {
        return r->content;
    }
    if (auto r = std::dynamic_pointer_cast<FileDetailVO>(detail)) {
        return r->content;
    }
    return "(not a detail record)";
}

struct DetailCase {
    const char* name;
    const char* key;
    std::string reply;
    const char* page;
    const char* operation;
    Fields attachments;   // id and name of each attachment request, in order
    std::string content;  // after the links were appended; "@" stands for the server address
};

class DetailLinks : public ServerFixture, public ::testing::WithParamInterface<DetailCase> {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        server.setHandler("/mobile/attach.php", [](const CapturedRequest& request,
                                                   HttpTestServer::Exchange& exchange) {
            std::string link;
            for (const auto& part : request.form()) {
                if (part.name == "ATTACHMENT_ID") {
                    link = "[link " + part.value + "]";
                }
            }
            exchange.reply({200, {{"Content-Type", "text/html; charset=utf-8"}}, link});
        });
    }
};

TEST_P(DetailLinks, AppendOneLinkPerCompleteAttachment) {
    const DetailCase& c = GetParam();
    reply(c.page, c.reply);
    auto logic = ModuleLogicFactory::createDetailLogic(c.key);
    ASSERT_TRUE(logic);
    const auto detail = logic->getDetailInfo("77");

    std::string content = c.content;
    if (const auto at = content.find('@'); at != std::string::npos) {
        content.replace(at, 1, server.url(""));
    }
    EXPECT_EQ(contentOf(detail), content);

    const auto sent = server.requests();
    ASSERT_EQ(sent.size(), 1 + c.attachments.size());
    EXPECT_EQ(sent[0].target, c.page);
    EXPECT_EQ(fieldsOf(sent[0]), (Fields{{"ATYPE", c.operation}, {"P", kSession}, {"Q_ID", "77"}}));
    for (std::size_t i = 0; i < c.attachments.size(); ++i) {
        EXPECT_EQ(sent[i + 1].target, "/mobile/attach.php");
        EXPECT_EQ(fieldsOf(sent[i + 1]), (Fields{{"P", kSession},
                                                 {"ATTACHMENT_ID", c.attachments[i].first},
                                                 {"ATTACHMENT_NAME", c.attachments[i].second}}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modules, DetailLinks,
    ::testing::Values(
        DetailCase{"EmailWithTwoAttachmentsAndTrailingSeparators",
                   "email",
                   readReply("email_detail.json"),
                   "/mobile/email/data.php",
                   "getEmailContent",
                   {{"101", "放假安排.doc"}, {"102", "值班表.xls"}},
                   "<p>各位同事：</p><p>五一放假安排见附件。</p><p><img "
                   "src=\"@/attachment/im/1304/logo.png\" width=\"120\"></p>[link 101][link 102]"},
        DetailCase{
            "NoticeWithOneValidAndOneEmptyId",
            "notify",
            R"({"q_id":"57","content":"c","attachment_id":"101,,","attachment_name":"a.doc*b.doc*"})",
            "/mobile/notify/data.php",
            "getNotifyContent",
            {{"101", "a.doc"}},
            "c[link 101]"},
        DetailCase{"NoticeWithNameMissing",
                   "notify",
                   R"({"content":"c","attachment_id":"101,102","attachment_name":"a.doc"})",
                   "/mobile/notify/data.php",
                   "getNotifyContent",
                   {{"101", "a.doc"}},
                   "c[link 101]"},
        DetailCase{"NewsKeepsRelativeImages",
                   "news",
                   readReply("news_detail.json"),
                   "/mobile/news/data.php",
                   "getNewsContent",
                   {{"301", "颁奖照片.jpg"}},
                   "<p>公司荣获年度优秀企业称号。</p><img "
                   "src=\"/attachment/news/award.jpg\">[link 301]"},
        DetailCase{"DiaryWithoutAttachments",
                   "diary",
                   readReply("diary_detail.json"),
                   "/mobile/diary/data.php",
                   "getDiaryContent",
                   {},
                   "上午整理合同档案。<img src=\"@/attachment/diary/desk.jpg\">"},
        DetailCase{"FileShowsTheLastObject",
                   "file_folder",
                   R"([{"content":"old","attachment_id":"1","attachment_name":"a"},)"
                   R"({"content":"new","attachment_id":"2,","attachment_name":"b.doc*"}])",
                   "/mobile/file_folder/data.php",
                   "getFileContent",
                   {{"2", "b.doc"}},
                   "new[link 2]"},
        DetailCase{"PublicCabinetDetailStillUsesQId",
                   "public_folder",
                   R"([{"content":"x","attachment_id":"8","attachment_name":"h.txt"}])",
                   "/mobile/file_folder/data.php",
                   "getFileContent",
                   {{"8", "h.txt"}},
                   "x[link 8]"},
        DetailCase{"LinksWithoutContent",
                   "email",
                   R"({"attachment_id":"5","attachment_name":"x.doc"})",
                   "/mobile/email/data.php",
                   "getEmailContent",
                   {{"5", "x.doc"}},
                   "[link 5]"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ModuleLogicTest, EmptyOrFailedDetailReplySendsNoAttachmentRequest) {
    server.setReply("/mobile/email/data.php", {200, {}, ""});
    const auto empty = EmailBO().getDetailInfo("1");
    ASSERT_TRUE(empty);
    EXPECT_EQ(typeid(*empty), typeid(BaseVO));
    EXPECT_EQ(server.requests().size(), 1u);

    GlobalVar::getInstance_global().setOa(unreachableAddress());
    const auto failed = std::dynamic_pointer_cast<EmailDetailVO>(EmailBO().getDetailInfo("1"));
    ASSERT_TRUE(failed);
    EXPECT_EQ(*failed, EmailDetailVO{});
}

TEST_F(ModuleLogicTest, ModulesWithoutDetailsSendNothing) {
    EXPECT_EQ(CalendarBO().getDetailInfo("1"), nullptr);
    EXPECT_EQ(BaseBO("workflow").getDetailInfo("1"), nullptr);
    EXPECT_TRUE(BaseBO("weather").getWetherInfo("北京").empty());
    EXPECT_TRUE(server.requests().empty());
}

struct FolderCase {
    const char* key;
    const char* idField;
};

class FolderList : public ServerFixture, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FolderList, NamesTheFolderByCabinetAndKeepsReplyOrder) {
    reply("/mobile/file_folder/data.php", readReply("file_list.json"));
    auto& shared = JsonOperation::getInstance_json();
    const auto newestBefore = shared.firstID(GetParam().key);
    FileBO cabinet(GetParam().key);

    const auto entries = cabinet.getFolderList("3");
    EXPECT_EQ(idsOf(entries), (Ids{"3", "17"}));
    ASSERT_TRUE(entries && !entries->empty());
    const auto folder = std::dynamic_pointer_cast<FileVO>(entries->front());
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->now_id, "3");
    EXPECT_EQ(folder->parent_id, "1");
    EXPECT_EQ(fieldsOf(onlyRequest()),
              (Fields{{"ATYPE", "getListContent"}, {"P", kSession}, {GetParam().idField, "3"}}));
    // Folder entries are not items of the cabinet's list.
    EXPECT_EQ(shared.firstID(GetParam().key), newestBefore);
}

INSTANTIATE_TEST_SUITE_P(Cabinets, FolderList,
                         ::testing::Values(FolderCase{"public_folder", "P_ID"},
                                           FolderCase{"file_folder", "Q_ID"}));

TEST_F(ModuleLogicTest, FolderListOfAnotherModuleSendsNothing) {
    EXPECT_EQ(FileBO("email").getFolderList("3"), std::nullopt);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(ModuleLogicTest, ConcurrentLoadsOfOneListKeepTheirFlags) {
    reply("/mobile/file_folder/data.php", readReply("file_list.json"));
    FileBO cabinet("public_folder");
    std::vector<std::thread> loaders;
    for (int i = 0; i < 4; ++i) {
        loaders.emplace_back([&cabinet, i] {
            if (i % 2 == 0) {
                cabinet.getList();
            } else {
                cabinet.getNewList(cabinet.firstID());
            }
        });
    }
    for (auto& loader : loaders) {
        loader.join();
    }
    const auto sent = server.requests();
    ASSERT_EQ(sent.size(), 4u);
    for (const auto& one : sent) {
        EXPECT_EQ(fieldsOf(one).back(), (std::pair<std::string, std::string>("FTYPE", "public")));
    }
    EXPECT_EQ(cabinet.firstID(), JsonOperation::getInstance_json().firstID("public_folder"));
}

// Both factories by module key: the class of the catalogue's column, made for that key.
struct FactoryCase {
    const char* key;
    const std::type_info* logic;
};

class Factories : public ::testing::TestWithParam<FactoryCase> {};

TEST_P(Factories, MakeTheCatalogueClassForTheKey) {
    const auto list = ModuleLogicFactory::createListLogic(GetParam().key);
    const auto detail = ModuleLogicFactory::createDetailLogic(GetParam().key);
    ASSERT_TRUE(list);
    ASSERT_TRUE(detail);
    EXPECT_EQ(typeid(*list), *GetParam().logic);
    EXPECT_EQ(typeid(*detail), *GetParam().logic);
    EXPECT_EQ(list->func_type(), GetParam().key);
    EXPECT_NE(list, detail);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Factories,
    ::testing::Values(
        FactoryCase{"email", &typeid(EmailBO)}, FactoryCase{"notify", &typeid(NotifyBO)},
        FactoryCase{"news", &typeid(NewsBO)}, FactoryCase{"workflow", &typeid(BaseBO)},
        FactoryCase{"calendar", &typeid(CalendarBO)}, FactoryCase{"diary", &typeid(DiaryBO)},
        FactoryCase{"file_folder", &typeid(FileBO)}, FactoryCase{"public_folder", &typeid(FileBO)},
        FactoryCase{"address", &typeid(AddressBO)}, FactoryCase{"tel_no", &typeid(TelNoBO)},
        FactoryCase{"user", &typeid(UserBO)}, FactoryCase{"weather", &typeid(WeatherBO)}));

TEST(FactoryRegistry, UnknownKeysAndUnregisteredClassesGiveNothing) {
    EXPECT_EQ(ModuleLogicFactory::createListLogic("sms"), nullptr);
    EXPECT_EQ(ModuleLogicFactory::createListLogic("Email"), nullptr);
    EXPECT_EQ(ModuleLogicFactory::create("NoSuchBO", "email"), nullptr);
}

TEST(FactoryRegistry, LaterClassesRegisterByName) {
    struct LaterLogic : BaseBO {
        using BaseBO::BaseBO;
    };
    ModuleLogicFactory::registerClass(
        "LaterBO", [](std::string key) { return std::make_shared<LaterLogic>(std::move(key)); });
    const auto logic = ModuleLogicFactory::create("LaterBO", "weather");
    ASSERT_TRUE(logic);
    EXPECT_EQ(typeid(*logic), typeid(LaterLogic));
    EXPECT_EQ(logic->func_type(), "weather");
}

}  // namespace
}  // namespace oa::test
