// Module lists, the newest-item marker, counters, reminders and dialog messages.
#include "core/protocol/JsonOperation.h"

#include <thread>
#include <typeindex>

#include <gtest/gtest.h>

#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/Replies.h"
#include "core/protocol/ReplyText.h"

namespace oa {
namespace {

using test::readReply;

template <class Record>
std::shared_ptr<Record> as(const std::shared_ptr<BaseVO>& record) {
    auto typed = std::dynamic_pointer_cast<Record>(record);
    EXPECT_TRUE(typed) << "record of an unexpected class";
    return typed;
}

TEST(JsonOperationLists, EmptyPageTextsGiveAnEmptyListForEveryKey) {
    JsonOperation parser;
    for (const char* reply : {"NOMOREDATA", "NONEWDATA"}) {
        for (const char* key : {"email", "notify", "file_folder", "weather", "unknown"}) {
            SCOPED_TRACE(std::string(reply) + " " + key);
            auto list = parser.splitString(std::string(reply), key);
            ASSERT_TRUE(list);
            EXPECT_TRUE(list->empty());
        }
    }
}

// Only the exact texts are empty pages; anything else goes through the JSON parser, which gives
// an empty list for a module and no result at all for a key without a list parser.
TEST(JsonOperationLists, NearlyEmptyPageTextsTakeTheJsonPath) {
    JsonOperation parser;
    for (const char* reply : {" NONEWDATA", "NONEWDATA\n", "nomoredata", "NOMOREDATA."}) {
        SCOPED_TRACE(reply);
        auto list = parser.splitString(std::string(reply), "email");
        ASSERT_TRUE(list);
        EXPECT_TRUE(list->empty());
        EXPECT_FALSE(parser.splitString(std::string(reply), "weather"));
    }
    EXPECT_FALSE(parser.firstID("email"));
}

TEST(JsonOperationLists, UnreadableRepliesGiveAnEmptyList) {
    JsonOperation parser;
    const std::vector<std::optional<std::string>> replies = {
        std::nullopt,
        "",
        "   ",
        "[",
        "[{\"q_id\":\"1\"",
        "{\"q_id\":\"1\"}",
        "[]",
        "\"text\"",
        "<html><body>数据库连接失败</body></html>",
        std::string("[\"\xff\xfe\"]")};
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply.value_or("(no reply)"));
        auto list = parser.splitString(reply, "notify");
        ASSERT_TRUE(list);
        EXPECT_TRUE(list->empty());
    }
    EXPECT_FALSE(parser.firstID("notify"));
}

struct ModuleListCase {
    std::string key;
    std::string fixture;
    std::type_index recordClass;
    size_t count;
    std::string firstID;
};

void PrintTo(const ModuleListCase& c, std::ostream* out) {
    *out << c.key << " " << c.fixture;
}

class ModuleLists : public testing::TestWithParam<ModuleListCase> {};

TEST_P(ModuleLists, EachKeyGetsItsModulesRecordsInReplyOrder) {
    const ModuleListCase& c = GetParam();
    JsonOperation parser;
    auto list = parser.splitString(readReply(c.fixture), c.key);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), c.count);
    for (const auto& record : *list) {
        EXPECT_EQ(std::type_index(typeid(*record)), c.recordClass);
    }
    EXPECT_EQ(list->front()->q_id, c.firstID);
    EXPECT_EQ(parser.firstID(c.key), c.firstID);
}

INSTANTIATE_TEST_SUITE_P(
    JsonOperation, ModuleLists,
    testing::Values(ModuleListCase{"email", "email_list.json", typeid(EmailVO), 3, "120"},
                    ModuleListCase{"notify", "notify_list.json", typeid(NotifyVO), 2, "57"},
                    ModuleListCase{"workflow", "notify_list.json", typeid(NotifyVO), 2, "57"},
                    ModuleListCase{"address", "notify_list.json", typeid(NotifyVO), 2, "57"},
                    ModuleListCase{"tel_no", "notify_list.json", typeid(NotifyVO), 2, "57"},
                    ModuleListCase{"news", "news_list.json", typeid(NewsVO), 2, "31"},
                    ModuleListCase{"calendar", "calendar_list.json", typeid(CalendarVO), 2, "9"},
                    ModuleListCase{"diary", "diary_list.json", typeid(DiaryVO), 2, "204"},
                    ModuleListCase{"file_folder", "file_list.json", typeid(FileVO), 2, "3"},
                    ModuleListCase{"public_folder", "file_list.json", typeid(FileVO), 2, "3"}),
    [](const auto& param) { return param.param.key; });

