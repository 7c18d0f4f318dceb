// The large and unusual attachments of the seed data (a photo of about 4 MB, a picture of
// 300 x 1200, a ".zip"), checked as files a viewer would open, and attachment downloads paced by
// --attachment-rate.
#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <future>
#include <map>
#include <thread>

#include "server/DownloadPacer.h"
#include "server/ServerFixture.h"
#include "server/ServerOptions.h"

namespace oa::test {
namespace {

constexpr const char* kSubject = "端午团建活动照片和资料";

std::uint32_t bigEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    }
    return value;
}

std::uint32_t little(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value =
            (value << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    }
    return value;
}

std::uint32_t crcOf(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// zlib or raw deflate (windowBits -15) inflated whole; nothing when the data is not one
// complete stream.
std::optional<std::string> inflateAll(const std::string& data, int windowBits) {
    z_stream z{};
    if (inflateInit2(&z, windowBits) != Z_OK) {
        return std::nullopt;
    }
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) {
        return std::nullopt;
    }
    return out;
}

struct PngInfo {
    std::uint32_t width = 0, height = 0;
};

// Checks every chunk's CRC and that the pixel data inflates to exactly the rows an 8-bit RGB
// picture of that size needs.
std::optional<PngInfo> readPng(const std::string& file) {
    if (file.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) != 0) {
        ADD_FAILURE() << "no PNG signature";
        return std::nullopt;
    }
    PngInfo info;
    std::string pixels;
    bool ended = false;
    for (std::size_t at = 8; at < file.size() && !ended;) {
        const std::uint32_t length = bigEndian32(file, at);
        const std::string type = file.substr(at + 4, 4);
        const std::string data = file.substr(at + 8, length);
        if (crcOf(type + data) != bigEndian32(file, at + 8 + length)) {
            ADD_FAILURE() << "bad CRC in " << type;
            return std::nullopt;
        }
        if (type == "IHDR") {
            info.width = bigEndian32(data, 0);
            info.height = bigEndian32(data, 4);
            EXPECT_EQ(data.substr(8, 2), std::string("\x08\x02", 2)) << "8-bit RGB";
        } else if (type == "IDAT") {
            pixels += data;
        } else if (type == "IEND") {
            ended = at + 12 == file.size();
        }
        at += 12 + length;
    }
    EXPECT_TRUE(ended) << "IEND missing or not last";
    const auto raw = inflateAll(pixels, 15);
    if (!raw) {
        ADD_FAILURE() << "pixel data does not inflate";
        return std::nullopt;
    }
    EXPECT_EQ(raw->size(), (std::size_t{info.width} * 3 + 1) * info.height);
    return info;
}

// The entries of a ZIP file by name, read through its central directory, each checked against
// its local header and its CRC.
std::map<std::string, std::string> readZip(const std::string& zip) {
    std::map<std::string, std::string> entries;
    const std::size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos || end + 22 != zip.size()) {
        ADD_FAILURE() << "no end record at the end";
        return entries;
    }
    const std::uint32_t count = little(zip, end + 10, 2);
    std::size_t at = little(zip, end + 16, 4);
    EXPECT_EQ(at + little(zip, end + 12, 4), end) << "directory size";
    for (std::uint32_t i = 0; i < count; ++i) {
        if (little(zip, at, 4) != 0x02014b50) {
            ADD_FAILURE() << "bad directory entry " << i;
            return entries;
        }
        const auto flags = little(zip, at + 8, 2);
        const auto method = little(zip, at + 10, 2);
        const auto crc = little(zip, at + 16, 4);
        const auto packedSize = little(zip, at + 20, 4);
        const auto size = little(zip, at + 24, 4);
        const auto nameSize = little(zip, at + 28, 2);
        const auto extraSize = little(zip, at + 30, 2);
        const auto commentSize = little(zip, at + 32, 2);
        const std::size_t local = little(zip, at + 42, 4);
        const std::string name = zip.substr(at + 46, nameSize);
        EXPECT_TRUE(flags & (1u << 11)) << name << ": names are marked UTF-8";

        EXPECT_EQ(little(zip, local, 4), 0x04034b50u) << name;
        EXPECT_EQ(little(zip, local + 14, 4), crc) << name;
        const auto localName = little(zip, local + 26, 2);
        const auto localExtra = little(zip, local + 28, 2);
        EXPECT_EQ(zip.substr(local + 30, localName), name);
        const std::string packed = zip.substr(local + 30 + localName + localExtra, packedSize);
        std::optional<std::string> data;
        if (method == 0) {
            data = packed;
        } else if (method == 8) {
            data = inflateAll(packed, -15);
        }
        if (!data) {
            ADD_FAILURE() << name << ": method " << method << " does not read";
            continue;
        }
        EXPECT_EQ(data->size(), size) << name;
        EXPECT_EQ(crcOf(*data), crc) << name;
        entries[name] = *data;
        at += 46 + nameSize + extraSize + commentSize;
    }
    return entries;
}

