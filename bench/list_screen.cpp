// The module list screen with 10,000 e-mails. Two comparisons, one run:
// - a 10,000-e-mail reply taken to a shown first screen (parse, merge, table reload, the rows in
//   sight drawn) against parsing the reply alone (BaseBO::splitJson); target at most 1.5x;
// - one scroll step of a screen's height over 10,000 rows against the same step over 100 rows;
//   target at most 1.2x.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "RatioReporter.h"
#include "core/protocol/BaseBO.h"
#include "ui/controller/main/FuncController.h"

namespace {

constexpr int kItems = 10000;

// An e-mail list page as the server writes it: newest first, every value a text.
std::string emailListReply(int items) {
    const char* subjects[] = {"关于五一劳动节放假安排的通知", "Re: 第二季度销售报表",
                              "会议纪要（4月25日）", "请审批：差旅费报销单"};
    const char* senders[] = {"王晓明", "李娜", "张伟", "系统管理员"};
    nlohmann::json list = nlohmann::json::array();
    for (int i = 0; i < items; ++i) {
        list.push_back({{"q_id", std::to_string(100000 - i)},
                        {"read_flag", i % 3 == 0 ? "0" : "1"},
                        {"subject", subjects[i % 4]},
                        {"important_desc", i % 7 == 0 ? "1" : ""},
                        {"send_time", "2013-04-27 09:15"},
                        {"from_name", senders[i % 4]},
                        {"has_attachment", i % 5 == 0 ? "1" : "0"}});
    }
    return list.dump();
}

const std::string& bigReply() {
    static const std::string reply = emailListReply(kItems);
    return reply;
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

// A shown e-mail list whose opening pull is under way (its load held back), ready for a reply.
class Screen {
public:
    Screen() : list_(std::make_unique<oa::FuncController>()) {
        list_->setFunc_type("email");
        list_->setLoadDelay(std::chrono::hours(1));
        QWidget* view = list_->view();
        view->resize(320, 416);
        view->show();
        ok_ = spinUntil([this] { return list_->loadsRunning() == 1; });
    }
    ~Screen() {
        if (QWidget* view = list_->view()) {
            view->hide();
        }
    }

    bool ok() const { return ok_; }
    oa::FuncController* list() const { return list_.get(); }

    // The reply taken as the first page: parsed, merged and drawn.
    void show(const std::string& reply) {
        oa::BaseBO logic("email");
        oa::ListLoad load;
        load.func_type = "email";
        load.firstPage = true;
        list_->finishData({load, logic.splitJson(reply), false});
    }
    // The header closed after the first page.
    bool settle() {
        oa::PullingRefreshTableView* table = list_->tableView();
        return spinUntil([table] {
            return !table->isLoading() && table->contentInset() == oa::EdgeInsets{} &&
                   !table->msgLabel();
        });
    }

private:
    std::unique_ptr<oa::FuncController> list_;
    bool ok_ = false;
};

void BM_SplitJsonOnly(benchmark::State& state) {
    const std::string& reply = bigReply();
    for (auto _ : state) {
        oa::BaseBO logic("email");
        auto records = logic.splitJson(reply);
        if (!records || records->size() != kItems) {
            state.SkipWithError("the reply did not parse into 10,000 records");
            break;
        }
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_SplitJsonOnly)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ReplyToShownFirstScreen(benchmark::State& state) {
    const std::string& reply = bigReply();
    for (auto _ : state) {
        state.PauseTiming();
        auto screen = std::make_unique<Screen>();
        if (!screen->ok()) {
            state.SkipWithError("the list did not start its first load");
            break;
        }
        state.ResumeTiming();
        screen->show(reply);
        const int shown = static_cast<int>(screen->list()->tableView()->visibleCells().size());
        state.PauseTiming();
        if (shown < 6 || screen->list()->logic().list().size() != kItems) {
            state.SkipWithError("the first screen did not show");
            break;
        }
        screen.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReplyToShownFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(20);

// Scrolls a screen's height at a time through the rows, round and round.
void scrollSteps(benchmark::State& state, int rows) {
    Screen screen;
    if (!screen.ok()) {
        state.SkipWithError("the list did not start its first load");
        return;
    }
    screen.show(emailListReply(rows));
    if (!screen.settle()) {
        state.SkipWithError("the header did not close");
        return;
    }
    oa::PullingRefreshTableView* table = screen.list()->tableView();
    const qreal end = table->maximumContentOffset();
    const qreal step = table->height();
    qreal y = 0;
    for (auto _ : state) {
        y = y + step > end ? 0 : y + step;
        table->setContentOffset(y);
        benchmark::DoNotOptimize(table->visibleCells().size());
    }
}

void BM_ScrollStep10000Rows(benchmark::State& state) {
    scrollSteps(state, kItems);
}
BENCHMARK(BM_ScrollStep10000Rows)->Unit(benchmark::kMicrosecond);

void BM_ScrollStep100Rows(benchmark::State& state) {
    scrollSteps(state, 100);
}
BENCHMARK(BM_ScrollStep100Rows)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    oa::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double parse = reporter.time("BM_SplitJsonOnly");
    const double shown = reporter.time("BM_ReplyToShownFirstScreen");
    if (parse > 0 && shown > 0) {
        std::printf(
            "10,000-e-mail reply: splitJson alone %.1f ms, to a shown first screen %.1f ms; "
            "shown / splitJson = %.2fx (target <= 1.5x)\n",
            parse, shown, shown / parse);
    }
    const double many = reporter.time("BM_ScrollStep10000Rows");
    const double few = reporter.time("BM_ScrollStep100Rows");
    if (many > 0 && few > 0) {
        std::printf(
            "one-screen scroll step: 10,000 rows %.1f us, 100 rows %.1f us; "
            "10,000 / 100 = %.2fx (target <= 1.2x)\n",
            many, few, many / few);
    }
    return 0;
}
