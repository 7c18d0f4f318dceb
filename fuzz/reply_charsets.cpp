// Fuzz target: any bytes as a reply body in any charset the transport decodes. The first line is
// a Content-Type value; its charset, when this machine knows it, decodes the rest, and so does
// each charset of a list of those OA servers use. Nothing may crash or hang, the text is always
// valid UTF-8, and ASCII bytes of an ASCII-compatible reply come through unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "core/platform/Utf8.h"
#include "core/transport/CharsetDecoder.h"

namespace {

using oa::fuzz::require;

constexpr const char* kCharsets[] = {
    "UTF-8",      "utf8",         "GBK",    "GB2312",       "GB18030",     "BIG5",
    "BIG5-HKSCS", "ISO-8859-1",   "latin1", "windows-1252", "UTF-16",      "UTF-16LE",
    "UTF-16BE",   "UTF-32",       "UCS-2",  "UTF-7",        "ISO-2022-JP", "ISO-2022-CN",
    "HZ-GB-2312", "SHIFT_JIS",    "EUC-JP", "EUC-KR",       "KOI8-R",      "no-such-charset",
    "",           "UTF-8//IGNORE"};

void decode(std::string_view body, const std::string& charset) {
    const std::string text = oa::CharsetDecoder::toUtf8(body, charset);
    require(oa::isValidUtf8(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto lineEnd = input.find('\n');
    const std::string_view contentType = input.substr(0, lineEnd);
    const std::string_view body =
        lineEnd == std::string_view::npos ? std::string_view() : input.substr(lineEnd + 1);

    if (const auto charset = oa::CharsetDecoder::charsetOf(contentType)) {
        require(!charset->empty());
        (void)oa::CharsetDecoder::isKnown(*charset);
        decode(body, *charset);
    }
    // Four charsets of the list per input, chosen by its first byte: every charset is covered
    // across the inputs without opening a converter for each one every time.
    constexpr std::size_t kCount = std::size(kCharsets);
    const std::size_t first = size > 0 ? data[0] : 0;
    for (std::size_t i = 0; i < 4; ++i) {
        decode(body, kCharsets[(first + i * 7) % kCount]);
    }
    // Plain ASCII reads the same in every ASCII-compatible charset.
    if (body.find_first_of("~\\\x1b+") == std::string_view::npos &&
        std::all_of(body.begin(), body.end(), [](char c) { return c > 0 && c < 0x7f; })) {
        for (const char* charset : {"UTF-8", "GBK", "GB18030", "ISO-8859-1", "windows-1252"}) {
            require(oa::CharsetDecoder::toUtf8(body, charset) == body);
        }
    }
    return 0;
}
