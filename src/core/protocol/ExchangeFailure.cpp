// ExchangeFailure: telling a failed exchange from a reply, and saying why in one line.
#include "core/protocol/ExchangeFailure.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "core/platform/Utf8.h"
#include "core/transport/ASIHTTPRequest.h"

namespace oa {
namespace {

constexpr std::size_t kExcerptBytes = 160;

// The reply text on one line: each run of control characters (C0, DEL and the C1 range, which
// terminals may act on) becomes one space, a byte that is no UTF-8 "?"; cut on a character
// boundary.
std::string excerptOf(const std::string& text) {
    std::string out;
    bool cut = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length =
            std::max<std::size_t>(1, utf8SequenceLength(std::string_view(text).substr(i)));
        const bool c1 =
            byte == 0xC2 && length == 2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F || c1) {
            if (!out.empty() && out.back() != ' ') {
                out += ' ';
            }
        } else if (out.size() + length > kExcerptBytes) {
            cut = true;
            break;
        } else if (length == 1 && byte >= 0x80) {
            out += '?';
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    out = out.substr(first, out.find_last_not_of(' ') + 1 - first);
    return cut ? out + "..." : out;
}

}  // namespace

bool ExchangeFailure::timedOut() const {
    return error && error->type == RequestErrorType::TimedOut;
}

std::string ExchangeFailure::reason() const {
    if (error) {
        return url + ": " + error->description;
    }
    std::string text = url + ": the server answered HTTP " + std::to_string(status);
    if (!excerpt.empty()) {
        text += ": " + excerpt;
    }
    return text;
}

std::optional<ExchangeFailure> ExchangeFailure::of(const ASIHTTPRequest& request) {
    if (request.error()) {
        return ExchangeFailure{request.url(), request.error(), 0, {}};
    }
    const int status = request.responseStatusCode();
    if (status >= 200 && status <= 299) {
        return std::nullopt;
    }
    return ExchangeFailure{request.url(), std::nullopt, status,
                           excerptOf(request.responseString())};
}

}  // namespace oa
