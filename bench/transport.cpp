// Cost of a form request through the transport against a bare libcurl easy-handle loop that
// sends the same form to the same loopback server, and the peak memory of a 100 MB upload.
#include <curl/curl.h>
#include <httplib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/transport/ASIFormDataRequest.h"

namespace {

using Clock = std::chrono::steady_clock;
// Short rounds, alternating, so that both loops see the same load on a shared machine.
constexpr int kRounds = 15;
constexpr int kRequestsPerRound = 400;
const char* const kSession = "4f2a9c1e7b3d5a6f8e0c2b4d6f8a0c1e";

size_t discard(char*, size_t size, size_t count, void* sink) {
    static_cast<std::string*>(sink)->append(size * count, '\0');
    return size * count;
}

double threadCpuUs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

struct Cost {
    double wallUs;  // per request
    double cpuUs;   // of the sending thread, per request
};

template <typename Send>
Cost costPerRequest(int requests, Send send) {
    const auto start = Clock::now();
    const double cpuStart = threadCpuUs();
    for (int i = 0; i < requests; ++i) {
        if (!send()) {
            std::fprintf(stderr, "request failed\n");
            std::exit(1);
        }
    }
    const double wall = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    return {wall / requests, (threadCpuUs() - cpuStart) / requests};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A kB figure from /proc/self/status ("VmHWM", "VmRSS").
long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stol(line.substr(line.find(':') + 1));
        }
    }
    return -1;
}

}  // namespace

int main() {
    curl_global_init(CURL_GLOBAL_DEFAULT);

    httplib::Server server;
    server.set_tcp_nodelay(true);
    server.set_keep_alive_max_count(1000000);
    server.set_keep_alive_timeout(60);
    server.Post("/mobile/email/data.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("NONEWDATA", "text/plain");
    });
    server.Post("/upload", [](const httplib::Request&, httplib::Response& res,
                              const httplib::ContentReader& reader) {
        std::size_t received = 0;
        reader([](const httplib::MultipartFormData&) { return true; },
               [&](const char*, std::size_t length) {
                   received += length;
                   return true;
               });
        res.set_content(std::to_string(received), "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread listener([&] { server.listen_after_bind(); });
    while (!server.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    const std::string url = base + "/mobile/email/data.php";

    // The bare loop: one easy handle, options set once, the same body and headers; it lets
    // libcurl inflate the gzip reply the server sends, as the transport inflates it.
    const std::string body = std::string("ATYPE=refreshList&A=loadList&P=") + kSession;
    CURL* easy = curl_easy_init();
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Expect:");
    headers = curl_slist_append(headers,
                                "Content-Type: application/x-www-form-urlencoded; charset=utf-8");
    std::string sink;
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "gzip");
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &discard);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);
    auto bare = [&] {
        sink.clear();
        return curl_easy_perform(easy) == CURLE_OK;
    };
    auto transport = [&] {
        auto request = oa::ASIFormDataRequest::requestWithURL(url);
        request->setPostValue("ATYPE", "refreshList");
        request->setPostValue("A", "loadList");
        request->setPostValue("P", kSession);
        request->setTimeOutSeconds(10);
        request->startSynchronous();
        return !request->error() && request->responseString() == "NONEWDATA";
    };

    costPerRequest(300, bare);
    costPerRequest(300, transport);
    std::vector<double> bareWall, transportWall, bareCpu, transportCpu, wallRatio, cpuRatio;
    for (int round = 0; round < kRounds; ++round) {
        const Cost b = costPerRequest(kRequestsPerRound, bare);
        const Cost t = costPerRequest(kRequestsPerRound, transport);
        bareWall.push_back(b.wallUs);
        transportWall.push_back(t.wallUs);
        bareCpu.push_back(b.cpuUs);
        transportCpu.push_back(t.cpuUs);
        wallRatio.push_back(t.wallUs / b.wallUs);
        cpuRatio.push_back(t.cpuUs / b.cpuUs);
    }
    std::printf("form request, keep-alive, loopback: %d alternating rounds of %d, medians\n",
                kRounds, kRequestsPerRound);
    std::printf("  bare libcurl  %7.1f us/request (%6.0f/s), sending thread CPU %5.1f us\n",
                median(bareWall), 1e6 / median(bareWall), median(bareCpu));
    std::printf("  transport     %7.1f us/request (%6.0f/s), sending thread CPU %5.1f us\n",
                median(transportWall), 1e6 / median(transportWall), median(transportCpu));
    std::printf("  ratio transport/bare: time %.3f (%+.1f %%, target within 10 %%), CPU %.3f\n",
                median(wallRatio), (median(wallRatio) - 1) * 100, median(cpuRatio));
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);

    // 100 MB multipart upload: the file part must stream from disk.
    const auto file = std::filesystem::temp_directory_path() /
                      ("oa-bench-upload-" + std::to_string(getpid()) + ".bin");
    {
        std::ofstream out(file, std::ios::binary);
        const std::string chunk(1 << 20, 'u');
        for (int i = 0; i < 100; ++i) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        }
    }
    const long rssBefore = statusKb("VmRSS:");
    const bool peakReset = std::ofstream("/proc/self/clear_refs") << "5" ? true : false;
    auto upload = oa::ASIFormDataRequest::requestWithURL(base + "/upload");
    upload->setPostValue("A", "upload");
    upload->setFile("uploadedfile_0", file.string());
    const auto start = Clock::now();
    upload->startSynchronous();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long peak = statusKb("VmHWM:");
    std::filesystem::remove(file);
    if (upload->error()) {
        std::fprintf(stderr, "upload failed: %s\n", upload->error()->description.c_str());
        return 1;
    }
    std::printf("100 MB multipart upload: %.2f s, server received %s bytes\n", seconds,
                upload->responseString().c_str());
    std::printf("  resident before %ld kB, peak during upload %ld kB (%s), growth %ld kB\n",
                rssBefore, peak, peakReset ? "peak reset before the upload" : "process peak",
                peak - rssBefore);

    server.stop();
    listener.join();
    return 0;
}
