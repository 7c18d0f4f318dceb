// Signing the core in to the demo server: each user's module list and session values, the two
// failure texts, and a session the server does not know, which must change nothing.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/protocol/DetailRecords.h"
#include "core/protocol/EmailBO.h"
#include "core/protocol/JsonOperation.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/MessageBO.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/protocol/SmsBO.h"
#include "core/session/PlistManager.h"
#include "integration/ClientFixture.h"

namespace oa::test {
namespace {

using Modules = std::vector<std::string>;

struct UserCase {
    std::string user;
    std::string password;
    std::string uid;
    std::string name;
    Modules modules;
};

void PrintTo(const UserCase& c, std::ostream* os) {
    *os << c.user;
}

class SignInTest : public ClientServerTest {};
class SignInUserTest : public ClientServerTest, public ::testing::WithParamInterface<UserCase> {};

TEST_P(SignInUserTest, FillsTheSessionAndYieldsTheUsersModules) {
    const auto& c = GetParam();
    LogCapture logs;
    const auto outcome = signIn(c.user, c.password);
    ASSERT_TRUE(outcome.modules) << outcome.failure.value_or("no result");
    EXPECT_EQ(*outcome.modules, c.modules);

    const auto& session = GlobalVar::getInstance_global();
    EXPECT_EQ(session.oa(), serverUrl());
    EXPECT_EQ(session.uid(), c.uid);
    EXPECT_EQ(session.login_user_name(), c.name);
    EXPECT_EQ(session.app_title(), "青禾协同办公");
    ASSERT_TRUE(session.session_id());
    EXPECT_FALSE(session.session_id()->empty());
    // The server names its own (free) IM port; the push channel keeps 1188 all the same, and
    // the named port is only logged.
    EXPECT_NE(server_->imPort(), 1188);
    EXPECT_EQ(session.ovix_zqim_port(), "1188");
    EXPECT_TRUE(logs.contains("23333232323" + std::to_string(server_->imPort())));

    // The attempt stored its record, as the screen needs it for the push channel's login.
    const LoginVO stored = PlistManager().getLoginInfo();
    EXPECT_EQ(stored.name, c.user);
    EXPECT_EQ(stored.pwd, c.password);
    EXPECT_EQ(stored.oa, serverUrl());

    // The session works: the first page of the first module has items for everyone.
    const auto list = ModuleLogicFactory::createListLogic("email")->getList();
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->empty());
}

const Modules kAll = {"email",       "notify",        "news",    "workflow", "calendar", "diary",
                      "file_folder", "public_folder", "address", "tel_no",   "user",     "weather"};
const Modules kStaff = {"email",         "notify",  "news",   "calendar", "diary",  "file_folder",
                        "public_folder", "address", "tel_no", "user",     "weather"};
const Modules kFinance = {"email",       "notify",        "news",   "workflow", "calendar", "diary",
                          "file_folder", "public_folder", "tel_no", "user",     "weather"};
const Modules kNewcomer = {"email", "notify", "news", "diary", "user", "weather"};

INSTANTIATE_TEST_SUITE_P(
    Accounts, SignInUserTest,
    ::testing::Values(UserCase{"wangjianguo", "123456", "1", "王建国", kAll},
                      UserCase{"lina", "123456", "10", "李娜", kStaff},
                      UserCase{"zhouhong", "123456", "6", "周红", kFinance},
                      UserCase{"yangfan", "Lucky2013", "12", "杨帆", kNewcomer}),
    [](const ::testing::TestParamInfo<UserCase>& param) { return param.param.user; });

// A TCP port on the server's address where nothing listens.
std::uint16_t closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    ::inet_pton(AF_INET, kServerHost, &addr.sin_addr);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t length = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
    ::close(fd);
    return ntohs(addr.sin_port);
}

