// The test classes of the kit share one executable: each registers itself with OA_KIT_TEST and
// main() runs them in turn.
#pragma once

#include "ui/support/QtTestRegistry.h"

// Registers the QtTest class `oa::Class` (default-constructible) with the kit's test runner.
#define OA_KIT_TEST(Class) OA_QT_TEST(Class)
