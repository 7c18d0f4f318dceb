// The text helpers the parsers and request builders share.
#include "core/protocol/ReplyText.h"

#include <limits>

#include <gtest/gtest.h>

namespace oa {
namespace {

TEST(ReplyText, IntegerValueReadsTheLeadingNumber) {
    const std::vector<std::pair<std::string, long long>> cases = {
        {"120", 120},
        {"  42abc", 42},
        {"-7", -7},
        {"+5", 5},
        {"1e3", 1},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"\xE3\x80\x80"
         "9",
         0},
        {"99999999999999999999", std::numeric_limits<long long>::max()},
        {"-99999999999999999999", std::numeric_limits<long long>::min()},
        {"-9223372036854775808", std::numeric_limits<long long>::min()},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(integerValue(text), value) << text;
    }
}

TEST(ReplyText, SplittingKeepsEmptyPieces) {
    using Texts = std::vector<std::string>;
    EXPECT_EQ(splitKeepingEmpty("101,102,", ','), (Texts{"101", "102", ""}));
    EXPECT_EQ(splitKeepingEmpty(",", ','), (Texts{"", ""}));
    EXPECT_EQ(splitKeepingEmpty("", ','), Texts{""});
    EXPECT_EQ(splitKeepingEmpty("a**b", '*'), (Texts{"a", "", "b"}));
}

TEST(ReplyText, ImageSourcesWithASchemeOrNetworkPathAreLeftAlone) {
    const std::string base = "http://oa:81";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"(<img src="/a.png"><img src="/b.png">)",
         R"(<img src="http://oa:81/a.png"><img src="http://oa:81/b.png">)"},
        {R"(<img src="https://cdn/x.png">)", R"(<img src="https://cdn/x.png">)"},
        {R"(<img src="//cdn/x.png">)", R"(<img src="//cdn/x.png">)"},
        {R"(<img src="data:image/png;base64,AAAA">)", R"(<img src="data:image/png;base64,AAAA">)"},
        {R"(<img src="/q?u=http://x">)", R"(<img src="http://oa:81/q?u=http://x">)"},
        {R"(<img alt="" src="/a.png">)", R"(<img alt="" src="/a.png">)"},
        {"no image", "no image"},
    };
    for (const auto& [content, expected] : cases) {
        EXPECT_EQ(rewriteImageSources(content, base), expected) << content;
    }
}

}  // namespace
}  // namespace oa
