// The diagnostic log. Lines from several threads never interleave.
#include "core/platform/Log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace oa {
namespace {
std::mutex g_mutex;
LogSink g_sink;  // Guarded by g_mutex.
std::atomic<bool> g_diagnosticsShown{true};
}  // namespace

void log(std::string_view line) {
    std::lock_guard lock(g_mutex);
    if (g_sink) {
        g_sink(line);
        return;
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

void logDiagnostic(std::string_view line) {
    if (g_diagnosticsShown.load(std::memory_order_relaxed)) {
        log(line);
    }
}

void setDiagnosticsShown(bool shown) {
    g_diagnosticsShown.store(shown, std::memory_order_relaxed);
}

LogSink setLogSink(LogSink sink) {
    std::lock_guard lock(g_mutex);
    std::swap(g_sink, sink);
    return sink;
}

}  // namespace oa
