// WAV to AMR: frame count and file size, the RIFF chunk walk, and inputs without samples.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "core/voice/AmrDecoder.h"
#include "core/voice/AmrEncoder.h"
#include "core/voice/VoiceFiles.h"
#include "support/TempHome.h"

namespace oa {
namespace {

using test::append;
using test::appendLe32;
using test::Bytes;
using test::readFile;
using test::voiceLike;
using test::wavFile;
using test::writeFile;

class AmrEncoderTest : public ::testing::Test {
protected:
    int encode(const Bytes& wavBytes) {
        writeFile(wav_, wavBytes);
        return AmrEncoder::encodeFile(wav_.string(), amr_.string(), 1, 16);
    }

    test::TempHome home_;
    std::filesystem::path wav_ = home_.path() / "in.wav";
    std::filesystem::path amr_ = home_.path() / "out.amr";
};

TEST_F(AmrEncoderTest, ThousandSamplesGiveSixFramesOfModeSeven) {
    EXPECT_EQ(encode(wavFile(voiceLike(1000))), 6);
    const Bytes amr = readFile(amr_);
    ASSERT_EQ(amr.size(), 198u);
    EXPECT_EQ(std::string(amr.begin(), amr.begin() + 6), "#!AMR\n");
    for (std::size_t at = 6; at < amr.size(); at += 32) {
        EXPECT_EQ(amr[at], 0x3C) << at;
    }
}

TEST_F(AmrEncoderTest, FewerThanOneFrameOfSamplesIsAFailure) {
    EXPECT_EQ(encode(wavFile(voiceLike(159))), 0);
    EXPECT_EQ(readFile(amr_).size(), 6u);
}

// The samples of a WAV file written by the decoder (format block of 20 bytes, samples at 48) and
// of a plain one (16 bytes, samples at 44) encode alike; so do samples behind other chunks.
TEST_F(AmrEncoderTest, FindsTheSamplesBehindFormatBlocksOfBothSizesAndOtherChunks) {
    const auto samples = voiceLike(160 * 12);
    ASSERT_EQ(encode(wavFile(samples)), 12);
    const Bytes reference = readFile(amr_);

    const auto header = AmrDecoder::wavHeader(12);
    Bytes decoderWav(header.begin(), header.end());
    const Bytes pcm = test::pcmBytes(samples);
    decoderWav.insert(decoderWav.end(), pcm.begin(), pcm.end());
    EXPECT_EQ(encode(decoderWav), 12);
    EXPECT_EQ(readFile(amr_), reference);

    Bytes chunks;
    append(chunks, "LIST");
    appendLe32(chunks, 10);
    append(chunks, std::string("INFOISFT\0\0", 10));
    append(chunks, "fact");
    appendLe32(chunks, 4);
    appendLe32(chunks, 1920);
    EXPECT_EQ(encode(wavFile(samples, chunks)), 12);
    EXPECT_EQ(readFile(amr_), reference);
}

// A chunk of `id` with `body`, padded to an even length as RIFF files are.
Bytes chunk(const std::string& id, const Bytes& body, std::uint32_t declared = 0) {
    Bytes out;
    append(out, id);
    appendLe32(out, declared ? declared : static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) {
        out.push_back(0);
    }
    return out;
}

// A mono 8000 Hz format chunk's body of `size` bytes: 16 plain, 18 with an empty extension, 40
// for the extensible format.
Bytes formatBody(std::size_t size) {
    Bytes body;
    test::appendLe16(body, size == 40 ? 0xFFFE : 1);
    test::appendLe16(body, 1);
    appendLe32(body, 8000);
    appendLe32(body, 16000);
    test::appendLe16(body, 2);
    test::appendLe16(body, 16);
    if (size > 16) {
        test::appendLe16(body, static_cast<std::uint16_t>(size - 18));
    }
    body.resize(size, 0);
    return body;
}

Bytes riffFile(std::initializer_list<Bytes> chunks) {
    Bytes body;
    append(body, "WAVE");
    for (const Bytes& c : chunks) {
        body.insert(body.end(), c.begin(), c.end());
    }
    Bytes out;
    append(out, "RIFF");
    appendLe32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// Whatever the writer put around them, the data chunk's samples and only they are encoded.
TEST_F(AmrEncoderTest, OnlyTheDataChunkIsEncodedWhereverItLies) {
    const auto samples = voiceLike(160 * 12);
    const Bytes pcm = test::pcmBytes(samples);
    ASSERT_EQ(encode(wavFile(samples)), 12);
    const Bytes reference = readFile(amr_);

    Bytes list;
    append(list, "INFOISFT");
    appendLe32(list, 700);
    list.resize(list.size() + 700, 'x');
    const Bytes odd = {'I', 'N', 'F', 'O', 'x', 'y', 'z'};
    Bytes cut(pcm.begin(), pcm.begin() + 320 * 12 + 100);
    struct Case {
        const char* name;
        Bytes file;
    };
    const std::vector<Case> cases = {
        {"format of 18 bytes", riffFile({chunk("fmt ", formatBody(18)), chunk("data", pcm)})},
        {"format of 40 bytes", riffFile({chunk("fmt ", formatBody(40)), chunk("data", pcm)})},
        {"LIST after the data",
         riffFile({chunk("fmt ", formatBody(16)), chunk("data", pcm), chunk("LIST", list)})},
        {"odd-sized chunk before the data",
         riffFile({chunk("fmt ", formatBody(16)), chunk("LIST", odd), chunk("data", pcm)})},
        {"format after a JUNK chunk",
         riffFile(
             {chunk("JUNK", Bytes(28, 0)), chunk("fmt ", formatBody(18)), chunk("data", pcm)})},
        {"data longer than the file",
         riffFile({chunk("fmt ", formatBody(16)), chunk("data", cut, 0xFFFFFFFF)})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(encode(c.file), 12);
        EXPECT_EQ(readFile(amr_), reference);
    }
}

// One second of any 16-bit PCM layout is one second of voice: 50 frames of 20 ms. Samples of
// another width are refused.
TEST_F(AmrEncoderTest, OtherRatesAndChannelsAreMixedToVoiceAndOtherWidthsRefused) {
    struct Case {
        const char* name;
        std::uint16_t channels;
        std::uint32_t rate;
        std::uint16_t bits;
        int frames;
    };
    const Case cases[] = {{"stereo 44.1 kHz", 2, 44100, 16, 50},
                          {"mono 16 kHz", 1, 16000, 16, 50},
                          {"mono 8 kHz", 1, 8000, 16, 50},
                          {"8-bit", 1, 8000, 8, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes format;
        test::appendLe16(format, 1);
        test::appendLe16(format, c.channels);
        appendLe32(format, c.rate);
        appendLe32(format, c.rate * c.channels * c.bits / 8);
        test::appendLe16(format, static_cast<std::uint16_t>(c.channels * c.bits / 8));
        test::appendLe16(format, c.bits);
        const auto samples = voiceLike(c.rate * c.channels * c.bits / 16);
        EXPECT_EQ(encode(riffFile({chunk("fmt ", format), chunk("data", test::pcmBytes(samples))})),
                  c.frames);
    }
}

TEST_F(AmrEncoderTest, DecodedFileIsReencodedFrameForFrame) {
    const Bytes amrIn = test::amrFile(test::amrFrames(25));
    writeFile(home_.path() / "voice.amr", amrIn);
    ASSERT_EQ(AmrDecoder::decodeFile((home_.path() / "voice.amr").string(), wav_.string()), 25);
    EXPECT_EQ(AmrEncoder::encodeFile(wav_.string(), amr_.string(), 1, 16), 25);
    EXPECT_EQ(readFile(amr_).size(), 6u + 25 * 32);
}

TEST_F(AmrEncoderTest, FileEndingBeforeADataChunkGivesNoFrame) {
    auto riff = [](const std::string& chunks) {
        Bytes b;
        append(b, "RIFF");
        appendLe32(b, 1000);
        append(b, "WAVE");
        append(b, chunks);
        return b;
    };
    Bytes fmt;
    append(fmt, "fmt ");
    appendLe32(fmt, 16);
    fmt.resize(24, 1);
    Bytes hugeChunk = fmt;
    append(hugeChunk, "LIST");
    appendLe32(hugeChunk, 0xFFFFFFFF);
    append(hugeChunk, "data");
    appendLe32(hugeChunk, 320);
    hugeChunk.resize(hugeChunk.size() + 320, 0);
    Bytes oddHugeChunk = fmt;
    append(oddHugeChunk, "LIST");
    appendLe32(oddHugeChunk, 0xFFFFFFFD);
    append(oddHugeChunk, "data");
    appendLe32(oddHugeChunk, 320);
    oddHugeChunk.resize(oddHugeChunk.size() + 320, 0);
    Bytes shortChunk = fmt;
    append(shortChunk, "LIST");
    appendLe32(shortChunk, 4);
    append(shortChunk, "da");

    const std::vector<Bytes> inputs = {{},
                                       {'R', 'I', 'F', 'F'},
                                       riff(""),
                                       riff("fmt "),
                                       riff(std::string(fmt.begin(), fmt.end())),
                                       hugeChunk,
                                       oddHugeChunk,
                                       shortChunk};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(encode(inputs[i]), 0);
    }
}

TEST_F(AmrEncoderTest, RefusesWhatItCannotEncodeWithoutTouchingFiles) {
    const Bytes wav = wavFile(voiceLike(1600));
    writeFile(wav_, wav);
    EXPECT_EQ(AmrEncoder::encodeFile(wav_.string(), amr_.string(), 2, 16), 0);
    EXPECT_EQ(AmrEncoder::encodeFile(wav_.string(), amr_.string(), 1, 8), 0);
    EXPECT_FALSE(std::filesystem::exists(amr_));
    EXPECT_EQ(AmrEncoder::encodeFile((home_.path() / "missing.wav").string(), amr_.string(), 1, 16),
              0);
    EXPECT_FALSE(std::filesystem::exists(amr_));
    EXPECT_EQ(
        AmrEncoder::encodeFile(wav_.string(), (home_.path() / "no/dir/x.amr").string(), 1, 16), 0);
    EXPECT_EQ(AmrEncoder::encodeFile(wav_.string(), wav_.string(), 1, 16), 0);
    EXPECT_EQ(readFile(wav_), wav);
}

TEST(AmrEncoderFrameTest, CallersSamplesSurviveEncoding) {
    const auto original = voiceLike(320);
    auto samples = original;
    AmrEncoder first;
    AmrEncoder second;
    std::uint8_t a[32];
    std::uint8_t b[32];
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(first.encode(samples.data() + 160 * frame, a), 32);
        // Encoding the same frame again in a fresh state must give the same bits, which holds only
        // when the first call left the samples alone.
        ASSERT_EQ(second.encode(samples.data() + 160 * frame, b), 32);
        EXPECT_EQ(Bytes(a, a + 32), Bytes(b, b + 32));
    }
    EXPECT_EQ(samples, original);
}

}  // namespace
}  // namespace oa
