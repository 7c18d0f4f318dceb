// Page links and reminder addresses.
#include "core/protocol/WebLinks.h"

#include <string_view>

namespace oa {

LinkAction linkAction(const std::string& url, const std::string& oa) {
    constexpr std::string_view kScheme = "message:";
    if (url.compare(0, kScheme.size(), kScheme) != 0) {
        return {};
    }
    // "message:" + category + separator: anything shorter names no attachment.
    constexpr std::size_t kPathStart = kScheme.size() + 2;
    if (url.size() < kPathStart) {
        return {LinkAction::Type::Refuse};
    }
    const char category = url[kScheme.size()];
    LinkAction action{LinkAction::Type::OpenAttachment};
    action.category = category >= '0' && category <= '9' ? category - '0' : 0;
    action.address = oa + url.substr(kPathStart);
    return action;
}

std::string base64Encode(const std::string& bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve(4 * ((bytes.size() + 2) / 3));
    std::size_t at = 0;
    for (; at + 3 <= bytes.size(); at += 3) {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        const auto c = static_cast<unsigned char>(bytes[at + 2]);
        out += kAlphabet[a >> 2];
        out += kAlphabet[((a & 0x3) << 4) | (b >> 4)];
        out += kAlphabet[((b & 0xf) << 2) | (c >> 6)];
        out += kAlphabet[c & 0x3f];
    }
    if (const std::size_t rest = bytes.size() - at; rest > 0) {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = rest > 1 ? static_cast<unsigned char>(bytes[at + 1]) : 0;
        out += kAlphabet[a >> 2];
        out += kAlphabet[((a & 0x3) << 4) | (b >> 4)];
        out += rest > 1 ? kAlphabet[(b & 0xf) << 2] : '=';
        out += '=';
    }
    return out;
}

std::string reminderAddress(const std::string& oa, const std::string& sessionId,
                            const std::string& address) {
    return oa + "/mobile/go.php?P=" + sessionId + "&MobileWebViewURL=" + base64Encode(address);
}

}  // namespace oa
