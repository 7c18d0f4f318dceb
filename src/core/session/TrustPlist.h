// The trusted servers, "TrustPlist.plist" in the documents folder beside the two settings files:
// one entry per "host:port" with the Base64 SHA-256 of the public key the user trusted there.
// A file of its own, since saving the environments replaces SetPlist.plist whole.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace oa {

struct TrustedServer {
    std::string hostPort;  // "host:port"
    std::string pin;       // Base64 SHA-256 of the public key
    std::string subject;   // of the certificate trusted, for the list
    // "AB:CD:..." of the pin.
    std::string fingerprint() const;
};

// Stateless like PlistManager: every call reads the file anew. Writes replace the file
// atomically (mode 0600) under a lock shared with other processes of the same home. A file that
// cannot be read as this list trusts nothing, and says so in the log.
class TrustPlist {
public:
    std::filesystem::path filePath() const;

    // Sorted by hostPort.
    std::vector<TrustedServer> list() const;
    std::optional<TrustedServer> find(const std::string& hostPort) const;
    // Adds the server or replaces its pin. A corrupt file is started over. False when the file
    // could not be written.
    bool trust(const TrustedServer& server) const;
    // False when there was no such entry or the file could not be written.
    bool remove(const std::string& hostPort) const;

    // Makes the transport pin every server of this file (of the current home), read anew
    // whenever the file changes, also when another process changed it.
    static void installAsPinSource();
};

}  // namespace oa
