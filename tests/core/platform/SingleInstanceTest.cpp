// One client per home: a later client raises the first and ends; a socket left by a client that
// crashed is taken over; clients starting together end with one; another home is another client.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <future>

#include "core/platform/SingleInstance.h"
#include "support/TempHome.h"

namespace oa::test {
namespace {
namespace fs = std::filesystem;
using Outcome = SingleInstance::Outcome;

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() {
        ::unsetenv("XDG_RUNTIME_DIR");  // the sockets go into the test's own home
        fs::create_directories(tmp());
        fs::permissions(tmp(), fs::perms::owner_all);
    }
    fs::path tmp() const { return home_.path() / "tmp"; }
    fs::path socketFor(const fs::path& home) const {
        return SingleInstance::socketPath(home, tmp()).value();
    }

    TempHome home_;
};

TEST_F(SingleInstanceTest, LaterClientRaisesTheFirst) {
    const fs::path socket = socketFor(home_.path());
    SingleInstance first(socket);
    ASSERT_EQ(first.start(), Outcome::First);
    std::promise<void> raised;
    first.listen([&raised] { raised.set_value(); });

    EXPECT_EQ(SingleInstance(socket).start(), Outcome::Raised);
    EXPECT_EQ(raised.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

TEST_F(SingleInstanceTest, SocketOfACrashedClientIsTakenOver) {
    const fs::path socket = socketFor(home_.path());
    {  // bound, then closed without removing the file: connecting is refused
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, socket.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    SingleInstance next(socket);
    EXPECT_EQ(next.start(), Outcome::First);
    next.listen([] {});
    EXPECT_EQ(SingleInstance(socket).start(), Outcome::Raised);
}

TEST_F(SingleInstanceTest, ClientsStartingTogetherEndWithOne) {
    const fs::path socket = socketFor(home_.path());
    std::atomic<int> firsts = 0;
    std::atomic<int> raised = 0;
    auto client = [&] {
        auto instance = std::make_unique<SingleInstance>(socket);
        const Outcome outcome = instance->start();
        if (outcome == Outcome::First) {
            ++firsts;
            instance->listen([] {});
            return instance;
        }
        raised += outcome == Outcome::Raised ? 1 : 0;
        return std::unique_ptr<SingleInstance>();
    };
    auto a = std::async(std::launch::async, client);
    auto b = std::async(std::launch::async, client);
    auto c = std::async(std::launch::async, client);
    // Kept alive until all three have ended.
    const auto kept = std::make_tuple(a.get(), b.get(), c.get());
    EXPECT_EQ(firsts, 1);
    EXPECT_EQ(raised, 2);
}

TEST_F(SingleInstanceTest, AnotherHomeIsAnotherClientTheSameHomeIsNot) {
    fs::create_directories(home_.path() / "other");
    const fs::path same = home_.path() / "other" / "..";  // the home, spelt another way
    EXPECT_EQ(socketFor(same), socketFor(home_.path()));

    SingleInstance first(socketFor(home_.path()));
    SingleInstance second(socketFor(home_.path() / "other"));
    EXPECT_EQ(first.start(), Outcome::First);
    EXPECT_EQ(second.start(), Outcome::First);
}

TEST_F(SingleInstanceTest, NoSocketInAFolderOthersMayEnter) {
    fs::permissions(tmp(), fs::perms::group_exec, fs::perm_options::add);
    EXPECT_FALSE(SingleInstance::socketPath(home_.path(), tmp()));
}

}  // namespace
}  // namespace oa::test
