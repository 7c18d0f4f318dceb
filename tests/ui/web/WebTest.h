// Shared set-up of the web-engine tests: one runner for all test classes, the demo server
// in-process on loopback and a sign-in to it through the client's own request.
#pragma once

#include <QString>
#include <string>

#include "ui/support/QtTestRegistry.h"

namespace oa::web {

// "http://127.0.0.2:<port>" of the seeded demo server, started on first use.
std::string demoServerAddress();

// Signs `user` in to the demo server as the client does (session values in GlobalVar, the
// session cookie in the transport's store); false when the server refused.
bool signIn(const std::string& user = "wangjianguo", const std::string& password = "123456");

}  // namespace oa::web
