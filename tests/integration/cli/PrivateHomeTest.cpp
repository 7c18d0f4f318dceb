// The home is the user's own: oa-cli refuses a home whose trust file another user could have
// written, and what the client writes there (settings, voice messages) is private.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "core/platform/AppPaths.h"
#include "core/protocol/MessageBO.h"
#include "core/session/HomeCheck.h"
#include "integration/ClientFixture.h"
#include "integration/cli/CliRun.h"

namespace oa::test {
namespace {
namespace fs = std::filesystem;

// Another user's trust file would pin that user's key for the server the password goes to.
TEST(PrivateHomeCliTest, ForeignTrustFileStopsOaCli) {
    TempHome temp;
    const fs::path home = temp.path() / "home";
    fs::create_directories(home / "Documents");
    const fs::path trust = home / "Documents/TrustPlist.plist";
    std::ofstream(trust) << "<plist version=\"1.0\"><dict/></plist>\n";
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(
        root ? ::chown(trust.c_str(), 65534, static_cast<gid_t>(-1)) : ::chmod(trust.c_str(), 0666),
        0);

    const auto refused = runCli({"trust", "list", "--home", home.string()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find(trust.string() + (root ? " belongs to" : " is writable by")),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.out, "");
}

class PrivateHomeTest : public ClientServerTest {};

// A fresh home after the start-up check: every folder 0700 and every file 0600, a downloaded
// voice message and its decoded sound included.
TEST_F(PrivateHomeTest, FilesWrittenUnderTheHomeArePrivate) {
    const fs::path home = home_.path() / "fresh";
    AppPaths::setCurrent(AppPaths(home, AppPaths::current().resources()));
    struct RestoreMask {
        mode_t mask = ::umask(022);
        ~RestoreMask() { ::umask(mask); }
    } restore;
    ASSERT_EQ(HomeCheck::prepare(), std::nullopt);

    ASSERT_TRUE(signInAs("zhangwei"));
    std::shared_ptr<MessageDetailVO> voice;
    for (const auto& row : MessageBO().getMessageDetail("10")) {
        if (row->isvoicemsg == "1") {
            voice = row;
        }
    }
    ASSERT_TRUE(voice);
    ASSERT_TRUE(
        MessageBO().getVoiceMessageAttachment_id(voice->attachment_id, voice->attachment_name));

    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        const auto mode = entry.status().permissions() & fs::perms::all;
        const bool folder = entry.is_directory();
        files += folder ? 0 : 1;
        EXPECT_EQ(mode,
                  folder ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write)
            << entry.path();
    }
    EXPECT_EQ(fs::status(home).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_GE(files, 4);  // the two settings files, the voice message and its sound at least
}

}  // namespace
}  // namespace oa::test