class AttachmentDownloadTest : public ServerFixture {
protected:
    struct Attachment {
        std::string id;
        std::string name;
        char category = '?';
        std::string path;  // of the download, as the snippet's "message:" link gives it
    };

    // The attachments of the outing e-mail in wangjianguo's inbox, in order.
    std::vector<Attachment> outingAttachments(const std::string& session) {
        const auto list = nlohmann::json::parse(
            listPage("/mobile/email/data.php", session, "loadList"), nullptr, false);
        EXPECT_TRUE(list.is_array());
        std::string mailId;
        for (const auto& item : list) {
            if (item.value("subject", "") == kSubject) {
                mailId = item.value("q_id", "");
            }
        }
        EXPECT_FALSE(mailId.empty()) << "no \"" << kSubject << "\" on the first page";
        const auto detail =
            postJson("/mobile/email/data.php",
                     {{"ATYPE", "getEmailContent"}, {"P", session}, {"Q_ID", mailId}});
        const std::string ids = detail.value("attachment_id", ""),
                          names = detail.value("attachment_name", "");
        std::vector<Attachment> out;
        for (std::size_t i = 0, n = 0; i < ids.size() && n < names.size();) {
            Attachment a;
            a.id = ids.substr(i, ids.find(',', i) - i);
            a.name = names.substr(n, names.find('*', n) - n);
            i = ids.find(',', i) + 1;
            n = names.find('*', n) + 1;
            const std::string snippet =
                postText("/mobile/attach.php",
                         {{"P", session}, {"ATTACHMENT_ID", a.id}, {"ATTACHMENT_NAME", a.name}});
            const auto start = snippet.find("href=\"message:");
            if (start == std::string::npos) {
                ADD_FAILURE() << snippet;
                continue;
            }
            const std::string link =
                snippet.substr(start + 6, snippet.find('"', start + 6) - start - 6);
            a.category = link.at(8);
            a.path = link.substr(10);
            for (auto at = a.path.find("&amp;"); at != std::string::npos;
                 at = a.path.find("&amp;")) {
                a.path.replace(at, 5, "&");
            }
            out.push_back(a);
        }
        return out;
    }

    httplib::Result download(const std::string& path) { return client()->Get(path); }
};

TEST_F(AttachmentDownloadTest, OutingMailCarriesAPhotoATallPictureAndAZip) {
    const std::string session = signIn("wangjianguo");
    const auto attachments = outingAttachments(session);
    ASSERT_EQ(attachments.size(), 3u);
    EXPECT_EQ(attachments[0].name, "团建合影.png");
    EXPECT_EQ(attachments[1].name, "活动流程.png");
    EXPECT_EQ(attachments[2].name, "团建活动资料.zip");
    // Pictures open as pictures (and can be saved), the archive as a document.
    EXPECT_EQ(attachments[0].category, '1');
    EXPECT_EQ(attachments[1].category, '1');
    EXPECT_EQ(attachments[2].category, '0');

    const auto photo = download(attachments[0].path);
    ASSERT_TRUE(photo);
    ASSERT_EQ(photo->status, 200);
    EXPECT_EQ(photo->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(photo->get_header_value("Content-Length"), std::to_string(photo->body.size()));
    // About 4 MB: large enough that a download shows its progress.
    EXPECT_GE(photo->body.size(), 4'000'000u);
    EXPECT_LT(photo->body.size(), 5'000'000u);
    const auto photoInfo = readPng(photo->body);
    ASSERT_TRUE(photoInfo);
    EXPECT_EQ(photoInfo->width, 1600u);
    EXPECT_EQ(photoInfo->height, 1200u);

    const auto tall = download(attachments[1].path);
    ASSERT_TRUE(tall);
    ASSERT_EQ(tall->status, 200);
    const auto tallInfo = readPng(tall->body);
    ASSERT_TRUE(tallInfo);
    EXPECT_EQ(tallInfo->width, 300u);
    EXPECT_EQ(tallInfo->height, 1200u);

    const auto zip = download(attachments[2].path);
    ASSERT_TRUE(zip);
    ASSERT_EQ(zip->status, 200);
    EXPECT_EQ(zip->get_header_value("Content-Type"), "application/zip");
    const auto entries = readZip(zip->body);
    std::vector<std::string> names;
    for (const auto& [name, data] : entries) {
        names.push_back(name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"团建活动资料/报名统计.png", "团建活动资料/活动安排.txt",
                                        "团建活动资料/活动须知.pdf", "团建活动资料/费用明细.xls"}));
    if (entries.count("团建活动资料/报名统计.png")) {
        EXPECT_TRUE(readPng(entries.at("团建活动资料/报名统计.png")));
    }
    if (entries.count("团建活动资料/活动须知.pdf")) {
        EXPECT_EQ(entries.at("团建活动资料/活动须知.pdf").substr(0, 5), "%PDF-");
    }
    if (entries.count("团建活动资料/活动安排.txt")) {
        EXPECT_NE(entries.at("团建活动资料/活动安排.txt").find("端午团建活动安排"),
                  std::string::npos);
    }

    // Someone the mail was not sent to gets none of it.
    const std::string other = signIn("zhangwei");
    const auto refused =
        download(attachments[0].path.substr(0, attachments[0].path.find("P=") + 2) + other +
                 attachments[0].path.substr(attachments[0].path.find('&')));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 404);
}

