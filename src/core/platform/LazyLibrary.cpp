// LazyLibrary: dlopen on first use, a clear end when the library is not there.
#include "core/platform/LazyLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace oa {

namespace {

[[noreturn]] void missing(const std::string& what, const char* error) {
    std::fprintf(stderr, "error while loading shared libraries: %s: %s\n", what.c_str(),
                 error ? error : "not found");
    std::fflush(stderr);
    std::_Exit(127);
}

}  // namespace

void* LazyLibrary::address(const char* name) {
    std::call_once(opened_, [this] {
        // Local: its symbols resolve only through this object, never anybody else's calls.
        handle_ = dlopen(soname_.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            missing(soname_, dlerror());
        }
    });
    dlerror();
    void* function = dlsym(handle_, name);
    if (!function) {
        missing(soname_ + " (" + name + ")", dlerror());
    }
    return function;
}

}  // namespace oa
