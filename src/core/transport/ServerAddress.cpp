// ServerAddress on libcurl's URL parser, the one that reads the address when it is requested.
#include "core/transport/ServerAddress.h"

#include <mutex>
#include <set>

#include "core/platform/Log.h"
#include "core/transport/CurlUrl.h"
#include "core/transport/HeaderList.h"
#include "core/transport/SendableUrl.h"

namespace oa {
namespace {

// How libcurl reads a Location it follows: spaces and bytes beyond ASCII are escaped.
constexpr unsigned int kReferenceFlags = CURLU_URLENCODE | CURLU_ALLOW_SPACE;

struct Origin {
    std::string scheme;
    std::string host;
    std::string port;
    bool userInfo = false;
};

std::optional<Origin> originOf(const std::string& url) {
    CurlUrlPtr parsed(curl().url());
    if (!parsed || curl().url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        return std::nullopt;
    }
    const CurlText scheme = urlPart(parsed.get(), CURLUPART_SCHEME);
    const CurlText host = urlPart(parsed.get(), CURLUPART_HOST);
    const CurlText port = urlPart(parsed.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host || !port) {
        return std::nullopt;
    }
    const bool userInfo = urlPart(parsed.get(), CURLUPART_USER) != nullptr ||
                          urlPart(parsed.get(), CURLUPART_PASSWORD) != nullptr;
    return Origin{scheme.get(), host.get(), port.get(), userInfo};
}

// "scheme:" before any "/", "?" or "#": the text is a full URL of its own.
bool hasScheme(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (c == ':') {
            return i > 0;
        }
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
            return false;
        }
    }
    return false;
}

// The path as a browser reads it, or nothing when it holds a control character there is no
// reading of.
std::optional<std::string> browserReading(std::string_view path) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!path.empty() && blank(path.front())) {
        path.remove_prefix(1);
    }
    while (!path.empty() && blank(path.back())) {
        path.remove_suffix(1);
    }
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        if (c == '\t' || c == '\r' || c == '\n') {
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return std::nullopt;
        }
        out += c == '\\' ? '/' : c;
    }
    return out;
}

// A refused path is logged the first time only: a list redraws its rows again and again.
void logRefusal(const std::string& server, std::string_view path) {
    static std::mutex mutex;
    static std::set<std::string> logged;  // Guarded by mutex.
    constexpr std::size_t kMaxRemembered = 256;
    std::lock_guard lock(mutex);
    if (logged.size() >= kMaxRemembered || !logged.insert(std::string(path)).second) {
        return;
    }
    std::string shown(path);
    for (char& c : shown) {
        c = static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    }
    log("address refused, it does not stay on " + server + ": \"" + shown + "\"");
}

}  // namespace

std::optional<std::string> resolveUrl(const std::string& base, const std::string& reference) {
    CurlUrlPtr parsed(curl().url());
    if (!parsed || curl().url_set(parsed.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK ||
        curl().url_set(parsed.get(), CURLUPART_URL, reference.c_str(), kReferenceFlags) !=
            CURLUE_OK) {
        return std::nullopt;
    }
    const CurlText url = urlPart(parsed.get(), CURLUPART_URL);
    if (!url) {
        return std::nullopt;
    }
    return std::string(url.get());
}

bool staysOnServer(const std::string& server, const std::string& url) {
    const auto home = originOf(server);
    const auto there = originOf(url);
    return home && there && !there->userInfo && isSendableUrl(url) &&
           equalsIgnoringCase(home->scheme, there->scheme) &&
           equalsIgnoringCase(home->host, there->host) && home->port == there->port;
}

std::optional<std::string> serverAddress(const std::string& server, std::string_view path) {
    std::optional<std::string> address;
    if (const auto reading = browserReading(path); reading && isSendableUrl(server)) {
        const std::string& text = *reading;
        if (hasScheme(text)) {
            address = resolveUrl(server, text);
        } else if (text.rfind("//", 0) == 0) {
            address = resolveUrl(server, server.substr(0, server.find(':') + 1) + text);
        } else {
            // "./" keeps the rest a path below the root, whatever it looks like.
            const std::string root = server.back() == '/' ? server : server + "/";
            address = resolveUrl(root, "./" + text.substr(text.rfind('/', 0) == 0 ? 1 : 0));
        }
    }
    if (!address || !staysOnServer(server, *address)) {
        logRefusal(server, path);
        return std::nullopt;
    }
    return address;
}

}  // namespace oa
