// Details through the core against the demo server: attachment links appended to the content,
// reading that marks items read and lowers the counters, and the reminder list.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/protocol/HomeBO.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/protocol/SmsBO.h"
#include "integration/ClientFixture.h"
#include "integration/RecordFields.h"

namespace oa::test {
namespace {

struct AttachmentCase {
    std::string key;
    std::string user;
    bool share;
};

void PrintTo(const AttachmentCase& c, std::ostream* os) {
    *os << c.key;
}

class AttachmentLinkTest : public ClientServerTest,
                           public ::testing::WithParamInterface<AttachmentCase> {};

// The attachment viewer's link: "message:<category>:<server path>" inside an href.
std::optional<std::string> linkIn(const std::string& snippet, char category) {
    const std::string marker = std::string("message:") + category + ":";
    const auto at = snippet.find(marker);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const auto start = at + marker.size();
    std::string path = snippet.substr(start, snippet.find('"', start) - start);
    for (std::size_t amp; (amp = path.find("&amp;")) != std::string::npos;) {
        path.replace(amp, 5, "&");
    }
    return path;
}

bool isPicture(const std::string& name) {
    for (const char* ext : {".png", ".jpg", ".gif"}) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ext) == 0) {
            return true;
        }
    }
    return false;
}

// Each attachment's link (the reply of "/mobile/attach.php") ends up after the item's own
// content, in attachment order, and leads to the file.
TEST_P(AttachmentLinkTest, DetailCarriesALinkPerAttachment) {
    const auto& c = GetParam();
    ASSERT_TRUE(signInAs(c.user));
    auto list = ModuleLogicFactory::createListLogic(c.key);
    list->setIsDiary(c.share);
    const auto all = pageToEnd(*list);
    const auto withFiles = std::find_if(
        all.begin(), all.end(), [](const auto& record) { return hasAttachmentOf(record) == "1"; });
    ASSERT_NE(withFiles, all.end()) << "no item with attachments";
    const Text id = (*withFiles)->q_id;

    // The same detail without links, as the plain module logic fetches it.
    const auto plain =
        detailPartsOf(ModuleLogicFactory::create("BaseBO", c.key)->getDetailInfo(id));
    const auto linked =
        detailPartsOf(ModuleLogicFactory::createDetailLogic(c.key)->getDetailInfo(id));
    ASSERT_TRUE(plain.isDetail && linked.isDetail);
    ASSERT_TRUE(plain.content && plain.ids && plain.names);
    EXPECT_EQ(linked.ids, plain.ids);

    std::string expected = *plain.content;
    int links = 0;
    for (std::size_t i = 0; i < plain.ids->size() && i < plain.names->size(); ++i) {
        const std::string& attachmentId = (*plain.ids)[i];
        const std::string& name = (*plain.names)[i];
        if (attachmentId.empty() || name.empty()) {
            continue;
        }
        SCOPED_TRACE(name);
        const auto snippet = HttpRequest().getAttachInfo("", attachmentId, name);
        ASSERT_TRUE(snippet);
        expected += *snippet;
        ++links;
        const auto path = linkIn(*snippet, isPicture(name) ? '1' : '0');
        ASSERT_TRUE(path) << *snippet;
        const auto file = get(*path);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->status, 200);
        EXPECT_FALSE(file->body.empty());
        if (isPicture(name)) {
            EXPECT_EQ(file->body.substr(0, 4), "\x89PNG");
        }
    }
    EXPECT_GE(links, 1);
    EXPECT_EQ(linked.content, expected);
}

INSTANTIATE_TEST_SUITE_P(Modules, AttachmentLinkTest,
                         ::testing::Values(AttachmentCase{"email", "wangjianguo", false},
                                           AttachmentCase{"notify", "wangjianguo", false},
                                           AttachmentCase{"news", "wangjianguo", false},
                                           AttachmentCase{"diary", "zhangwei", true},
                                           AttachmentCase{"public_folder", "wangjianguo", false},
                                           AttachmentCase{"file_folder", "wangjianguo", false}),
                         [](const ::testing::TestParamInfo<AttachmentCase>& param) {
                             return param.param.key;
                         });

class ReadStateTest : public ClientServerTest, public ::testing::WithParamInterface<std::string> {};

