// HttpTestServer: a thread per connection on plain POSIX sockets, so that the bytes recorded
// are exactly those the client wrote.
#include "support/HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace oa::test {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string percentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            int byte = 0;
            std::from_chars(text.data() + i + 1, text.data() + i + 3, byte, 16);
            out += static_cast<char>(byte);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The value of `name="..."` inside a Content-Disposition header.
std::optional<std::string> quotedParameter(std::string_view header, std::string_view name) {
    const std::string key = std::string(name) + "=\"";
    std::size_t at = 0;
    while ((at = header.find(key, at)) != std::string_view::npos) {
        if (at == 0 || header[at - 1] == ' ' || header[at - 1] == ';') {
            const std::size_t start = at + key.size();
            const std::size_t end = header.find('"', start);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            return std::string(header.substr(start, end - start));
        }
        at += key.size();
    }
    return std::nullopt;
}

const char* reasonOf(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 307:
            return "Temporary Redirect";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

bool sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

}  // namespace

std::optional<std::string> CapturedRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (equalsIgnoringCase(key, name)) {
            return value;
        }
    }
    return std::nullopt;
}

std::vector<CapturedRequest::FormPart> CapturedRequest::form() const {
    std::vector<FormPart> parts;
    const std::string type = header("Content-Type").value_or("");
    const auto boundaryAt = type.find("boundary=");
    if (type.rfind("multipart/form-data", 0) == 0 && boundaryAt != std::string::npos) {
        std::string boundary = type.substr(boundaryAt + 9);
        boundary = std::string(trim(boundary.substr(0, boundary.find(';'))));
        const std::string delimiter = "--" + boundary;
        std::size_t at = body.find(delimiter);
        while (at != std::string::npos) {
            std::size_t start = at + delimiter.size();
            if (body.compare(start, 2, "--") == 0) {
                break;  // closing delimiter
            }
            if (body.compare(start, 2, "\r\n") == 0) {
                start += 2;
            }
            const std::size_t next = body.find("\r\n" + delimiter, start);
            if (next == std::string::npos) {
                break;
            }
            const std::string_view part(body.data() + start, next - start);
            const std::size_t headEnd = part.find("\r\n\r\n");
            if (headEnd != std::string_view::npos) {
                FormPart formPart;
                std::string_view head = part.substr(0, headEnd);
                while (!head.empty()) {
                    const auto lineEnd = head.find("\r\n");
                    const std::string_view line = head.substr(0, lineEnd);
                    const auto colon = line.find(':');
                    if (colon != std::string_view::npos) {
                        const auto name = trim(line.substr(0, colon));
                        const auto value = trim(line.substr(colon + 1));
                        if (equalsIgnoringCase(name, "Content-Disposition")) {
                            formPart.name = quotedParameter(value, "name").value_or("");
                            formPart.fileName = quotedParameter(value, "filename");
                        } else if (equalsIgnoringCase(name, "Content-Type")) {
                            formPart.contentType = std::string(value);
                        }
                    }
                    head = lineEnd == std::string_view::npos ? std::string_view()
                                                             : head.substr(lineEnd + 2);
                }
                formPart.value = std::string(part.substr(headEnd + 4));
                parts.push_back(std::move(formPart));
            }
            at = next + 2;
        }
        return parts;
    }
    std::string_view rest = body;
    while (!rest.empty()) {
        const auto amp = rest.find('&');
        const std::string_view pair = rest.substr(0, amp);
        const auto equals = pair.find('=');
        parts.push_back({percentDecode(pair.substr(0, equals)),
                         equals == std::string_view::npos ? std::string()
                                                          : percentDecode(pair.substr(equals + 1)),
                         std::nullopt, std::nullopt});
        rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
    }
    return parts;
}

void HttpTestServer::Exchange::reply(const CannedReply& reply) {
    std::string out =
        "HTTP/1.1 " + std::to_string(reply.status) + " " + reasonOf(reply.status) + "\r\n";
    bool hasLength = false;
    for (const auto& [name, value] : reply.headers) {
        hasLength = hasLength || equalsIgnoringCase(name, "Content-Length") ||
                    equalsIgnoringCase(name, "Transfer-Encoding");
        out += name + ": " + value + "\r\n";
    }
    if (!hasLength) {
        out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    }
    out += "\r\n";
    out += reply.body;
    write(out);
}

void HttpTestServer::Exchange::write(std::string_view bytes) {
    if (!sendAll(fd_, bytes)) {
        close_ = true;
    }
}

