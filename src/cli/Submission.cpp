// Shared parts of the submission commands.
#include "cli/Submission.h"

#include <time.h>

#include <array>
#include <cctype>
#include <ctime>
#include <iostream>

namespace oa::cli {

std::string localNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), format, &local);
    return std::string(text.data(), length);
}

bool shaped(std::string_view text, std::string_view pattern) {
    if (text.size() != pattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == '9' ? !digit : text[i] != pattern[i]) {
            return false;
        }
    }
    return true;
}

bool isTime(std::string_view text) {
    return shaped(text, "99:99") && std::stoi(std::string(text.substr(0, 2))) < 24 &&
           std::stoi(std::string(text.substr(3, 2))) < 60;
}

int reportVerdict(const SessionOptions& session, const SubmitVerdict& verdict, const char* done) {
    if (!verdict.ok) {
        return session.fail("not " + std::string(done) + ": " + verdict.reason);
    }
    std::cout << done << "\n";
    return 0;
}

}  // namespace oa::cli
