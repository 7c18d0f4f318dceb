// VoiceConverter: path rules, UTF-8 paths, and the sound of a round trip through the codec.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/voice/VoiceConverter.h"
#include "core/voice/VoiceFiles.h"
#include "support/TempHome.h"

namespace oa {
namespace {

using test::Bytes;
using test::readFile;
using test::writeFile;

// Only the extension changes: a home such as /tmp/wav_amr_home must not turn the recording's
// AMR file into a path in a folder that does not exist.
TEST(VoiceConverterPathTest, OnlyTheExtensionIsReplaced) {
    struct Case {
        std::string wav;
        std::string amr;
    };
    const std::vector<Case> cases = {
        {"/tmp/R_5_1700000000.wav", "/tmp/R_5_1700000000.amr"},
        {"/tmp/wav_amr_home/tmp/R_5_1.wav", "/tmp/wav_amr_home/tmp/R_5_1.amr"},
        {"/data/wavs/wav.amr.wav", "/data/wavs/wav.amr.amr"},
        {"wavwav.wav", "wavwav.amr"},
        {"/voice/消息.wav", "/voice/消息.amr"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VoiceConverter::amrPath(c.wav), c.amr);
    }
    const std::vector<Case> back = {
        {"/tmp/wav_amr_home/Documents/voice/voice_7.wav",
         "/tmp/wav_amr_home/Documents/voice/voice_7.amr"},
        {"/amr/.download-voice_amr.amr.wav", "/amr/.download-voice_amr.amr.amr"},
        {"amramr.wav", "amramr.amr"},
    };
    for (const auto& c : back) {
        EXPECT_EQ(VoiceConverter::wavPath(c.amr), c.wav);
    }
    // Without the extension the path stays as it is, and the conversion refuses to write over
    // its own input.
    for (const std::string path : {"/tmp/R.WAV", "/tmp/wav", "/tmp/x.wav/R_5_1", "/tmp/.wavx"}) {
        EXPECT_EQ(VoiceConverter::amrPath(path), path);
    }
    for (const std::string path : {"/Documents/voice/1.mp3", "/voice/amr", "/voice/1.amr.bak"}) {
        EXPECT_EQ(VoiceConverter::wavPath(path), path);
    }
}

class VoiceConverterTest : public ::testing::Test {
protected:
    test::TempHome home_;
};

TEST_F(VoiceConverterTest, ConvertsFilesWithNonAsciiNames) {
    const auto dir = home_.path() / "语音";
    std::filesystem::create_directory(dir);
    const auto amr = dir / "张三 的留言.amr";
    writeFile(amr, test::amrFile(test::amrFrames(10)));

    const auto wav = VoiceConverter::amrToWav(amr.string());
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(*wav, (dir / "张三 的留言.wav").string());
    EXPECT_EQ(readFile(*wav).size(), 48u + 10 * 320);

    const auto recording = dir / "录音_R_5_1.wav";
    std::filesystem::rename(*wav, recording);
    const auto back = VoiceConverter::wavToAmr(recording.string());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, (dir / "录音_R_5_1.amr").string());
    EXPECT_EQ(readFile(*back).size(), 6u + 10 * 32);
}

TEST_F(VoiceConverterTest, FailuresGiveNothing) {
    // A folder named with "wav" and "amr" holds both files.
    const auto wavDir = home_.path() / "wav_amr_home";
    std::filesystem::create_directory(wavDir);
    writeFile(wavDir / "R_5_1.wav", test::wavFile(test::voiceLike(1600)));
    EXPECT_EQ(VoiceConverter::wavToAmr((wavDir / "R_5_1.wav").string()),
              (wavDir / "R_5_1.amr").string());
    EXPECT_EQ(VoiceConverter::amrToWav((wavDir / "R_5_1.amr").string()),
              (wavDir / "R_5_1.wav").string());

    EXPECT_FALSE(VoiceConverter::wavToAmr((home_.path() / "missing.wav").string()).has_value());
    EXPECT_FALSE(VoiceConverter::amrToWav((home_.path() / "missing.amr").string()).has_value());

    // A downloaded name without "amr" would be decoded over itself; it is left intact instead.
    const Bytes download = test::amrFile(test::amrFrames(3));
    writeFile(home_.path() / "voice.bin", download);
    EXPECT_FALSE(VoiceConverter::amrToWav((home_.path() / "voice.bin").string()).has_value());
    EXPECT_EQ(readFile(home_.path() / "voice.bin"), download);

    const Bytes notAmr = {'<', 'h', 't', 'm', 'l', '>'};
    writeFile(home_.path() / "error.amr", notAmr);
    EXPECT_FALSE(VoiceConverter::amrToWav((home_.path() / "error.amr").string()).has_value());
    EXPECT_FALSE(std::filesystem::exists(home_.path() / "error.wav"));
}

// The codec is lossy: the decoded speech must still follow the original closely, at the same
// loudness, with at most a short codec delay.
TEST_F(VoiceConverterTest, RoundTripKeepsAVoiceLikeSignal) {
    const auto original = test::voiceLike(8000 * 2);
    const auto wavIn = home_.path() / "R_5_2.wav";
    writeFile(wavIn, test::wavFile(original));
    const auto amr = VoiceConverter::wavToAmr(wavIn.string());
    ASSERT_TRUE(amr.has_value());
    std::filesystem::rename(wavIn, home_.path() / "original.keep");
    const auto wavOut = VoiceConverter::amrToWav(*amr);
    ASSERT_TRUE(wavOut.has_value());
    const auto decoded = test::samplesOf(readFile(*wavOut), 48);
    ASSERT_EQ(decoded.size(), original.size());

    double bestCorrelation = -1.0;
    int bestLag = 0;
    for (int lag = 0; lag <= 320; ++lag) {
        double xy = 0;
        double xx = 0;
        double yy = 0;
        for (std::size_t n = 1600; n + static_cast<std::size_t>(lag) < decoded.size(); ++n) {
            const double x = original[n];
            const double y = decoded[n + static_cast<std::size_t>(lag)];
            xy += x * y;
            xx += x * x;
            yy += y * y;
        }
        const double correlation = xy / std::sqrt(xx * yy);
        if (correlation > bestCorrelation) {
            bestCorrelation = correlation;
            bestLag = lag;
        }
    }
    auto energy = [](const std::vector<short>& s) {
        double sum = 0;
        for (std::size_t n = 1600; n < s.size(); ++n) {
            sum += static_cast<double>(s[n]) * s[n];
        }
        return sum;
    };
    const double energyRatio = energy(decoded) / energy(original);
    RecordProperty("correlation", std::to_string(bestCorrelation));
    RecordProperty("lag", bestLag);
    RecordProperty("energy_ratio", std::to_string(energyRatio));
    EXPECT_GT(bestCorrelation, 0.75);
    EXPECT_LT(bestLag, 160);
    EXPECT_GT(energyRatio, 0.5);
    EXPECT_LT(energyRatio, 2.0);
}

}  // namespace
}  // namespace oa
