// The demo server of the web-engine tests and the sign-in to it.
#include "WebTest.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "server/DemoServer.h"

namespace oa::web {

namespace {

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

Demo& demo() {
    static Demo instance;
    if (!instance.server) {
        char pattern[] = "/tmp/oa-web-server-XXXXXX";
        instance.dir = mkdtemp(pattern) ? std::filesystem::path(pattern)
                                        : std::filesystem::temp_directory_path();
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
    return instance;
}

}  // namespace

std::string demoServerAddress() {
    return "http://127.0.0.2:" + std::to_string(demo().server->httpPort());
}

bool signIn(const std::string& user, const std::string& password) {
    LoginVO record;
    record.name = user;
    record.pwd = password;
    record.oa = demoServerAddress();
    LoginBO().login(record);
    return GlobalVar::getInstance_global().session_id().has_value();
}

}  // namespace oa::web
