// TempHome: mkdtemp under the system temporary folder.
#include "support/TempHome.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace oa::test {
namespace fs = std::filesystem;

TempHome::TempHome() : previous_(AppPaths::current()) {
    std::string pattern = (fs::temp_directory_path() / "oa-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    home_ = pattern;
    AppPaths::setCurrent(paths());
    paths().ensureDirectories();
}

TempHome::~TempHome() {
    AppPaths::setCurrent(previous_);
    std::error_code ec;
    fs::remove_all(home_, ec);
}

AppPaths TempHome::paths() const {
    return AppPaths(home_, previous_.resources());
}

}  // namespace oa::test
