// QtDatagramSocket: QUdpSocket with a shareable but claimed bind, one read at a time, ordered
// sends.
#include "ui/platform/QtDatagramSocket.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <utility>

#include "core/platform/Log.h"

namespace oa {
namespace {

// A v4-mapped sender (what a dual-stack socket reports for IPv4 peers) is shown as IPv4.
std::string addressText(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return (isV4 ? QHostAddress(v4) : address).toString().toStdString();
}

}  // namespace

QtDatagramSocket::QtDatagramSocket() : socket_(std::make_unique<QUdpSocket>()) {
    QObject::connect(socket_.get(), &QUdpSocket::readyRead, socket_.get(),
                     [this] { deliverPending(); });
}

QtDatagramSocket::~QtDatagramSocket() {
    if (lookupId_ >= 0) {
        QHostInfo::abortHostLookup(lookupId_);
    }
}

DatagramSocket::BindError QtDatagramSocket::bindTo(std::uint16_t port,
                                                   const std::string& localAddress) {
    QHostAddress address(QHostAddress::Any);
    if (!localAddress.empty() && !address.setAddress(QString::fromStdString(localAddress))) {
        return "not a literal address: " + localAddress;
    }
    // Before the socket is bound, so that of two clients on this machine only one ever
    // receives on the port.
    PortClaim claim;
    if (PortClaim::isNeeded(port, localAddress)) {
        claim = PortClaim::claim(port);
        if (!claim.held()) {
            return claim.error();
        }
    }
    // ShareAddress sets SO_REUSEADDR, which a program bound to one specific address on the same
    // port needs from this socket as well as from its own.
    if (!socket_->bind(address, port,
                       QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        return socket_->errorString().toStdString();
    }
    claim_ = std::move(claim);
    return std::nullopt;
}

std::uint16_t QtDatagramSocket::localPort() const {
    return socket_->localPort();
}

void QtDatagramSocket::send(const std::string& host, std::uint16_t port, std::string bytes) {
    outgoing_.push_back({QString::fromStdString(host), port,
                         QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))});
    sendQueued();
}

void QtDatagramSocket::sendQueued() {
    while (!outgoing_.empty() && lookupId_ < 0) {
        Outgoing& head = outgoing_.front();
        QHostAddress address;
        if (!address.setAddress(head.host)) {
            lookupId_ =
                QHostInfo::lookupHost(head.host, socket_.get(), [this](const QHostInfo& info) {
                    lookupId_ = -1;
                    Outgoing datagram = std::move(outgoing_.front());
                    outgoing_.pop_front();
                    // IPv4 first: an unheard datagram to an IPv6 address nobody listens on would
                    // report no error to fall back on.
                    QHostAddress chosen;
                    for (const auto& candidate : info.addresses()) {
                        if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                            chosen = candidate;
                            break;
                        }
                        if (chosen.isNull()) {
                            chosen = candidate;
                        }
                    }
                    if (chosen.isNull()) {
                        log("udp: cannot resolve \"" + datagram.host.toStdString() +
                            "\": " + info.errorString().toStdString());
                    } else if (socket_->writeDatagram(datagram.bytes, chosen, datagram.port) < 0) {
                        log("udp: cannot send to " + datagram.host.toStdString() + ": " +
                            socket_->errorString().toStdString());
                    }
                    sendQueued();
                });
            return;
        }
        if (socket_->writeDatagram(head.bytes, address, head.port) < 0) {
            log("udp: cannot send to " + head.host.toStdString() + ": " +
                socket_->errorString().toStdString());
        }
        outgoing_.pop_front();
    }
}

void QtDatagramSocket::receive(ReceiveHandler handler) {
    reading_ = std::move(handler);
    // Later, not now: the handler of the previous read usually calls this, and must not be
    // re-entered. A datagram already waiting raises no new readyRead, so look for one.
    QMetaObject::invokeMethod(
        socket_.get(), [this] { deliverPending(); }, Qt::QueuedConnection);
}

void QtDatagramSocket::deliverPending() {
    while (reading_ && socket_->hasPendingDatagrams()) {
        const QNetworkDatagram received = socket_->receiveDatagram();
        if (!received.isValid()) {
            continue;
        }
        const QByteArray data = received.data();
        Datagram datagram;
        datagram.bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
        datagram.host = addressText(received.senderAddress());
        datagram.port = static_cast<std::uint16_t>(received.senderPort());
        auto handler = std::exchange(reading_, nullptr);
        handler(std::move(datagram));
        return;
    }
}

}  // namespace oa
