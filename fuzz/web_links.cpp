// Fuzz target: any bytes as a link a server page follows and as a reminder's address. A
// "message:" link opens an attachment on the page's server (never on another scheme, host or
// port) or is refused, never loads; any other link loads. A reminder's go.php address carries the
// address in Base64 that decodes back to exactly the bytes given, whatever they are, and nothing
// else is added to the query.
#include <openssl/evp.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFiles.h"
#include "core/protocol/WebLinks.h"
#include "core/transport/ServerAddress.h"

namespace {

using oa::fuzz::require;
using Action = oa::LinkAction;

constexpr char kOa[] = "http://oa.example:8080";

// Decodes standard padded Base64 with OpenSSL, dropping the zero bytes that stand for padding.
std::string decodeBase64(const std::string& text) {
    std::string out(text.size() / 4 * 3 + 3, '\0');
    const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                       reinterpret_cast<const unsigned char*>(text.data()),
                                       static_cast<int>(text.size()));
    require(length >= 0);
    std::size_t padding = 0;
    for (auto it = text.rbegin(); it != text.rend() && *it == '='; ++it) {
        ++padding;
    }
    out.resize(static_cast<std::size_t>(length) - padding);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    const Action action = oa::linkAction(input, kOa);
    const bool message = input.rfind("message:", 0) == 0;
    require((action.type == Action::Type::Load) == !message);
    if (action.type == Action::Type::OpenAttachment) {
        require(action.category >= 0 && action.category <= 9);
        require(action.address.rfind(std::string(kOa) + "/", 0) == 0);
        require(oa::staysOnServer(kOa, action.address));
    }

    const std::string go = oa::reminderAddress(kOa, "s9", input);
    const std::string prefix = std::string(kOa) + "/mobile/go.php?P=s9&MobileWebViewURL=";
    require(go.rfind(prefix, 0) == 0);
    // The Base64 goes as a query value: "+", "/" and "=" percent-encoded, nothing else.
    std::string encoded;
    const std::string escaped = go.substr(prefix.size());
    require(escaped.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                      "0123456789%") == std::string::npos);
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '%') {
            encoded += escaped[i];
            continue;
        }
        const std::string code = escaped.substr(i + 1, 2);
        require(code == "2B" || code == "2F" || code == "3D");
        encoded += code == "2B" ? '+' : code == "2F" ? '/' : '=';
        i += 2;
    }
    require(encoded.size() % 4 == 0);
    require(decodeBase64(encoded) == input);
    return 0;
}
