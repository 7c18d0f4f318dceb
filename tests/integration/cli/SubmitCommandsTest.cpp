// oa-cli save-diary, send-email, save-calendar and send-all against the demo server: what each
// submits is read back through the client's own lists and details, at every recipient; a page
// the fault switch makes fail exits 1 with the server's reason, and the retry goes through.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/protocol/DetailRecords.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/MessageBO.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "integration/ClientFixture.h"
#include "integration/RecordFields.h"
#include "integration/cli/CliRun.h"

namespace oa::test {
namespace {

namespace fs = std::filesystem;

class SubmitCommandsTest : public ClientServerTest {
protected:
    // Runs oa-cli signed in as `user`, with a home of that user's own.
    CliRun as(const std::string& user, std::vector<std::string> args) const {
        args.insert(args.end(), {"--home", (home_.path() / user).string(), "--server", serverUrl(),
                                 "--user", user, "--password", "123456"});
        return runCli(args);
    }

    // A picture file whose bytes tell it apart.
    std::string picture(const std::string& name, char tag) const {
        const fs::path path = home_.path() / "pictures" / name;
        fs::create_directories(path.parent_path());
        std::string bytes = "\x89PNG\r\n\x1a\n";
        bytes.append(64, tag);
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // The item of `key`'s list, as `user` sees it, of class Record whose `field` is `value`;
    // null when there is none or more than one.
    template <class Record>
    std::shared_ptr<Record> find(const std::string& user, const std::string& key,
                                 Text Record::*field, const std::string& value) {
        if (!signInAs(user)) {
            return nullptr;
        }
        std::shared_ptr<Record> found;
        for (const auto& item : pageToEnd(*ModuleLogicFactory::createListLogic(key))) {
            const auto typed = std::dynamic_pointer_cast<Record>(item);
            if (typed && (*typed).*field == value) {
                EXPECT_FALSE(found) << value << " listed twice";
                found = typed;
            }
        }
        return found;
    }

    // The attachment names of an item's detail (the server ends the joined list with its
    // separator, which leaves an empty last name).
    std::vector<std::string> attachmentNames(const std::string& key, const Text& id) {
        const auto names =
            detailPartsOf(ModuleLogicFactory::createDetailLogic(key)->getDetailInfo(id)).names;
        std::vector<std::string> named;
        for (const auto& name : names.value_or(std::vector<std::string>{})) {
            if (!name.empty()) {
                named.push_back(name);
            }
        }
        return named;
    }

    // Makes the next `count` requests to `page` answer `status`.
    void failNext(const std::string& page, int count, int status) const {
        httplib::Client http(kServerHost, server_->httpPort());
        const auto result = http.Post("/demo/admin/fault", {{AdminGuard::kHeader, "1"}},
                                      httplib::Params{{"page", page},
                                                      {"count", std::to_string(count)},
                                                      {"status", std::to_string(status)}});
        ASSERT_TRUE(result);
        ASSERT_EQ(result->status, 200) << result->body;
    }
};

TEST_F(SubmitCommandsTest, DiaryKeepsItsKindAndPicture) {
    const auto run = as("lina", {"save-diary", "--kind", "2", "--date", "2013-06-27", "--content",
                                 "周末读书", picture("IMG_0001.JPG", 'p')});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "saved\n");

