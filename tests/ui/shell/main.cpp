// Runs every registered shell test class with the Qt main loop in place. Plain arguments name
// test functions; only the classes that have one of them run then.
#include <QApplication>
#include <QMetaMethod>
#include <QtTest>

#include "ShellTest.h"
#include "core/platform/MainLoop.h"
#include "ui/kit/Fonts.h"
#include "ui/platform/QtMainLoop.h"

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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    oa::QtMainLoop loop;
    oa::MainLoop::setMain(&loop);
    oa::installDefaultFont();

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
    for (const auto& make : oa::shellTests()) {
        const std::unique_ptr<QObject> test = make();
        if (!wanted.isEmpty() &&
            std::none_of(wanted.begin(), wanted.end(),
                         [&](const QString& name) { return hasFunction(*test, name); })) {
            continue;
        }
        failed += QTest::qExec(test.get(), argc, argv);
    }
    oa::joinBackgroundThreads();
    oa::MainLoop::setMain(nullptr);
    return failed;
}
