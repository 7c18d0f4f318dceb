// One client per user and home: the first client of a home listens on a local socket that only
// its user can reach; a client started later for the same home asks that one to come to the
// front and ends, instead of running beside it without the push channel.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "core/platform/FileLock.h"

namespace oa {

class SingleInstance {
public:
    enum class Outcome {
        First,        // this process is the home's client; listen() delivers the raise requests
        Raised,       // the running client was asked to come to the front and said it would
        Unavailable,  // no socket could be used, or the running client did not answer (logged)
    };

    // The socket for the home `home`, named for the user and the home's canonical path: in
    // $XDG_RUNTIME_DIR, or in the home's temporary folder without one. Nothing when neither is
    // a folder of the user's that no one else may enter, or the name would be too long.
    static std::optional<std::filesystem::path> socketPath(const std::filesystem::path& home,
                                                           const std::filesystem::path& tmp);

    explicit SingleInstance(std::filesystem::path socket);
    // Stops listening and removes the socket this object made.
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the socket (a stale one, left by a client that ended without removing it, is taken
    // over), or asks the client holding it to come to the front. Of several processes starting at
    // once, exactly one gets First. Requests made before listen() wait in the socket's queue.
    Outcome start();
    // Calls `raise` on a thread of its own for each request of a later client. After First only.
    void listen(std::function<void()> raise);

private:
    // Connects and asks for "raise": true when the client answered, false when no one listens,
    // nothing when one listens but did not answer.
    std::optional<bool> askToRaise() const;
    bool bindSocket();
    void serve();

    std::filesystem::path socket_;
    FileLock lock_;                // held while this process is the home's client
    int listenFd_ = -1;            // set by start(), closed by the destructor
    int wakeRead_ = -1;            // listener thread only
    int wakeWrite_ = -1;           // the destructor writes one byte to stop the thread
    std::function<void()> raise_;  // set before the thread starts
    std::thread thread_;
};

}  // namespace oa
