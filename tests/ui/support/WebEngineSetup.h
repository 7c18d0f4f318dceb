// Process set-up of the ui test programs, before their QApplication: the client's link schemes
// and an engine that starts headless, as root, without a GPU.
#pragma once

#include <QApplication>
#include <QtTest>

namespace oa::test {

void prepareUiTestProcess();

}  // namespace oa::test

// QTEST_MAIN with the set-up above.
#define OA_QTEST_MAIN(Class)                     \
    int main(int argc, char** argv) {            \
        oa::test::prepareUiTestProcess();        \
        QApplication app(argc, argv);            \
        app.setAttribute(Qt::AA_Use96Dpi, true); \
        Class test;                              \
        QTEST_SET_MAIN_SOURCE_PATH               \
        return QTest::qExec(&test, argc, argv);  \
    }
