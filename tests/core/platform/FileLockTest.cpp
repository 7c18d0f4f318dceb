// The lock file: one holder at a time (two open files of one process exclude each other as two
// processes would), released with its holder and not by a moved-from one, and no lock through
// a planted link, FIFO or folder.
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "core/platform/FileLock.h"
#include "support/TempHome.h"

namespace oa::test {
namespace {
namespace fs = std::filesystem;

using ::testing::HasSubstr;
using State = FileLock::State;

class FileLockTest : public ::testing::Test {
protected:
    fs::path file(const char* name) const { return home_.path() / name; }

    TempHome home_;
};

TEST_F(FileLockTest, OneHolderAtATimeUntilItIsGone) {
    const fs::path path = file("settings.lock");
    {
        FileLock first = FileLock::acquire(path);
        ASSERT_EQ(first.state(), State::Held) << first.error();
        EXPECT_EQ(first.error(), "");

        FileLock second = FileLock::tryAcquire(path);
        EXPECT_EQ(second.state(), State::Busy);
        EXPECT_THAT(second.error(), HasSubstr(path.string()));

        // Moving the lock moves the holding of it; the moved-from object gives nothing up.
        FileLock moved = std::move(first);
        EXPECT_FALSE(first.held());
        { FileLock discarded = std::move(first); }
        EXPECT_EQ(FileLock::tryAcquire(path).state(), State::Busy);
        EXPECT_TRUE(moved.held());
    }
    EXPECT_EQ(FileLock::tryAcquire(path).state(), State::Held);
    EXPECT_EQ(FileLock::acquire(path).state(), State::Held);
}

TEST_F(FileLockTest, MakesTheFileWithTheModeAskedForWhateverTheUmask) {
    const mode_t previous = ::umask(077);
    {
        FileLock lock = FileLock::acquire(file("shared.lock"), 0644);
        EXPECT_TRUE(lock.held()) << lock.error();
    }
    ::umask(previous);
    struct stat info {};
    ASSERT_EQ(::stat(file("shared.lock").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(FileLockTest, TakesNoLockThroughWhatIsNotAPlainFile) {
    // A link planted where the lock file goes, as another user could in a shared folder: the
    // file it points to is neither made nor locked.
    const fs::path target = file("elsewhere");
    fs::create_symlink(target, file("link.lock"));
    ASSERT_EQ(::mkfifo(file("fifo.lock").c_str(), 0600), 0);
    fs::create_directory(file("folder.lock"));

    for (const char* name : {"link.lock", "fifo.lock", "folder.lock"}) {
        SCOPED_TRACE(name);
        FileLock lock = FileLock::acquire(file(name));
        EXPECT_EQ(lock.state(), State::Failed);
        EXPECT_THAT(lock.error(), HasSubstr(file(name).string()));
    }
    EXPECT_FALSE(fs::exists(target));

    FileLock nowhere = FileLock::tryAcquire(file("missing-folder") / "x.lock");
    EXPECT_EQ(nowhere.state(), State::Failed);
    EXPECT_THAT(nowhere.error(), HasSubstr("cannot open lock file"));
}

}  // namespace
}  // namespace oa::test
