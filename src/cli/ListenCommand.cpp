// oa-cli listen: signs in, announces the user to the IM service over UDP as the client does, and
// prints every push notification; the heartbeat starts once the service accepts the login.
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/SessionOptions.h"
#include "core/platform/EventLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "[--seconds N] [--im-port PORT] SESSION-OPTIONS\n"
    "      Sends the login datagram and the message-notice request from local UDP port 1188\n"
    "      ($OA_PUSH_PORT when set; 0 lets the system pick) to the IM service on port 1188 of\n"
    "      the server (PORT when given), then prints one line per notification\n"
    "      (\"loginUdpResult OK\", \"messageUdpResult\", \"modulesUdpResult email\"); only\n"
    "      datagrams from that service count. An accepted login starts the 30-second heartbeat.\n"
    "      Runs until interrupted, or for N seconds. Exits 1 at once when another program of\n"
    "      this machine holds the local port.";

std::string textOf(const Notification& note) {
    if (const auto* text = std::any_cast<std::string>(&note.object)) {
        return *text;
    }
    return {};
}

void printLine(const std::string& line) {
    // Flushed at once: a script reads the lines while the command runs.
    std::cout << line << std::endl;
}

int run(const Args& args) {
    SessionOptions session("listen", args);
    std::string secondsText;
    const bool limited = session.takeOption("--seconds", secondsText);
    std::string imPort;
    const bool otherImPort = session.takeOption("--im-port", imPort);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (!positional.empty()) {
        return session.fail(std::string("usage: oa-cli listen ") + kUsage);
    }
    long seconds = 0;
    if (limited) {
        if (secondsText.empty() || secondsText.size() > 7 ||
            secondsText.find_first_not_of("0123456789") != std::string::npos) {
            return session.fail("--seconds needs a whole number of seconds, not \"" + secondsText +
                                "\"");
        }
        seconds = std::stol(secondsText);
    }
    if (otherImPort && (imPort.empty() || imPort.size() > 5 ||
                        imPort.find_first_not_of("0123456789") != std::string::npos ||
                        std::stol(imPort) < 1 || std::stol(imPort) > 65535)) {
        return session.fail("--im-port needs a port from 1 to 65535, not \"" + imPort + "\"");
    }

    EventLoop loop;
    MainLoop::setMain(&loop);
    auto& center = NotificationCenter::defaultCenter();
    std::vector<ObserverToken> observers;
    struct Teardown {
        std::vector<ObserverToken>& observers;
        ~Teardown() {
            // The socket goes before the loop its handlers are posted to.
            UDPListener::resetForTesting();
            observers.clear();
            MainLoop::setMain(nullptr);
        }
    } teardown{observers};

    // The port first: while another client of this machine holds it, that client would get
    // every answer, so there is nothing to sign in for. An IM service on another address of
    // this machine holding the same port leaves it free on the address that reaches it.
    auto& listener = UDPListener::getInstance_udp();
    if (listener.bindError() && !listener.portHeld()) {
        return session.fail(*listener.bindError());
    }
    if (int code = session.signIn()) {
        return code;
    }
    if (otherImPort) {
        // The sign-in has set the port the client always uses.
        GlobalVar::getInstance_global().setOvix_zqim_port(imPort);
    }
    listener.bindBesideService();
    if (const auto& error = listener.bindError()) {
        return session.fail(*error);
    }
    observers.push_back(
        center.addObserver(UDPListener::kLoginUdpResult, [](const Notification& note) {
            const std::string result = textOf(note);
            printLine(std::string(UDPListener::kLoginUdpResult) + " " + result);
            if (result != "NO") {
                LoginBO().createHeartbeat();
            }
        }));
    observers.push_back(center.addObserver(UDPListener::kMessageUdpResult, [](const Notification&) {
        printLine(UDPListener::kMessageUdpResult);
    }));
    observers.push_back(
        center.addObserver(UDPListener::kModulesUdpResult, [](const Notification& note) {
            printLine(std::string(UDPListener::kModulesUdpResult) + " " + textOf(note));
        }));

    // As the sign-in screen and then the main index do, on the main thread.
    loop.post([] {
        LoginBO().loginUdp();
        UDPListener::getInstance_udp().sendMessageNotice();
    });
    if (limited) {
        loop.runFor(std::chrono::seconds(seconds));
    } else {
        loop.run();
    }
    return 0;
}

}  // namespace

OA_CLI_COMMAND("listen", kUsage, run);

}  // namespace oa::cli
