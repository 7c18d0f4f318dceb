// The client's files are its user's alone: a home, folder or file that another user owns or may
// write could hold a sign-in record or a trusted key planted by that user, so it is refused, the
// way ssh refuses such a configuration. What the client writes is private to its user.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace oa {

class PrivatePath {
public:
    // Why `path` (followed if it is a link) cannot be trusted by the user `user`: it belongs to
    // someone other than that user or root, or its group or other users may write it. Nothing
    // for a path that is fine or does not exist.
    static std::optional<std::string> problem(const std::filesystem::path& path, uid_t user);
    static std::optional<std::string> problem(const std::filesystem::path& path);

    // From now on the files and folders this process makes are its user's alone (umask 077),
    // whatever mode the code that makes them asks for.
    static void restrictNewFiles();
    // The mode of a file the user saves outside the home on purpose (a picture to the album,
    // "另存为…"): what the user's own umask gives, as any other program would make it.
    static mode_t exportedFileMode();

    // Makes the folder `dir` (and its missing parents) with mode 0700; an existing folder is
    // left as it is. False when it cannot be made or is no folder.
    static bool makeFolder(const std::filesystem::path& dir);
};

}  // namespace oa
