// The file cabinets in the module list's logic: walking into folders and out by the back row,
// the requests that takes (logged by a loopback server), empty folders, failures that keep the
// rows and the folders open, pulls inside a folder, taps during a folder load, and what a tap
// on other rows leads to.
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

std::string field(const test::CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return part.value;
        }
    }
    return {};
}

// "name" of each row, joined: "返回上一级,Y,b.doc".
QString names(const RecordList& list) {
    QStringList out;
    for (const auto& r : list) {
        auto file = std::dynamic_pointer_cast<FileVO>(r);
        out << (file ? QString::fromStdString(file->name.value_or("?")) : QStringLiteral("?"));
    }
    return out.join(',');
}

QString message(const ListUpdate& update) {
    return update.message ? QString::fromStdString(*update.message) : QString();
}

// A cabinet on a loopback server: the top level holds folder X and a file, X holds folder Y
// and a file, Y is empty. Each request is logged as "loadList" or "<id field>=<id>".
class Cabinet {
public:
    Cabinet() {
        server.setHandler(
            "/mobile/file_folder/data.php",
            [this](const test::CapturedRequest& request, test::HttpTestServer::Exchange& exchange) {
                exchange.reply({status, {}, answer(request)});
            });
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setSession_id(std::string("S"));
    }

    QStringList log() const {
        QStringList out;
        for (const auto& request : server.requests()) {
            if (field(request, "A") == "loadList") {
                out << QStringLiteral("loadList");
            } else if (field(request, "ATYPE") == "getListContent") {
                const bool isPublic = !field(request, "P_ID").empty();
                out << QString::fromStdString((isPublic ? "P_ID=" : "Q_ID=") +
                                              field(request, isPublic ? "P_ID" : "Q_ID"));
            } else {
                out << QStringLiteral("other");
            }
        }
        return out;
    }

    test::HttpTestServer server;
    int status = 200;

private:
    static std::string answer(const test::CapturedRequest& request) {
        if (field(request, "A") == "loadList") {
            return R"([{"q_id":"10","file_type":"folder","name":"X","file_ext":""},)"
                   R"({"q_id":"11","file_type":"file","name":"a.pdf","file_ext":"pdf"}])";
        }
        const std::string id = field(request, "Q_ID") + field(request, "P_ID");
        if (id == "10") {
            return R"([{"q_id":"20","file_type":"folder","name":"Y","file_ext":""},)"
                   R"({"q_id":"21","file_type":"file","name":"b.doc","file_ext":"doc"}])";
        }
        return "[]";
    }
};

// Runs a load on this thread and merges it, as the screen does across two threads.
ListUpdate run(FuncListLogic& logic, const ListLoad& load) {
    return logic.finishData(FuncListLogic::searchData(load));
}

// Taps a row that opens or leaves a folder by a request, and merges the result.
ListUpdate tapFolder(FuncListLogic& logic, std::size_t row) {
    const RowTap tap = logic.didSelectRow(row);
    if (tap.kind != RowTap::Kind::folderLoad || !tap.load) {
        qWarning("row %zu loads no folder", row);
        return {};
    }
    return run(logic, *tap.load);
}

}  // namespace

class FolderWalkTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { GlobalVar::getInstance_global().resetForTesting(); }

    // Open X, open Y inside it, back to X without a request, back again to a fresh top level.
    void walkInAndOut() {
        Cabinet cabinet;
        FuncListLogic logic("file_folder");
        run(logic, logic.startLoad(LoadDirection::down));
        QCOMPARE(names(logic.list()), QStringLiteral("X,a.pdf"));

        ListUpdate update = tapFolder(logic, 0);
        QVERIFY(update.applied && update.reload && !update.message);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));
        QCOMPARE(logic.folderDepth(), size_t(1));
        auto back = std::dynamic_pointer_cast<FileVO>(logic.list().front());
        QVERIFY(back);
        QCOMPARE(back->q_id, Text("-999"));
        QCOMPARE(back->file_type, Text("folder"));
        QVERIFY(!back->file_ext);

        update = tapFolder(logic, 1);
        QVERIFY(update.reload);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级"));
        QCOMPARE(logic.folderDepth(), size_t(2));

        const RowTap up = logic.didSelectRow(0);
        QCOMPARE(up.kind, RowTap::Kind::folderShown);
        QVERIFY(!up.load);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));
        QCOMPARE(logic.folderDepth(), size_t(1));

        update = tapFolder(logic, 0);
        QVERIFY(update.reload);
        QCOMPARE(names(logic.list()), QStringLiteral("X,a.pdf"));
        QCOMPARE(logic.folderDepth(), size_t(0));

        QCOMPARE(cabinet.log(), QStringList({"loadList", "Q_ID=10", "Q_ID=20", "loadList"}));
        // Folder ids never become the newest id of the cabinet's list.
        QCOMPARE(logic.firstID(), Text("11"));
    }

    void publicCabinetNamesFoldersAsP_ID() {
        Cabinet cabinet;
        FuncListLogic logic("public_folder");
        run(logic, logic.startLoad(LoadDirection::down));
        tapFolder(logic, 0);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));
        QCOMPARE(cabinet.log().last(), QStringLiteral("P_ID=10"));
    }

    // While a folder loads, taps do nothing; then they work again.
    void tapsIgnoredDuringAFolderLoad() {
        Cabinet cabinet;
        FuncListLogic logic("file_folder");
        run(logic, logic.startLoad(LoadDirection::down));
        const RowTap open = logic.didSelectRow(0);
        QCOMPARE(open.kind, RowTap::Kind::folderLoad);
        QVERIFY(logic.isFolderLoading());
        QCOMPARE(logic.didSelectRow(0).kind, RowTap::Kind::none);
        QCOMPARE(logic.didSelectRow(1).kind, RowTap::Kind::none);
        run(logic, *open.load);
        QVERIFY(!logic.isFolderLoading());
        QCOMPARE(logic.didSelectRow(2).kind, RowTap::Kind::detail);
    }

    // A failed folder request keeps the rows and the folders open, and can be tried again.
    void failuresKeepRowsAndFolders() {
        Cabinet cabinet;
        FuncListLogic logic("file_folder");
        run(logic, logic.startLoad(LoadDirection::down));
        cabinet.status = 500;
        ListUpdate update = tapFolder(logic, 0);
        QCOMPARE(message(update), QStringLiteral("网络异常，加载信息失败！"));
        QVERIFY(!update.reload && !update.reachedEnd);
        QCOMPARE(names(logic.list()), QStringLiteral("X,a.pdf"));
        QCOMPARE(logic.folderDepth(), size_t(0));
        QVERIFY(!logic.isFolderLoading());

        cabinet.status = 200;
        tapFolder(logic, 0);
        QCOMPARE(logic.folderDepth(), size_t(1));

        cabinet.status = 500;
        update = tapFolder(logic, 0);
        QCOMPARE(message(update), QStringLiteral("网络异常，加载信息失败！"));
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));
        QCOMPARE(logic.folderDepth(), size_t(1));

        cabinet.status = 200;
        tapFolder(logic, 0);
        QCOMPARE(names(logic.list()), QStringLiteral("X,a.pdf"));
        QCOMPARE(logic.folderDepth(), size_t(0));
    }

    // Inside a folder, pulling down reloads that folder and pulling up asks nothing.
    void pullsInsideAFolder() {
        Cabinet cabinet;
        FuncListLogic logic("file_folder");
        run(logic, logic.startLoad(LoadDirection::down));
        tapFolder(logic, 0);
        const qsizetype before = cabinet.log().size();

        ListUpdate update = run(logic, logic.startLoad(LoadDirection::down));
        QVERIFY(update.reload && !update.message);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));
        QCOMPARE(logic.folderDepth(), size_t(1));
        QCOMPARE(cabinet.log().mid(before), QStringList({"Q_ID=10"}));

        update = run(logic, logic.startLoad(LoadDirection::up));
        QCOMPARE(message(update), QStringLiteral("没有更早的数据！"));
        QVERIFY(!update.reachedEnd);
        QCOMPARE(cabinet.log().size(), before + 1);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));
    }

    // A pull of the top level that ends after a folder was opened does not mix top-level rows
    // into the folder's.
    void pullOvertakenByAFolderIsDropped() {
        Cabinet cabinet;
        FuncListLogic logic("file_folder");
        run(logic, logic.startLoad(LoadDirection::down));
        const ListLoad pull = logic.startLoad(LoadDirection::up);
        QCOMPARE(pull.folder, FolderRequest::none);
        tapFolder(logic, 0);
        const ListUpdate stale = run(logic, pull);
        QVERIFY(!stale.applied);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));

        // Likewise a pull of the top level started while the folder was loading.
        tapFolder(logic, 0);
        QCOMPARE(logic.folderDepth(), size_t(0));
        const RowTap open = logic.didSelectRow(0);
        QCOMPARE(open.kind, RowTap::Kind::folderLoad);
        const ListLoad during = logic.startLoad(LoadDirection::up);
        QCOMPARE(during.folder, FolderRequest::none);
        run(logic, *open.load);
        QVERIFY(!run(logic, during).applied);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));
    }

    // A reload of folder Y still running when the back row returns to X does not put Y's
    // content into X.
    void reloadOfAFolderLeftIsDropped() {
        Cabinet cabinet;
        FuncListLogic logic("file_folder");
        run(logic, logic.startLoad(LoadDirection::down));
        tapFolder(logic, 0);
        tapFolder(logic, 1);
        QCOMPARE(logic.folderDepth(), size_t(2));
        const ListLoad reloadY = logic.startLoad(LoadDirection::down);
        QCOMPARE(reloadY.folder, FolderRequest::reload);
        QCOMPARE(reloadY.folderId, Text("20"));
        QCOMPARE(logic.didSelectRow(0).kind, RowTap::Kind::folderShown);
        QVERIFY(!run(logic, reloadY).applied);
        QCOMPARE(names(logic.list()), QStringLiteral("返回上一级,Y,b.doc"));
        QCOMPARE(logic.folderDepth(), size_t(1));
        // X is still X when left and entered again.
        QCOMPARE(logic.didSelectRow(0).kind, RowTap::Kind::folderLoad);
    }

    void whatATapLeadsTo() {
        FuncListLogic cabinet("file_folder");
        auto file = std::make_shared<FileVO>();
        file->file_type = "file";
        auto other = std::make_shared<FileVO>();
        other->file_type = "link";
        auto untyped = std::make_shared<FileVO>();
        cabinet.setList({file, other, untyped});
        QCOMPARE(cabinet.didSelectRow(0).kind, RowTap::Kind::detail);
        QCOMPARE(cabinet.didSelectRow(1).kind, RowTap::Kind::none);
        QCOMPARE(cabinet.didSelectRow(2).kind, RowTap::Kind::none);
        QCOMPARE(cabinet.didSelectRow(3).kind, RowTap::Kind::none);

        FuncListLogic mail("email");
        auto email = std::make_shared<EmailVO>();
        email->read_flag = "0";
        mail.setList({email});
        RowTap tap = mail.didSelectRow(0);
        QCOMPARE(tap.kind, RowTap::Kind::detail);
        QVERIFY(tap.markedRead);
        tap = mail.didSelectRow(0);
        QVERIFY(!tap.markedRead);

        FuncListLogic diary("diary");
        diary.setList({std::make_shared<DiaryVO>()});
        tap = diary.didSelectRow(0);
        QCOMPARE(tap.kind, RowTap::Kind::detail);
        QVERIFY(!tap.markedRead);
    }
};

}  // namespace oa

OA_QT_TEST(FolderWalkTest)
#include "FolderWalkTest.moc"