// The counter of a module is its number of unread items; reading one lowers it by one, once.
TEST_P(ReadStateTest, ReadingMarksReadAndLowersTheCounter) {
    const std::string key = GetParam();
    ASSERT_TRUE(signInAs("wangjianguo"));
    auto list = ModuleLogicFactory::createListLogic(key);
    auto detail = ModuleLogicFactory::createDetailLogic(key);
    auto counter = [&] {
        const auto counters = HomeBO().getHomeTipInfo("INIT");
        EXPECT_TRUE(counters.count(key));
        return counters.count(key) ? std::stoi(counters.at(key)) : -1;
    };

    std::vector<Text> unread;
    for (const auto& record : pageToEnd(*list)) {
        if (readFlagOf(record) == "0") {
            unread.push_back(record->q_id);
        }
    }
    ASSERT_FALSE(unread.empty());
    EXPECT_EQ(counter(), static_cast<int>(unread.size()));

    for (std::size_t i = 0; i < unread.size(); ++i) {
        ASSERT_TRUE(detailPartsOf(detail->getDetailInfo(unread[i])).content);
        EXPECT_EQ(counter(), static_cast<int>(unread.size() - i - 1));
        detail->getDetailInfo(unread[i]);  // a second reading changes nothing
        EXPECT_EQ(counter(), static_cast<int>(unread.size() - i - 1));
    }
    for (const auto& record : pageToEnd(*list)) {
        EXPECT_EQ(readFlagOf(record), "1") << *record->q_id;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ReadStateTest, ::testing::Values("email", "notify", "news"),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             return param.param;
                         });

class ReminderTest : public ClientServerTest {};

std::set<std::string> reminderIds(const std::vector<std::shared_ptr<SmsVO>>& reminders) {
    std::set<std::string> ids;
    for (const auto& r : reminders) {
        ids.insert(r->q_id.value_or(""));
    }
    return ids;
}

TEST_F(ReminderTest, ListReadAndNewReminders) {
    ASSERT_TRUE(signInAs("wangjianguo"));
    const auto reminders = SmsBO().getSmsInfo();
    ASSERT_FALSE(reminders.empty());
    std::set<std::string> kinds;
    for (const auto& r : reminders) {
        kinds.insert(r->sms_type.value_or(""));
        EXPECT_TRUE(r->q_id && r->content && r->sms_url && r->time && r->from_name);
    }
    for (const char* kind : {"1", "2", "5", "7", "13", "14", "40"}) {
        EXPECT_TRUE(kinds.count(kind)) << "no reminder of kind " << kind;
    }

    // "readsms" removes one reminder and no other; an unknown id removes none.
    const Text first = reminders.front()->q_id;
    SmsBO().readSms(first);
    auto ids = reminderIds(SmsBO().getSmsInfo());
    auto expected = reminderIds(reminders);
    expected.erase(*first);
    EXPECT_EQ(ids, expected);
    SmsBO().readSms("999999");
    SmsBO().readSms(first);
    EXPECT_EQ(reminderIds(SmsBO().getSmsInfo()), expected);

    // A new reminder arrives at the top of the list.
    const std::string added = adminEvent({{"kind", "reminder"},
                                          {"to", "wangjianguo"},
                                          {"from", "liuli"},
                                          {"sms_type", "3"},
                                          {"content", "会议通知：明天九点"}});
    const auto after = SmsBO().getSmsInfo();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.front()->q_id, added);
    EXPECT_EQ(after.front()->sms_type, "3");
    EXPECT_EQ(after.front()->content, "会议通知：明天九点");
    EXPECT_EQ(after.front()->from_name, "刘丽");
    EXPECT_EQ(after.size(), expected.size() + 1);
}

// Reading the item a reminder points at settles the reminder.
TEST_F(ReminderTest, ReadingTheItemSettlesItsReminder) {
    ASSERT_TRUE(signInAs("wangjianguo"));
    const auto reminders = SmsBO().getSmsInfo();
    const auto mail = std::find_if(reminders.begin(), reminders.end(), [](const auto& r) {
        return r->sms_type == "2" && r->sms_url &&
               r->sms_url->find("EMAIL_ID=") != std::string::npos;
    });
    ASSERT_NE(mail, reminders.end());
    const std::string url = *(*mail)->sms_url;
    const std::string emailId = url.substr(url.find("EMAIL_ID=") + 9);
    ModuleLogicFactory::createDetailLogic("email")->getDetailInfo(emailId);
    const auto after = SmsBO().getSmsInfo();
    EXPECT_EQ(after.size(), reminders.size() - 1);
    EXPECT_FALSE(reminderIds(after).count(*(*mail)->q_id));
}

}  // namespace
}  // namespace oa::test
