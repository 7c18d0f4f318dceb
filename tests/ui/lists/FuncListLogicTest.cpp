// The module list's logic without widgets: the A, B, C / D, E / F, G merge, the newest id for
// the next refresh, the end messages, failed transfers that keep the rows, the diary kinds and
// their overlay, a superseded diary load, and marking rows read; first on pages as the logic
// objects hand them, then end to end against a loopback server.
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "core/protocol/ListRecords.h"
#include "core/session/GlobalVar.h"
#include "support/HttpTestServer.h"
#include "ui/controller/main/FuncListLogic.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

std::shared_ptr<BaseVO> email(const std::string& id, const char* read_flag = "0") {
    auto record = std::make_shared<EmailVO>();
    record->q_id = id;
    record->subject = "邮件" + id;
    record->read_flag = read_flag;
    return record;
}

template <class Record>
std::shared_ptr<BaseVO> record(const std::string& id) {
    auto r = std::make_shared<Record>();
    r->q_id = id;
    return r;
}

// The ids of the rows, top to bottom, joined: "D,E,A".
QString ids(const RecordList& list) {
    QStringList out;
    for (const auto& r : list) {
        out << QString::fromStdString(r->q_id.value_or("?"));
    }
    return out.join(',');
}

// A page as the logic objects return it: first and newer pages newest last, older pages in
// reply order.
ListPage page(const ListLoad& load, std::vector<std::string> replyOrder) {
    RecordList records;
    for (const auto& id : replyOrder) {
        records.push_back(email(id));
    }
    if (load.state == LoadDirection::down) {
        std::reverse(records.begin(), records.end());
    }
    return {load, records, false};
}

ListPage failed(const ListLoad& load) {
    return {load, RecordList{}, true};
}

QString message(const ListUpdate& update) {
    return update.message ? QString::fromStdString(*update.message) : QString();
}

// A JSON list reply of e-mails with these ids.
std::string reply(const std::vector<std::string>& ids) {
    std::string out = "[";
    for (const auto& id : ids) {
        out += (out.size() > 1 ? "," : "") + std::string("{\"q_id\":\"") + id +
               "\",\"subject\":\"s" + id + "\",\"read_flag\":\"0\"}";
    }
    return out + "]";
}

// The value of a form field of a captured request, or "".
std::string field(const test::CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return part.value;
        }
    }
    return {};
}

}  // namespace

class FuncListLogicTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { GlobalVar::getInstance_global().resetForTesting(); }

    void newerOnTopOlderBelow() {
        FuncListLogic logic("email");
        ListLoad first = logic.startLoad(LoadDirection::down);
        QVERIFY(first.firstPage);
        ListUpdate update = logic.finishData(page(first, {"A", "B", "C"}));
        QVERIFY(update.applied && update.reload && !update.message && !update.reachedEnd);
        QCOMPARE(ids(logic.list()), QStringLiteral("A,B,C"));

        ListLoad newer = logic.startLoad(LoadDirection::down);
        QVERIFY(!newer.firstPage);
        update = logic.finishData(page(newer, {"D", "E"}));
        QVERIFY(update.reload && !update.message);
        QCOMPARE(ids(logic.list()), QStringLiteral("D,E,A,B,C"));

        ListLoad older = logic.startLoad(LoadDirection::up);
        QCOMPARE(older.count, 5);
        update = logic.finishData(page(older, {"F", "G"}));
        QVERIFY(update.reload && !update.message);
        QCOMPARE(ids(logic.list()), QStringLiteral("D,E,A,B,C,F,G"));
    }

    void emptyPagesKeepTheRowsAndSaySo() {
        FuncListLogic logic("notify");
        logic.finishData(page(logic.startLoad(LoadDirection::down), {"1", "2"}));

        ListUpdate update = logic.finishData(page(logic.startLoad(LoadDirection::down), {}));
        QCOMPARE(message(update), QStringLiteral("无最新数据！"));
        QVERIFY(!update.reload && !update.reachedEnd);
        update = logic.finishData(page(logic.startLoad(LoadDirection::up), {}));
        QCOMPARE(message(update), QStringLiteral("没有更早的数据！"));
        QVERIFY(!update.reload && !update.reachedEnd);
        QCOMPARE(ids(logic.list()), QStringLiteral("1,2"));

        // An empty first page is "no newer data" too.
        FuncListLogic empty("news");
        update = empty.finishData(page(empty.startLoad(LoadDirection::down), {}));
        QCOMPARE(message(update), QStringLiteral("无最新数据！"));
    }

    // A failed exchange is not an empty page: the rows stay, the message names the network,
    // and the end is not marked, so a later pull can still load.
    void failedTransferKeepsRows() {
        for (LoadDirection direction : {LoadDirection::down, LoadDirection::up}) {
            FuncListLogic logic("email");
            logic.finishData(page(logic.startLoad(LoadDirection::down), {"5", "4"}));
            const ListUpdate update = logic.finishData(failed(logic.startLoad(direction)));
            QVERIFY(update.applied);
            QCOMPARE(message(update), QStringLiteral("网络异常，加载信息失败！"));
            QVERIFY(!update.reachedEnd);
            QVERIFY(!update.reload);
            QCOMPARE(ids(logic.list()), QStringLiteral("5,4"));
            QCOMPARE(logic.firstID(), Text("5"));
        }
    }

    void moduleWithoutLogicReachesTheEnd() {
        FuncListLogic logic("no_such_module");
        const ListLoad load = logic.startLoad(LoadDirection::down);
        const ListPage result = FuncListLogic::searchData(load);
        QVERIFY(!result.records);
        const ListUpdate update = logic.finishData(result);
        QCOMPARE(message(update), QStringLiteral("网络异常，加载信息失败！"));
        QVERIFY(update.reachedEnd);
        QVERIFY(logic.list().empty());
    }

    // The newest id is the largest received, compared as numbers, never lowered; a new screen
    // starts without one.
    void firstIdIsTheLargestReceived() {
        FuncListLogic logic("email");
        QVERIFY(!logic.firstID());
        QVERIFY(!logic.startLoad(LoadDirection::down).firstID);
        logic.finishData(page({"email", LoadDirection::down, true}, {"9", "120", "30"}));
        QCOMPARE(logic.firstID(), Text("120"));
        logic.finishData(page({"email", LoadDirection::down}, {"90"}));
        QCOMPARE(logic.firstID(), Text("120"));
        logic.finishData(page({"email", LoadDirection::down}, {"x7", "1000"}));
        QCOMPARE(logic.firstID(), Text("1000"));
        QCOMPARE(logic.startLoad(LoadDirection::down).firstID, Text("1000"));

        FuncListLogic other("email");
        QVERIFY(!other.startLoad(LoadDirection::down).firstID);
    }

    void diaryKindsAndOverlay() {
        FuncListLogic logic("diary");
        ListLoad own = logic.startLoad(LoadDirection::down);
        QVERIFY(own.firstPage && !own.isDiary);
        ListUpdate update = logic.finishData(page(own, {}));
        QCOMPARE(update.overlay, ListUpdate::Overlay::shown);
        QCOMPARE(QString::fromStdString(update.overlayText), QStringLiteral("无工作日志"));

        std::optional<ListLoad> shared = logic.changeBrush(1);
        QVERIFY(shared && shared->firstPage && shared->isDiary);
        QVERIFY(logic.isdiaryYES());
        update = logic.finishData(page(*shared, {}));
        QCOMPARE(update.overlay, ListUpdate::Overlay::shown);
        QCOMPARE(QString::fromStdString(update.overlayText), QStringLiteral("无共享日志"));

        std::optional<ListLoad> back = logic.changeBrush(0);
        QVERIFY(back && !back->isDiary);
        update = logic.finishData(page(*back, {"3", "2"}));
        QCOMPARE(update.overlay, ListUpdate::Overlay::hidden);
        QCOMPARE(ids(logic.list()), QStringLiteral("3,2"));

        QVERIFY(!logic.changeBrush(2));
        QVERIFY(!logic.changeBrush(-1));
        QVERIFY(!logic.isdiaryYES());
    }

    // A diary refresh asks for the first page again and replaces the rows; it says "no newer
    // data" only when that page is empty.
    void diaryRefreshReplacesRows() {
        FuncListLogic logic("diary");
        logic.finishData(page(logic.startLoad(LoadDirection::down), {"3", "2"}));
        ListLoad refresh = logic.startLoad(LoadDirection::down);
        QVERIFY(!refresh.firstPage);
        QCOMPARE(refresh.state, LoadDirection::down);
        ListUpdate update = logic.finishData(page(refresh, {"4", "3", "2"}));
        QCOMPARE(ids(logic.list()), QStringLiteral("4,3,2"));
        QVERIFY(!update.message);
        QCOMPARE(update.overlay, ListUpdate::Overlay::hidden);

        update = logic.finishData(failed(logic.startLoad(LoadDirection::down)));
        QCOMPARE(ids(logic.list()), QStringLiteral("4,3,2"));
        QCOMPARE(message(update), QStringLiteral("网络异常，加载信息失败！"));

        update = logic.finishData(page(logic.startLoad(LoadDirection::down), {}));
        QVERIFY(logic.list().empty());
        QVERIFY(update.reload);
        QCOMPARE(message(update), QStringLiteral("无最新数据！"));
    }

    // The first diary written after an empty first page: the refresh that brings it takes the
    // overlay away, and one that finds none again puts it back.
    void diaryOverlayFollowsEveryLoad() {
        FuncListLogic logic("diary");
        ListUpdate update = logic.finishData(page(logic.startLoad(LoadDirection::down), {}));
        QCOMPARE(update.overlay, ListUpdate::Overlay::shown);
        update = logic.finishData(page(logic.startLoad(LoadDirection::down), {"1"}));
        QCOMPARE(update.overlay, ListUpdate::Overlay::hidden);
        update = logic.finishData(page(logic.startLoad(LoadDirection::down), {}));
        QCOMPARE(update.overlay, ListUpdate::Overlay::shown);
        QCOMPARE(QString::fromStdString(update.overlayText), QStringLiteral("无工作日志"));
    }

    // An item that arrived since the first page moves the server's pages by one: the older page
    // (asked for after the rows held) repeats a row, which is not listed twice. A page of rows
    // all listed already is the end.
    void olderPageSkipsRowsAlreadyListed() {
        FuncListLogic logic("email");
        logic.finishData(page(logic.startLoad(LoadDirection::down), {"12", "11", "10"}));
        ListLoad older = logic.startLoad(LoadDirection::up);
        QCOMPARE(older.count, 3);
        ListUpdate update = logic.finishData(page(older, {"10", "9", "8"}));
        QVERIFY(update.reload && !update.message);
        QCOMPARE(ids(logic.list()), QStringLiteral("12,11,10,9,8"));

        update = logic.finishData(page(logic.startLoad(LoadDirection::up), {"8"}));
        QVERIFY(!update.reload);
        QCOMPARE(message(update), QStringLiteral("没有更早的数据！"));
        QCOMPARE(ids(logic.list()), QStringLiteral("12,11,10,9,8"));

        // A folder and a file of a cabinet may share an id: both are listed.
        FuncListLogic cabinet("file_folder");
        auto folder = std::make_shared<FileVO>();
        folder->q_id = "4";
        folder->file_type = "folder";
        auto file = std::make_shared<FileVO>();
        file->q_id = "4";
        file->file_type = "file";
        cabinet.finishData({cabinet.startLoad(LoadDirection::down), RecordList{folder}, false});
        cabinet.finishData({cabinet.startLoad(LoadDirection::up), RecordList{file}, false});
        QCOMPARE(ids(cabinet.list()), QStringLiteral("4,4"));
    }

    // The result of a load that a kind change overtook is dropped; the new kind's rows never
    // mix with the old kind's.
    void staleDiaryKindResultDropped() {
        FuncListLogic logic("diary");
        logic.finishData(page(logic.startLoad(LoadDirection::down), {"own1"}));
        const ListLoad ownRefresh = logic.startLoad(LoadDirection::down);
        const std::optional<ListLoad> shared = logic.changeBrush(1);
        QVERIFY(shared);

        const ListUpdate stale = logic.finishData(page(ownRefresh, {"own2", "own1"}));
        QVERIFY(!stale.applied);
        QVERIFY(!stale.reload && !stale.message);
        QCOMPARE(ids(logic.list()), QStringLiteral("own1"));

        logic.finishData(page(*shared, {"s1"}));
        QCOMPARE(ids(logic.list()), QStringLiteral("s1"));

        // A kind change whose load fails shows none of the other kind's rows either.
        const std::optional<ListLoad> own = logic.changeBrush(0);
        const ListUpdate update = logic.finishData(failed(*own));
        QVERIFY(logic.list().empty());
        QVERIFY(update.reload);
        QCOMPARE(message(update), QStringLiteral("网络异常，加载信息失败！"));
        QCOMPARE(update.overlay, ListUpdate::Overlay::hidden);
    }

    void tapMarksRead() {
        FuncListLogic mail("email");
        mail.setList({email("1", "0"), email("2", "1"), record<DiaryVO>("3")});
        QVERIFY(mail.markRead(0));
        QCOMPARE(std::static_pointer_cast<EmailVO>(mail.list()[0])->read_flag, Text("1"));
        QVERIFY(!mail.markRead(1));
        QVERIFY(!mail.markRead(2));
        QVERIFY(!mail.markRead(3));

        for (const char* key : {"diary", "calendar", "file_folder", "public_folder"}) {
            FuncListLogic logic(key);
            auto notify = std::make_shared<NotifyVO>();
            notify->read_flag = "0";
            logic.setList({notify});
            QVERIFY2(!logic.markRead(0), key);
            QCOMPARE(notify->read_flag, Text("0"));
        }
        FuncListLogic notices("notify");
        auto notify = std::make_shared<NotifyVO>();
        notices.setList({notify});
        QVERIFY(notices.markRead(0));
        QCOMPARE(notify->read_flag, Text("1"));
    }

    // Through the real logic objects and transport: the pages asked for, "LATEST_ID" and
    // "CURRITERMS" on the wire, the merge in reply order, and failures told from empty pages.
    void endToEndAgainstTheServer() {
        test::HttpTestServer server;
        server.setHandler("/mobile/email/data.php", [&](const test::CapturedRequest& request,
                                                        test::HttpTestServer::Exchange& exchange) {
            const std::string action = field(request, "A");
            if (action == "loadList") {
                exchange.reply({200, {}, reply({"3", "2", "1"})});
            } else if (action == "getNew") {
                exchange.reply(
                    {200,
                     {},
                     field(request, "LATEST_ID") == "3" ? reply({"5", "4"}) : "NONEWDATA"});
            } else {
                exchange.reply({200, {}, reply({"0", "-1"})});
            }
        });
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setSession_id(std::string("S"));

        FuncListLogic logic("email");
        auto run = [&](LoadDirection direction) {
            return logic.finishData(FuncListLogic::searchData(logic.startLoad(direction)));
        };
        QVERIFY(run(LoadDirection::down).reload);
        QCOMPARE(ids(logic.list()), QStringLiteral("3,2,1"));
        QVERIFY(run(LoadDirection::down).reload);
        QCOMPARE(ids(logic.list()), QStringLiteral("5,4,3,2,1"));
        QVERIFY(run(LoadDirection::up).reload);
        QCOMPARE(ids(logic.list()), QStringLiteral("5,4,3,2,1,0,-1"));
        QCOMPARE(logic.firstID(), Text("5"));
        // "LATEST_ID" is now 5: the server has nothing newer.
        ListUpdate update = run(LoadDirection::down);
        QCOMPARE(message(update), QStringLiteral("无最新数据！"));

        const auto requests = server.requests();
        QCOMPARE(requests.size(), size_t(4));
        QCOMPARE(field(requests[1], "LATEST_ID"), std::string("3"));
        QCOMPARE(field(requests[2], "CURRITERMS"), std::string("5"));
        QCOMPARE(field(requests[3], "LATEST_ID"), std::string("5"));

        // An error status and a connection closed without a reply are failures, not empty
        // pages.
        server.setReply("/mobile/email/data.php", {500, {}, "[]"});
        update = run(LoadDirection::down);
        QCOMPARE(message(update), QStringLiteral("网络异常，加载信息失败！"));
        QVERIFY(!update.reachedEnd);
        server.setHandler("/mobile/email/data.php", test::HttpTestServer::rawThenClose(""));
        update = run(LoadDirection::up);
        QCOMPARE(message(update), QStringLiteral("网络异常，加载信息失败！"));
        QCOMPARE(ids(logic.list()), QStringLiteral("5,4,3,2,1,0,-1"));

        // And a good empty page after a failure is an empty page again.
        server.setReply("/mobile/email/data.php", {200, {}, "NOMOREDATA"});
        update = run(LoadDirection::up);
        QCOMPARE(message(update), QStringLiteral("没有更早的数据！"));
    }
};

}  // namespace oa

OA_QT_TEST(FuncListLogicTest)
#include "FuncListLogicTest.moc"
