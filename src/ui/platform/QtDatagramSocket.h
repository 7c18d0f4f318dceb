// The datagram socket port on QUdpSocket, for the client: its callbacks run in the Qt event
// loop of the main thread, so received datagrams need no hand-over to the main loop.
#pragma once

#include <QByteArray>
#include <QString>
#include <deque>
#include <memory>

#include "core/platform/DatagramSocket.h"
#include "core/platform/PortClaim.h"

class QUdpSocket;

namespace oa {

// Main thread only: create, use and destroy it in the thread of the Qt main loop.
class QtDatagramSocket : public DatagramSocket {
public:
    QtDatagramSocket();
    ~QtDatagramSocket() override;

    std::uint16_t localPort() const override;
    void send(const std::string& host, std::uint16_t port, std::string bytes) override;
    void receive(ReceiveHandler handler) override;

private:
    struct Outgoing {
        QString host;
        quint16 port;
        QByteArray bytes;
    };

    BindError bindTo(std::uint16_t port, const std::string& localAddress) override;
    // Hands the next waiting datagram to the outstanding read, if both exist.
    void deliverPending();
    // Sends from the head of the queue until one needs a name looked up; its answer resumes it.
    void sendQueued();

    PortClaim claim_;  // declared before socket_: the port is given up after the socket closes
    std::unique_ptr<QUdpSocket> socket_;
    ReceiveHandler reading_;         // set while a read is outstanding
    std::deque<Outgoing> outgoing_;  // in order; the head may wait for its host's address
    int lookupId_ = -1;              // the look-up holding up the queue, or -1
};

}  // namespace oa
