// oa-cli settings commands run at the same time on one home, each setting its own keys: every
// change is kept.
#include <gtest/gtest.h>

#include <memory>

#include "core/session/PlistManager.h"
#include "integration/ClientFixture.h"
#include "integration/Subprocess.h"

namespace oa::test {
namespace {

TEST(SettingsWritersTest, CommandsRunTogetherKeepEveryChange) {
    const std::vector<std::vector<std::string>> commands{
        {"env", "1", "总部", "http://10.0.0.1"},
        {"env", "2", "分部", "http://10.0.0.2"},
        {"env", "3", "外网", "http://oa.example.com"},
        {"port", "2288"},
    };
    const SetDictionary expected{
        {"name1", "总部"},          {"ip1", "http://10.0.0.1"}, {"name2", "分部"},
        {"ip2", "http://10.0.0.2"}, {"name3", "外网"},          {"ip3", "http://oa.example.com"},
        {"im_port", "2288"},
    };
    // Each round on a fresh home, so that every command's read-modify-write can meet the others.
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TempHome home;
        std::vector<std::unique_ptr<Subprocess>> running;
        for (const auto& command : commands) {
            std::vector<std::string> argv{OA_CLI_PATH, "settings", "--home", home.path().string()};
            argv.insert(argv.end(), command.begin(), command.end());
            running.push_back(std::make_unique<Subprocess>(argv));
            ASSERT_TRUE(running.back()->started());
        }
        for (const auto& process : running) {
            EXPECT_EQ(process->wait(kWaitLimit), 0) << process->err();
        }
        const auto settings = PlistManager().getSetInfo();
        ASSERT_TRUE(settings);
        for (const auto& [key, value] : expected) {
            const auto it = settings->find(key);
            EXPECT_TRUE(it != settings->end() && it->second == value)
                << key << " lost: " << (it == settings->end() ? "(absent)" : it->second);
        }
    }
}

}  // namespace
}  // namespace oa::test
