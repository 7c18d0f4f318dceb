// FakeDatagramSocket: an in-memory socket; deliveries go through the main loop like real ones.
#include "support/FakeDatagramSocket.h"

#include "core/platform/MainLoop.h"

namespace oa::test {

DatagramSocket::BindError FakeDatagramSocket::bindTo(std::uint16_t port,
                                                     const std::string& localAddress) {
    std::lock_guard lock(mutex_);
    binds_.push_back((localAddress.empty() ? "*" : localAddress) + ":" + std::to_string(port));
    auto error = std::exchange(bindError_, std::nullopt);
    if (!error) {
        port_ = port;
    }
    return error;
}

std::uint16_t FakeDatagramSocket::localPort() const {
    std::lock_guard lock(mutex_);
    return port_;
}

void FakeDatagramSocket::send(const std::string& host, std::uint16_t port, std::string bytes) {
    std::lock_guard lock(mutex_);
    lastSent_ = {host, port, {}};
    sent_.push_back({host, port, std::move(bytes)});
}

void FakeDatagramSocket::receive(ReceiveHandler handler) {
    std::lock_guard lock(mutex_);
    reading_ = std::move(handler);
    ++readsStarted_;
    deliverIfReady();
}

void FakeDatagramSocket::inject(std::string bytes, std::string fromHost, std::uint16_t fromPort) {
    std::lock_guard lock(mutex_);
    incoming_.push_back({std::move(bytes), std::move(fromHost), fromPort});
    deliverIfReady();
}

void FakeDatagramSocket::inject(std::string bytes) {
    std::string host;
    std::uint16_t port = 0;
    {
        std::lock_guard lock(mutex_);
        host = lastSent_.host;
        port = lastSent_.port;
    }
    inject(std::move(bytes), std::move(host), port);
}

void FakeDatagramSocket::deliverIfReady() {
    if (!reading_ || incoming_.empty() || deliveryPosted_) {
        return;
    }
    deliveryPosted_ = true;
    MainLoop::main().post([this, alive = alive_] {
        if (!*alive) {
            return;
        }
        ReceiveHandler handler;
        Datagram datagram;
        {
            std::lock_guard lock(mutex_);
            deliveryPosted_ = false;
            if (!reading_ || incoming_.empty()) {
                return;
            }
            handler = std::exchange(reading_, nullptr);
            datagram = std::move(incoming_.front());
            incoming_.pop_front();
        }
        handler(std::move(datagram));
    });
}

std::vector<FakeDatagramSocket::Sent> FakeDatagramSocket::sent() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

std::vector<std::string> FakeDatagramSocket::sentTexts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& datagram : sent_) {
        texts.push_back(datagram.bytes);
    }
    return texts;
}

void FakeDatagramSocket::clearSent() {
    std::lock_guard lock(mutex_);
    sent_.clear();
}

std::vector<std::string> FakeDatagramSocket::binds() const {
    std::lock_guard lock(mutex_);
    return binds_;
}

bool FakeDatagramSocket::readOutstanding() const {
    std::lock_guard lock(mutex_);
    return reading_ != nullptr;
}

int FakeDatagramSocket::readsStarted() const {
    std::lock_guard lock(mutex_);
    return readsStarted_;
}

}  // namespace oa::test
