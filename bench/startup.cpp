// Start-up cost: the cold start of oa-client to a painted sign-in screen (--screenshot with a
// fresh home) against a Qt Widgets program that paints one label, both offscreen, alternating,
// in one run. Prints the medians, the ratio of the medians and the peak memory of both, and the
// cost of the first web view (a program showing one web page, against the label). Peak memory
// is the program's own process; the web engine's helper processes are not counted.
//
// "Painted" is the moment the program creates its screenshot file: each grabs its painted
// window and then opens the file (seen here through inotify) before encoding the PNG and
// exiting. The time to the end of the process, PNG encoding and clean-up included, is printed
// as well.
//   bench_startup [rounds]   (default 9)
#include <poll.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Sample {
    double seconds = 0;  // to the screenshot file's creation
    double exitSeconds = 0;
    long peakKb = 0;
};

struct Program {
    const char* name;
    std::vector<std::string> args;  // "{dir}" becomes the run's own folder
    std::vector<Sample> samples;
};

// Runs the program once in a fresh folder; nullopt-like sample with peakKb -1 on failure.
Sample runOnce(const Program& program) {
    char pattern[] = "/tmp/oa-bench-startup-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) {
        return {0, 0, -1};
    }
    const std::string dir = made;
    std::vector<std::string> args;
    for (std::string arg : program.args) {
        if (const auto at = arg.find("{dir}"); at != std::string::npos) {
            arg.replace(at, 5, dir);
        }
        args.push_back(arg);
    }
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0 || inotify_add_watch(watch, dir.c_str(), IN_CREATE) < 0) {
        return {0, 0, -1};
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const std::string log = dir + "/out.log";
        if (std::freopen(log.c_str(), "w", stdout) && std::freopen(log.c_str(), "a", stderr)) {
            execv(argv[0], argv.data());
        }
        _exit(127);
    }
    auto elapsed = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double painted = -1;
    int status = 0;
    rusage usage{};
    bool waited = false;
    // Until the screenshot file appears, watch for it and for an early end; then wait.
    while (child > 0) {
        if (painted >= 0) {
            waited = wait4(child, &status, 0, &usage) == child;
            break;
        }
        pollfd pfd{watch, POLLIN, 0};
        if (poll(&pfd, 1, 2) > 0) {
            alignas(inotify_event) char buffer[4096];
            const ssize_t got = read(watch, buffer, sizeof buffer);
            for (ssize_t at = 0; got > 0 && at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && std::string(event->name) == "shot.png") {
                    painted = elapsed();
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        if (done != 0) {
            waited = done == child;
            break;
        }
    }
    const double exitSeconds = elapsed();
    close(watch);
    // The web engine's helper processes outlive the program for a moment; the next program
    // starts only once they are gone (this process is their subreaper), or they would slow it.
    while (waitpid(-1, nullptr, 0) > 0) {
    }
    std::error_code ignored;
    const bool ok = waited && WIFEXITED(status) && WEXITSTATUS(status) == 0 && painted >= 0;
    if (!ok) {
        std::fprintf(stderr, "%s failed; its output is in %s/out.log\n", program.name, dir.c_str());
        return {painted, exitSeconds, -1};
    }
    fs::remove_all(dir, ignored);
    return {painted, exitSeconds, usage.ru_maxrss};
}

template <class Get>
double median(const std::vector<Sample>& samples, Get get) {
    std::vector<double> values;
    for (const Sample& s : samples) {
        values.push_back(get(s));
    }
    std::sort(values.begin(), values.end());
    if (values.empty()) {
        return 0;
    }
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double medianSeconds(const Program& p) {
    return median(p.samples, [](const Sample& s) { return s.seconds; });
}

double medianExitSeconds(const Program& p) {
    return median(p.samples, [](const Sample& s) { return s.exitSeconds; });
}

double medianMb(const Program& p) {
    return median(p.samples, [](const Sample& s) { return static_cast<double>(s.peakKb) / 1024; });
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (geteuid() == 0) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);

    Program client{"oa-client",
                   {OA_CLIENT_PATH, "--home", "{dir}/home", "--screenshot", "{dir}/shot.png"},
                   {}};
    Program label{"label window", {OA_LABEL_WINDOW_PATH, "{dir}/shot.png"}, {}};
    Program web{"web window", {OA_WEB_WINDOW_PATH, "{dir}/shot.png"}, {}};

    for (int round = 0; round < rounds; ++round) {
        for (Program* program : {&client, &label, &web}) {
            const Sample sample = runOnce(*program);
            if (sample.peakKb < 0) {
                return 1;
            }
            program->samples.push_back(sample);
        }
    }

    for (const Program* p : {&client, &label, &web}) {
        std::printf(
            "%-13s painted after %7.1f ms (exit %7.1f ms)   peak memory %7.1f MB   (%d runs)\n",
            p->name, medianSeconds(*p) * 1000, medianExitSeconds(*p) * 1000, medianMb(*p), rounds);
    }
    const double timeRatio = medianSeconds(client) / medianSeconds(label);
    const double memoryRatio = medianMb(client) / medianMb(label);
    std::printf("start-up time   oa-client / label window: %.2fx (target <= 1.5x)\n", timeRatio);
    std::printf("to exit         oa-client / label window: %.2fx\n",
                medianExitSeconds(client) / medianExitSeconds(label));
    std::printf("peak memory     oa-client / label window: %.2fx (target <= 1.5x)\n", memoryRatio);
    std::printf("first web view: +%.1f ms, +%.1f MB over the label window\n",
                (medianSeconds(web) - medianSeconds(label)) * 1000,
                medianMb(web) - medianMb(label));
    return 0;
}
