// Addresses built from text a server sent: a redirect's Location, an avatar, an attachment link.
// Such text is resolved against a known address as a browser would, and it is used only while it
// names the same server (scheme, host and port): a path glued to the server address, such as
// "@other-host:port/x", must never carry a request, the session or a password elsewhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace oa {

// `reference` (a full URL, "//host/path", "/path", "path", "?query") resolved against the
// absolute URL `base` the way libcurl follows a redirect; nothing when libcurl cannot read it.
std::optional<std::string> resolveUrl(const std::string& base, const std::string& reference);

// Whether the absolute URL `url` names the server of `server`: the same scheme, host and port
// (the scheme's default when absent), case aside, and no user name of its own.
bool staysOnServer(const std::string& server, const std::string& url);

// The address of `path`, as the server at `server` wrote it, on that server. The configured
// address stands for the server's root: "/a" and "a" both lead to server + "/a"; "//host/a" and
// full URLs count only when they name the same server. White space at the ends and line breaks
// are dropped and "\" reads as "/", as a browser reads them. Anything that leads to another
// server (or cannot be read) gives nothing, and is logged once.
std::optional<std::string> serverAddress(const std::string& server, std::string_view path);

}  // namespace oa
