// The one way a file name that a server or a page proposes becomes part of a local path: it is
// cut down to a plain name in a single folder, whatever folders, controls or length it came with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace oa {

class SafeFileName {
public:
    // Local file systems take 255 bytes a name; the rest of the room goes to " (2)", ".part" and
    // the temporary names written beside the file.
    static constexpr std::size_t kMaxBytes = 120;
    // A longer tail after the last dot is no extension worth keeping when the name is cut.
    static constexpr std::size_t kMaxExtensionBytes = 16;

    // The last part of `name` after any '/' or '\'; controls, bytes that are not UTF-8 and the
    // characters desktop file systems refuse (: * ? " < > |) become '_'; surrounding spaces go;
    // a name over kMaxBytes is cut on a character boundary, keeping its extension. Empty for
    // nothing left, ".", "..", so that the caller picks a name of its own.
    static std::string of(std::string_view name);
};

}  // namespace oa
