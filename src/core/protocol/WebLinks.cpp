// Page links and reminder addresses.
#include "core/protocol/WebLinks.h"

#include <string_view>

#include "core/transport/FormBody.h"
#include "core/transport/ServerAddress.h"

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
    auto address = serverAddress(oa, std::string_view(url).substr(kPathStart));
    if (!address) {
        return {LinkAction::Type::Refuse};
    }
    const char category = url[kScheme.size()];
    LinkAction action{LinkAction::Type::OpenAttachment};
    action.category = category >= '0' && category <= '9' ? category - '0' : 0;
    action.address = std::move(*address);
    return action;
}

std::string reminderAddress(const std::string& oa, const std::string& sessionId,
                            const std::string& address) {
    // Base64 holds "+", "/" and "="; a bare "+" in a query is read back as a space.
    return serverAddress(oa, "/mobile/go.php?P=" + sessionId +
                                 "&MobileWebViewURL=" + FormBody::escape(base64Encode(address)))
        .value_or(std::string());
}

}  // namespace oa
