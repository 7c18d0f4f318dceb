// Seed data: instant-message conversations (text and voice) and pending-affair reminders.
#include "server/SeedData.h"

#include "server/AttachmentStore.h"
#include "server/VoiceSynth.h"

namespace oa {

namespace {

struct Chat {
    int from;
    int to;
    int daysAgo, hour, minute;
    const char* text;  // nullptr: a voice message of `seconds`
    int seconds;
    bool read;
};

const Chat kChats[] = {
    {2, 1, 1, 16, 40, "王总，明天董事会材料已经放在您文件柜里了。", 0, true},
    {1, 2, 1, 16, 52, "好的，我晚上看。", 0, true},
    {9, 1, 2, 17, 5, "王总，数据库迁移定在周六晚上。", 0, true},
    {1, 9, 2, 17, 20, "注意做好备份和回退方案。", 0, true},
    {9, 1, 2, 17, 23, "明白，已经演练过两次。", 0, true},
    {3, 4, 3, 10, 15, "赵经理，新员工工牌已经做好了。", 0, true},
    {4, 3, 3, 10, 31, "谢谢，放我桌上吧。", 0, true},
    {10, 9, 1, 15, 2, "张总，语音上传的问题找到了，是时长单位不对。", 0, true},
    {9, 10, 1, 15, 10, "好，改成毫秒就行。", 0, true},
    {6, 1, 1, 18, 5, "王总，六月资金预算请您审批一下。", 0, false},
    {12, 9, 0, 8, 40, "张总，测试环境账号收到了，谢谢！", 0, true},
    {1, 9, 0, 8, 50, nullptr, 3, false},
    {2, 1, 0, 9, 12, "会议室已经订好了，上午九点半。", 0, false},
    {2, 1, 0, 9, 13, nullptr, 4, false},
    {9, 1, 0, 9, 25, "客户端测试版已经发布，您可以试用一下。", 0, false},
    {10, 9, 0, 10, 2, nullptr, 6, false},
    {11, 9, 0, 10, 30, "迁移脚本已经提交了。", 0, false},
};

struct Reminder {
    int to;
    int from;
    int type;
    const char* content;
    const char* subjectOf;  // the item the reminder points at: an e-mail/notice/news subject
    int daysAgo, hour, minute;
    bool read;
};

const Reminder kReminders[] = {
    {1, 2, 2, "请查看我的邮件！标题：明日董事会材料", "明日董事会材料", 1, 17, 30, false},
    {1, 2, 1, "请查看公告通知！标题：关于开展消防安全演练的通知", "关于开展消防安全演练的通知", 5,
     8, 45, false},
    {1, 1, 5, "日程提醒：09:30 董事会会议", nullptr, 0, 9, 0, false},
    {1, 10, 7, "请办理工作流：请假申请（李娜年假 3 天）", nullptr, 2, 9, 30, false},
    {1, 6, 40, "工作流委托办理：费用报销（五月差旅费报销 3,260 元）", nullptr, 1, 9, 30, false},
    {1, 2, 13, "刘丽共享了工作日志，请查阅。", nullptr, 5, 17, 41, false},
    {1, 4, 14, "请查看内部新闻！标题：欢迎新同事加入青禾大家庭", "欢迎新同事加入青禾大家庭", 1, 10,
     15, false},
    {1, 2, 3, "会议通知：本周五 14:00 一楼报告厅全员大会，请准时参加。", nullptr, 1, 10, 5, false},
    {1, 1, 0, "系统消息：您的密码已超过 90 天未修改，请及时修改。", nullptr, 0, 7, 0, false},
    {1, 9, 41, "工作流已办结：采购申请（采购测试服务器 2 台）", nullptr, 12, 15, 0, true},
    {1, 7, 9, "考勤提醒：您上周五下班未打卡，请补签。", nullptr, 6, 9, 0, true},
    {9, 11, 2, "请查看我的邮件！标题：数据库迁移方案", "数据库迁移方案", 2, 18, 10, false},
    {9, 2, 14, "请查看内部新闻！标题：移动办公客户端即将上线", "移动办公客户端即将上线", 4, 15, 30,
     false},
    {9, 11, 7, "请办理工作流：请假申请（王浩调休半天）", nullptr, 0, 9, 30, false},
    {9, 4, 3, "会议通知：周三 14:00 面试前端工程师，地点 2 号会议室。", nullptr, 0, 8, 30, false},
    {9, 2, 42, "投票提醒：下半年团队活动地点投票将于周五截止。", nullptr, 1, 11, 0, false},
    {6, 7, 7, "请办理工作流：付款申请（支付办公用品货款 8,650 元）", nullptr, 0, 10, 0, false},
    {6, 2, 1, "请查看公告通知！标题：本周五下午全员大会通知", "本周五下午全员大会通知", 1, 10, 0,
     false},
    {12, 4, 1, "请查看公告通知！标题：新员工入职培训安排", "新员工入职培训安排", 3, 16, 0, false},
    {12, 9, 2, "请查看我的邮件！标题：版本发布计划（V2.3）", "版本发布计划（V2.3）", 19, 17, 5,
     false},
    {12, 12, 0, "系统消息：欢迎使用青禾协同办公，请尽快修改初始密码。", nullptr, 10, 8, 0, false},
    {2, 3, 7, "请办理工作流：用车申请（周三接待客户用车）", nullptr, 0, 9, 30, false},
    {4, 12, 41, "请办理工作流：转正申请（杨帆转正申请）", nullptr, 1, 9, 30, false},
    {10, 9, 13, "张伟共享了工作日志，请查阅。", nullptr, 1, 18, 41, false},
};

std::string readPageOf(Database& db, int type, const char* subject) {
    if (!subject) {
        return {};
    }
    struct Target {
        int type;
        const char* sql;
        const char* page;
    };
    static const Target targets[] = {
        {2, "SELECT email_id FROM emails WHERE subject = ?", "/mobile/email/read.php?EMAIL_ID="},
        {1, "SELECT notify_id FROM notices WHERE subject = ?",
         "/mobile/notify/read.php?NOTIFY_ID="},
        {14, "SELECT news_id FROM news WHERE subject = ?", "/mobile/news/read.php?NEWS_ID="},
    };
    for (const Target& t : targets) {
        if (t.type == type) {
            return t.page + std::to_string(db.scalar(t.sql, 0, subject));
        }
    }
    return {};
}

}  // namespace

void SeedData::conversations(Database& db, const Clock& clock) {
    unsigned seed = 1;
    for (const Chat& c : kChats) {
        const std::string when = clock.at(c.daysAgo, c.hour, c.minute);
        if (c.text) {
            db.run(
                "INSERT INTO messages (from_uid, to_uid, content, send_time, read_flag) "
                "VALUES (?, ?, ?, ?, ?)",
                c.from, c.to, c.text, when, c.read ? 1 : 0);
            continue;
        }
        const bool female = db.scalar("SELECT sex FROM users WHERE uid = ?", 0, c.from) == 1;
        const std::string amr =
            VoiceSynth::encodeAmr(VoiceSynth::speechLike(c.seconds, seed++, female));
        const auto attachId = AttachmentStore::add(db, "voice.amr", "audio/amr", amr);
        db.run("UPDATE attachments SET name = ? WHERE attach_id = ?",
               "voice_" + std::to_string(attachId) + ".amr", attachId);
        db.run(
            "INSERT INTO messages (from_uid, to_uid, content, send_time, read_flag, is_voice, "
            "attach_id, duration) VALUES (?, ?, ?, ?, ?, 1, ?, ?)",
            c.from, c.to, "[语音] " + std::to_string(c.seconds) + "秒", when, c.read ? 1 : 0,
            attachId, c.seconds);
        AttachmentStore::link(db, "message", db.lastInsertId(), attachId);
    }
}

void SeedData::reminders(Database& db, const Clock& clock) {
    for (const Reminder& r : kReminders) {
        db.run(
            "INSERT INTO reminders (to_uid, from_uid, sms_type, content, sms_url, time, "
            "read_flag) VALUES (?, ?, ?, ?, ?, ?, ?)",
            r.to, r.from, r.type, r.content, readPageOf(db, r.type, r.subjectOf),
            clock.at(r.daysAgo, r.hour, r.minute), r.read ? 1 : 0);
        const auto id = db.lastInsertId();
        db.run("UPDATE reminders SET sms_url = ? WHERE sms_id = ? AND sms_url = ''",
               "/mobile/sms/show.php?SMS_ID=" + std::to_string(id), id);
    }
}

}  // namespace oa