TEST(JsonOperationLists, KeysWithoutAListParserGiveNoResult) {
    JsonOperation parser;
    for (const char* key : {"user", "weather", "", "Email", "sms"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(parser.splitString(readReply("email_list.json"), key));
    }
}

TEST(JsonOperationLists, EmailFieldsAreTakenAsSent) {
    JsonOperation parser;
    auto list = parser.email(readReply("email_list.json"));
    ASSERT_EQ(list.size(), 3u);
    EmailVO expected;
    expected.q_id = "118";
    expected.read_flag = "1";
    expected.subject = "Re: 第二季度销售报表";
    expected.important_desc = "";
    expected.send_time = "2013-04-26 17:42";
    expected.from_name = "李娜";
    expected.has_attachment = "0";
    EXPECT_EQ(*as<EmailVO>(list[1]), expected);
}

TEST(JsonOperationLists, FileSortKeysFillTheIdFields) {
    JsonOperation parser;
    auto list = parser.file(readReply("file_list.json"));
    ASSERT_EQ(list.size(), 2u);
    auto folder = as<FileVO>(list[0]);
    EXPECT_EQ(folder->file_type, "folder");
    EXPECT_EQ(folder->name, "规章制度");
    EXPECT_EQ(folder->now_id, "3");
    EXPECT_EQ(folder->parent_id, "1");
    EXPECT_EQ(as<FileVO>(list[1])->now_id, "17");
}

// Strings are kept as received, numbers and booleans as their JSON text; null, nested values and
// missing keys leave the field absent, which differs from an empty text.
TEST(JsonOperationLists, ValuesOfEveryJsonKind) {
    JsonOperation parser;
    auto list = parser.notify(
        std::string(R"([{"q_id":130,"read_flag":false,"subject":"","subject_color":null,"top":[1],)"
                    R"("send_time":{"d":1},"has_attachment":1.5}])"));
    ASSERT_EQ(list.size(), 1u);
    NotifyVO expected;
    expected.q_id = "130";
    expected.read_flag = "false";
    expected.subject = "";
    expected.has_attachment = "1.5";
    EXPECT_EQ(*as<NotifyVO>(list[0]), expected);
    EXPECT_EQ(parser.firstID("notify"), "130");
}

TEST(JsonOperationLists, ElementsThatAreNotObjectsGiveEmptyRecords) {
    JsonOperation parser;
    auto list = parser.diary(std::string(R"([7, "x", null, {"q_id":"3","subject":"日志"}])"));
    ASSERT_EQ(list.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(*as<DiaryVO>(list[i]), DiaryVO());
    }
    EXPECT_EQ(as<DiaryVO>(list[3])->subject, "日志");
    EXPECT_FALSE(parser.firstID("diary"));
}

std::string listWithFirstId(const std::string& id) {
    return R"([{"q_id":")" + id + R"(","subject":"甲"},{"q_id":"1","subject":"乙"}])";
}

TEST(JsonOperationFirstID, RisesWithTheHeadOfTheListAndNeverFalls) {
    JsonOperation parser;
    const std::vector<std::pair<std::string, std::string>> steps = {
        {"100", "100"},
        {"120", "120"},
        {"90", "120"},   // an older page never lowers it
        {"99", "120"},   // compared as numbers, not as texts ("99" > "120" as text)
        {"abc", "120"},  // not a number: 0
        {"-5", "120"},
        {"1000", "1000"},
        {"5000000000", "5000000000"},  // beyond 32 bits
        {"4999999999", "5000000000"},
    };
    for (const auto& [head, expected] : steps) {
        SCOPED_TRACE(head);
        parser.splitString(listWithFirstId(head), "email");
        EXPECT_EQ(parser.firstID("email"), expected);
    }
    parser.splitString(std::string("NONEWDATA"), "email");
    parser.splitString(std::nullopt, "email");
    EXPECT_EQ(parser.firstID("email"), "5000000000");
}

TEST(JsonOperationFirstID, OnlyTheFirstElementCounts) {
    JsonOperation parser;
    parser.news(std::string(R"([{"q_id":"5"},{"q_id":"500"}])"));
    EXPECT_EQ(parser.firstID("news"), "5");
}

TEST(JsonOperationFirstID, IsKeptPerModule) {
    JsonOperation parser;
    parser.splitString(listWithFirstId("5000"), "email");
    parser.splitString(listWithFirstId("120"), "notify");
    parser.splitString(listWithFirstId("7"), "workflow");
    parser.splitString(listWithFirstId("40"), "public_folder");
    EXPECT_EQ(parser.firstID("email"), "5000");
    EXPECT_EQ(parser.firstID("notify"), "120");
    EXPECT_EQ(parser.firstID("workflow"), "7");
    EXPECT_EQ(parser.firstID("public_folder"), "40");
    EXPECT_FALSE(parser.firstID("file_folder"));
    EXPECT_FALSE(parser.firstID("news"));
}

// Loaders of several module lists share one parser; run under ThreadSanitizer this shows the
// marker is guarded, and in any build that no raise is lost.
TEST(JsonOperationFirstID, ConcurrentLoadersKeepTheHighestId) {
    JsonOperation parser;
    constexpr int kThreads = 4;
    constexpr int kRounds = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&parser, t] {
            const std::string key = t % 2 == 0 ? "email" : "notify";
            for (int i = 1; i <= kRounds; ++i) {
                parser.splitString(listWithFirstId(std::to_string(i * kThreads + t)), key);
                parser.firstID(key);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(parser.firstID("email"), std::to_string(kRounds * kThreads + 2));
    EXPECT_EQ(parser.firstID("notify"), std::to_string(kRounds * kThreads + 3));
}

TEST(JsonOperationCounters, TheLastElementOfModuleWins) {
    JsonOperation parser;
    const JsonOperation::CounterDic expected = {{"email", "3"}, {"news", "5"}, {"notify", "0"}};
    EXPECT_EQ(parser.getModuleDic(readReply("counters_two_elements.json")), expected);
}

TEST(JsonOperationCounters, UnusableRepliesGiveAnEmptyDictionary) {
    JsonOperation parser;
    const std::vector<std::optional<std::string>> replies = {
        std::nullopt,
        "",
        "NONEWDATA",
        R"({"modules":[{"email":"1"}]})",
        R"({"module":{"email":"1"}})",
        R"([{"module":[{"email":"1"}]}])",
        R"({"module":[{"email":"1"}, 7]})",
        R"({"module":[]})",
    };
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply.value_or("(no reply)"));
        EXPECT_TRUE(parser.getModuleDic(reply).empty());
    }
}

