// The dialog screen with a 5,000-message conversation. Two comparisons, one run:
// - opening the dialog (the view built, the reply fetched from a loopback server and parsed, the
//   timeline measured, shown and at the bottom) against parsing the same reply alone
//   (JsonOperation::getMessageDetail); target at most 10x;
// - one scroll step of a screen's height in the opened 5,000-message dialog against the same
//   step in a 500-message one; target at most 1.5x.
// The messages mix texts of one to several lines and voice messages on both sides.
#include <benchmark/benchmark.h>

#include <httplib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "RatioReporter.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/JsonOperation.h"
#include "core/session/GlobalVar.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/UIBubbleTableView.h"
#include "ui/platform/QtMainLoop.h"

namespace {

constexpr int kMessages = 5000;
constexpr int kFewMessages = 500;

// A dialog reply as the server writes it: every value a text, the partner's ("0") and the
// user's ("1") messages interleaved, every seventh one a voice message.
std::string dialogReply(int messages) {
    const char* texts[] = {
        "好的",
        "明天上午九点在三楼会议室开会，请带上第二季度的销售报表。",
        "收到，我会提前把材料打印好。另外差旅费报销单已经提交了，麻烦您有空的时候审批一下，谢谢！",
        "http://example.com/mobile/go.php?module=workflow&id=123456789",
    };
    nlohmann::json list = nlohmann::json::array();
    for (int i = 0; i < messages; ++i) {
        const bool voice = i % 7 == 3;
        const std::string from = i % 3 == 0 ? "0" : "1";
        const std::string id = std::to_string(i);
        std::string voiceFile = id;
        voiceFile.insert(0, 1, 'v').append(".amr");
        char time[32];
        std::snprintf(time, sizeof time, "2013-04-27 09:%02d", i % 60);
        list.push_back({{"q_id", std::to_string(100000 + i)},
                        {"q_uid", from == "0" ? "7" : "me"},
                        {"q_name", from == "0" ? "吴强" : "王晓明"},
                        {"avatar", from},
                        {"send_time", time},
                        {"content", voice ? "" : texts[i % 4]},
                        {"msg_from", from},
                        {"msg_type_name", "微讯"},
                        {"isvoicemsg", voice ? "1" : "0"},
                        {"attachment_id", voice ? id : ""},
                        {"attachment_name", voice ? voiceFile : ""},
                        {"duration", voice ? std::to_string(i % 40 + 1) : ""}});
    }
    return list.dump();
}

const std::string& reply(int messages) {
    static std::map<int, std::string> replies;
    auto it = replies.find(messages);
    if (it == replies.end()) {
        it = replies.emplace(messages, dialogReply(messages)).first;
    }
    return it->second;
}

// The loopback server: answers every dialog request with the reply of the size last set.
class Server {
public:
    Server() {
        server_.set_tcp_nodelay(true);
        server_.Post("/mobile/message/data.php",
                     [this](const httplib::Request&, httplib::Response& res) {
                         res.set_content(reply(messages_.load()), "text/plain; charset=utf-8");
                     });
        const int port = server_.bind_to_any_port("127.0.0.1");
        listener_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        oa::GlobalVar::getInstance_global().setOa("http://127.0.0.1:" + std::to_string(port));
        oa::GlobalVar::getInstance_global().setSession_id(std::string("S"));
        oa::GlobalVar::getInstance_global().setUid(std::string("me"));
    }
    ~Server() {
        server_.stop();
        listener_.join();
    }
    void setMessages(int messages) {
        reply(messages);  // made before the server thread reads it
        messages_ = messages;
    }

private:
    httplib::Server server_;
    std::thread listener_;
    std::atomic<int> messages_{kMessages};
};

Server& server() {
    static Server instance;
    return instance;
}

// A dialog screen, opened: built, shown at the navigation stack's size, its first load ended.
class Dialog {
public:
    Dialog() : controller_(std::make_unique<oa::MessageController>()) {
        controller_->setQ_id("7");
        controller_->setQ_name("吴强");
        QObject::connect(controller_.get(), &oa::MessageController::loadFinished,
                         [this](bool ok) { ok ? ++loaded_ : ++failed_; });
    }
    ~Dialog() {
        controller_->beginAppearanceTransition(false, false);
        controller_->endAppearanceTransition();
    }