bool HttpTestServer::Exchange::sleepFor(std::chrono::milliseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return true;
        }
        pollfd fds[2] = {{fd_, POLLRDHUP, 0}, {server_.stopFd_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
        if (ready > 0) {
            close_ = true;
            return false;
        }
    }
}

void HttpTestServer::Exchange::holdUntilClosed() {
    pollfd fds[2] = {{fd_, POLLRDHUP, 0}, {server_.stopFd_, POLLIN, 0}};
    while (::poll(fds, 2, -1) == 0) {
    }
    close_ = true;
}

bool HttpTestServer::Exchange::waitForRelease() {
    std::unique_lock lock(server_.mutex_);
    server_.changed_.wait(lock, [&] { return server_.releases_ > 0 || server_.stopped_; });
    if (server_.stopped_) {
        close_ = true;
        return false;
    }
    --server_.releases_;
    return true;
}

HttpTestServer::HttpTestServer() {
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (stopFd_ < 0 || listenFd_ < 0) {
        throw std::runtime_error("HttpTestServer: no socket");
    }
    const int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 64) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("HttpTestServer: cannot listen");
    }
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
    stop();
    ::close(listenFd_);
    ::close(stopFd_);
}

std::string HttpTestServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void HttpTestServer::setReply(const std::string& path, CannedReply reply) {
    setHandler(path, [reply = std::move(reply)](const CapturedRequest&, Exchange& exchange) {
        exchange.reply(reply);
    });
}

void HttpTestServer::setHandler(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[path] = std::move(handler);
}

std::vector<CapturedRequest> HttpTestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool HttpTestServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

void HttpTestServer::release(int count) {
    std::lock_guard lock(mutex_);
    releases_ += count;
    changed_.notify_all();
}

int HttpTestServer::inFlight() const {
    std::lock_guard lock(mutex_);
    return inFlight_;
}

int HttpTestServer::peakInFlight() const {
    std::lock_guard lock(mutex_);
    return peakInFlight_;
}

bool HttpTestServer::waitForInFlight(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return inFlight_ == count; });
}

int HttpTestServer::connectionsAccepted() const {
    std::lock_guard lock(mutex_);
    return accepted_;
}

void HttpTestServer::stop() {
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(mutex_);
        if (stopped_) {
            return;
        }
        stopped_ = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(stopFd_, &one, sizeof one);
        for (const int fd : openFds_) {
            ::shutdown(fd, SHUT_RDWR);
        }
        changed_.notify_all();
    }
    acceptThread_.join();
    {
        std::lock_guard lock(mutex_);
        connections.swap(connections_);
    }
    for (auto& thread : connections) {
        thread.join();
    }
}

bool HttpTestServer::waitReadable(int fd, int timeoutMs) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeoutMs);
    return ready > 0 && (fds[1].revents & POLLIN) == 0;
}

void HttpTestServer::acceptLoop() {
    for (;;) {
        if (!waitReadable(listenFd_, -1)) {
            return;
        }
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard lock(mutex_);
        if (stopped_) {
            ::close(fd);
            return;
        }
        ++accepted_;
        openFds_.push_back(fd);
        connections_.emplace_back([this, fd] { serve(fd); });
    }
}

