// HomeCheck: the folders and the files that decide whom the client trusts.
#include "core/session/HomeCheck.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "core/platform/AppPaths.h"
#include "core/platform/PrivatePath.h"
#include "core/session/PlistManager.h"
#include "core/session/TrustPlist.h"

namespace oa {
namespace fs = std::filesystem;

std::optional<std::string> HomeCheck::prepare() {
    PrivatePath::restrictNewFiles();
    const AppPaths paths = AppPaths::current();
    if (paths.home().empty()) {
        return "no home folder: $OA_HOME, $XDG_DATA_HOME and $HOME are unset and uid " +
               std::to_string(::getuid()) +
               " has no home folder in the user database; give one with --home DIR";
    }
    const PlistManager settings;
    const fs::path checked[] = {paths.home(),
                                paths.documents(),
                                paths.temporary(),
                                settings.datafilePath(),
                                settings.dataSetFilePath(),
                                TrustPlist().filePath()};
    for (const auto& path : checked) {
        if (auto problem = PrivatePath::problem(path)) {
            return "refusing the home " + paths.home().string() + ": " + *problem;
        }
    }
    // Folders of an earlier version were readable by everyone; what they hold (voice messages,
    // pictures, downloads) is the user's alone.
    for (const auto& dir : {paths.documents(), paths.temporary()}) {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::group_all | fs::perms::others_all, fs::perm_options::remove,
                        ignored);
    }
    return std::nullopt;
}

}  // namespace oa
