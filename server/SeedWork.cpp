// Seed data: schedules, work diaries, the file cabinets and workflow steps.
#include "server/SeedData.h"

#include <optional>
#include <vector>

namespace oa {

namespace {

using Kind = SeedData::FileKind;

struct Entry {
    int uid;
    int daysAgo;  // negative: a day to come
    const char* start;
    const char* end;
    int level;  // 0 to 4
    int type;   // 1 work, 2 personal
    const char* content;
};

const Entry kCalendar[] = {
    {1, 6, "09:00", "10:30", 1, 1, "经营分析会，各部门汇报月度指标"},
    {1, 4, "14:00", "15:00", 3, 1, "接待远景贸易黄总一行"},
    {1, 2, "19:00", "21:00", 0, 2, "陪家人看电影"},
    {1, 1, "10:00", "11:30", 2, 1, "审阅绩效考核方案"},
    {1, 0, "09:30", "11:00", 1, 1, "董事会会议"},
    {1, -1, "15:00", "16:00", 4, 2, "取体检报告"},
    {1, -2, "14:00", "17:00", 2, 1, "全员大会"},
    {2, 3, "10:00", "11:00", 3, 1, "办公用品采购询价"},
    {2, -1, "09:00", "10:00", 1, 1, "准备全员大会会场"},
    {4, 2, "14:00", "16:00", 2, 1, "前端工程师复试"},
    {4, -3, "09:00", "12:00", 0, 1, "新员工入职培训"},
    {6, 1, "09:00", "11:00", 1, 1, "编制下月资金预算"},
    {6, -2, "16:00", "17:00", 4, 2, "孩子家长会"},
    {9, 5, "16:00", "17:30", 0, 1, "技术分享会：移动客户端架构"},
    {9, 3, "10:00", "12:00", 1, 1, "V2.3 版本评审"},
    {9, 1, "20:00", "22:00", 2, 1, "数据库迁移演练"},
    {9, 0, "14:00", "15:00", 3, 1, "面试前端工程师"},
    {9, -1, "18:30", "20:00", 4, 2, "羽毛球"},
    {10, 0, "10:00", "11:00", 2, 1, "代码评审：消息模块"},
    {10, -2, "12:00", "13:00", 0, 2, "午休时间办理银行卡"},
};

struct Diary {
    int uid;
    const char* name;
    int daysAgo;
    const char* time;
    int type;
    const char* body;
    bool shared;
    std::optional<const char*> picture;
};

const Diary kDiaries[] = {
    {9, "张伟", 6, "18:05:00", 1,
     "<p>1. 完成 V2.3 需求评审；</p><p>2. 与王浩讨论数据库迁移方案；</p><p>3. 审核李娜代码。</p>",
     true, std::nullopt},
    {10, "李娜", 5, "18:20:00", 1, "<p>完成登录模块超时处理修改，补充单元测试 12 个。</p>", true,
     "单元测试结果.png"},
    {2, "刘丽", 5, "17:40:00", 1, "<p>安排客户来访接待；整理董事会材料；会议室预订规则宣贯。</p>",
     true, std::nullopt},
    {11, "王浩", 4, "18:30:00", 1, "<p>服务器磁盘扩容完成，告警已消除。</p>", false, std::nullopt},
    {6, "周红", 4, "17:55:00", 1, "<p>完成五月报销汇总和发票认证核对。</p>", false, std::nullopt},
    {4, "赵磊", 3, "18:00:00", 1, "<p>前端工程师初试 8 人，3 人进入复试。</p>", true, std::nullopt},
    {9, "张伟", 3, "21:10:00", 2, "<p>晚上跑步 5 公里，读完《代码整洁之道》第三章。</p>", false,
     std::nullopt},
    {1, "王建国", 2, "19:00:00", 1, "<p>审阅二季度财务报表，准备董事会发言提纲。</p>", false,
     std::nullopt},
    {7, "吴强", 2, "17:30:00", 1, "<p>整理进项发票，完成月度纳税申报。</p>", false, std::nullopt},
    {10, "李娜", 2, "18:15:00", 1, "<p>消息推送联调通过，语音消息上传还有一个问题待查。</p>", true,
     std::nullopt},
    {9, "张伟", 1, "18:40:00", 1, "<p>客户端测试版发布；安排周末数据库迁移值班。</p>", true,
     std::nullopt},
    {11, "王浩", 1, "18:50:00", 1, "<p>数据库迁移脚本演练两次，均成功回退。</p>", false,
     std::nullopt},
    {1, "王建国", 0, "12:10:00", 2, "<p>中午与老同学蒋涛吃饭，聊了投资的事。</p>", false,
     std::nullopt},
    {10, "李娜", 0, "11:30:00", 2, "<p>周末去西溪湿地拍照。</p>", false, std::nullopt},
};

struct CabinetEntry {
    int key;     // local key, so that children can name their folder
    int parent;  // key of the parent folder, 0 for the top level
    std::optional<int> owner;
    const char* name;
    const char* ext;  // "" for a folder
    Kind kind;
    int daysAgo;
    const char* description;
};

const CabinetEntry kCabinet[] = {
    // Public cabinet.
    {1, 0, std::nullopt, "规章制度", "", Kind::text, 60, ""},
    {2, 1, std::nullopt, "人事制度", "", Kind::text, 60, ""},
    {3, 2, std::nullopt, "员工手册", "pdf", Kind::pdf, 58, "<p>员工手册（2013 年修订版）。</p>"},
    {4, 2, std::nullopt, "考勤管理办法", "doc", Kind::doc, 40,
     "<p>考勤管理办法，自发布之日起执行。</p>"},
    {5, 1, std::nullopt, "财务制度", "", Kind::text, 59, ""},
    {6, 5, std::nullopt, "费用报销管理办法", "doc", Kind::doc, 8,
     "<p>最新修订的费用报销管理办法。</p>"},
    {7, 5, std::nullopt, "借款申请表", "xls", Kind::sheet, 30, "<p>借款申请表模板。</p>"},
    {8, 1, std::nullopt, "公司章程", "pdf", Kind::pdf, 90, "<p>公司章程。</p>"},
    {9, 0, std::nullopt, "表格下载", "", Kind::text, 45, ""},
    {10, 9, std::nullopt, "请假申请表", "xls", Kind::sheet, 45,
     "<p>请假申请表，填写后交部门负责人。</p>"},
    {11, 9, std::nullopt, "出差申请单", "doc", Kind::doc, 44, "<p>出差申请单模板。</p>"},
    {12, 0, std::nullopt, "宣传资料", "", Kind::text, 20, ""},
    {13, 0, std::nullopt, "公司组织架构图", "png", Kind::org, 15, "<p>调整后的公司组织架构。</p>"},
    {14, 0, std::nullopt, "公司通讯录", "xls", Kind::sheet, 10,
     "<p>全体员工通讯录，请勿外传。</p>"},
    {15, 0, std::nullopt, "OA系统使用说明", "txt", Kind::text, 3,
     "<p>OA 系统及移动客户端使用说明。</p>"},
    // Personal cabinet of 王建国.
    {20, 0, 1, "董事会材料", "", Kind::text, 2, ""},
    {21, 20, 1, "董事会议程", "doc", Kind::doc, 2, "<p>明日董事会议程。</p>"},
    {22, 20, 1, "经营数据", "xls", Kind::sheet, 2, "<p>上半年经营数据。</p>"},
    {23, 0, 1, "2013年", "", Kind::text, 100, ""},
    {24, 23, 1, "上半年", "", Kind::text, 100, ""},
    {25, 24, 1, "半年工作总结", "doc", Kind::doc, 5, "<p>半年工作总结初稿。</p>"},
    {26, 0, 1, "个人备忘", "txt", Kind::text, 1, "<p>个人备忘录。</p>"},
    // Personal cabinet of 张伟.
    {30, 0, 9, "项目文档", "", Kind::text, 50, ""},
    {31, 30, 9, "移动客户端", "", Kind::text, 50, ""},
    {32, 31, 9, "需求说明", "pdf", Kind::pdf, 48, "<p>移动客户端需求说明书。</p>"},
    {33, 31, 9, "架构草图", "png", Kind::chart, 30, "<p>客户端与服务器架构草图。</p>"},
    {34, 30, 9, "V2.3发布计划", "pdf", Kind::pdf, 19, "<p>V2.3 版本发布计划。</p>"},
    {35, 0, 9, "技术资料", "", Kind::text, 40, ""},
    {36, 0, 9, "周报模板", "doc", Kind::doc, 12, "<p>研发部周报模板。</p>"},
    // Personal cabinet of 周红.
    {40, 0, 6, "2013年预算", "", Kind::text, 30, ""},
    {41, 40, 6, "年度预算表", "xls", Kind::sheet, 30, "<p>2013 年度预算表。</p>"},
    {42, 0, 6, "税务日历", "txt", Kind::text, 7, "<p>本年度纳税申报日历。</p>"},
};

struct Run {
    int uid;
    int begin;
    const char* flow;
    const char* title;
    const char* detail;
    int daysAgo;
    bool done;
};

const Run kRuns[] = {
    {1, 9, "采购申请", "采购测试服务器 2 台", "预算 46,000 元，用于 V2.3 性能测试。", 12, true},
    {1, 10, "请假申请", "李娜年假 3 天", "请假时间：下周一至周三，工作已交接给王浩。", 2, false},
    {1, 6, "费用报销", "五月差旅费报销 3,260 元", "杭州—上海往返 2 次，住宿 2 晚。", 1, false},
    {2, 11, "会议室申请", "周五技术分享会使用 3 号会议室", "16:00—17:30，约 15 人。", 6, true},
    {2, 3, "用车申请", "周三接待客户用车", "08:30 出发，前往萧山机场接远景贸易黄总。", 0, false},
    {4, 12, "转正申请", "杨帆转正申请", "试用期三个月已满，部门评价良好。", 1, false},
    {6, 7, "付款申请", "支付办公用品货款 8,650 元", "杭州文创办公用品有限公司六月货款。", 0, false},
    {9, 11, "请假申请", "王浩调休半天", "周五下午调休，处理个人事务。", 0, false},
};

}  // namespace

void SeedData::planner(Database& db, const Clock& clock) {
    for (const Entry& e : kCalendar) {
        db.run(
            "INSERT INTO calendar (uid, cal_date, cal_time, end_time, cal_level, cal_type, "
            "content) VALUES (?, ?, ?, ?, ?, ?, ?)",
            e.uid, clock.date(e.daysAgo), e.start, e.end, e.level, e.type, e.content);
    }
    for (const Diary& d : kDiaries) {
        const std::string date = clock.date(d.daysAgo);
        const std::string subject =
            std::string(d.name) + date + (d.type == 1 ? "工作日志" : "个人日志");
        db.run(
            "INSERT INTO diaries (uid, dia_date, dia_time, dia_type, subject, content, shared) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)",
            d.uid, date, d.time, d.type, subject, d.body, d.shared ? 1 : 0);
        if (d.picture) {
            attach(db, "diary", db.lastInsertId(), *d.picture, Kind::chart);
        }
    }
}

void SeedData::cabinets(Database& db, const Clock& clock) {
    std::vector<std::pair<int, std::int64_t>> ids;  // local key -> file_id
    auto idOf = [&](int key) -> std::int64_t {
        for (const auto& [k, id] : ids) {
            if (k == key) {
                return id;
            }
        }
        return 0;
    };
    for (const CabinetEntry& e : kCabinet) {
        const bool folder = std::string(e.ext).empty();
        Statement stmt = db.prepare(
            "INSERT INTO files (owner_uid, parent_id, is_folder, name, file_ext, content, "
            "send_time) VALUES (?, ?, ?, ?, ?, ?, ?)");
        if (e.owner) {
            stmt.bind(1, *e.owner);
        } else {
            stmt.bind(1, std::nullopt);
        }
        stmt.bind(2, idOf(e.parent)).bind(3, folder ? 1 : 0).bind(4, e.name).bind(5, e.ext);
        stmt.bind(6, e.description).bind(7, clock.at(e.daysAgo, 9 + e.key % 8, e.key % 60));
        stmt.run();
        const auto id = db.lastInsertId();
        ids.emplace_back(e.key, id);
        if (!folder) {
            attach(db, "file", id, std::string(e.name) + "." + e.ext, e.kind);
        }
    }
}

void SeedData::workflow(Database& db, const Clock& clock) {
    for (const Run& r : kRuns) {
        db.run(
            "INSERT INTO workflow_runs (uid, begin_uid, flow_name, title, detail, begin_time, "
            "done, opinion) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            r.uid, r.begin, r.flow, r.title, r.detail, clock.at(r.daysAgo, 9, 30), r.done ? 1 : 0,
            r.done ? "同意。" : "");
    }
}

}  // namespace oa