TEST_F(SignInTest, FailuresShowTheirTextAndKeepTheSession) {
    ASSERT_TRUE(signInAs("zhangwei"));
    const auto& session = GlobalVar::getInstance_global();
    const auto sessionId = session.session_id();

    struct Failure {
        std::string address;
        std::string user;
        std::string password;
        std::string text;
    };
    const std::string unreachable =
        std::string("http://") + kServerHost + ":" + std::to_string(closedPort());
    const Failure failures[] = {
        {serverUrl(), "zhangwei", "654321", " [用户名]或[密码] 填写错误！"},
        {serverUrl(), "nobody", "123456", " [用户名]或[密码] 填写错误！"},
        {serverUrl(), "yangfan", "123456", " [用户名]或[密码] 填写错误！"},
        {serverUrl(), "", "", " [用户名]或[密码] 填写错误！"},
        {unreachable, "zhangwei", "123456", " [OA地址] 填写错误！"},
        {"http://", "zhangwei", "123456", " [OA地址] 填写错误！"},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.address + " " + f.user + "/" + f.password);
        const auto outcome = attemptSignIn(f.address, f.user, f.password);
        EXPECT_FALSE(outcome.modules);
        EXPECT_EQ(outcome.failure, f.text);
        // Only the address of the attempt changes; the signed-in session stays.
        EXPECT_EQ(session.oa(), f.address);
        EXPECT_EQ(session.session_id(), sessionId);
        EXPECT_EQ(session.uid(), "9");
        EXPECT_EQ(session.login_user_name(), "张伟");
        // The record is stored whatever the outcome.
        EXPECT_EQ(PlistManager().getLoginInfo().pwd, f.password);
    }

    // With the address back, the old session still serves requests.
    GlobalVar::getInstance_global().setOa(serverUrl());
    EXPECT_FALSE(MessageBO().getMessageInfo().empty());
}

TEST_F(SignInTest, ModulesNotGrantedAnswerNothingThroughTheParsers) {
    ASSERT_TRUE(signInAs("yangfan", "Lucky2013"));
    for (const char* key : {"calendar", "file_folder", "public_folder"}) {
        SCOPED_TRACE(key);
        const auto logic = ModuleLogicFactory::createListLogic(key);
        ASSERT_TRUE(logic);
        const auto list = logic->getList();
        ASSERT_TRUE(list);
        EXPECT_TRUE(list->empty());
    }
}

// A session id the server never gave out: every page refuses it, although the transport still
// carries the valid session cookie of the sign-in, and nothing on the server changes.
TEST_F(SignInTest, UnknownSessionChangesNothing) {
    ASSERT_TRUE(signInAs("wangjianguo"));
    auto email = ModuleLogicFactory::createListLogic("email");
    const auto before = email->getList();
    ASSERT_TRUE(before && !before->empty());
    const auto unread =
        std::find_if(before->begin(), before->end(), [](const std::shared_ptr<BaseVO>& r) {
            return std::dynamic_pointer_cast<EmailVO>(r)->read_flag == "0";
        });
    ASSERT_NE(unread, before->end());
    const Text unreadId = (*unread)->q_id;
    const auto reminders = SmsBO().getSmsInfo();
    ASSERT_FALSE(reminders.empty());
    const auto conversations = MessageBO().getMessageInfo();
    ASSERT_FALSE(conversations.empty());

    auto& session = GlobalVar::getInstance_global();
    const auto valid = session.session_id();
    session.setSession_id("0123456789abcdefghijklmnop");

    for (const char* key : {"email", "notify", "news", "workflow", "calendar", "diary",
                            "file_folder", "public_folder"}) {
        SCOPED_TRACE(key);
        const auto list = ModuleLogicFactory::createListLogic(key)->getList();
        ASSERT_TRUE(list);
        EXPECT_TRUE(list->empty());
    }
    EXPECT_EQ(email->getNewList("0")->size(), 0u);
    EXPECT_EQ(email->getMoreList(0)->size(), 0u);
    const auto detail = std::dynamic_pointer_cast<EmailDetailVO>(
        ModuleLogicFactory::createDetailLogic("email")->getDetailInfo(unreadId));
    ASSERT_TRUE(detail);
    EXPECT_EQ(*detail, EmailDetailVO{});
    EXPECT_TRUE(SmsBO().getSmsInfo().empty());
    SmsBO().readSms(reminders.front()->q_id);
    EXPECT_TRUE(MessageBO().getMessageInfo().empty());
    EXPECT_TRUE(MessageBO().getMessageDetail(conversations.front()->q_id).empty());
    if (const auto newest = MessageBO().getSignleMsg("")) {
        EXPECT_EQ(*newest, MessageDetailVO{});
    }
    MessageBO().sendSignleMsg("9", "不该送达的消息");

    // Back with the real session: the item is still unread, the reminder still there, and the
    // partner got no message.
    session.setSession_id(valid);
    const auto after = email->getList();
    ASSERT_TRUE(after);
    for (const auto& record : recordsOf<EmailVO>(*after)) {
        if (record->q_id == unreadId) {
            EXPECT_EQ(record->read_flag, "0");
        }
    }
    EXPECT_EQ(SmsBO().getSmsInfo().size(), reminders.size());
    ASSERT_TRUE(signInAs("zhangwei"));
    for (const auto& message : MessageBO().getMessageDetail("1")) {
        EXPECT_NE(message->content, "不该送达的消息");
    }
}

}  // namespace
}  // namespace oa::test
