// The list screen against the in-process demo server, signed in as a member of staff: an e-mail
// that a colleague sends while the list is open comes on top with a pull, above the rows already
// there; a cabinet's folder opens and closes through the screen.
#include <httplib.h>

#include <QtTest>
#include <any>
#include <filesystem>
#include <memory>
#include <string>

#include "ListScreen.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/ListRecords.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/LoginVO.h"
#include "server/AdminGuard.h"
#include "server/DemoServer.h"
#include "ui/controller/main/BaseView.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

constexpr char kHost[] = "127.0.0.2";

class Demo {
public:
    Demo() {
        char pattern[] = "/tmp/oa-lists-server-XXXXXX";
        dir_ = mkdtemp(pattern) ? std::filesystem::path(pattern)
                                : std::filesystem::temp_directory_path();
        ServerOptions options;
        options.host = kHost;
        options.httpPort = 0;
        options.imPort = 0;
        options.dbPath = (dir_ / "demo.sqlite3").string();
        options.reset = true;
        server_ = std::make_unique<DemoServer>(options);
        std::string error;
        started_ = server_->start(&error);
        if (!started_) {
            qWarning("demo server: %s", error.c_str());
        }
    }
    ~Demo() {
        server_->stop();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    bool started() const { return started_; }
    std::string address() const {
        return std::string("http://") + kHost + ":" + std::to_string(server_->httpPort());
    }

    // Signs in as the client does; true when the server granted a session.
    bool signIn(const std::string& user) const {
        bool granted = false;
        ObserverToken token = NotificationCenter::defaultCenter().addObserver(
            LoginBO::kLoginResult, [&](const Notification& note) {
                granted = std::any_cast<std::vector<std::string>>(&note.object) != nullptr;
            });
        LoginVO record;
        record.name = user;
        record.pwd = "123456";
        record.oa = address();
        LoginBO().loginOperation(record);
        return granted;
    }

    // A colleague's e-mail through the demo server's admin interface.
    bool sendEmail(const std::string& to, const std::string& subject) const {
        httplib::Client http(kHost, server_->httpPort());
        const httplib::Params form{
            {"kind", "email"}, {"from", "liuli"}, {"to", to}, {"subject", subject}};
        const auto result = http.Post("/demo/admin/event", {{AdminGuard::kHeader, "1"}}, form);
        return result && result->status == 200;
    }

private:
    std::filesystem::path dir_;
    std::unique_ptr<DemoServer> server_;
    bool started_ = false;
};

Demo& demo() {
    static Demo instance;
    return instance;
}

// The record of the row, or null.
template <class Record>
std::shared_ptr<Record> rowRecord(const FuncController* list, std::size_t row) {
    const RecordList& rows = list->logic().list();
    return row < rows.size() ? std::dynamic_pointer_cast<Record>(rows[row]) : nullptr;
}

}  // namespace

class DemoServerListTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(demo().started()); }
    void init() {
        ProgressHUD::resetForTesting();
        QVERIFY(demo().signIn("wangjianguo"));
    }
    void cleanup() {
        lists::drain();
        ProgressHUD::resetForTesting();
        GlobalVar::getInstance_global().resetForTesting();
    }

    void adminEventEmailOnTopAfterAPull() {
        lists::ListScreen screen("email", "电子邮件");
        QVERIFY(screen.waitForLoads(1));
        const std::size_t before = screen.list()->logic().list().size();
        QVERIFY(before > 0);
        const auto formerTop = rowRecord<EmailVO>(screen.list(), 0);
        QVERIFY(formerTop);

        QVERIFY(demo().sendEmail("wangjianguo", "季度预算调整，请今天内确认"));
        screen.table()->launchRefreshing();
        QVERIFY(screen.waitForLoads(2));
        QCOMPARE(screen.list()->logic().list().size(), before + 1);
        const auto top = rowRecord<EmailVO>(screen.list(), 0);
        QVERIFY(top);
        QCOMPARE(top->subject, Text("季度预算调整，请今天内确认"));
        QCOMPARE(top->read_flag, Text("0"));
        QCOMPARE(rowRecord<EmailVO>(screen.list(), 1)->q_id, formerTop->q_id);
        // Drawn on top, unread.
        auto* cell = qobject_cast<ModuleRowCell*>(screen.table()->cellForRowAtIndexPath({0, 0}));
        QVERIFY(cell && cell->rowView());
        QCOMPARE(cell->rowView()->q_id(), top->q_id);
        QCOMPARE(cell->rowView()->backgroundColor(), QColor(251, 230, 133));

        // Nothing newer since: the rows stay and the strip says so.
        screen.table()->launchRefreshing();
        QVERIFY(screen.waitForLoads(3));
        QTRY_COMPARE(screen.strip(), QStringLiteral("无最新数据！"));
        QCOMPARE(screen.list()->logic().list().size(), before + 1);
    }

    // Into the first folder of the personal cabinet and back out by its back row.
    void cabinetFolderInAndOut() {
        lists::ListScreen screen("file_folder", "个人文件柜");
        QVERIFY(screen.waitForLoads(1));
        const RecordList top = screen.list()->logic().list();
        std::size_t folderRow = top.size();
        for (std::size_t i = 0; i < top.size(); ++i) {
            auto file = std::dynamic_pointer_cast<FileVO>(top[i]);
            if (file && file->file_type == "folder") {
                folderRow = i;
                break;
            }
        }
        QVERIFY2(folderRow < top.size(), "the demo cabinet has a folder");
        screen.tap(int(folderRow));
        QTRY_VERIFY(screen.finished() >= 2);
        QCOMPARE(screen.list()->logic().folderDepth(), size_t(1));
        QCOMPARE(rowRecord<FileVO>(screen.list(), 0)->name, Text("返回上一级"));
        QVERIFY(screen.list()->logic().list().size() > 1);

        screen.tap(0);
        QTRY_VERIFY(screen.finished() >= 3);
        QCOMPARE(screen.list()->logic().folderDepth(), size_t(0));
        QCOMPARE(screen.list()->logic().list().size(), top.size());
    }
};

}  // namespace oa

OA_QT_TEST(DemoServerListTest)
#include "DemoServerListTest.moc"
