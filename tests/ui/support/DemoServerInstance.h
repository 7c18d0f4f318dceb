// The in-process demo server of a ui test program: started on first use on a free loopback port
// with fresh data, stopped and removed when the program ends. Header-only, so that only the
// programs that include it link the server.
#pragma once

#include <stdlib.h>

#include <QtGlobal>
#include <filesystem>
#include <memory>
#include <string>

#include "server/DemoServer.h"

namespace oa::test {

inline DemoServer& demoServerInstance() {
    struct Demo {
        std::filesystem::path dir;
        std::unique_ptr<DemoServer> server;
        ~Demo() {
            if (server) {
                server->stop();
            }
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
    };
    static Demo instance;
    if (!instance.server) {
        char pattern[] = "/tmp/oa-ui-server-XXXXXX";
        if (!mkdtemp(pattern)) {
            qFatal("demo server: no folder for its data");
        }
        instance.dir = pattern;
        ServerOptions options;
        options.httpPort = 0;
        options.imPort = 0;
        options.dbPath = (instance.dir / "demo.sqlite3").string();
        options.reset = true;
        instance.server = std::make_unique<DemoServer>(options);
        std::string error;
        if (!instance.server->start(&error)) {
            qFatal("demo server: %s", error.c_str());
        }
    }
    return *instance.server;
}

// "http://127.0.0.2:<port>", the address the client signs in to.
inline std::string demoServerInstanceAddress() {
    return "http://127.0.0.2:" + std::to_string(demoServerInstance().httpPort());
}

}  // namespace oa::test
