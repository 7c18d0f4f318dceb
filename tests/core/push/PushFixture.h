// Shared set-up of the push-channel tests: a virtual-clock main loop, a fresh session, a fresh
// listener on a fake socket, and a record of every push notification posted.
#pragma once

#include <gtest/gtest.h>

#include <any>
#include <string>
#include <vector>

#include "core/platform/Log.h"
#include "core/platform/ManualLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "support/FakeDatagramSocket.h"

namespace oa::test {

class PushFixture : public ::testing::Test {
protected:
    void SetUp() override {
        MainLoop::setMain(&loop);
        GlobalVar::getInstance_global().resetForTesting();
        UDPListener::resetForTesting();
        UDPListener::setSocketFactory([this] {
            auto fake = std::make_unique<FakeDatagramSocket>();
            if (bindError) {
                fake->failBindWith(*bindError);
            }
            fakeSocket = fake.get();
            return fake;
        });
        for (const char* name : {UDPListener::kLoginUdpResult, UDPListener::kMessageUdpResult,
                                 UDPListener::kModulesUdpResult}) {
            observers.push_back(NotificationCenter::defaultCenter().addObserver(
                name, [this](const Notification& note) { events.push_back(describe(note)); }));
        }
        previousSink = setLogSink([this](std::string_view line) { logLines.emplace_back(line); });
    }

    void TearDown() override {
        observers.clear();
        UDPListener::resetForTesting();
        UDPListener::setSocketFactory(nullptr);
        GlobalVar::getInstance_global().resetForTesting();
        setLogSink(previousSink);
        MainLoop::setMain(nullptr);
    }

    // "name" for a notification without object, "name <text>" for one with a text.
    static std::string describe(const Notification& note) {
        if (!note.object.has_value()) {
            return note.name;
        }
        if (const auto* text = std::any_cast<std::string>(&note.object)) {
            return note.name + " " + *text;
        }
        return note.name + " <object that is not a std::string>";
    }

    // The listener's fake socket (creating the listener if needed).
    FakeDatagramSocket& fake() {
        UDPListener::getInstance_udp();
        return *fakeSocket;
    }

    // A signed-in session whose IM service is at 192.168.1.20:1188.
    static void signedIn(const std::string& uid = "42") {
        auto& session = GlobalVar::getInstance_global();
        session.setOa("http://192.168.1.20:8080");
        session.setOvix_zqim_port("1188");
        session.setUid(uid);
    }

    // The listener once a login datagram has gone to the IM service (and announcing stopped), so
    // that it hears the service's datagrams; the login datagram is cleared from sent().
    void serviceKnown() {
        auto& listener = UDPListener::getInstance_udp();
        listener.announce("C^m^l^alice^sbqd^");
        listener.stopAnnouncing();
        fake().clearSent();
    }

    ManualLoop loop;
    FakeDatagramSocket* fakeSocket = nullptr;
    std::optional<std::string> bindError;
    std::vector<ObserverToken> observers;
    std::vector<std::string> events;
    std::vector<std::string> logLines;
    LogSink previousSink;
};

}  // namespace oa::test
