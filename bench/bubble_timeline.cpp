// The dialog's bubble timeline: one scroll step of a screen's height over 5,000 bubbles against
// the same step over 500; target at most 1.5x. The bubbles mix texts of one to several lines
// and voice messages on both sides, as a long conversation does.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "RatioReporter.h"
#include "ui/controller/message/UIBubbleTableView.h"

namespace {

class Conversation : public oa::UIBubbleTableViewDataSource {
public:
    explicit Conversation(int count) {
        const QString texts[] = {
            QStringLiteral("好的"),
            QStringLiteral("明天上午九点在三楼会议室开会，请带上第二季度的销售报表。"),
            QStringLiteral("收到，我会提前把材料打印好。另外差旅费报销单已经提交了，麻烦您有空"
                           "的时候审批一下，谢谢！"),
            QStringLiteral("http://example.com/mobile/go.php?module=workflow&id=123456789"),
        };
        for (int i = 0; i < count; ++i) {
            const int side = i % 3 == 0 ? 0 : 1;
            const QString date = QStringLiteral("2013-04-27 09:%1").arg(i % 60, 2, 10, QChar('0'));
            bubbles_.push_back(
                i % 7 == 3 ? oa::NSBubbleData::dataWithDuration(
                                 QString::number(i % 40 + 1), date, side, QString::number(i),
                                 QStringLiteral("v%1.amr").arg(i), QStringLiteral("1"))
                           : oa::NSBubbleData::dataWithText(texts[i % 4], date, side,
                                                            QStringLiteral("0")));
        }
    }
    int rowsForBubbleTable(oa::UIBubbleTableView*) override { return int(bubbles_.size()); }
    oa::NSBubbleDataPtr bubbleTableViewDataForRow(oa::UIBubbleTableView*, int row) override {
        return bubbles_.at(std::size_t(row));
    }

private:
    std::vector<oa::NSBubbleDataPtr> bubbles_;
};

// Scrolls a screen's height at a time through the timeline, round and round.
void scrollSteps(benchmark::State& state, int bubbles) {
    Conversation conversation(bubbles);
    oa::UIBubbleTableView timeline;
    timeline.setBubbleDataSource(&conversation);
    timeline.resize(320, 372);
    timeline.show();
    timeline.reloadData();
    QCoreApplication::processEvents();
    const qreal end = timeline.maximumContentOffset();
    const qreal step = timeline.height();
    if (end < 10 * step) {
        state.SkipWithError("the timeline is shorter than ten screens");
        return;
    }
    qreal y = 0;
    for (auto _ : state) {
        y = y + step > end ? 0 : y + step;
        timeline.setContentOffset(y);
        benchmark::DoNotOptimize(timeline.visibleCells().size());
    }
    timeline.setBubbleDataSource(nullptr);
}

void BM_ScrollStep5000Bubbles(benchmark::State& state) {
    scrollSteps(state, 5000);
}
BENCHMARK(BM_ScrollStep5000Bubbles)->Unit(benchmark::kMicrosecond);

void BM_ScrollStep500Bubbles(benchmark::State& state) {
    scrollSteps(state, 500);
}
BENCHMARK(BM_ScrollStep500Bubbles)->Unit(benchmark::kMicrosecond);

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
    const double many = reporter.time("BM_ScrollStep5000Bubbles");
    const double few = reporter.time("BM_ScrollStep500Bubbles");
    if (many > 0 && few > 0) {
        std::printf(
            "one-screen scroll step: 5,000 bubbles %.1f us, 500 bubbles %.1f us; "
            "5,000 / 500 = %.2fx (target <= 1.5x)\n",
            many, few, many / few);
    }
    return 0;
}
