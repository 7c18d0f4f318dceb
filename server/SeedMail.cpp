// Seed data: e-mails, notices and news.
#include "server/SeedData.h"

#include <initializer_list>
#include <vector>

namespace oa {

namespace {

using Kind = SeedData::FileKind;

struct File {
    const char* name;
    Kind kind;
};

struct Mail {
    int from;
    std::vector<int> to;
    std::vector<int> copies;
    const char* subject;
    const char* body;
    int important;
    int daysAgo, hour, minute;
    std::vector<File> files;
    bool stayUnread = false;
    const char* webmail = nullptr;  // incoming mail from this outside address
    bool alreadyRead = false;       // read although recent
};

const std::vector<int> kEveryone = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

const Mail kMails[] = {
    {2,
     kEveryone,
     {},
     "关于调整办公室保洁时间的通知",
     "<p>各位同事：</p><p>自下周一起，办公区保洁时间调整为每天 7:30—8:30 和 17:30—18:30，"
     "请大家下班前将桌面文件收好。</p><p>办公室 刘丽</p>",
     0,
     30,
     9,
     12,
     {}},
    {6,
     {1},
     {2},
     "五月份费用报销汇总",
     "<p>王总：</p><p>五月份各部门费用报销已汇总完毕，总额较上月下降 6.2%，明细见附件。</p>",
     1,
     28,
     10,
     5,
     {{"五月费用汇总.xls", Kind::sheet}}},
    {9,
     {1},
     {},
     "研发部第二季度工作计划",
     "<p>王总好：</p><p>研发部第二季度计划完成移动办公客户端、审批流程引擎升级两项重点工作，"
     "详细计划见附件，请审阅。</p><p>张伟</p>",
     0,
     27,
     14,
     30,
     {{"第二季度研发计划.doc", Kind::doc}}},
    {4,
     {1, 2},
     {},
     "新员工入职名单",
     "<p>本月入职新员工 3 名：杨帆（技术研发部）、孙燕（行政人事部）、郑敏（财务部）。"
     "入职培训安排在下周二上午。</p>",
     0,
     26,
     11,
     0,
     {}},
    {10,
     {9},
     {11},
     "登录模块代码评审意见",
     "<p>张总：</p><p>登录模块评审发现三处问题：超时处理缺失、密码明文日志、会话未校验。"
     "已提交修改，请复核。</p>",
     0,
     25,
     16,
     45,
     {}},
    {2,
     kEveryone,
     {},
     "办公室网络升级通知",
     "<p>本周六 9:00—17:00 进行办公网络升级，期间 OA 系统和邮件暂停服务，请提前做好安排。</p>",
     1,
     24,
     15,
     20,
     {}},
    {7,
     {6},
     {1},
     "增值税发票认证情况",
     "<p>周经理：</p><p>本月进项发票已全部认证，共 48 张，税额合计 126,530.00 元。</p>",
     0,
     22,
     10,
     40,
     {}},
    {11,
     {9},
     {},
     "服务器监控告警汇总",
     "<p>上周共收到告警 17 次，主要为磁盘空间不足，已清理日志并扩容，趋势见附图。</p>",
     0,
     21,
     9,
     15,
     {{"告警趋势.png", Kind::chart}}},
    {3,
     {1, 2, 4},
     {},
     "会议室预订规则调整",
     "<p>即日起会议室须通过 OA 提前一天预订，临时会议请联系行政部协调。</p>",
     0,
     20,
     13,
     50,
     {}},
    {9,
     {1},
     {10, 11, 12},
     "版本发布计划（V2.3）",
     "<p>V2.3 计划于月底发布，包含移动审批、消息推送和语音留言功能。发布计划见附件。</p>",
     2,
     19,
     17,
     5,
     {{"发布计划.pdf", Kind::pdf}}},
    {5,
     kEveryone,
     {},
     "办公用品申领登记",
     "<p>本月办公用品申领请于 20 日前在行政部登记，逾期顺延至下月。</p>",
     0,
     17,
     9,
     30,
     {}},
    {1,
     {2, 4, 6, 9},
     {},
     "下半年经营目标讨论",
     "<p>请各位于周四前准备本部门下半年目标和主要举措，周五上午九点讨论。</p><p>王建国</p>",
     1,
     16,
     8,
     50,
     {}},
    {12,
     {9},
     {},
     "测试环境账号申请",
     "<p>张总：</p><p>我需要测试环境数据库的只读账号，用于编写自动化测试，麻烦审批。</p>",
     0,
     15,
     10,
     10,
     {}},
    {6,
     {1},
     {},
     "六月份资金预算",
     "<p>王总：</p><p>六月份资金预算已编制完成，预计支出 186 万元，请审批。</p>",
     2,
     14,
     16,
     0,
     {{"六月资金预算.xls", Kind::sheet}},
     true},
    {4,
     {1},
     {},
     "绩效考核方案（征求意见稿）",
     "<p>绩效考核方案征求意见稿已完成，请王总提出修改意见。</p>",
     0,
     12,
     14,
     20,
     {{"绩效考核方案.doc", Kind::doc}}},
    {2,
     {1},
     {},
     "客户来访接待安排",
     "<p>远景贸易黄总一行 3 人周三来访，已安排 2 号会议室和午餐，请王总确认时间。</p>",
     0,
     11,
     9,
     5,
     {}},
    {9,
     {1, 10, 11, 12},
     {},
     "技术分享会：移动客户端架构",
     "<p>本周五 16:00 在 3 号会议室进行技术分享，主题为移动客户端架构与推送机制，欢迎参加。</p>",
     0,
     10,
     11,
     30,
     {}},
    {1,
     {1},
     {},
     "关于第三季度采购合同的确认",
     "<p>王总：</p><p>第三季度采购合同已按贵司意见修改，请确认后回传盖章页。</p>"
     "<p>黄志明 远景贸易</p>",
     1,
     9,
     15,
     45,
     {},
     false,
     "huangzm@yuanjing.example"},
    {8,
     {6},
     {1},
     "银行对账单已到",
     "<p>五月份银行对账单已到，余额调节表已编制，请查收。</p>",
     0,
     8,
     10,
     25,
     {}},
    {10,
     {9},
     {1},
     "单元测试覆盖率周报",
     "<p>本周单元测试覆盖率 78.4%，较上周提升 3.1 个百分点，详见附图。</p>",
     0,
     7,
     17,
     40,
     {{"覆盖率.png", Kind::chart}}},
    {3,
     kEveryone,
     {},
     "消防安全演练通知",
     "<p>本周四 15:00 进行消防安全演练，听到警报后请沿安全通道有序撤离至一楼广场。</p>",
     1,
     5,
     9,
     0,
     {}},
    {4,
     {1, 2},
     {},
     "招聘进展：前端工程师",
     "<p>前端工程师岗位已收到简历 42 份，初试 8 人，拟安排 3 人复试。</p>",
     0,
     4,
     16,
     30,
     {}},
    {6,
     {1},
     {},
     "差旅费报销标准更新",
     "<p>差旅费报销标准已更新，住宿标准上调，详见说明。</p>",
     0,
     3,
     11,
     15,
     {{"报销说明.txt", Kind::text}}},
    {11,
     {9, 1},
     {},
     "数据库迁移方案",
     "<p>数据库迁移拟在周末进行，预计停机 2 小时，回退方案已准备。</p>",
     1,
     2,
     18,
     10,
     {}},
    {2,
     {1},
     {},
     "明日董事会材料",
     "<p>王总：</p><p>明日董事会材料已放在您的文件柜，请审阅。</p>",
     2,
     1,
     17,
     30,
     {}},
    {9,
     {1},
     {2},
     "客户端测试版已可下载",
     "<p>移动办公客户端测试版已发布到内网，欢迎试用并反馈问题。</p>",
     0,
     0,
     9,
     20,
     {{"安装说明.txt", Kind::text}}},
    // Large and unusual attachments: a photo of about 4 MB, a tall picture, a ".zip".
    {5,
     {1},
     {},
     "端午团建活动照片和资料",
     "<p>王总：</p><p>端午团建活动的合影、活动流程图和全部资料已整理好，见附件。"
     "合影原图较大，建议在 Wi-Fi 下查看。</p><p>孙燕</p>",
     0,
     0,
     11,
     30,
     {{"团建合影.png", Kind::groupPhoto},
      {"活动流程.png", Kind::poster},
      {"团建活动资料.zip", Kind::archive}},
     false,
     nullptr,
     true},
};

struct Notice {
    int from;
    const char* type;
    const char* subject;
    const char* colour;
    bool top;
    const char* body;
    int daysAgo, hour, minute;
    std::vector<File> files;
};

const Notice kNotices[] = {
    {2,
     "通知",
     "关于调整夏季作息时间的通知",
     "",
     false,
     "<p>各部门：</p><p>自下月 1 日起执行夏季作息时间：上午 8:30—12:00，下午 13:30—17:30。</p>",
     25,
     9,
     0,
     {}},
    {4,
     "公告",
     "2013年上半年优秀员工评选结果公示",
     "#FF0000",
     false,
     "<p>经各部门推荐、评审小组评议，张伟、周红、陈静被评为上半年优秀员工，公示期五天。</p>",
     20,
     10,
     30,
     {}},
    {2,
     "决定",
     "公司组织架构调整的决定",
     "#0000FF",
     false,
     "<p>为适应业务发展，公司决定调整组织架构，新的架构如下图：</p>"
     "<p><img src=\"/mobile/images/org_chart.png\" alt=\"组织架构图\"></p>"
     "<p>调整自下月起生效。</p>",
     15,
     14,
     0,
     {{"组织架构调整方案.pdf", Kind::pdf}}},
    {3,
     "通知",
     "关于规范使用公司车辆的通知",
     "",
     false,
     "<p>公司车辆须提前通过 OA 工作流申请，用车后当天交回钥匙并登记里程。</p>",
     12,
     11,
     20,
     {}},
    {6,
     "通知",
     "关于加强费用报销管理的通知",
     "#008000",
     false,
     "<p>报销须附合规发票，单笔超过 5000 元需总经理审批。管理办法见附件。</p>",
     8,
     15,
     10,
     {{"费用报销管理办法.doc", Kind::doc}}},
    {2,
     "通知",
     "关于开展消防安全演练的通知",
     "#FF0000",
     true,
     "<p>本周四 15:00 开展消防安全演练，请全体员工参加。各楼层安全员负责清点人数。</p>",
     5,
     8,
     45,
     {}},
    {4,
     "通知",
     "新员工入职培训安排",
     "",
     false,
     "<p>新员工入职培训安排在周二 9:00，地点 3 号会议室，内容包括公司制度和 OA 系统使用。</p>",
     3,
     16,
     0,
     {}},
    {2,
     "公告",
     "本周五下午全员大会通知",
     "#FF6600",
     false,
     "<p>本周五 14:00 在一楼报告厅召开全员大会，请准时参加。</p>",
     1,
     10,
     0,
     {}},
};

struct Article {
    int from;
    const char* subject;
    const char* colour;
    const char* body;
    int clicks;
    int daysAgo, hour, minute;
    std::vector<File> files;
};

const Article kNews[] = {
    {2,
     "公司荣获“市级高新技术企业”称号",
     "",
     "<p>近日，公司通过市级高新技术企业认定，这是对公司多年来坚持自主研发的肯定。</p>",
     236,
     29,
     9,
     30,
     {}},
    {9,
     "研发部顺利完成核心系统升级",
     "#0000FF",
     "<p>经过两个月的攻关，研发部顺利完成核心业务系统升级，性能提升约 40%。</p>",
     158,
     21,
     16,
     20,
     {}},
    {2,
     "第二季度全员大会圆满召开",
     "",
     "<p>上周五，公司在一楼报告厅召开第二季度全员大会，王建国总经理作工作报告。</p>"
     "<p><img src=\"/mobile/images/news_meeting.png\" alt=\"大会现场\"></p>"
     "<p>会议表彰了优秀员工，并部署了下半年重点工作。</p>",
     312,
     14,
     17,
     0,
     {{"大会现场.png", Kind::photo}}},
    {4,
     "公司篮球队获得园区联赛亚军",
     "#FF0000",
     "<p>在刚刚结束的园区篮球联赛中，公司篮球队发挥出色，获得亚军。</p>",
     97,
     9,
     11,
     45,
     {}},
    {9,
     "移动办公客户端即将上线",
     "",
     "<p>移动办公客户端已进入测试阶段，支持邮件、公告、审批和微讯，预计下月正式上线。</p>",
     45,
     4,
     15,
     30,
     {{"客户端截图.png", Kind::chart}}},
    {4,
     "欢迎新同事加入青禾大家庭",
     "",
     "<p>本月有三位新同事加入公司，让我们热烈欢迎杨帆、孙燕、郑敏！</p>",
     12,
     1,
     10,
     15,
     {}},
};

}  // namespace

void SeedData::mail(Database& db, const Clock& clock) {
    for (const Mail& m : kMails) {
        db.run(
            "INSERT INTO emails (from_uid, subject, content, important, is_webmail, webmail, "
            "send_time) VALUES (?, ?, ?, ?, ?, ?, ?)",
            m.from, m.subject, m.body, m.important, m.webmail ? 1 : 0, m.webmail ? m.webmail : "",
            clock.at(m.daysAgo, m.hour, m.minute));
        const auto id = db.lastInsertId();
        const int read = (m.alreadyRead || (m.daysAgo >= 3 && !m.stayUnread)) ? 1 : 0;
        for (int uid : m.to) {
            db.run(
                "INSERT OR IGNORE INTO email_boxes (email_id, uid, kind, read_flag) "
                "VALUES (?, ?, 'to', ?)",
                id, uid, read);
        }
        for (int uid : m.copies) {
            db.run(
                "INSERT OR IGNORE INTO email_boxes (email_id, uid, kind, read_flag) "
                "VALUES (?, ?, 'cs', ?)",
                id, uid, read);
        }
        for (const File& f : m.files) {
            attach(db, "email", id, f.name, f.kind);
        }
    }
}

void SeedData::bulletins(Database& db, const Clock& clock) {
    for (const Notice& n : kNotices) {
        const std::string when = clock.at(n.daysAgo, n.hour, n.minute);
        db.run(
            "INSERT INTO notices (from_uid, type_name, subject, subject_color, top, content, "
            "send_time, begin_date) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            n.from, n.type, n.subject, n.colour, n.top ? 1 : 0, n.body, when,
            clock.date(n.daysAgo));
        const auto id = db.lastInsertId();
        if (n.daysAgo >= 8) {
            db.run("INSERT INTO notice_reads (notify_id, uid) SELECT ?, uid FROM users", id);
        }
        for (const File& f : n.files) {
            attach(db, "notify", id, f.name, f.kind);
        }
    }
    for (const Article& a : kNews) {
        db.run(
            "INSERT INTO news (from_uid, subject, subject_color, content, send_time, "
            "base_clicks) VALUES (?, ?, ?, ?, ?, ?)",
            a.from, a.subject, a.colour, a.body, clock.at(a.daysAgo, a.hour, a.minute), a.clicks);
        const auto id = db.lastInsertId();
        if (a.daysAgo >= 9) {
            db.run("INSERT INTO news_reads (news_id, uid) SELECT ?, uid FROM users", id);
        }
        for (const File& f : a.files) {
            attach(db, "news", id, f.name, f.kind);
        }
    }
}

}  // namespace oa