    // Builds and shows the screen, which starts the load, and waits for the load to end.
    bool open() {
        controller_->beginAppearanceTransition(true, false);
        controller_->view()->resize(320, 436);
        controller_->view()->show();
        controller_->endAppearanceTransition();
        QElapsedTimer clock;
        clock.start();
        while (loaded_ + failed_ == 0) {
            if (clock.elapsed() > 30000) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return loaded_ == 1;
    }
    // The conversation shows all its messages, its newest (last) bubble selected.
    bool shows(int messages) const {
        oa::UIBubbleTableView* table = controller_->bubbleTable();
        return int(controller_->bubbleData().size()) == messages &&
               table->numberOfSections() == messages &&
               table->indexPathForSelectedRow() == std::optional(oa::IndexPath{messages - 1, 0});
    }
    // The timeline's scroll to the newest message, animated, ends at the bottom.
    bool reachesBottom() const {
        oa::UIBubbleTableView* table = controller_->bubbleTable();
        QElapsedTimer clock;
        clock.start();
        while (std::abs(table->contentOffset() - table->maximumContentOffset()) > 0.5) {
            if (clock.elapsed() > 5000) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }
    oa::UIBubbleTableView* table() const { return controller_->bubbleTable(); }

private:
    std::unique_ptr<oa::MessageController> controller_;
    int loaded_ = 0;
    int failed_ = 0;
};

void BM_GetMessageDetailOnly(benchmark::State& state) {
    const std::string& text = reply(kMessages);
    for (auto _ : state) {
        auto records = oa::JsonOperation().getMessageDetail(text);
        if (records.size() != std::size_t(kMessages)) {
            state.SkipWithError("the reply did not parse into 5,000 messages");
            break;
        }
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_GetMessageDetailOnly)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_OpenDialog(benchmark::State& state) {
    server().setMessages(kMessages);
    for (auto _ : state) {
        state.PauseTiming();
        auto dialog = std::make_unique<Dialog>();
        state.ResumeTiming();
        const bool opened = dialog->open();
        state.PauseTiming();
        if (!opened || !dialog->shows(kMessages) || !dialog->reachesBottom()) {
            state.SkipWithError("the dialog did not open at its newest message");
            break;
        }
        dialog.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
// Real time: the reply comes over the loopback while the main thread waits.
BENCHMARK(BM_OpenDialog)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// Scrolls a screen's height at a time through the opened dialog's timeline, round and round.
void scrollSteps(benchmark::State& state, int messages) {
    server().setMessages(messages);
    Dialog dialog;
    if (!dialog.open() || !dialog.shows(messages) || !dialog.reachesBottom()) {
        state.SkipWithError("the dialog did not open at its newest message");
        return;
    }
    oa::UIBubbleTableView* timeline = dialog.table();
    const qreal end = timeline->maximumContentOffset();
    const qreal step = timeline->height();
    if (end < 10 * step) {
        state.SkipWithError("the timeline is shorter than ten screens");
        return;
    }
    qreal y = 0;
    for (auto _ : state) {
        y = y + step > end ? 0 : y + step;
        timeline->setContentOffset(y);
        benchmark::DoNotOptimize(timeline->visibleCells().size());
    }
}

void BM_ScrollStep5000Messages(benchmark::State& state) {
    scrollSteps(state, kMessages);
}
BENCHMARK(BM_ScrollStep5000Messages)->Unit(benchmark::kMicrosecond);

void BM_ScrollStep500Messages(benchmark::State& state) {
    scrollSteps(state, kFewMessages);
}
BENCHMARK(BM_ScrollStep500Messages)->Unit(benchmark::kMicrosecond);

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
    // The transport hands its replies to the main thread through this loop.
    oa::QtMainLoop loop;
    oa::MainLoop::setMain(&loop);
    oa::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    oa::MainLoop::setMain(nullptr);
    const double open = reporter.time("BM_OpenDialog");
    const double parse = reporter.time("BM_GetMessageDetailOnly");
    if (open > 0 && parse > 0) {
        std::printf(
            "opening a 5,000-message dialog %.1f ms, getMessageDetail alone %.1f ms; "
            "open / parse = %.2fx (target <= 10x)\n",
            open, parse, open / parse);
    }
    const double many = reporter.time("BM_ScrollStep5000Messages");
    const double few = reporter.time("BM_ScrollStep500Messages");
    if (many > 0 && few > 0) {
        std::printf(
            "one-screen scroll step: 5,000 messages %.1f us, 500 messages %.1f us; "
            "5,000 / 500 = %.2fx (target <= 1.5x)\n",
            many, few, many / few);
    }
    return 0;
}
