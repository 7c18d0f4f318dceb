// The strict UTF-8 check that replies, datagrams and uploaded names are cleaned with: the
// boundaries of each sequence length, and the forms a lenient check lets through.
#include <gtest/gtest.h>

#include <string>

#include "core/platform/Utf8.h"

namespace oa::test {
namespace {

struct Sequence {
    std::string bytes;
    std::size_t length;  // of the sequence at the start; 0 when it is none
};

class Utf8SequenceTest : public ::testing::TestWithParam<Sequence> {};

TEST_P(Utf8SequenceTest, LengthOfTheLeadingSequence) {
    const Sequence& sequence = GetParam();
    EXPECT_EQ(utf8SequenceLength(sequence.bytes), sequence.length);
    EXPECT_EQ(isValidUtf8(sequence.bytes), sequence.length == sequence.bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, Utf8SequenceTest,
    ::testing::Values(Sequence{"a", 1}, Sequence{"\x7F", 1}, Sequence{"\xC2\x80", 2},
                      Sequence{"\xDF\xBF", 2}, Sequence{"\xE0\xA0\x80", 3},
                      Sequence{"\xE4\xB8\xAD", 3}, Sequence{"\xEF\xBF\xBF", 3},
                      Sequence{"\xF0\x90\x80\x80", 4}, Sequence{"\xF4\x8F\xBF\xBF", 4},
                      // overlong forms
                      Sequence{"\xC0\x80", 0}, Sequence{"\xC1\xBF", 0}, Sequence{"\xE0\x9F\xBF", 0},
                      Sequence{"\xF0\x8F\xBF\xBF", 0},
                      // surrogates and past U+10FFFF
                      Sequence{"\xED\xA0\x80", 0}, Sequence{"\xF4\x90\x80\x80", 0},
                      Sequence{"\xF5\x80\x80\x80", 0},
                      // a stray continuation byte, a sequence cut short or broken
                      Sequence{"\x80", 0}, Sequence{"\xE4\xB8", 0}, Sequence{"\xE4\x41\xAD", 0},
                      Sequence{"\xF0\x90\x80", 0}, Sequence{"", 0}));

TEST(Utf8Test, WholeTextIsCheckedNotJustItsStart) {
    EXPECT_TRUE(isValidUtf8("信息 ok"));
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_FALSE(isValidUtf8("信息\xFF"));
    EXPECT_FALSE(isValidUtf8(std::string("ab\xE4\xB8", 4)));
    EXPECT_TRUE(isValidUtf8(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace oa::test
