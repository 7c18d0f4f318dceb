// Fuzz target: any bytes as the two settings files (XML or binary property lists, truncated,
// deeply nested, self-referencing). Reading them never crashes or hangs, and a write over
// whatever was there reads back as written (or fails and is reported as failed).
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzFiles.h"
#include "core/platform/AppPaths.h"
#include "core/session/PlistManager.h"

namespace {

namespace fs = std::filesystem;

const oa::AppPaths& fuzzHome() {
    static const oa::AppPaths paths = [] {
        char pattern[] = "/tmp/oa-fuzz-settings-XXXXXX";
        const char* dir = mkdtemp(pattern);
        oa::fuzz::require(dir != nullptr);
        oa::AppPaths made(dir, oa::AppPaths::resolve().resources());
        oa::fuzz::require(made.ensureDirectories());
        oa::AppPaths::setCurrent(made);
        std::atexit([] { fs::remove_all(oa::AppPaths::current().home()); });
        return made;
    }();
    return paths;
}

void plant(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    oa::fuzz::require(static_cast<bool>(out));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oa::fuzz::silenceLog();
    const oa::AppPaths& home = fuzzHome();
    const oa::PlistManager store;
    plant(store.datafilePath(), data, size);
    plant(store.dataSetFilePath(), data, size);
    (void)home;

    const oa::LoginVO read = store.getLoginInfo();
    oa::fuzz::require(read.pwd.has_value());  // an unreadable record still has a password
    (void)store.getSetInfo();

    // Every write is made durable (fsync), which makes writing the slow part: every input is
    // read, one in sixty-four is also written over.
    static unsigned inputs = 0;
    if (inputs++ % 64 != 0) {
        return 0;
    }
    oa::LoginVO record = read;
    record.name = "fuzz";
    record.pwd = "pw";
    if (store.setLoginInfo(record)) {
        const oa::LoginVO again = store.getLoginInfo();
        oa::fuzz::require(again.name == std::string("fuzz") && again.pwd == std::string("pw"));
    }
    if (store.updateSetInfo({{"ip1", "10.0.0.1"}})) {
        const auto settings = store.getSetInfo();
        oa::fuzz::require(settings && settings->count("ip1") && settings->at("ip1") == "10.0.0.1");
    }
    return 0;
}
