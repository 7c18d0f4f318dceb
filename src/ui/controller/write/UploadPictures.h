// UploadPictures: the picture files the editors upload, "uploadedfile<n>.png" in the home's
// "tmp" folder. A new picture takes the lowest number no file there has, so it never replaces
// the file of a picture still listed.
#pragma once

#include <QImage>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace oa {

class UploadPictures {
public:
    // AppPaths::current().temporary().
    static std::filesystem::path folder();
    // The path the next picture would be stored at in `dir`.
    static std::filesystem::path nextPath(const std::filesystem::path& dir);
    // Encodes `picture` as PNG (as JPEG of quality 1.0 when PNG fails) into the next file of
    // `dir`, created when missing. Nothing for a null picture or a failed write.
    static std::optional<std::string> store(const QImage& picture,
                                            const std::filesystem::path& dir = folder());
    // Reads the picture file at `source` and stores it; nothing when it is no picture.
    static std::optional<std::string> storeFile(const std::string& source,
                                                const std::filesystem::path& dir = folder());
    // Removes the files; missing ones are ignored.
    static void remove(const std::vector<std::string>& paths);
};

}  // namespace oa
