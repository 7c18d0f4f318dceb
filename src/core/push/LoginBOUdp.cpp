// The push-channel members of LoginBO: the login datagram with its scrambled password, and the
// heartbeat. They live here, beside the listener, so that the session library does not depend on
// the push channel.
#include <chrono>

#include "core/platform/Log.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/PlistManager.h"

namespace oa {
namespace {
constexpr char kPasswordKey[] = "QXVL7305";
constexpr Duration kHeartbeatInterval = std::chrono::seconds(30);
}  // namespace

// Bytes, not characters: a password outside ASCII is scrambled as its UTF-8 bytes, and the
// result (no longer UTF-8 then) goes into the datagram as it is.
std::string LoginBO::EncryptString(const std::string& password, const std::string& key) const {
    unsigned char everyKeyByte = 0;
    unsigned char everySecondKeyByte = 0;
    for (std::size_t k = 0; k < key.size(); ++k) {
        const auto byte = static_cast<unsigned char>(key[k]);
        everyKeyByte ^= byte;
        if (k % 2 == 0) {
            everySecondKeyByte ^= byte;
        }
    }
    std::string scrambled = password;
    for (std::size_t i = 0; i < scrambled.size(); ++i) {
        const unsigned char mask = i % 2 == 0 ? everyKeyByte : everySecondKeyByte;
        scrambled[i] = static_cast<char>(static_cast<unsigned char>(scrambled[i]) ^ mask);
    }
    return scrambled;
}

std::string LoginBO::loginDatagram() const {
    const LoginVO record = PlistManager().getLoginInfo();
    return "C^m^l^" + record.name.value_or("") + "^" +
           EncryptString(record.pwd.value_or(""), kPasswordKey) + "^";
}

void LoginBO::loginUdp() const {
    auto& listener = UDPListener::getInstance_udp();
    listener.announce(loginDatagram());
}

void LoginBO::logoutUdp() const {
    if (UDPListener* listener = UDPListener::existingInstance()) {
        listener->stopAnnouncing();
    }
}

void LoginBO::pushSelfTest(std::function<void(bool)> done) const {
    auto& listener = UDPListener::getInstance_udp();
    listener.selfTest(loginDatagram(), std::move(done));
}

void LoginBO::createHeartbeat() const {
    UDPListener::getInstance_udp().startHeartbeat(kHeartbeatInterval,
                                                  [] { LoginBO().sendHeartbeat(); });
}

void LoginBO::sendHeartbeat() const {
    // The uid of the session current at this tick, so a later sign-in's uid is sent.
    const auto uid = GlobalVar::getInstance_global().uid();
    if (!uid) {
        log("udp: no uid; heartbeat not sent");
        return;
    }
    UDPListener::getInstance_udp().sendData("C^m^s^" + *uid);
}

}  // namespace oa
