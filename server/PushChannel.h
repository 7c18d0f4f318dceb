// What the pages need of the IM service: pushing a notice to a user and asking whether a user is
// online. Implemented by ImService; a page never waits for the datagram.
#pragma once

#include <cstdint>
#include <string>

namespace oa {

class PushChannel {
public:
    virtual ~PushChannel() = default;
    // Sends the text to the user's last known IM address, if the user is online there.
    virtual void push(std::int64_t uid, const std::string& text) = 0;
    // Whether the user's client announced itself and kept its heartbeat.
    virtual bool isOnline(std::int64_t uid) const = 0;
};

}  // namespace oa
