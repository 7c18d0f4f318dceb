// DatagramSocket: comparing the addresses of literal hosts.
#include "core/platform/DatagramSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <array>
#include <cstring>

namespace oa {
namespace {

// The 16 bytes of an IPv6 address; an IPv4 address in its v4-mapped form. Nothing for a text
// that is no literal address.
std::optional<std::array<unsigned char, 16>> literalAddress(const std::string& text) {
    std::array<unsigned char, 16> bytes{};
    in_addr v4{};
    if (::inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        bytes[10] = 0xff;
        bytes[11] = 0xff;
        std::memcpy(&bytes[12], &v4, 4);
        return bytes;
    }
    in6_addr v6{};
    if (::inet_pton(AF_INET6, text.c_str(), &v6) == 1) {
        std::memcpy(bytes.data(), &v6, 16);
        return bytes;
    }
    return std::nullopt;
}

}  // namespace

bool DatagramSocket::isAddressOf(const std::string& address, const std::string& host) const {
    const auto from = literalAddress(address);
    return from && from == literalAddress(host);
}

std::optional<std::string> DatagramSocket::localAddressTowards(const std::string&) const {
    return std::nullopt;
}

}  // namespace oa
