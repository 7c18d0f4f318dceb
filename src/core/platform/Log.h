// Free-form diagnostic log: one line per call, to stderr (or to a sink set by a test).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace oa {

void log(std::string_view line);

// A line that only helps a developer follow the client (values seen on the way, no problem):
// logged like log() while diagnostics are shown, which they are unless switched off.
void logDiagnostic(std::string_view line);
// oa-cli shows diagnostics only when asked (--verbose): its stderr is for its results.
void setDiagnosticsShown(bool shown);

// Replaces where lines go; an empty function restores stderr. Returns the previous sink.
using LogSink = std::function<void(std::string_view)>;
LogSink setLogSink(LogSink sink);

}  // namespace oa
