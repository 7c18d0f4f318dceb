// Which process of this machine owns a local UDP port bound on every interface. Such binds share
// the port (SO_REUSEADDR, so that a service bound to one address can run beside them), and the
// system would let a second client bind it too and take the first one's datagrams; the claim, a
// lock on a file named after the port, lets only one of them bind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/platform/FileLock.h"

namespace oa {

class PortClaim {
public:
    // Whether a bind of `port` on `localAddress` ("" for every interface) needs a claim: a
    // fixed port on every interface does; a port the system picks, or one specific address,
    // does not.
    static bool isNeeded(std::uint16_t port, const std::string& localAddress);
    // /tmp/oa-client-port-<port>.lock, the same for every user and environment of the machine.
    static std::filesystem::path lockPath(std::uint16_t port);

    // Claims `port` without waiting; held() tells whether it worked and error() why not.
    static PortClaim claim(std::uint16_t port);

    PortClaim() = default;  // claims nothing

    bool held() const { return lock_.held(); }
    // "local port 1188 is held by another client", or why the lock file could not be used.
    const std::string& error() const { return error_; }

private:
    FileLock lock_;
    std::string error_;
};

}  // namespace oa
