// The shared QtTest runner: picks the classes named on the command line and runs them in turn.
#include "ui/support/QtTestRegistry.h"

#include "support/TempHome.h"

#include <QMetaMethod>
#include <QStringList>
#include <QtTest>
#include <algorithm>

namespace oa::test {

namespace {

bool hasFunction(const QObject& test, const QString& name) {
    const QMetaObject* meta = test.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        if (QString::fromLatin1(meta->method(i).name()) == name) {
            return true;
        }
    }
    return false;
}

// The test functions named on the command line; empty when none is.
QStringList wantedFunctions(int argc, char** argv) {
    // Options of QtTest that take a value: the value is not a function name.
    const QStringList withValue = {"-o",           "-eventdelay",   "-keydelay",    "-mousedelay",
                                   "-maxwarnings", "-iterations",   "-median",      "-seed",
                                   "-platform",    "-minimumvalue", "-minimumtotal"};
    QStringList wanted;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (withValue.contains(arg)) {
            ++i;
        } else if (!arg.startsWith('-')) {
            wanted.append(arg.section(':', 0, 0).section('(', 0, 0));
        }
    }
    return wanted;
}

}  // namespace

std::vector<QtTestFactory>& qtTests() {
    static std::vector<QtTestFactory> tests;
    return tests;
}

int runQtTests(int argc, char** argv) {
    // A test that makes no home of its own still never reads or writes the user's real one (nor
    // races a client the user runs beside the tests).
    const TempHome home;
    const QStringList wanted = wantedFunctions(argc, argv);
    int failed = 0;
    for (const auto& make : qtTests()) {
        const std::unique_ptr<QObject> test = make();
        if (!wanted.isEmpty() &&
            std::none_of(wanted.begin(), wanted.end(),
                         [&](const QString& name) { return hasFunction(*test, name); })) {
            continue;
        }
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}

}  // namespace oa::test