    const auto entry = find("lina", "diary", &DiaryVO::content, "周末读书");
    ASSERT_TRUE(entry);
    // The proposed title follows the kind.
    const std::string title = entry->subject.value_or("");
    EXPECT_EQ(title.rfind("李娜", 0), 0u) << title;
    EXPECT_NE(title.find("个人日志"), std::string::npos) << title;
    const auto full = std::dynamic_pointer_cast<DiaryDetailVO>(
        ModuleLogicFactory::createDetailLogic("diary")->getDetailInfo(entry->q_id));
    ASSERT_TRUE(full);
    EXPECT_EQ(full->dia_type_desc, "个人日志");
    EXPECT_EQ(full->dia_date, "2013-06-27");
    EXPECT_EQ(attachmentNames("diary", entry->q_id),
              (std::vector<std::string>{"uploadedfile0.png"}));
}

TEST_F(SubmitCommandsTest, EmailReachesEachRecipientWithItsPicturesInOrder) {
    const auto run =
        as("zhangwei", {"send-email", "--to", "lina,wanghao", "--subject", "现场照片", "--content",
                        "见附件", picture("b.png", 'b'), picture("a.png", 'a')});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "sent\n");
    for (const char* user : {"lina", "wanghao"}) {
        SCOPED_TRACE(user);
        const auto mail = find(user, "email", &EmailVO::subject, "现场照片");
        ASSERT_TRUE(mail);
        EXPECT_EQ(attachmentNames("email", mail->q_id),
                  (std::vector<std::string>{"uploadedfile0.png", "uploadedfile1.png"}));
    }
}

TEST_F(SubmitCommandsTest, ScheduleEntryKeepsItsTimes) {
    const auto run = as("wanghao", {"save-calendar", "--start", "09:05", "--end", "17:30",
                                    "--level", "4", "--content", "版本评审"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "saved\n");
    const auto entry = find("wanghao", "calendar", &CalendarVO::content, "版本评审");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->cal_time, "09:05");
    EXPECT_EQ(entry->end_time, "17:30");
}

TEST_F(SubmitCommandsTest, GroupTextReachesEachRecipient) {
    const auto run = as("zhangwei", {"send-all", "10,11", "下午三点开会"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "sent\n");
    for (const char* user : {"lina", "wanghao"}) {
        SCOPED_TRACE(user);
        ASSERT_TRUE(signInAs(user));
        const auto dialog = MessageBO().getMessageDetail("9");
        ASSERT_FALSE(dialog.empty());
        EXPECT_NE(std::find_if(dialog.begin(), dialog.end(),
                               [](const auto& m) { return m->content == "下午三点开会"; }),
                  dialog.end());
    }
}

TEST_F(SubmitCommandsTest, ARefusedSubmissionExitsOneAndTheRetrySucceeds) {
    failNext("/mobile/calendar/submit.php", 1, 503);
    const auto refused = as("wanghao", {"save-calendar", "--content", "第一次"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("/mobile/calendar/submit.php: the server answered HTTP 503"),
              std::string::npos)
        << refused.err;

    const auto retried = as("wanghao", {"save-calendar", "--content", "第二次"});
    EXPECT_EQ(retried.exitCode, 0) << retried.err;
    EXPECT_FALSE(find("wanghao", "calendar", &CalendarVO::content, "第一次"));
    EXPECT_TRUE(find("wanghao", "calendar", &CalendarVO::content, "第二次"));

    // The demo server refuses an empty group text and a recipient list naming nobody.
    EXPECT_EQ(as("zhangwei", {"send-all", "10", ""}).exitCode, 1);
    EXPECT_EQ(as("zhangwei", {"send-all", "9", "自言自语"}).exitCode, 1);
}

TEST_F(SubmitCommandsTest, UnusableArgumentsSendNothing) {
    const std::vector<std::vector<std::string>> bad = {
        {"send-email", "--subject", "无人收"},
        {"send-email", "--to", "", "--subject", "无人收"},
        {"save-diary", "--kind", "3"},
        {"save-diary", "--date", "28.06.2013"},
        {"save-calendar", "--start", "25:00"},
        {"save-calendar", "--level", "5"},
        {"save-calendar", "--kind", "0"},
        {"send-all", "", "没有收信人"},
        {"send-all", "10"},
    };
    for (const auto& args : bad) {
        const auto run = as("wanghao", args);
        EXPECT_EQ(run.exitCode, 1) << args[0] << " " << args[1];
        EXPECT_EQ(run.out, "");
    }
    const auto missing = as("wanghao", {"save-diary", (home_.path() / "gone.png").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("No file exists at"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace oa::test
