// A fresh application home per test: sets AppPaths::current() to a new temporary folder and
// removes it afterwards.
#pragma once

#include <filesystem>

#include "core/platform/AppPaths.h"

namespace oa::test {

class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& path() const { return home_; }
    AppPaths paths() const;

private:
    std::filesystem::path home_;
    AppPaths previous_;
};

}  // namespace oa::test
