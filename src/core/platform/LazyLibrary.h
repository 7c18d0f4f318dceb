// A shared library opened with its first use instead of linked: the dynamic loader then maps
// it, and everything it needs, only when the program first calls into it rather than before
// main(). The client's first screen needs neither libcurl nor libcrypto (and the dozens of
// libraries they bring), so they come with the first request.
#pragma once

#include <mutex>
#include <string>

namespace oa {

class LazyLibrary {
public:
    // `soname`: the run-time name, e.g. "libcurl.so.4".
    explicit LazyLibrary(std::string soname) : soname_(std::move(soname)) {}
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // The function `name`, loading the library on the first call (any thread). A library or a
    // function that cannot be found ends the process with a message naming it, as the dynamic
    // loader does for a missing linked library: no caller is left with a null function.
    template <class Function>
    void resolve(const char* name, Function& out) {
        out = reinterpret_cast<Function>(address(name));
    }

private:
    void* address(const char* name);

    std::string soname_;
    std::once_flag opened_;
    void* handle_ = nullptr;
};

}  // namespace oa
