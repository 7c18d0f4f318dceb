// Free-form diagnostic log: one line per call, to stderr (or to a sink set by a test).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace oa {

void log(std::string_view line);

// Replaces where lines go; an empty function restores stderr. Returns the previous sink.
using LogSink = std::function<void(std::string_view)>;
LogSink setLogSink(LogSink sink);

}  // namespace oa
