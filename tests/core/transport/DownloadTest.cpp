// Downloads streamed to a file: the file appears under its name only when the reply is complete
// and successful, nothing is left behind otherwise, and queued downloads report their progress
// on the main loop.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform/ManualLoop.h"
#include "core/transport/ASIFormDataRequest.h"
#include "core/transport/RequestQueue.h"
#include "support/HttpTestServer.h"
#include "support/TempHome.h"

namespace oa {
namespace {

namespace fs = std::filesystem;
using test::CapturedRequest;
using test::HttpTestServer;

// Bytes that differ from position to position, so that a shifted or repeated piece shows.
std::string pattern(std::size_t size) {
    std::string out(size, '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x & 0xFF);
    }
    return out;
}

std::string gzipped(const std::string& data) {
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string head(std::size_t contentLength) {
    return "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " +
           std::to_string(contentLength) + "\r\n\r\n";
}

// A main loop that also lets a test wait, without running the tasks, until a number of them
// has been posted.
class CountingLoop : public ManualLoop {
public:
    void post(Task task) override {
        {
            std::lock_guard lock(mutex_);
            ++posts_;
        }
        changed_.notify_all();
        ManualLoop::post(std::move(task));
    }
    bool waitForPosts(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return posts_ >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int posts_ = 0;  // Guarded by mutex_.
};

class RecordingDelegate : public ASIHTTPRequestDelegate {
public:
    explicit RecordingDelegate(MainLoop& loop) : loop_(loop) {}
    void requestStarted(ASIHTTPRequest&) override { record("started"); }
    void requestFinished(ASIHTTPRequest&) override { record("finished"); }
    void requestFailed(ASIHTTPRequest&) override { record("failed"); }
    void requestReceivedBytes(ASIHTTPRequest&, std::uint64_t received,
                              std::optional<std::uint64_t> expected) override {
        record("progress");
        progress.push_back({received, expected});
    }

    struct Progress {
        std::uint64_t received;
        std::optional<std::uint64_t> expected;
    };
    std::vector<std::string> events;
    std::vector<Progress> progress;
    bool offMainThread = false;

    bool ended() const {
        return !events.empty() && (events.back() == "finished" || events.back() == "failed");
    }

private:
    void record(const char* what) {
        offMainThread = offMainThread || !loop_.isMainThread();
        events.emplace_back(what);
    }
    MainLoop& loop_;
};

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASIHTTPRequest::clearSession();
        MainLoop::setMain(&loop);
        dir = home.path() / "tmp";
        fs::create_directories(dir);
        destination = dir / "photo.png";
    }
    void TearDown() override {
        server.stop();
        RequestQueue::shared().waitUntilIdle();
        loop.runPending();
        MainLoop::setMain(nullptr);
    }

    std::shared_ptr<ASIHTTPRequest> download(const std::string& path) {
        auto request = ASIHTTPRequest::requestWithURL(server.url(path));
        request->setDownloadDestinationPath(destination.string());
        request->setTimeOutSeconds(10);
        return request;
    }

    // Starts the request on the queue and runs the main loop until its last callback.
    void runQueued(const std::shared_ptr<ASIHTTPRequest>& request) {
        request->setDelegate(&delegate);
        request->startAsynchronous();
        ASSERT_TRUE(loop.runUntil([&] { return delegate.ended(); }));
    }

    CountingLoop loop;
    RecordingDelegate delegate{loop};
    test::TempHome home;
    fs::path dir;
    fs::path destination;
    HttpTestServer server;
};

TEST_F(DownloadTest, CompleteReplyBecomesTheFileWithIdenticalBytes) {
    const std::string body = pattern(300 * 1024);
    server.setReply("/length", {200, {{"Content-Type", "image/png"}}, body});
    server.setReply("/gzip", {200, {{"Content-Encoding", "gzip"}}, gzipped(body)});
    server.setHandler("/chunked", [body](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.write("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        for (std::size_t at = 0; at < body.size(); at += 70000) {
            const std::string piece = body.substr(at, 70000);
            char size[16];
            std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
            ex.write(size);
            ex.write(piece);
            ex.write("\r\n");
        }
        ex.write("0\r\n\r\n");
    });
    server.setReply("/moved", {302, {{"Location", "/length"}}, "moved elsewhere"});
    server.setHandler("/close", HttpTestServer::rawThenClose(
                                    "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body));

    for (const char* path : {"/length", "/gzip", "/chunked", "/moved", "/close"}) {
        for (const bool queued : {false, true}) {
            SCOPED_TRACE(std::string(path) + (queued ? " queued" : " synchronous"));
            // A file of an earlier download under the same name is replaced.
            std::ofstream(destination, std::ios::binary) << "earlier file";
            auto request = download(path);
            if (queued) {
                delegate.events.clear();
                runQueued(request);
                EXPECT_EQ(delegate.events.back(), "finished");
            } else {
                request->startSynchronous();
            }
            ASSERT_FALSE(request->error()) << request->error()->description;
            EXPECT_EQ(request->responseStatusCode(), 200);
            EXPECT_EQ(readFile(destination), body);
            EXPECT_TRUE(request->responseData().empty());
            EXPECT_EQ(filesIn(dir), std::vector<std::string>{"photo.png"});
        }
    }
}

TEST_F(DownloadTest, EmptySuccessfulReplyLeavesAnEmptyFile) {
    server.setReply("/empty", {200, {}, ""});
    auto request = download("/empty");
    request->startSynchronous();
    ASSERT_FALSE(request->error()) << request->error()->description;
    ASSERT_TRUE(fs::exists(destination));
    EXPECT_EQ(fs::file_size(destination), 0u);
    EXPECT_EQ(filesIn(dir), std::vector<std::string>{"photo.png"});
}

TEST_F(DownloadTest, FileLimitIsSeparateFromTheInMemoryCap) {
    const std::string body = pattern(64 * 1024);
    server.setReply("/file", {200, {}, body});
    server.setReply("/packed", {200, {{"Content-Encoding", "gzip"}}, gzipped(body)});

    // The in-memory cap does not apply to a body that goes to the file.
    auto small = download("/file");
    small->setMaxResponseSize(1024);
    small->startSynchronous();
    ASSERT_FALSE(small->error()) << small->error()->description;
    EXPECT_EQ(readFile(destination), body);
    fs::remove(destination);

    for (const char* path : {"/file", "/packed"}) {
        SCOPED_TRACE(path);
        auto capped = download(path);
        capped->setMaxDownloadSize(32 * 1024);
        capped->startSynchronous();
        ASSERT_TRUE(capped->error());
        EXPECT_EQ(capped->error()->type, RequestErrorType::ResponseTooLarge);
        EXPECT_EQ(capped->error()->description,
                  "The reply was larger than the limit of 32768 bytes");
        EXPECT_TRUE(filesIn(dir).empty());
    }
    EXPECT_EQ(ASIHTTPRequest::requestWithURL("http://127.0.0.1/")->maxDownloadSize(),
              ASIHTTPRequest::kDefaultMaxDownloadSize);
    EXPECT_GT(ASIHTTPRequest::kDefaultMaxDownloadSize, ASIHTTPRequest::kDefaultMaxResponseSize);
}

TEST_F(DownloadTest, ErrorStatusKeepsItsPageInMemoryAndLeavesNoFile) {
    server.setReply(
        "/missing",
        {404, {{"Content-Type", "text/html; charset=utf-8"}}, "<p>附件不存在或无权查看。</p>"});
    server.setReply("/broken", {500, {}, "ERROR: internal server error"});
    for (const char* path : {"/missing", "/broken"}) {
        for (const bool queued : {false, true}) {
            SCOPED_TRACE(std::string(path) + (queued ? " queued" : " synchronous"));
            std::ofstream(destination, std::ios::binary) << "earlier file";
            auto request = download(path);
            if (queued) {
                delegate.events.clear();
                runQueued(request);
            } else {
                request->startSynchronous();
            }
            // As for any request, the status alone does not fail it.
            ASSERT_FALSE(request->error()) << request->error()->description;
            EXPECT_NE(request->responseStatusCode(), 200);
            EXPECT_FALSE(request->responseData().empty());
            // The earlier file is kept as it was, and no ".part" is left.
            EXPECT_EQ(readFile(destination), "earlier file");
            EXPECT_EQ(filesIn(dir), std::vector<std::string>{"photo.png"});
        }
    }
    EXPECT_EQ(ASIHTTPRequest::requestWithURL("x")->downloadDestinationPath(), "");
}

// What ends a download early, and the error it carries. The server first sends half of the body.
struct Cut {
    const char* name;
    RequestErrorType error;
};

void PrintTo(const Cut& cut, std::ostream* out) {
    *out << cut.name;
}

class DownloadCutTest : public DownloadTest, public ::testing::WithParamInterface<Cut> {};

TEST_P(DownloadCutTest, LeavesNeitherFileNorPart) {
    const Cut& cut = GetParam();
    const std::string body = pattern(200 * 1024);
    const std::string half = body.substr(0, body.size() / 2);
    const std::string name = cut.name;
    server.setHandler("/d",
                      [body, half, name](const CapturedRequest&, HttpTestServer::Exchange& ex) {
                          if (name == "ChunkedCut") {
                              char size[16];
                              std::snprintf(size, sizeof size, "%zx\r\n", half.size());
                              ex.write("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                                       std::string(size) + half + "\r\n");
                          } else {
                              ex.write(head(body.size()) + half);
                          }
                          if (name == "ClosedHalfway" || name == "ChunkedCut") {
                              ex.closeAfterwards();
                          } else {
                              ex.holdUntilClosed();
                          }
                      });
    auto request = download("/d");
    if (name == "TimedOut") {
        request->setTimeOutSeconds(0.3);
    }
    request->setDelegate(&delegate);
    request->startAsynchronous();
    if (name == "Cancelled") {
        ASSERT_TRUE(loop.runUntil([&] { return !delegate.progress.empty(); }));
        request->cancel();
    }
    ASSERT_TRUE(loop.runUntil([&] { return delegate.ended(); }));
    EXPECT_EQ(delegate.events.back(), "failed");
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, cut.error) << request->error()->description;
    EXPECT_TRUE(filesIn(dir).empty());
    EXPECT_FALSE(delegate.offMainThread);
}

INSTANTIATE_TEST_SUITE_P(Cuts, DownloadCutTest,
                         ::testing::Values(Cut{"ClosedHalfway",
                                               RequestErrorType::ConnectionFailure},
                                           Cut{"ChunkedCut", RequestErrorType::ConnectionFailure},
                                           Cut{"Cancelled", RequestErrorType::Cancelled},
                                           Cut{"TimedOut", RequestErrorType::TimedOut}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(DownloadTest, PausedReplyReportsProgressTwiceOrMoreOnTheMainLoop) {
    const std::string body = pattern(256 * 1024);
    server.setHandler("/paced", [body](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.write(head(body.size()) + body.substr(0, 100 * 1024));
        if (ex.waitForRelease()) {
            ex.write(body.substr(100 * 1024));
        }
    });
    auto request = download("/paced");
    request->setDelegate(&delegate);
    request->startAsynchronous();
    // The first bytes are reported while the rest is still held back by the server.
    ASSERT_TRUE(loop.runUntil([&] { return !delegate.progress.empty(); }));
    EXPECT_LE(delegate.progress.front().received, 100 * 1024u);
    EXPECT_FALSE(delegate.ended());
    server.release();
    ASSERT_TRUE(loop.runUntil([&] { return delegate.ended(); }));

    ASSERT_FALSE(request->error()) << request->error()->description;
    EXPECT_EQ(readFile(destination), body);
    ASSERT_GE(delegate.progress.size(), 2u);
    for (std::size_t i = 0; i < delegate.progress.size(); ++i) {
        EXPECT_EQ(delegate.progress[i].expected, body.size());
        if (i > 0) {
            EXPECT_GT(delegate.progress[i].received, delegate.progress[i - 1].received);
        }
    }
    EXPECT_EQ(delegate.progress.back().received, body.size());
    EXPECT_EQ(delegate.events.front(), "started");
    EXPECT_EQ(delegate.events.back(), "finished");
    EXPECT_EQ(std::count(delegate.events.begin(), delegate.events.end(), "progress"),
              static_cast<long>(delegate.progress.size()));
    EXPECT_FALSE(delegate.offMainThread);
}

TEST_F(DownloadTest, ReplyWithoutLengthReportsItsLastBytesBeforeFinishing) {
    const std::string body = pattern(50 * 1024);
    server.setHandler("/stream", [body](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body.substr(0, 1000));
        if (ex.waitForRelease()) {
            ex.write(body.substr(1000));
            ex.closeAfterwards();
        }
    });
    auto request = download("/stream");
    request->setDelegate(&delegate);
    request->startAsynchronous();
    ASSERT_TRUE(loop.runUntil([&] { return !delegate.progress.empty(); }));
    server.release();
    ASSERT_TRUE(loop.runUntil([&] { return delegate.ended(); }));
    ASSERT_FALSE(request->error()) << request->error()->description;
    ASSERT_GE(delegate.progress.size(), 2u);
    EXPECT_EQ(delegate.progress.back().received, body.size());
    EXPECT_EQ(delegate.progress.back().expected, std::nullopt);
    EXPECT_EQ(delegate.events.back(), "finished");
}

TEST_F(DownloadTest, ClearedDelegateHearsNothingAndNoFileIsLeft) {
    const std::string body = pattern(200 * 1024);
    server.setHandler("/d", [body](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.write(head(body.size()) + body.substr(0, 50 * 1024));
        ex.holdUntilClosed();
    });
    auto request = download("/d");
    request->setDelegate(&delegate);
    request->startAsynchronous();
    // "started" and the first progress report are posted but not yet run when the delegate
    // goes.
    ASSERT_TRUE(loop.waitForPosts(2));
    request->clearDelegatesAndCancel();
    ASSERT_TRUE(loop.runUntil([&] { return request->isFinished(); }));
    loop.runPending();
    EXPECT_TRUE(delegate.events.empty());
    EXPECT_EQ(request->error()->type, RequestErrorType::Cancelled);
    EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(DownloadTest, UnwritableDestinationFailsUnsent) {
    server.setReply("/file", {200, {}, "bytes"});
    auto request = download("/file");
    request->setDownloadDestinationPath((dir / "no-such-folder" / "photo.png").string());
    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, RequestErrorType::DownloadFileFailed);
    EXPECT_EQ(
        request->error()->description,
        "Unable to write the download to " + (dir / "no-such-folder" / "photo.png.part").string());
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(filesIn(dir).empty());

    // A destination that cannot take the name (a folder) fails after the exchange, and the
    // ".part" goes.
    fs::create_directories(destination / "inside");
    auto blocked = download("/file");
    blocked->startSynchronous();
    ASSERT_TRUE(blocked->error());
    EXPECT_EQ(blocked->error()->type, RequestErrorType::DownloadFileFailed);
    EXPECT_EQ(filesIn(dir), std::vector<std::string>{"photo.png"});
    EXPECT_TRUE(fs::is_directory(destination));
}

}  // namespace
}  // namespace oa
