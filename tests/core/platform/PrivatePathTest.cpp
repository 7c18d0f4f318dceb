// What the client refuses to trust in its home: a path of another user, or one its group or
// other users may write; and where the home is when no variable names one.
#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "core/platform/AppPaths.h"
#include "core/platform/PrivatePath.h"
#include "support/TempHome.h"

namespace oa::test {
namespace {
namespace fs = std::filesystem;

using ::testing::HasSubstr;

constexpr uid_t kNobody = 65534;

struct PathCase {
    const char* name;
    bool folder;
    mode_t mode;
    bool foreignOwner;   // given to nobody (needs root)
    const char* reason;  // "" for a path that is fine
};

class PrivatePathTest : public ::testing::TestWithParam<PathCase> {
protected:
    TempHome home_;
};

TEST_P(PrivatePathTest, RefusesForeignOrWritableByOthers) {
    const PathCase& c = GetParam();
    if (c.foreignOwner && ::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    const fs::path path = home_.path() / "item";
    if (c.folder) {
        fs::create_directory(path);
    } else {
        std::ofstream(path) << "x";
    }
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    if (c.foreignOwner) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, static_cast<gid_t>(-1)), 0);
    }
    const auto problem = PrivatePath::problem(path);
    if (*c.reason == '\0') {
        EXPECT_EQ(problem, std::nullopt);
    } else {
        ASSERT_TRUE(problem);
        EXPECT_THAT(*problem, HasSubstr(path.string()));
        EXPECT_THAT(*problem, HasSubstr(c.reason));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PrivatePathTest,
    ::testing::Values(PathCase{"OwnFile", false, 0600, false, ""},
                      PathCase{"OwnFileReadableByAll", false, 0644, false, ""},
                      PathCase{"OwnFolder", true, 0755, false, ""},
                      PathCase{"GroupWritable", false, 0660, false, "writable by its group"},
                      PathCase{"OthersWritable", false, 0606, false, "writable by other users"},
                      PathCase{"SharedFolder", true, 01777, false,
                               "writable by its group and other users"},
                      PathCase{"ForeignFile", false, 0600, true, "belongs to"},
                      PathCase{"ForeignFolder", true, 0700, true, "belongs to"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(PrivatePathMissingTest, MissingPathIsNoProblem) {
    TempHome home;
    EXPECT_EQ(PrivatePath::problem(home.path() / "none"), std::nullopt);
}

// Without HOME and the client's own variables, the home is under the passwd entry's home folder,
// never in the shared temporary folder where another user could make it first.
TEST(AppPathsResolveTest, WithoutVariablesTheHomeIsUnderThePasswdHome) {
    const char* names[] = {"OA_HOME", "XDG_DATA_HOME", "HOME"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        ::unsetenv(name);
    }
    const fs::path home = AppPaths::resolve().home();
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i]) {
            ::setenv(names[i], saved[i]->c_str(), 1);
        }
    }
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(home, fs::path(entry->pw_dir) / ".local/share/oa-client");
}

}  // namespace
}  // namespace oa::test
