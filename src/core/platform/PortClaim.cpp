// PortClaim: the lock file of a local port, in the machine-wide temporary folder.
#include "core/platform/PortClaim.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

namespace oa {
namespace fs = std::filesystem;

bool PortClaim::isNeeded(std::uint16_t port, const std::string& localAddress) {
    if (port == 0) {
        return false;
    }
    if (localAddress.empty()) {
        return true;
    }
    in_addr v4{};
    if (::inet_pton(AF_INET, localAddress.c_str(), &v4) == 1) {
        return v4.s_addr == htonl(INADDR_ANY);
    }
    in6_addr v6{};
    return ::inet_pton(AF_INET6, localAddress.c_str(), &v6) == 1 &&
           std::memcmp(&v6, &in6addr_any, sizeof v6) == 0;
}

fs::path PortClaim::lockPath(std::uint16_t port) {
    // One folder for the whole machine: a per-user runtime folder or a $TMPDIR of one process
    // would let two clients (of one user or of two) both bind the port, each with its own lock.
    return fs::path("/tmp") / ("oa-client-port-" + std::to_string(port) + ".lock");
}

PortClaim PortClaim::claim(std::uint16_t port) {
    PortClaim claim;
    // Readable by everyone: where the file is shared between users (/tmp), another user's client
    // must be able to open it to find the port taken.
    claim.lock_ = FileLock::tryAcquire(lockPath(port), 0644);
    if (claim.lock_.state() == FileLock::State::Busy) {
        claim.error_ = "local port " + std::to_string(port) + " is held by another client";
    } else if (!claim.lock_.held()) {
        claim.error_ =
            "cannot claim local port " + std::to_string(port) + ": " + claim.lock_.error();
    }
    return claim;
}

}  // namespace oa
