// Sign-in against a loopback server: the form, the session values of a successful reply, the
// module list, the two failure texts, and the normalisation of typed addresses.
#include <gtest/gtest.h>

#include <algorithm>
#include <any>
#include <string>
#include <thread>
#include <vector>

#include "ServerFixture.h"
#include "core/platform/Log.h"
#include "core/platform/NotificationCenter.h"
#include "core/session/LoginBO.h"
#include "core/session/UrlText.h"

namespace oa::test {
namespace {

using Modules = std::vector<std::string>;

class SignIn : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        GlobalVar::getInstance_global().resetForTesting();
        token_ = NotificationCenter::defaultCenter().addObserver(
            LoginBO::kLoginResult, [this](const Notification& note) {
                results.push_back(note.object);
                postedOn.push_back(std::this_thread::get_id());
            });
        previousSink_ = setLogSink([this](std::string_view line) { logLines.emplace_back(line); });
    }

    void TearDown() override {
        setLogSink(previousSink_);
        token_.reset();
        ServerFixture::TearDown();
    }

    LoginVO record(const std::string& address) const {
        LoginVO vo;
        vo.name = "张三";
        vo.pwd = "p&=+ 1";
        vo.oa = address;
        vo.oaName = "总部";
        vo.oaKey = "name1";
        vo.isRem = true;
        return vo;
    }

    void loginReply(std::string body) {
        // No charset named: the sign-in decodes the reply as UTF-8 all the same.
        server.setReply("/mobile/login.php", {200, {{"Content-Type", "text/html"}}, body});
    }

    // The only result posted, as a failure text or a module list.
    std::string failure() const {
        EXPECT_EQ(results.size(), 1u);
        const auto* text = results.empty() ? nullptr : std::any_cast<std::string>(&results[0]);
        return text ? *text : "(no failure text)";
    }
    Modules modules() const {
        EXPECT_EQ(results.size(), 1u);
        const auto* list = results.empty() ? nullptr : std::any_cast<Modules>(&results.back());
        return list ? *list : Modules{"(no module list)"};
    }

    std::vector<std::any> results;
    std::vector<std::thread::id> postedOn;
    std::vector<std::string> logLines;

private:
    ObserverToken token_;
    LogSink previousSink_;
};

constexpr char kFullReply[] =
    R"({"status":"YES","zq_ovix_version":"2013","login_user_name":"张三","ovix_zqim_port":"9999",)"
    R"("app_title":"协同办公","uid":"12","login_func_str":"email,,notify,","session_id":"sid-1"})";

TEST_F(SignIn, SuccessFillsTheSessionAndYieldsTheModuleList) {
    loginReply(kFullReply);
    const LoginVO vo = record(server.url(""));
    LoginBO().loginOperation(vo);

    EXPECT_EQ(modules(), (Modules{"email", "notify", "user", "weather"}));
    EXPECT_EQ(postedOn, std::vector{std::this_thread::get_id()});
    const auto& session = GlobalVar::getInstance_global();
    EXPECT_EQ(session.oa(), server.url(""));
    EXPECT_EQ(session.session_id(), "sid-1");
    EXPECT_EQ(session.uid(), "12");
    EXPECT_EQ(session.login_user_name(), "张三");
    EXPECT_EQ(session.app_title(), "协同办公");
    EXPECT_EQ(session.zq_ovix_version(), "2013");
    // The IM service port is fixed; the page's value is only logged.
    EXPECT_EQ(session.ovix_zqim_port(), "1188");
    EXPECT_NE(std::find(logLines.begin(), logLines.end(), "233332323239999"), logLines.end());

    const CapturedRequest sent = onlyRequest();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.target, "/mobile/login.php");
    EXPECT_EQ(fieldsOf(sent),
              (Fields{{"USERNAME", "张三"}, {"PASSWORD", "p&=+ 1"}, {"P_VER", "5"}}));
    EXPECT_EQ(LoginBO().getPlistInfo(), vo);
}

TEST_F(SignIn, ModulesUserAndWeatherComeEvenWithoutFunctionList) {
    loginReply(R"({"status":"YES","session_id":"s","uid":7})");
    LoginBO().login(record(server.url("")));
    EXPECT_EQ(modules(), (Modules{"user", "weather"}));
    EXPECT_EQ(GlobalVar::getInstance_global().uid(), "7");
}