TEST(JsonOperationCounters, NullCountersAreLeftOutAndEmptyOnesKept) {
    JsonOperation parser;
    const JsonOperation::CounterDic expected = {{"diary", ""}, {"email", "12"}};
    EXPECT_EQ(
        parser.getModuleDic(std::string(R"({"module":[{"email":12,"news":null,"diary":""}]})")),
        expected);
}

TEST(JsonOperationReminders, RemindersInReplyOrder) {
    JsonOperation parser;
    auto reminders = parser.getSmsList(readReply("sms_list.json"));
    ASSERT_EQ(reminders.size(), 2u);
    EXPECT_EQ(reminders[0]->q_id, "880");
    EXPECT_EQ(reminders[0]->sms_type, "13");
    EXPECT_EQ(reminders[0]->sms_url, "/general/diary/read.php?DIA_ID=204");
    EXPECT_EQ(reminders[1]->sms_type, "3");
    EXPECT_EQ(reminders[1]->from_name, "系统管理员");
    EXPECT_TRUE(parser.getSmsList(std::string("NOMOREDATA")).empty());
    EXPECT_TRUE(parser.getSmsList(std::nullopt).empty());
}

struct CleaningCase {
    std::string raw;
    std::string cleaned;
};

void PrintTo(const CleaningCase& c, std::ostream* out) {
    *out << testing::PrintToString(c.raw);
}

