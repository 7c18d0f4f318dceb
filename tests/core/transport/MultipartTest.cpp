// Multipart form requests on the wire: the layout byte for byte, file parts from disk or
// memory, and files that are missing before or at sending.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "core/transport/ASIFormDataRequest.h"
#include "support/HttpTestServer.h"
#include "support/TempHome.h"

namespace oa {
namespace {

namespace fs = std::filesystem;
using test::HttpTestServer;

class MultipartTest : public ::testing::Test {
protected:
    void SetUp() override { server.setReply("/upload", {200, {}, "stored"}); }

    std::string writeFile(const std::string& name, const std::string& bytes) {
        const fs::path path = home.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // The boundary the request announced, checked against its required form.
    static std::string boundaryOf(const test::CapturedRequest& got) {
        const std::string type = got.header("Content-Type").value_or("");
        std::smatch match;
        const std::regex form(
            "multipart/form-data; charset=utf-8; boundary=(0xKhTmLbOuNdArY-"
            "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12})");
        EXPECT_TRUE(std::regex_match(type, match, form)) << type;
        return match.size() > 1 ? match[1].str() : std::string();
    }

    test::TempHome home;
    HttpTestServer server;
};

TEST_F(MultipartTest, TextFieldsComeFirstThenFilePartsThenTheClosingLine) {
    const std::string picture("\x89PNG\r\n\x1a\n\0\x01\xff", 11);
    const std::string path = writeFile("uploadedfile0.png", picture);
    auto request = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    request->setFile("uploadedfile_0", path);  // added before the text fields on purpose
    request->setPostValue("A", "submit");
    request->setPostValue("CONTENT", "日记 & more");
    request->setPostValue("EMPTY", std::nullopt);
    request->startSynchronous();
    ASSERT_FALSE(request->error()) << request->error()->description;
    EXPECT_EQ(request->responseString(), "stored");

    ASSERT_EQ(server.requests().size(), 1u);
    const auto got = server.requests()[0];
    const std::string b = boundaryOf(got);
    const std::string expected = "--" + b +
                                 "\r\n"
                                 "Content-Disposition: form-data; name=\"A\"\r\n\r\n"
                                 "submit\r\n--" +
                                 b +
                                 "\r\n"
                                 "Content-Disposition: form-data; name=\"CONTENT\"\r\n\r\n"
                                 "日记 & more\r\n--" +
                                 b +
                                 "\r\n"
                                 "Content-Disposition: form-data; name=\"EMPTY\"\r\n\r\n"
                                 "\r\n--" +
                                 b +
                                 "\r\n"
                                 "Content-Disposition: form-data; name=\"uploadedfile_0\"; "
                                 "filename=\"uploadedfile0.png\"\r\n"
                                 "Content-Type: image/png\r\n\r\n" +
                                 picture + "\r\n--" + b + "--\r\n";
    EXPECT_EQ(got.body, expected);
    EXPECT_EQ(got.header("Content-Length"), std::to_string(expected.size()));
    EXPECT_EQ(got.method, "POST");
}

TEST_F(MultipartTest, EveryRequestGetsAFreshBoundary) {
    const std::string path = writeFile("a.txt", "x");
    std::string first;
    for (int i = 0; i < 2; ++i) {
        auto request = ASIFormDataRequest::requestWithURL(server.url("/upload"));
        request->setFile("f", path);
        request->startSynchronous();
        ASSERT_FALSE(request->error());
    }
    const auto all = server.requests();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_NE(boundaryOf(all[0]), boundaryOf(all[1]));
}

TEST_F(MultipartTest, FilePartsFollowTheReplaceAndAppendRules) {
    const std::string one = writeFile("one.amr", "#!AMR\n1");
    const std::string two = writeFile("two.bin.unknownext", "2");
    auto request = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    request->setFile("voice", one);
    request->addData("pic", "PIC", "p.jpg", "image/jpeg");
    request->addFile("voice", two);
    request->setData("raw", "bytes");
    request->setFile("voice", two, "renamed.dat", "application/x-test");
    request->startSynchronous();
    ASSERT_FALSE(request->error());
    const auto form = server.requests().at(0).form();
    ASSERT_EQ(form.size(), 3u);
    EXPECT_EQ(form[0].name, "pic");
    EXPECT_EQ(form[0].value, "PIC");
    EXPECT_EQ(form[0].fileName, "p.jpg");
    EXPECT_EQ(form[1].name, "raw");
    EXPECT_EQ(form[1].fileName, "file");
    EXPECT_EQ(form[1].contentType, "application/octet-stream");
    EXPECT_EQ(form[2].name, "voice");
    EXPECT_EQ(form[2].value, "2");
    EXPECT_EQ(form[2].fileName, "renamed.dat");
    EXPECT_EQ(form[2].contentType, "application/x-test");
}

TEST_F(MultipartTest, ContentTypeFollowsTheExtension) {
    const std::string amr = writeFile("v.amr", "a");
    const std::string odd = writeFile("noext", "b");
    auto request = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    request->addFile("a", amr);
    request->addFile("b", odd);
    request->startSynchronous();
    ASSERT_FALSE(request->error());
    const auto form = server.requests().at(0).form();
    ASSERT_EQ(form.size(), 2u);
    EXPECT_EQ(form[0].contentType, "audio/AMR");
    EXPECT_EQ(form[1].fileName, "noext");
    EXPECT_EQ(form[1].contentType, "application/octet-stream");
}

TEST_F(MultipartTest, QuotesAndLineBreaksInNamesCannotBreakThePartHeader) {
    auto request = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    request->setPostValue("a\"b\r\nX: y", "v");
    request->setData("f", "d", "evil\".png");
    request->startSynchronous();
    ASSERT_FALSE(request->error());
    const auto form = server.requests().at(0).form();
    ASSERT_EQ(form.size(), 2u);
    EXPECT_EQ(form[0].name, "a%22b%0D%0AX: y");
    EXPECT_EQ(form[1].fileName, "evil%22.png");
}

TEST_F(MultipartTest, MissingFileFailsAtOnceAndNothingIsSent) {
    const std::string missing = (home.path() / "gone.png").string();
    auto request = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    request->setPostValue("A", "x");
    request->setFile("f", missing);
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->description, "No file exists at " + missing);
    EXPECT_EQ(request->error()->domain(), "ASIHTTPRequestErrorDomain");

    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, RequestErrorType::FileMissing);
    EXPECT_TRUE(request->responseData().empty());

    // A directory is not a file either.
    auto directory = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    directory->setFile("f", home.path().string());
    directory->startSynchronous();
    ASSERT_TRUE(directory->error());
    EXPECT_EQ(directory->error()->description, "No file exists at " + home.path().string());

    // A following request on the same server shows that nothing arrived before it.
    auto probe = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    probe->startSynchronous();
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(MultipartTest, FileRemovedBeforeSendingFailsUnsent) {
    const std::string path = writeFile("later.png", "x");
    auto request = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    request->setFile("f", path);
    ASSERT_FALSE(request->error());
    fs::remove(path);
    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->description, "No file exists at " + path);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(MultipartTest, LargeFileArrivesWhole) {
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>((i * 7919) >> 3);
    }
    const std::string path = writeFile("big.bin", big);
    auto request = ASIFormDataRequest::requestWithURL(server.url("/upload"));
    request->setPostValue("k", "v");
    request->setFile("f", path);
    request->startSynchronous();
    ASSERT_FALSE(request->error());
    const auto form = server.requests().at(0).form();
    ASSERT_EQ(form.size(), 2u);
    EXPECT_TRUE(form[1].value == big);
}

}  // namespace
}  // namespace oa
