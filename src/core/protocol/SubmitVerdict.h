// The outcome of a submission (a diary, an e-mail, a schedule entry, a group message or a voice
// message): whether the server took it, and if not, why, in one line for the log.
#pragma once

#include <string>
#include <utility>

namespace oa {

struct SubmitVerdict {
    // True only when the exchange completed and the server answered with a status from 200 to
    // 299; the text of the answer is not examined.
    bool ok = false;
    // Empty on success; otherwise "<url>: The request timed out", "<url>: the server answered
    // HTTP 503: ...", "<url>: No file exists at ...".
    std::string reason;

    explicit operator bool() const { return ok; }
    bool operator==(const SubmitVerdict&) const = default;

    static SubmitVerdict success() { return {true, {}}; }
    static SubmitVerdict failure(std::string reason) { return {false, std::move(reason)}; }
};

}  // namespace oa