void HttpTestServer::serve(int fd) {
    std::string buffer;
    auto readMore = [&] {
        if (!waitReadable(fd, -1)) {
            return false;
        }
        char chunk[65536];
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) {
            return false;
        }
        buffer.append(chunk, static_cast<std::size_t>(got));
        return true;
    };
    for (;;) {
        std::size_t headEnd = 0;
        bool open = true;
        while (open && (headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
            open = readMore();
        }
        if (!open) {
            break;
        }
        CapturedRequest request;
        request.raw = buffer.substr(0, headEnd + 4);
        std::string_view head(request.raw);
        const auto firstEnd = head.find("\r\n");
        const std::string_view requestLine = head.substr(0, firstEnd);
        const auto space1 = requestLine.find(' ');
        const auto space2 = requestLine.find(' ', space1 + 1);
        request.method = std::string(requestLine.substr(0, space1));
        request.target = std::string(requestLine.substr(space1 + 1, space2 - space1 - 1));
        request.path = request.target.substr(0, request.target.find('?'));
        std::string_view rest = head.substr(firstEnd + 2);
        while (!rest.empty()) {
            const auto lineEnd = rest.find("\r\n");
            const std::string_view line = rest.substr(0, lineEnd);
            const auto colon = line.find(':');
            if (colon != std::string_view::npos) {
                request.headers.emplace_back(std::string(trim(line.substr(0, colon))),
                                             std::string(trim(line.substr(colon + 1))));
            }
            rest =
                lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 2);
        }
        buffer.erase(0, headEnd + 4);

        const auto length = request.header("Content-Length");
        const bool chunked =
            equalsIgnoringCase(request.header("Transfer-Encoding").value_or(""), "chunked");
        if (length) {
            std::size_t size = 0;
            std::from_chars(length->data(), length->data() + length->size(), size);
            while (open && buffer.size() < size) {
                open = readMore();
            }
            if (!open) {
                break;
            }
            request.body = buffer.substr(0, size);
            request.raw += request.body;
            buffer.erase(0, size);
        } else if (chunked) {
            for (;;) {
                std::size_t lineEnd = 0;
                while (open && (lineEnd = buffer.find("\r\n")) == std::string::npos) {
                    open = readMore();
                }
                if (!open) {
                    break;
                }
                std::size_t size = 0;
                std::from_chars(buffer.data(), buffer.data() + lineEnd, size, 16);
                while (open && buffer.size() < lineEnd + 2 + size + 2) {
                    open = readMore();
                }
                if (!open) {
                    break;
                }
                request.raw += buffer.substr(0, lineEnd + 2 + size + 2);
                request.body += buffer.substr(lineEnd + 2, size);
                buffer.erase(0, lineEnd + 2 + size + 2);
                if (size == 0) {
                    break;
                }
            }
            if (!open) {
                break;
            }
        }

        Handler handler;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            const auto found = handlers_.find(request.path);
            if (found != handlers_.end()) {
                handler = found->second;
            }
            ++inFlight_;
            peakInFlight_ = std::max(peakInFlight_, inFlight_);
            changed_.notify_all();
        }
        Exchange exchange(*this, fd);
        if (handler) {
            handler(request, exchange);
        } else {
            exchange.reply({404, {{"Content-Type", "text/plain"}}, "not found"});
        }
        {
            std::lock_guard lock(mutex_);
            --inFlight_;
            changed_.notify_all();
        }
        if (exchange.close_ ||
            equalsIgnoringCase(request.header("Connection").value_or(""), "close")) {
            break;
        }
    }
    std::lock_guard lock(mutex_);
    openFds_.erase(std::find(openFds_.begin(), openFds_.end(), fd));
    ::close(fd);
}

}  // namespace oa::test

namespace oa::test {

HttpTestServer::Handler HttpTestServer::drip(std::string raw, std::size_t step,
                                             std::chrono::milliseconds gap) {
    return [raw = std::move(raw), step = std::max<std::size_t>(step, 1), gap](
               const CapturedRequest&, Exchange& exchange) {
        for (std::size_t at = 0; at < raw.size(); at += step) {
            if (at > 0 && !exchange.sleepFor(gap)) {
                return;
            }
            exchange.write(std::string_view(raw).substr(at, step));
        }
    };
}

HttpTestServer::Handler HttpTestServer::rawThenClose(std::string raw) {
    return [raw = std::move(raw)](const CapturedRequest&, Exchange& exchange) {
        exchange.write(raw);
        exchange.closeAfterwards();
    };
}

HttpTestServer::Handler HttpTestServer::chunkedFlood(std::size_t total) {
    return [total](const CapturedRequest&, Exchange& exchange) {
        exchange.write(
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
            "Transfer-Encoding: chunked\r\n\r\n");
        constexpr std::size_t kChunk = 256 * 1024;
        char sizeLine[32];
        const std::string chunk(kChunk, 'x');
        for (std::size_t sent = 0; sent < total && !exchange.close_; sent += kChunk) {
            const std::size_t size = std::min(kChunk, total - sent);
            const int length = std::snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", size);
            exchange.write(std::string_view(sizeLine, static_cast<std::size_t>(length)));
            exchange.write(std::string_view(chunk).substr(0, size));
            exchange.write("\r\n");
        }
        exchange.write("0\r\n\r\n");
    };
}

ProxyThrough::ProxyThrough(const HttpTestServer& server) {
    const std::string proxy = "http://127.0.0.1:" + std::to_string(server.port());
    const std::pair<const char*, bool> variables[] = {{"http_proxy", true},
                                                      {"https_proxy", true},
                                                      {"HTTPS_PROXY", true},
                                                      {"no_proxy", false},
                                                      {"NO_PROXY", false}};
    for (const auto& [name, set] : variables) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (set) {
            ::setenv(name, proxy.c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
}

ProxyThrough::~ProxyThrough() {
    for (const auto& [name, value] : saved_) {
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }
}

}  // namespace oa::test
