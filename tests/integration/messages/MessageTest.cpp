// Instant messages through the core's MessageBO against the demo server: a text message pushed
// to the partner's IM socket and shown in both dialogs, and a voice message recorded as WAV,
// converted, uploaded, downloaded unchanged and decoded again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <vector>

#include "core/platform/AppPaths.h"
#include "core/protocol/MessageBO.h"
#include "core/voice/VoiceConverter.h"
#include "integration/ClientFixture.h"

namespace oa::test {
namespace {

constexpr int kRate = 8000;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void putLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A voice-like recording: a 140 Hz voice with a few harmonics, spoken in syllables of a quarter
// second, as 16-bit mono samples at 8000 Hz.
std::vector<std::int16_t> speechLike(double seconds) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * kRate));
    const double pi = std::numbers::pi;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double syllable = std::pow(std::sin(pi * 4.0 * t), 2.0);
        double voice = 0;
        for (int h = 1; h <= 6; ++h) {
            voice += std::sin(2 * pi * 140.0 * h * t) / h;
        }
        samples[i] = static_cast<std::int16_t>(7000.0 * syllable * voice);
    }
    return samples;
}

void writeWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    putLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2);  // PCM
    putLe(out, 1, 2);  // mono
    putLe(out, kRate, 4);
    putLe(out, kRate * 2, 4);
    putLe(out, 2, 2);
    putLe(out, 16, 2);
    out += "data";
    putLe(out, dataBytes, 4);
    for (const auto sample : samples) {
        putLe(out, static_cast<std::uint16_t>(sample), 2);
    }
    std::ofstream(path, std::ios::binary) << out;
}

// Loudness per tenth of a second.
std::vector<double> envelope(const std::vector<std::int16_t>& samples) {
    std::vector<double> blocks;
    const std::size_t block = kRate / 10;
    for (std::size_t start = 0; start + block <= samples.size(); start += block) {
        double sum = 0;
        for (std::size_t i = start; i < start + block; ++i) {
            sum += static_cast<double>(samples[i]) * samples[i];
        }
        blocks.push_back(std::sqrt(sum / block));
    }
    return blocks;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const std::size_t n = std::min(a.size(), b.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ma += a[i] / n;
        mb += b[i] / n;
    }
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

class MessageTest : public ClientServerTest {
protected:
    // The partner's push channel, announced to the IM service from a socket of its own.
    std::unique_ptr<UdpPeer> partnerChannel(const std::string& user) {
        auto peer = std::make_unique<UdpPeer>("127.0.0.1", 0);
        peer->send("C^m^l^" + user + "^" + scramble("123456") + "^", kServerHost,
                   server_->imPort());
        EXPECT_EQ(peer->receive(kWaitLimit), std::optional<std::string>("v^OK"));
        return peer;
    }
};

// Characters the form encoding must carry: "&", "+", "%", "=" and quotes.
const std::string kText = "张总：周会改到三点 & 会议室在“二楼”，A+B=100%";

TEST_F(MessageTest, TextMessageIsPushedAndShowsInBothDialogs) {
    auto zhangwei = partnerChannel("zhangwei");
    ASSERT_TRUE(signInAs("lina"));
    EXPECT_TRUE(MessageBO().sendSignleMsg("9", kText));
    EXPECT_EQ(zhangwei->receive(kWaitLimit), std::optional<std::string>("n^message"));

    // The sender's dialog, newest first, shows it on her own side.
    const auto sent = MessageBO().getMessageDetail("9");
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front()->content, kText);
    EXPECT_EQ(sent.front()->msg_from, "1");

    ASSERT_TRUE(signInAs("zhangwei"));
    // What an open dialog fetches on the push: the newest message, from the partner.
    const auto newest = MessageBO().getSignleMsg("10");
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->content, kText);
    EXPECT_EQ(newest->q_uid, "10");
    EXPECT_EQ(newest->q_name, "李娜");
    EXPECT_EQ(newest->msg_from, "0");

    auto conversationWithLina = [] {
        for (const auto& row : MessageBO().getMessageInfo()) {
            if (row->q_id == "10") {
                return row;
            }
        }
        return std::shared_ptr<MessageListVO>();
    };
    const auto before = conversationWithLina();
    ASSERT_TRUE(before);
    EXPECT_EQ(before->content, kText);
    EXPECT_EQ(before->read_flag, "0");
    EXPECT_EQ(before->unread_num, "2");  // a voice message from her was waiting already

    const auto dialog = MessageBO().getMessageDetail("10");
    ASSERT_FALSE(dialog.empty());
    EXPECT_EQ(dialog.front()->content, kText);
    EXPECT_EQ(dialog.front()->msg_from, "0");
    // Opening the dialog read it.
    const auto after = conversationWithLina();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->unread_num, "0");
    EXPECT_EQ(after->read_flag, "1");
}

TEST_F(MessageTest, VoiceMessageTravelsUnchangedAndPlaysBack) {
    const auto recording = AppPaths::current().temporary() / "R_5_1372400000.wav";
    const auto samples = speechLike(3.0);
    writeWav(recording, samples);
    const auto amr = VoiceConverter::wavToAmr(recording.string());
    ASSERT_TRUE(amr);
    const std::string uploaded = readFile(*amr);
    ASSERT_EQ(uploaded.size(), 6u + 150u * 32u);  // "#!AMR\n" and 150 frames of 20 ms

    auto zhangwei = partnerChannel("zhangwei");
    ASSERT_TRUE(signInAs("lina"));
    EXPECT_TRUE(MessageBO().sendVoiceMsg("9", "3", *amr));
    EXPECT_EQ(zhangwei->receive(kWaitLimit), std::optional<std::string>("n^message"));

    ASSERT_TRUE(signInAs("zhangwei"));
    const auto dialog = MessageBO().getMessageDetail("10");
    ASSERT_FALSE(dialog.empty());
    const auto voice = dialog.front();
    EXPECT_EQ(voice->isvoicemsg, "1");
    EXPECT_EQ(voice->duration, "3");
    EXPECT_EQ(voice->msg_from, "0");
    ASSERT_TRUE(voice->attachment_id && voice->attachment_name);

    const auto wav =
        MessageBO().getVoiceMessageAttachment_id(voice->attachment_id, voice->attachment_name);
    ASSERT_TRUE(wav);
    const auto downloaded =
        std::filesystem::path(MessageBO::createFilePath()) / *voice->attachment_name;
    EXPECT_EQ(readFile(downloaded), uploaded);
    EXPECT_EQ(*wav, VoiceConverter::wavPath(downloaded.string()));

    // The decoder's WAV: a 48-byte header, then 160 samples per frame.
    const std::string decoded = readFile(*wav);
    ASSERT_EQ(decoded.size(), 48u + 150u * 320u);
    EXPECT_EQ(decoded.substr(0, 4), "RIFF");
    EXPECT_EQ(decoded.substr(8, 4), "WAVE");
    std::vector<std::int16_t> played((decoded.size() - 48) / 2);
    std::memcpy(played.data(), decoded.data() + 48, played.size() * 2);
    // The same syllables, loud where the recording was loud.
    EXPECT_GT(correlation(envelope(samples), envelope(played)), 0.8);
}

}  // namespace
}  // namespace oa::test
