// What the submission commands of oa-cli share: the local date and time for the editors'
// defaults, checks of typed dates and times, and reporting a submission's verdict.
#pragma once

#include <string>
#include <string_view>

#include "cli/SessionOptions.h"
#include "core/protocol/SubmitVerdict.h"

namespace oa::cli {

// The local time now, formatted with strftime's `format` ("%Y-%m-%d", "%H:%M").
std::string localNow(const char* format);
// Whether `text` has a digit wherever `pattern` has '9' and the other characters of `pattern`.
bool shaped(std::string_view text, std::string_view pattern);
// A time of day "HH:MM".
bool isTime(std::string_view text);
// Prints `done` ("saved", "sent") and returns 0 on success; otherwise reports the reason and
// returns 1.
int reportVerdict(const SessionOptions& session, const SubmitVerdict& verdict, const char* done);

}  // namespace oa::cli
