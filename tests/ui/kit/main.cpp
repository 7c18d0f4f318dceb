// Runs every registered kit test class. Plain arguments name test functions; only the classes
// that have one of them run then, so a single test can be picked as with one class.
#include <QApplication>
#include <QMetaMethod>
#include <QtTest>

#include "KitTest.h"

namespace oa {

std::vector<KitTestFactory>& kitTests() {
    static std::vector<KitTestFactory> tests;
    return tests;
}

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

}  // namespace

}  // namespace oa

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
    int failed = 0;
    for (const auto& make : oa::kitTests()) {
        const std::unique_ptr<QObject> test = make();
        if (!wanted.isEmpty() &&
            std::none_of(wanted.begin(), wanted.end(),
                         [&](const QString& name) { return oa::hasFunction(*test, name); })) {
            continue;
        }
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}
