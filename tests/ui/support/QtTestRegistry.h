// One runner for the QtTest executables that hold several test classes: each class registers
// itself with OA_QT_TEST and main() hands the command line to runQtTests.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace oa::test {

using QtTestFactory = std::function<std::unique_ptr<QObject>()>;

// The classes registered in this executable, in the order their files were initialised.
std::vector<QtTestFactory>& qtTests();

// Runs every registered class through QTest::qExec with the given arguments. Plain arguments
// name test functions ("name" or "name:tag"); only the classes that have one of them run then,
// so a single test can be picked as with one class. Returns the number of failed tests.
int runQtTests(int argc, char** argv);

}  // namespace oa::test

// Registers the QtTest class `oa::Class` (default-constructible) with the runner.
#define OA_QT_TEST(Class)                                                                    \
    namespace {                                                                              \
    const bool kRegistered##Class =                                                          \
        (oa::test::qtTests().push_back([] { return std::make_unique<oa::Class>(); }), true); \
    }
