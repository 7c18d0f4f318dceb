// UploadPictures: the picture files the editors upload, "uploadedfile<n>.png" or ".jpg" in the
// home's "tmp" folder. A new picture takes the lowest number no file there has, so it never
// replaces the file of a picture still listed.
#pragma once

#include <QImage>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace oa {

class UploadPictures {
public:
    // oa-demo-server answers a request of more than 16 MiB with 413 (its maxRequestBytes). A
    // JPEG or PNG file under this size is sent as its own bytes; a larger picture is scaled down.
    static constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;
    // The longest side, in pixels, of a picture scaled down for being too large.
    static constexpr int kScaledSide = 2048;

    // AppPaths::current().temporary().
    static std::filesystem::path folder();
    // Encodes `picture` as PNG into the next file of `dir`, created when missing; as a JPEG
    // scaled to kScaledSide when the PNG would be too large. Nothing for a null picture or a
    // failed write.
    static std::optional<std::string> store(const QImage& picture,
                                            const std::filesystem::path& dir = folder());
    // Stores the picture file at `source`: a JPEG or PNG under kMaxPictureBytes byte for byte,
    // anything larger scaled down to a JPEG, other formats as store() does. Nothing when it is no
    // picture. Reads and encodes on the calling thread.
    static std::optional<std::string> storeFile(const std::string& source,
                                                const std::filesystem::path& dir = folder());
    // storeFile() on a background thread (a photo may take seconds to scale); `done` gets the
    // result on the main loop.
    static void storeFileInBackground(const std::string& source,
                                      std::function<void(std::optional<std::string>)> done,
                                      const std::filesystem::path& dir = folder());
    // Removes the files; missing ones are ignored.
    static void remove(const std::vector<std::string>& paths);
};

}  // namespace oa
