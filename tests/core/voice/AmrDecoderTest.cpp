// AMR to WAV: the WAV header, frames of mixed types, truncation, stray bytes and rejected inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/platform/Log.h"
#include "core/voice/AmrDecoder.h"
#include "core/voice/CFile.h"
#include "core/voice/VoiceFiles.h"
#include "support/TempHome.h"

namespace oa {
namespace {

using test::amrFile;
using test::amrFrames;
using test::Bytes;
using test::le32;
using test::readFile;
using test::writeFile;

class AmrDecoderTest : public ::testing::Test {
protected:
    // Decodes bytes written as an AMR file; returns the count and leaves the WAV in wav_.
    int decode(const Bytes& amrBytes) {
        writeFile(amr_, amrBytes);
        return AmrDecoder::decodeFile(amr_.string(), wav_.string());
    }

    test::TempHome home_;
    std::filesystem::path amr_ = home_.path() / "in.amr";
    std::filesystem::path wav_ = home_.path() / "out.wav";
};

TEST_F(AmrDecoderTest, FiftyFramesGiveTheFullHeaderAndSamples) {
    std::vector<std::string> lines;
    const LogSink previous = setLogSink([&](std::string_view l) { lines.emplace_back(l); });
    const int frames = decode(amrFile(amrFrames(50)));
    setLogSink(previous);

    EXPECT_EQ(frames, 50);
    const Bytes wav = readFile(wav_);
    ASSERT_EQ(wav.size(), 48u + 50 * 320);
    const Bytes expectedHeader = {'R',  'I',  'F',  'F',  0xA8, 0x3E, 0x00, 0x00, 'W',  'A',
                                  'V',  'E',  'f',  'm',  't',  ' ',  0x14, 0x00, 0x00, 0x00,
                                  0x01, 0x00, 0x01, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x80, 0x3E,
                                  0x00, 0x00, 0x02, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00,
                                  'd',  'a',  't',  'a',  0x80, 0x3E, 0x00, 0x00};
    EXPECT_EQ(Bytes(wav.begin(), wav.begin() + 48), expectedHeader);
    EXPECT_EQ(le32(wav, 4), 16040u);
    EXPECT_EQ(le32(wav, 44), 16000u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "frame = 50"), lines.end());
}

// oa-cli hides diagnostics unless asked: a decode that worked says nothing then.
TEST_F(AmrDecoderTest, ADecodeLogsNothingWhileDiagnosticsAreHidden) {
    std::vector<std::string> lines;
    const LogSink previous = setLogSink([&](std::string_view l) { lines.emplace_back(l); });
    setDiagnosticsShown(false);
    const int frames = decode(amrFile(amrFrames(5)));
    setDiagnosticsShown(true);
    setLogSink(previous);
    EXPECT_EQ(frames, 5);
    EXPECT_TRUE(lines.empty()) << lines.front();
}

TEST_F(AmrDecoderTest, MagicAloneStillGivesOneFrame) {
    EXPECT_EQ(decode(amrFile({})), 1);
    const Bytes wav = readFile(wav_);
    EXPECT_EQ(wav.size(), 48u + 320);
    EXPECT_EQ(le32(wav, 4), 360u);
    EXPECT_EQ(le32(wav, 44), 320u);
}

// Counts for inputs whose frames end early: the first frame is decoded however short it is,
// a later frame only when it is whole (also when it ends exactly at the end of the file).
TEST_F(AmrDecoderTest, TruncatedFramesAfterTheFirstAreDropped) {
    const Bytes three = amrFrames(3);
    const Bytes fourth = amrFrames(4);
    struct Case {
        Bytes frames;
        int expected;
    };
    const std::vector<Case> cases = {
        {Bytes(three.begin(), three.begin() + 5), 1},
        {Bytes(three.begin(), three.begin() + 32), 1},
        {Bytes(three.begin(), three.begin() + 63), 1},
        {Bytes(fourth.begin(), fourth.begin() + 96 + 20), 3},
        {Bytes(fourth.begin(), fourth.begin() + 96 + 1), 3},
        {three, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames.size());
        EXPECT_EQ(decode(amrFile(c.frames)), c.expected);
        const Bytes wav = readFile(wav_);
        EXPECT_EQ(wav.size(), 48u + 320u * static_cast<unsigned>(c.expected));
        EXPECT_EQ(le32(wav, 44), 320u * static_cast<unsigned>(c.expected));
    }
    // The whole frames decode to the same samples whether or not a partial one follows.
    decode(amrFile(three));
    const Bytes whole = readFile(wav_);
    decode(amrFile(Bytes(fourth.begin(), fourth.begin() + 96 + 20)));
    EXPECT_EQ(readFile(wav_), whole);
}

// `count` frames of `type` as other encoders write them: the header byte with the quality bit,
// then the frame's bytes (types 8 to 11 are comfort noise, 15 a frame that was not sent).
Bytes frameOf(int type, std::size_t count = 1) {
    constexpr std::size_t kSizes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 7, 6, 6, 0, 0, 0, 1};
    Bytes frames;
    for (std::size_t i = 0; i < count; ++i) {
        frames.push_back(static_cast<std::uint8_t>(type << 3 | 4));
        frames.insert(frames.end(), kSizes[type] - 1, static_cast<std::uint8_t>(0x20 + type));
    }
    return frames;
}

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// Every frame is read by its own header byte: the bit rate may change within a file, and comfort
// noise (type 8, and 9 to 11 of other codecs) and untransmitted frames (type 15) last 20 ms too.
TEST_F(AmrDecoderTest, EachFrameIsReadByItsOwnHeader) {
    struct Case {
        const char* name;
        Bytes frames;
        int expected;
    };
    const Bytes speech = amrFrames(75);
    const std::vector<Case> cases = {
        {"12.2k then 4.75k", joined({speech, frameOf(0, 75)}), 150},
        {"4.75k then 12.2k", joined({frameOf(0, 75), speech}), 150},
        {"every speech rate",
         joined({frameOf(0), frameOf(1), frameOf(2), frameOf(3), frameOf(4), frameOf(5), frameOf(6),
                 frameOf(7)}),
         8},
        {"comfort noise and gaps",
         joined({frameOf(7), frameOf(8), frameOf(15, 3), frameOf(9), frameOf(10), frameOf(11),
                 frameOf(7)}),
         9},
        {"a gap first", joined({frameOf(15), frameOf(8), frameOf(7)}), 3},
        {"truncated comfort noise last", joined({frameOf(7), Bytes{0x44, 1, 2}}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decode(amrFile(c.frames)), c.expected);
        const Bytes wav = readFile(wav_);
        EXPECT_EQ(wav.size(), 48u + 320u * static_cast<unsigned>(c.expected));
        EXPECT_EQ(le32(wav, 44), 320u * static_cast<unsigned>(c.expected));
    }
    // The 12.2k half decodes as it does alone.
    decode(amrFile(speech));
    const Bytes alone = readFile(wav_);
    decode(amrFile(joined({speech, frameOf(0, 75)})));
    const Bytes mixed = readFile(wav_);
    EXPECT_TRUE(std::equal(alone.begin() + 48, alone.end(), mixed.begin() + 48));
}

TEST_F(AmrDecoderTest, BytesThatCannotBeginAFrameAreSkipped) {
    const Bytes frames = amrFrames(4);
    ASSERT_EQ(frames[0], 0x3C);
    decode(amrFile(frames));
    const Bytes clean = readFile(wav_);

    auto frame = [&](int i) {
        return Bytes(frames.begin() + 32 * i, frames.begin() + 32 * i + 32);
    };
    // Padding bits set, or a type without a size (12 to 14).
    const Bytes stray = {0xFF, 0x3D, 0xBC, 0x3B, 0x80, 0x64, 0x6C, 0x74};
    EXPECT_EQ(decode(amrFile(joined({frame(0), stray, frame(1), stray, frame(2), frame(3)}))), 4);
    EXPECT_EQ(readFile(wav_), clean);
}

TEST_F(AmrDecoderTest, LaterFramesOfTheFirstFramesTypeKeepItsSize) {
    EXPECT_EQ(decode(amrFile(frameOf(0, 5))), 5);
    EXPECT_EQ(readFile(wav_).size(), 48u + 5 * 320);
}

TEST_F(AmrDecoderTest, FirstFrameOfTypeTwelveToFourteenIsRejected) {
    for (int type = 12; type <= 14; ++type) {
        SCOPED_TRACE(type);
        const auto header = static_cast<std::uint8_t>(type << 3 | 4);
        // Alone at the end of the file, and followed by a whole 32-byte frame's worth of bytes.
        for (std::size_t tail : {0u, 31u, 64u}) {
            Bytes frames(1 + tail, header);
            std::filesystem::remove(wav_);
            EXPECT_EQ(decode(amrFile(frames)), 0);
            EXPECT_FALSE(std::filesystem::exists(wav_));
        }
    }
}

TEST_F(AmrDecoderTest, InputsThatAreNotAmrFilesCreateNoWav) {
    const std::vector<Bytes> inputs = {{},
                                       {'#', '!', 'A', 'M', 'R'},
                                       {'#', '!', 'A', 'M', 'R', '\r', 0x3C},
                                       {'#', '!', 'a', 'm', 'r', '\n', 0x3C}};
    for (const auto& input : inputs) {
        EXPECT_EQ(decode(input), 0);
        EXPECT_FALSE(std::filesystem::exists(wav_));
    }
    EXPECT_EQ(AmrDecoder::decodeFile((home_.path() / "missing.amr").string(), wav_.string()), 0);
    EXPECT_FALSE(std::filesystem::exists(wav_));
}

TEST_F(AmrDecoderTest, OutputThatCannotBeCreatedOrIsTheInputFails) {
    const Bytes input = amrFile(amrFrames(2));
    writeFile(amr_, input);
    EXPECT_EQ(AmrDecoder::decodeFile(amr_.string(), (home_.path() / "no/dir/x.wav").string()), 0);
    // Writing the WAV over the AMR file would destroy what is being read.
    const auto samePath = (home_.path() / "." / "in.amr").string();
    EXPECT_EQ(AmrDecoder::decodeFile(amr_.string(), samePath), 0);
    EXPECT_EQ(readFile(amr_), input);
}

// A voice message longer than ten minutes is refused before anything is decoded or written. Its
// frames are counted, whatever their sizes; a partial frame and bytes that begin none do not
// count.
TEST_F(AmrDecoderTest, MessagesOverTheLengthLimitAreRefused) {
    const Bytes partial(7, 0x20);
    const Bytes garbage(13, 0x11);
    struct Case {
        Bytes frames;
        std::uint32_t limit;
        int expected;
    };
    const std::vector<Case> cases = {
        {frameOf(0, AmrDecoder::kMaxVoiceFrames), AmrDecoder::kMaxVoiceFrames,
         static_cast<int>(AmrDecoder::kMaxVoiceFrames)},
        {frameOf(0, AmrDecoder::kMaxVoiceFrames + 1), AmrDecoder::kMaxVoiceFrames,
         AmrDecoder::kTooLong},
        {joined({frameOf(7), frameOf(15, AmrDecoder::kMaxVoiceFrames)}),
         AmrDecoder::kMaxVoiceFrames, AmrDecoder::kTooLong},
        {joined({frameOf(0, 3), partial}), 3, 3},
        {joined({frameOf(0, 3), garbage}), 3, 3},
        {frameOf(0, 4), 3, AmrDecoder::kTooLong},
        {joined({frameOf(7), frameOf(15, 2)}), 3, 3},
        {joined({frameOf(7), frameOf(15, 3)}), 3, AmrDecoder::kTooLong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames.size());
        std::filesystem::remove(wav_);
        writeFile(amr_, amrFile(c.frames));
        EXPECT_EQ(AmrDecoder::decodeFile(amr_.string(), wav_.string(), c.limit), c.expected);
        EXPECT_EQ(std::filesystem::exists(wav_), c.expected > 0);
    }

    // A stream of unknown size is cut off at its first frame past the limit.
    Bytes input = amrFile(frameOf(0, 4));
    std::FILE* amr = ::fmemopen(input.data(), input.size(), "rb");
    ASSERT_NE(amr, nullptr);
    CFile wav = CFile::open(wav_.string(), "w+b");
    EXPECT_EQ(AmrDecoder::decodeStream(amr, wav.get(), 3), AmrDecoder::kTooLong);
    std::fclose(amr);
}

TEST(AmrDecoderFrameTest, CodecIsOnlyCalledOnWholeFramesOfKnownType) {
    AmrDecoder decoder;
    ASSERT_TRUE(decoder.isValid());
    short samples[160];
    std::uint8_t frame[32] = {0x3C};
    EXPECT_FALSE(decoder.decode(frame, 31, samples));
    EXPECT_FALSE(decoder.decode(frame, 0, samples));
    EXPECT_TRUE(decoder.decode(frame, 32, samples));
    frame[0] = 0x04;  // type 0, 13 bytes
    EXPECT_FALSE(decoder.decode(frame, 12, samples));
    EXPECT_TRUE(decoder.decode(frame, 13, samples));
    frame[0] = 0x44;  // type 8, comfort noise of 6 bytes
    EXPECT_FALSE(decoder.decode(frame, 5, samples));
    EXPECT_TRUE(decoder.decode(frame, 6, samples));
    frame[0] = 0x7C;  // type 15, no data: the header byte alone
    EXPECT_TRUE(decoder.decode(frame, 1, samples));
    frame[0] = 0x6C;  // type 13
    EXPECT_FALSE(decoder.decode(frame, 32, samples));
}

}  // namespace
}  // namespace oa
