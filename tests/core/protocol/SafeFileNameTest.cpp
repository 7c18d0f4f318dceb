// SafeFileName: what is left of a server's or a page's file name before it becomes a path.
#include "core/protocol/SafeFileName.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace oa {
namespace {

std::string repeat(const std::string& part, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += part;
    }
    return out;
}

struct NameCase {
    const char* what;
    std::string name;
    std::string expected;
};

class SafeFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SafeFileNameTest, LeavesAPlainNameOfAtMost120Bytes) {
    const std::string safe = SafeFileName::of(GetParam().name);
    EXPECT_EQ(safe, GetParam().expected);
    EXPECT_LE(safe.size(), SafeFileName::kMaxBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeFileNameTest,
    ::testing::Values(NameCase{"folders up", "../../../../tmp/x/pwn.sh", "pwn.sh"},
                      NameCase{"absolute", "/etc/cron.d/job", "job"},
                      NameCase{"backslashes", "..\\..\\Start Menu\\run.bat", "run.bat"},
                      NameCase{"controls",
                               std::string("a\x01"
                                           "b\nc\x7f.txt"),
                               "a_b_c_.txt"},
                      NameCase{"nul", std::string("x\0.sh", 5), "x_.sh"},
                      NameCase{"reserved", "报告:草稿?.doc", "报告_草稿_.doc"},
                      NameCase{"not utf-8", "\xff\xe6\x96.txt", "___.txt"},
                      NameCase{"dot", ".", ""}, NameCase{"dot dot", "..", ""},
                      NameCase{"folder only", "a/b/", ""}, NameCase{"empty", "", ""},
                      NameCase{"spaces", "  说明.pdf  ", "说明.pdf"},
                      NameCase{"long cjk keeps its extension", repeat("文", 90) + ".pdf",
                               repeat("文", 38) + ".pdf"},
                      NameCase{"long cjk without extension", repeat("文", 50), repeat("文", 40)},
                      NameCase{"long ascii", repeat("a", 300), repeat("a", 120)},
                      NameCase{"a dot far from the end is no extension", "a." + repeat("b", 200),
                               "a." + repeat("b", 118)}),
    [](const ::testing::TestParamInfo<NameCase>& param) {
        std::string name;
        for (const char c : std::string(param.param.what)) {
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

}  // namespace
}  // namespace oa
