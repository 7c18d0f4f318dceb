// The person search with thousands of people. Two comparisons, one run, each against a bare
// QListView on a QStringListModel of the same names (target at most 2x):
// - a "userSearch" result of 5,000 people to the first painted frame of the list;
// - scrolling the list a screen at a time, each step painted.
// It also prints how many cell widgets the list holds and the process's peak memory after 500
// and after 5,000 people.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "RatioReporter.h"
#include "core/platform/MainLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/LookupNotifications.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/controller/lookup/UserView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/platform/QtMainLoop.h"

namespace {

constexpr int kPeople = 5000;

using People = oa::UserSearchNotification::Object;

People makePeople(int count) {
    const char* surnames[] = {"王", "李", "张", "刘", "陈"};
    const char* given[] = {"建国", "丽", "伟", "浩", "静", "磊", "燕", "强"};
    const char* roles[] = {"软件工程师", "会计", "行政专员", "经理"};
    const char* depts[] = {"技术研发部", "财务部", "行政部", "人事部"};
    People people;
    people.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        auto person = std::make_shared<oa::UserVO>();
        person->user_uid = std::to_string(i + 1);
        person->user_name = std::string(surnames[i % 5]) + given[(i / 5) % 8];
        person->priv_name = roles[i % 4];
        person->dept_name = depts[(i / 4) % 4];
        people.push_back(std::move(person));
    }
    return people;
}

QStringList namesOf(const People& people) {
    QStringList names;
    for (const auto& person : people) {
        names << QString::fromStdString(*person->user_name);
    }
    return names;
}

template <class Predicate>
bool spinUntil(Predicate done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 10000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The person search shown at the phone's size.
class Search {
public:
    Search() : lookup_(std::make_unique<oa::OtherFuncController>()) {
        lookup_->setFunc_type("user");
        QWidget* page = lookup_->view();
        page->resize(320, 436);
        page->show();
        view_ = qobject_cast<oa::UserView*>(lookup_->searchView());
        QCoreApplication::processEvents();
    }
    ~Search() { lookup_->view()->hide(); }

    oa::UserView* view() const { return view_; }
    // Posts `people` as a search result, waits for the list to take it and paints it.
    bool deliver(const People& people) {
        oa::NotificationCenter::defaultCenter().post(oa::UserSearchNotification::kName, people);
        if (!spinUntil([&] { return view_->list().size() == people.size(); })) {
            return false;
        }
        view_->repaint();
        return true;
    }
    int cellWidgets() const { return int(view_->findChildren<oa::TableViewCell*>().size()); }

private:
    std::unique_ptr<oa::OtherFuncController> lookup_;
    oa::UserView* view_ = nullptr;
};

// The baseline: a bare list of the names at the same size.
class BareList {
public:
    BareList() {
        list_.setModel(&model_);
        list_.resize(320, 386);
        list_.show();
        QCoreApplication::processEvents();
    }
    void deliver(const QStringList& names) {
        model_.setStringList(names);
        list_.repaint();
    }
    QListView& list() { return list_; }

private:
    QStringListModel model_;
    QListView list_;
};

const People& bigResult() {
    static const People people = makePeople(kPeople);
    return people;
}

void BM_ResultToFirstFrame(benchmark::State& state) {
    const People& people = bigResult();
    for (auto _ : state) {
        state.PauseTiming();
        auto search = std::make_unique<Search>();
        state.ResumeTiming();
        if (!search->deliver(people)) {
            state.SkipWithError("the list did not take the result");
            break;
        }
        state.PauseTiming();
        search.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ResultToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_BareListToFirstFrame(benchmark::State& state) {
    const QStringList names = namesOf(bigResult());
    for (auto _ : state) {
        state.PauseTiming();
        auto bare = std::make_unique<BareList>();
        state.ResumeTiming();
        bare->deliver(names);
        state.PauseTiming();
        bare.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareListToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ScrollScreenStep(benchmark::State& state) {
    Search search;
    if (!search.deliver(bigResult())) {
        state.SkipWithError("the list did not take the result");
        return;
    }
    oa::TableView* table = search.view()->table_view();
    const qreal end = table->maximumContentOffset();
    const qreal step = table->height();
    qreal y = 0;
    for (auto _ : state) {
        y = y + step > end ? 0 : y + step;
        table->setContentOffset(y);
        table->repaint();
    }
}
BENCHMARK(BM_ScrollScreenStep)->Unit(benchmark::kMicrosecond);

void BM_BareListScrollScreenStep(benchmark::State& state) {
    BareList bare;
    bare.deliver(namesOf(bigResult()));
    QScrollBar* bar = bare.list().verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        bare.list().viewport()->repaint();
    }
}
BENCHMARK(BM_BareListScrollScreenStep)->Unit(benchmark::kMicrosecond);

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Cell widgets and peak memory with `count` people shown.
void printFootprint(int count) {
    Search search;
    const People people = makePeople(count);
    if (!search.deliver(people)) {
        std::printf("%d people: the list did not take the result\n", count);
        return;
    }
    std::printf("%d people: %d cell widgets, peak memory %.1f MB\n", count, search.cellWidgets(),
                double(peakKilobytes()) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    oa::QtMainLoop loop;
    oa::MainLoop::setMain(&loop);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    printFootprint(500);
    printFootprint(kPeople);
    oa::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double shown = reporter.time("BM_ResultToFirstFrame");
    const double bare = reporter.time("BM_BareListToFirstFrame");
    if (shown > 0 && bare > 0) {
        std::printf(
            "5,000-person result to the first painted frame: person search %.2f ms, bare list "
            "%.2f ms; search / bare = %.2fx (target <= 2x)\n",
            shown, bare, shown / bare);
    }
    const double step = reporter.time("BM_ScrollScreenStep");
    const double bareStep = reporter.time("BM_BareListScrollScreenStep");
    if (step > 0 && bareStep > 0) {
        std::printf(
            "one-screen scroll step over 5,000 people: person search %.1f us, bare list %.1f us; "
            "search / bare = %.2fx (target <= 2x)\n",
            step, bareStep, step / bareStep);
    }
    oa::MainLoop::setMain(nullptr);
    return 0;
}
