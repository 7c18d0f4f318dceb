// Fuzz target: any bytes as a file name a server or a page proposes. What is left is a plain name
// of at most 120 bytes in one folder, without controls, and cleaning it again changes nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "core/protocol/SafeFileName.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using oa::fuzz::require;
    const std::string safe =
        oa::SafeFileName::of(std::string_view(reinterpret_cast<const char*>(data), size));
    require(safe.size() <= oa::SafeFileName::kMaxBytes);
    require(safe != "." && safe != "..");
    for (const char c : safe) {
        require(c != '/' && c != '\\' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    }
    require(oa::SafeFileName::of(safe) == safe);
    return 0;
}
