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
#include "core/session/LoginBO.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "[--seconds N] SESSION-OPTIONS\n"
    "      Sends the login datagram and the message-notice request from local UDP port 1188,\n"
    "      then prints one line per notification (\"loginUdpResult OK\", \"messageUdpResult\",\n"
    "      \"modulesUdpResult email\"); an accepted login starts the 30-second heartbeat. Runs\n"
    "      until interrupted, or for N seconds. Exits 1 at once when another client of this\n"
    "      machine holds local port 1188.";

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
    // every answer, so there is nothing to sign in for.
    if (const auto& error = UDPListener::getInstance_udp().bindError()) {
        return session.fail(*error);
    }
    if (int code = session.signIn()) {
        return code;
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
