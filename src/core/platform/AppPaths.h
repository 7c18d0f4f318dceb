// Where the application keeps its files: home, Documents/, tmp/ and the shipped resources.
#pragma once

#include <filesystem>
#include <optional>

namespace oa {

class AppPaths {
public:
    // Home from `homeOverride` (--home), else $OA_HOME, else $XDG_DATA_HOME/oa-client, else
    // $HOME/.local/share/oa-client, else the same under the home of the user's passwd entry;
    // an empty home when there is none of these. Resources from $OA_RESOURCES, else next to the
    // executable, else where they are installed (../share/oa-client/resources from the
    // executable's folder), else the source tree's resources folder.
    static AppPaths resolve(const std::optional<std::filesystem::path>& homeOverride = {});
    AppPaths(std::filesystem::path home, std::filesystem::path resources);

    const std::filesystem::path& home() const { return home_; }
    std::filesystem::path documents() const { return home_ / "Documents"; }
    std::filesystem::path temporary() const { return home_ / "tmp"; }
    const std::filesystem::path& resources() const { return resources_; }

    // Creates home, Documents/ and tmp/ when missing, each of mode 0700. Returns false when one
    // cannot be made, or the home is empty.
    bool ensureDirectories() const;

    // The paths the process uses; resolve() with no override until setCurrent() is called.
    static AppPaths current();
    static void setCurrent(const AppPaths& paths);

private:
    std::filesystem::path home_;
    std::filesystem::path resources_;
};

}  // namespace oa