class DialogCleaning : public testing::TestWithParam<CleaningCase> {};

TEST_P(DialogCleaning, EscapesRawBreaksInStringsAndKeepsTheRest) {
    EXPECT_EQ(cleanDialogReply(GetParam().raw), GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(JsonOperation, DialogCleaning,
                         testing::Values(CleaningCase{"[\"a;b&nbsp;\"]", "[\"a;b&nbsp;\"]"},
                                         CleaningCase{"[\"x\r\ny\ra\nb\"]", "[\"x\\ny\\na\\nb\"]"},
                                         CleaningCase{"[\"q\\\"\n\\\\\",\r\n\"\t\"]",
                                                      "[\"q\\\"\\n\\\\\",\r\n\"\\u0009\"]"},
                                         CleaningCase{" \r\n\t[1]\r\n ", "[1]"},
                                         CleaningCase{"\xE3\x80\x80[\xE3\x80\x80]\xC2\xA0",
                                                      "[\xE3\x80\x80]"},
                                         CleaningCase{"a\\nb", "a\\nb"}, CleaningCase{"", ""}));

TEST(JsonOperationMessages, DialogRepliesAreCleanedBeforeParsing) {
    JsonOperation parser;
    const std::string reply = readReply("dialog.json");
    auto messages = parser.getMessageDetail(reply);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0]->content, "报表已发你邮箱;请查收");
    EXPECT_EQ(messages[1]->content, "a;b");
    EXPECT_EQ(messages[2]->content, "好的 马上看\n稍等");
    EXPECT_EQ(messages[2]->msg_from, "0");

    MessageDetailVO voice;
    voice.q_id = "904";
    voice.q_uid = "44";
    voice.q_name = "王晓明";
    voice.avatar = "1";
    voice.send_time = "2013-04-27 10:21:56";
    voice.content = "[语音]";
    voice.msg_from = "1";
    voice.msg_type_name = "voice";
    voice.isvoicemsg = "1";
    voice.attachment_id = "1304_2851";
    voice.attachment_name = "语音留言.amr";
    voice.duration = "3";
    EXPECT_EQ(*messages[3], voice);

    // The raw reply holds a line break inside a string and is no JSON until cleaned.
    EXPECT_TRUE(parser.getMessageList(reply).empty());
    EXPECT_TRUE(parser.getMessageDetail(std::nullopt).empty());
}

TEST(JsonOperationMessages, ConversationsParseOnceCleaned) {
    JsonOperation parser;
    auto conversations = parser.getMessageList(cleanDialogReply(readReply("message_list.json")));
    ASSERT_EQ(conversations.size(), 2u);
    EXPECT_EQ(conversations[0]->q_id, "44");
    EXPECT_EQ(conversations[0]->content, "下午三点开会 别迟到");
    EXPECT_EQ(conversations[0]->unread_num, "2");
    EXPECT_EQ(conversations[1]->online, "0");
}

TEST(JsonOperationMessages, SingleMessageCarriesNoVoiceFields) {
    JsonOperation parser;
    auto message = parser.getSignleDetail(readReply("single_message.json"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->q_id, "905");
    EXPECT_EQ(message->content, "晚上一起吃饭吗？");
    EXPECT_EQ(message->msg_from, "1");
    EXPECT_FALSE(message->isvoicemsg);
    EXPECT_FALSE(message->attachment_id);
    EXPECT_FALSE(message->duration);

    for (const std::optional<std::string>& reply :
         {std::optional<std::string>(), std::optional<std::string>("NONEWDATA"),
          std::optional<std::string>("[{\"q_id\":\"1\"}]")}) {
        auto empty = parser.getSignleDetail(reply);
        ASSERT_TRUE(empty);
        EXPECT_EQ(*empty, MessageDetailVO());
    }
}

}  // namespace
}  // namespace oa
