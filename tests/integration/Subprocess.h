// Runs a program with its standard output and error on pipes, reads them against deadlines, and
// ends it (by its own process id) when the test no longer needs it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace oa::test {

class Subprocess {
public:
    using Clock = std::chrono::steady_clock;

    explicit Subprocess(const std::vector<std::string>& argv) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        if (::pipe2(err, O_CLOEXEC) != 0) {
            ::close(out[0]);
            ::close(out[1]);
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        outFd_ = out[0];
        errFd_ = err[0];
    }

    ~Subprocess() {
        terminate(SIGKILL);
        closeFd(outFd_);
        closeFd(errFd_);
    }

    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    bool started() const { return pid_ > 0; }

    // Reads on until a line of standard output satisfies `match` (lines already returned are
    // not looked at again); that line, or nothing once the limit has passed or the output ended.
    std::optional<std::string> waitForLine(const std::function<bool(const std::string&)>& match,
                                           std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        for (;;) {
            while (scanned_ < out_.size()) {
                const auto end = out_.find('\n', scanned_);
                if (end == std::string::npos) {
                    break;
                }
                std::string line = out_.substr(scanned_, end - scanned_);
                scanned_ = end + 1;
                if (match(line)) {
                    return line;
                }
            }
            if (outFd_ < 0 || !pump(deadline)) {
                return std::nullopt;
            }
        }
    }

    std::optional<std::string> waitForLine(const std::string& line,
                                           std::chrono::milliseconds limit) {
        return waitForLine([&](const std::string& got) { return got == line; }, limit);
    }

    // Reads both outputs to their end and waits for the exit; the exit code, or nothing when
    // the program did not end in time or ended by a signal.
    std::optional<int> wait(std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        while (outFd_ >= 0 || errFd_ >= 0) {
            if (!pump(deadline)) {
                break;
            }
        }
        while (pid_ > 0) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
            }
            if (done < 0 || Clock::now() >= deadline) {
                return std::nullopt;
            }
            ::poll(nullptr, 0, 10);
        }
        return std::nullopt;
    }

    // Ends the program if it still runs, and reaps it.
    void terminate(int signal = SIGTERM) {
        if (pid_ > 0) {
            ::kill(pid_, signal);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

private:
    static void closeFd(int& fd) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

    // Waits for output until the deadline and appends what came; false when the deadline has
    // passed or both outputs have ended.
    bool pump(Clock::time_point deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || (outFd_ < 0 && errFd_ < 0)) {
            return false;
        }
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        readFrom(fds[0], outFd_, out_);
        readFrom(fds[1], errFd_, err_);
        return true;
    }

    static void readFrom(const pollfd& polled, int& fd, std::string& into) {
        if (fd < 0 || polled.revents == 0) {
            return;
        }
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            closeFd(fd);
        }
    }

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
    std::size_t scanned_ = 0;
};

}  // namespace oa::test
