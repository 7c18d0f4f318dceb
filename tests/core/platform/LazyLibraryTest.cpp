// Libraries opened on first use: a function comes from the library named, nothing is opened
// before it is asked for, and a missing library or function ends the program with the loader's
// kind of message (exit 127) instead of leaving a caller with a null function.
#include <gtest/gtest.h>
#include <link.h>

#include <cstring>
#include <string>

#include "core/platform/LazyLibrary.h"

namespace oa::test {
namespace {

// Whether a shared object whose path contains `name` is mapped into this process.
bool isLoaded(const char* name) {
    struct Search {
        const char* name;
        bool found;
    } search{name, false};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (info->dlpi_name && std::strstr(info->dlpi_name, s->name)) {
                s->found = true;
            }
            return 0;
        },
        &search);
    return search.found;
}

TEST(LazyLibrary, OpensTheLibraryWithItsFirstFunctionOnly) {
    // libexpat: a library this test program does not link.
    ASSERT_FALSE(isLoaded("libexpat.so"));
    LazyLibrary library("libexpat.so.1");
    EXPECT_FALSE(isLoaded("libexpat.so"));
    const char* (*version)() = nullptr;
    library.resolve("XML_ExpatVersion", version);
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(isLoaded("libexpat.so"));
    EXPECT_EQ(std::string(version()).rfind("expat_", 0), 0u);
}

TEST(LazyLibraryDeathTest, AMissingLibraryOrFunctionEndsTheProgramSayingWhich) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LazyLibrary library("liboa-no-such-library.so.9");
            void (*function)() = nullptr;
            library.resolve("anything", function);
        },
        ::testing::ExitedWithCode(127), "liboa-no-such-library\\.so\\.9");
    EXPECT_EXIT(
        {
            LazyLibrary library("libexpat.so.1");
            void (*function)() = nullptr;
            library.resolve("oa_no_such_function", function);
        },
        ::testing::ExitedWithCode(127), "libexpat\\.so\\.1 \\(oa_no_such_function\\)");
}

}  // namespace
}  // namespace oa::test