TEST_F(SignIn, SecondSignInClearsWhatItsReplyLacks) {
    loginReply(kFullReply);
    LoginBO().login(record(server.url("")));
    loginReply(R"({"status":"YES","uid":"13","login_func_str":"diary","session_id":"sid-2"})");
    LoginBO().login(record(server.url("")));

    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(std::any_cast<Modules>(results[1]), (Modules{"diary", "user", "weather"}));
    const auto& session = GlobalVar::getInstance_global();
    EXPECT_EQ(session.session_id(), "sid-2");
    EXPECT_EQ(session.uid(), "13");
    EXPECT_EQ(session.app_title(), std::nullopt);
    EXPECT_EQ(session.login_user_name(), std::nullopt);
    EXPECT_EQ(session.zq_ovix_version(), std::nullopt);
    EXPECT_EQ(session.ovix_zqim_port(), "1188");
}

// A refused sign-in changes nothing of the running session but the address tried.
class RefusedSignIn : public SignIn, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedSignIn, FailsAndKeepsTheSession) {
    auto& session = GlobalVar::getInstance_global();
    session.setSession_id("old-sid");
    session.setUid("11");
    session.setApp_title("旧标题");
    session.setOvix_zqim_port("2000");
    loginReply(GetParam());
    const LoginVO vo = record(server.url(""));
    LoginBO().loginOperation(vo);

    EXPECT_EQ(failure(), " [用户名]或[密码] 填写错误！");
    EXPECT_EQ(session.session_id(), "old-sid");
    EXPECT_EQ(session.uid(), "11");
    EXPECT_EQ(session.app_title(), "旧标题");
    EXPECT_EQ(session.ovix_zqim_port(), "2000");
    EXPECT_EQ(session.login_user_name(), std::nullopt);
    EXPECT_EQ(session.oa(), server.url(""));
    EXPECT_EQ(LoginBO().getPlistInfo(), vo);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, RefusedSignIn,
    ::testing::Values(R"({"status":"NO","session_id":"new-sid","uid":"99","login_user_name":"x"})",
                      R"({"session_id":"new-sid"})", R"({"status":"yes","session_id":"new-sid"})",
                      R"({"status":true,"session_id":"new-sid"})", R"(["status","YES"])", "YES", "",
                      "<html>登录页</html>", "\xff\xfe{\"status\":\"YES\"}"));

// No exchange at all: the address is to blame.
class UnreachableSignIn : public SignIn, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnreachableSignIn, BlamesTheAddress) {
    const std::string address = GetParam() == "closed port" ? unreachableAddress() : GetParam();
    const LoginVO vo = record(address);
    LoginBO().loginOperation(vo);

    EXPECT_EQ(failure(), " [OA地址] 填写错误！");
    EXPECT_EQ(GlobalVar::getInstance_global().oa(), address);
    EXPECT_EQ(GlobalVar::getInstance_global().session_id(), std::nullopt);
    EXPECT_EQ(LoginBO().getPlistInfo(), vo);
    EXPECT_TRUE(server.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(Addresses, UnreachableSignIn,
                         ::testing::Values("closed port", "", "http://", "ftp://127.0.0.1",
                                           "http://[::1"));

// An empty address makes "http:///mobile/login.php", in which libcurl would find the host
// "mobile": the name and password must not leave the machine, not even through a proxy.
TEST_F(SignIn, EmptyAddressSendsNothingEvenThroughAProxy) {
    ProxyThrough through(server);
    for (const char* typed : {"", "http://", "https://", "HTTP:///"}) {
        SCOPED_TRACE(typed);
        results.clear();
        LoginBO().loginOperation(record(UrlText(typed)));
        EXPECT_EQ(failure(), " [OA地址] 填写错误！");
    }
    EXPECT_EQ(server.connectionsAccepted(), 0);
}

struct UrlCase {
    const char* typed;
    const char* used;
};

class UrlTextCases : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlTextCases, GivesEveryAddressAScheme) {
    EXPECT_EQ(UrlText(GetParam().typed), GetParam().used);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, UrlTextCases,
    ::testing::Values(UrlCase{"192.168.1.20:8080", "http://192.168.1.20:8080"},
                      UrlCase{"oa.example.com", "http://oa.example.com"},
                      UrlCase{"http://oa.example.com", "http://oa.example.com"},
                      UrlCase{"HTTP://OA.example.com", "HTTP://OA.example.com"},
                      UrlCase{"HtTpS://oa.example.com:443", "HtTpS://oa.example.com:443"},
                      UrlCase{"https://", "https://"}, UrlCase{"", "http://"},
                      UrlCase{"http:/oa", "http://http:/oa"},
                      UrlCase{"ftp://oa", "http://ftp://oa"},
                      UrlCase{" http://oa", "http:// http://oa"},
                      UrlCase{"办公.example.cn", "http://办公.example.cn"}));

}  // namespace
}  // namespace oa::test
