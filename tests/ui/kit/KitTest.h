// The test classes of the kit share one executable: each registers itself here and main() runs
// them in turn.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace oa {

using KitTestFactory = std::function<std::unique_ptr<QObject>()>;

std::vector<KitTestFactory>& kitTests();

}  // namespace oa

// Registers the QtTest class `Class` (default-constructible) with the kit's test runner.
#define OA_KIT_TEST(Class)                                                              \
    namespace {                                                                         \
    const bool kRegistered##Class =                                                     \
        (oa::kitTests().push_back([] { return std::make_unique<oa::Class>(); }), true); \
    }