// --attachment-rate 16: 16 KB per second, in slices of 1 KB.
class PacedDownloadTest : public AttachmentDownloadTest {
protected:
    void configure(ServerOptions& options) override { options.attachmentRateKbps = rateKbps; }
    std::size_t rateKbps = 16;
};

TEST_F(PacedDownloadTest, PacedFileArrivesWholeWithItsLengthInSeveralPieces) {
    const std::string session = signIn("wangjianguo");
    const auto attachments = outingAttachments(session);
    ASSERT_EQ(attachments.size(), 3u);
    // The tall picture: about 5 KB, a few slices.
    int pieces = 0;
    std::string body;
    httplib::Headers headers;
    auto result = client()->Get(
        attachments[1].path,
        [&](const httplib::Response& res) {
            headers = res.headers;
            return true;
        },
        [&](const char* data, std::size_t length) {
            ++pieces;
            body.append(data, length);
            return true;
        });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    const auto length = headers.find("Content-Length");
    ASSERT_NE(length, headers.end());
    EXPECT_EQ(length->second, std::to_string(body.size()));
    EXPECT_EQ(headers.find("Transfer-Encoding"), headers.end());
    const auto info = readPng(body);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->height, 1200u);
    EXPECT_GE(pieces, 3);

    // Pages that are not attachments are not paced.
    EXPECT_FALSE(listPage("/mobile/email/data.php", session, "loadList").empty());
}

TEST_F(PacedDownloadTest, StoppingTheServerEndsAPacedDownloadAtOnce) {
    const std::string session = signIn("wangjianguo");
    const auto attachments = outingAttachments(session);
    ASSERT_EQ(attachments.size(), 3u);
    // The photo at 16 KB/s would take over four minutes.
    std::promise<void> started;
    std::atomic<std::size_t> received{0};
    auto fetch = std::async(std::launch::async, [&, path = attachments[0].path] {
        auto c = client();
        bool first = true;
        return c->Get(path, [&](const char*, std::size_t length) {
            received += length;
            if (first) {
                first = false;
                started.set_value();
            }
            return true;
        });
    });
    ASSERT_EQ(started.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    // Returns only once every worker has ended, the paced one too.
    server_->stop();
    const auto result = fetch.get();
    EXPECT_LT(received.load(), 4'000'000u);
    EXPECT_TRUE(!result || result->body.size() < 4'000'000u);
}

TEST(DownloadPacerTest, SlicesAndDueTimesFollowTheRate) {
    const DownloadPacer fast(512 * 1024);
    EXPECT_EQ(fast.sliceBytes(), 512u * 1024 / 20);
    const auto start = DownloadPacer::Clock::time_point{};
    // The 4 MB photo at 512 KB/s is due after 8 seconds.
    EXPECT_EQ(fast.dueTime(start, 4u << 20) - start, std::chrono::seconds(8));
    const DownloadPacer slow(1024);
    EXPECT_EQ(slow.sliceBytes(), 1024u);
    EXPECT_EQ(slow.dueTime(start, 512) - start, std::chrono::milliseconds(500));
}

TEST(ServerOptionsTest, AttachmentRateIsOffUnlessGivenAsAWholeNumber) {
    EXPECT_EQ(ServerOptions::parse({}).options->attachmentRateKbps, 0u);
    const auto paced = ServerOptions::parse({"--attachment-rate", "256"});
    ASSERT_TRUE(paced.options);
    EXPECT_EQ(paced.options->attachmentRateKbps, 256u);
    for (const char* bad : {"0", "-5", "12k", "", "99999999999999999999", "1048577"}) {
        const auto refused = ServerOptions::parse({"--attachment-rate", bad});
        EXPECT_FALSE(refused.options) << bad;
        EXPECT_EQ(refused.exitCode, 2) << bad;
    }
    EXPECT_FALSE(ServerOptions::parse({"--attachment-rate"}).options);
}

}  // namespace
}  // namespace oa::test
