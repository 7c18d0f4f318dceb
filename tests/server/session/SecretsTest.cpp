// What lets someone act as a user stays out of reach: the session cookie is out of scripts'
// reach and, over TLS, off plain HTTP; the verbose log shows neither passwords (the IM login's
// scrambled one included) nor sessions.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "server/HttpSupport.h"
#include "server/ServerFixture.h"

namespace oa::test {
namespace {

class SessionCookieTest : public ServerFixture, public ::testing::WithParamInterface<bool> {
protected:
    void configure(ServerOptions& options) override { options.tlsSelfSigned = GetParam(); }
};

TEST_P(SessionCookieTest, IsHttpOnlyAndSecureOverTls) {
    httplib::Client http(std::string(GetParam() ? "https://" : "http://") + kHost + ":" +
                         std::to_string(server_->httpPort()));
    http.enable_server_certificate_verification(false);
    const auto login = http.Post("/mobile/login.php",
                                 httplib::Params{{"USERNAME", "liuli"}, {"PASSWORD", "123456"}});
    ASSERT_TRUE(login);
    const std::string cookie = login->get_header_value("Set-Cookie");
    ASSERT_EQ(cookie.rfind("OA_SESSION=", 0), 0u) << cookie;
    std::vector<std::string> attributes;
    for (const std::string& piece : HttpSupport::split(cookie, ';')) {
        attributes.push_back(piece.substr(piece.find_first_not_of(' ')));
    }
    auto has = [&](const char* name) {
        return std::find(attributes.begin(), attributes.end(), name) != attributes.end();
    };
    EXPECT_TRUE(has("HttpOnly")) << cookie;
    EXPECT_EQ(has("Secure"), GetParam()) << cookie;
}

INSTANTIATE_TEST_SUITE_P(Schemes, SessionCookieTest, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "https" : "http"; });

class VerboseLogTest : public ServerFixture {
protected:
    void configure(ServerOptions& options) override { options.verbose = true; }
};

TEST_F(VerboseLogTest, ShowsNeitherPasswordsNorSessions) {
    const std::string session = signIn("lina");
    ASSERT_FALSE(session.empty());
    listPage("/mobile/news/data.php", session, "loadList");
    client()->Get("/mobile/workflow/?P=" + session);
    const auto im = imLogin("lina");
    // Request lines are written after their replies have gone out.
    auto logged = [this](const std::string& text) {
        const auto lines = logLines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    };
    for (int i = 0; i < 200 && !logged("GET /mobile/workflow/"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(logged("P=***"));
    EXPECT_TRUE(logged("IM <- C^m^l^lina^***^"));
    for (const std::string& line : logLines()) {
        for (const std::string& secret : {std::string("123456"), scramble("123456"), session}) {
            EXPECT_EQ(line.find(secret), std::string::npos) << line;
        }
    }
}

}  // namespace
}  // namespace oa::test
