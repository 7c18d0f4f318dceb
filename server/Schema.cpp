// Table definitions. Times are stored as "YYYY-MM-DD HH:MM:SS" local time; flags as 0/1
// integers; texts the client reads as codes ("0", "1") are produced by the pages, not stored.
#include "server/Schema.h"

#include <string>

namespace oa {

namespace {

constexpr const char* kTables = R"sql(
CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);

CREATE TABLE depts (
    dept_id INTEGER PRIMARY KEY,
    dept_name TEXT NOT NULL,
    dept_long_name TEXT NOT NULL
);

CREATE TABLE users (
    uid INTEGER PRIMARY KEY,
    user_id TEXT NOT NULL UNIQUE,
    password TEXT NOT NULL,
    user_name TEXT NOT NULL,
    dept_id INTEGER NOT NULL REFERENCES depts(dept_id),
    priv_name TEXT NOT NULL,
    sex INTEGER NOT NULL,              -- 0 male, 1 female; also the avatar code
    has_photo INTEGER NOT NULL DEFAULT 0,
    mobil_no TEXT NOT NULL DEFAULT '',
    tel_no_dept TEXT NOT NULL DEFAULT '',
    oicq_no TEXT NOT NULL DEFAULT '',
    email TEXT NOT NULL DEFAULT '',
    remark TEXT NOT NULL DEFAULT '',
    func_str TEXT NOT NULL,            -- the modules the user may open, comma separated
    last_online TEXT
);

CREATE TABLE sessions (
    session_id TEXT PRIMARY KEY,
    uid INTEGER NOT NULL REFERENCES users(uid),
    created TEXT NOT NULL,
    last_seen TEXT NOT NULL
);

CREATE TABLE attachments (
    attach_id INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    mime TEXT NOT NULL,
    data BLOB NOT NULL,
    created TEXT NOT NULL
);

-- Which item an attachment belongs to; module is the module key ("email", "message", ...).
CREATE TABLE item_attachments (
    module TEXT NOT NULL,
    item_id INTEGER NOT NULL,
    attach_id INTEGER NOT NULL REFERENCES attachments(attach_id),
    pos INTEGER NOT NULL,
    PRIMARY KEY (module, item_id, attach_id)
);
CREATE INDEX item_attachments_by_attachment ON item_attachments(attach_id);

CREATE TABLE emails (
    email_id INTEGER PRIMARY KEY,
    from_uid INTEGER NOT NULL REFERENCES users(uid),
    subject TEXT NOT NULL,
    content TEXT NOT NULL,
    important INTEGER NOT NULL DEFAULT 0,   -- 0 normal, 1 important, 2 very important
    is_webmail INTEGER NOT NULL DEFAULT 0,
    webmail TEXT NOT NULL DEFAULT '',
    send_time TEXT NOT NULL
);

-- One row per recipient: kind 'to' or 'cs' (copy).
CREATE TABLE email_boxes (
    email_id INTEGER NOT NULL REFERENCES emails(email_id),
    uid INTEGER NOT NULL REFERENCES users(uid),
    kind TEXT NOT NULL,
    read_flag INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (email_id, uid)
);
CREATE INDEX email_boxes_by_user ON email_boxes(uid, email_id);

CREATE TABLE notices (
    notify_id INTEGER PRIMARY KEY,
    from_uid INTEGER NOT NULL REFERENCES users(uid),
    type_name TEXT NOT NULL,
    subject TEXT NOT NULL,
    subject_color TEXT NOT NULL DEFAULT '',
    top INTEGER NOT NULL DEFAULT 0,
    content TEXT NOT NULL,
    send_time TEXT NOT NULL,
    begin_date TEXT NOT NULL
);
CREATE TABLE notice_reads (
    notify_id INTEGER NOT NULL REFERENCES notices(notify_id),
    uid INTEGER NOT NULL REFERENCES users(uid),
    PRIMARY KEY (notify_id, uid)
);

CREATE TABLE news (
    news_id INTEGER PRIMARY KEY,
    from_uid INTEGER NOT NULL REFERENCES users(uid),
    subject TEXT NOT NULL,
    subject_color TEXT NOT NULL DEFAULT '',
    content TEXT NOT NULL,
    send_time TEXT NOT NULL,
    base_clicks INTEGER NOT NULL DEFAULT 0   -- clicks before this database's readers
);
CREATE TABLE news_reads (
    news_id INTEGER NOT NULL REFERENCES news(news_id),
    uid INTEGER NOT NULL REFERENCES users(uid),
    PRIMARY KEY (news_id, uid)
);

CREATE TABLE calendar (
    cal_id INTEGER PRIMARY KEY,
    uid INTEGER NOT NULL REFERENCES users(uid),
    cal_date TEXT NOT NULL,
    cal_time TEXT NOT NULL,   -- "HH:MM"
    end_time TEXT NOT NULL,   -- "HH:MM"
    cal_level INTEGER NOT NULL DEFAULT 0,   -- 0 to 4
    cal_type INTEGER NOT NULL DEFAULT 1,    -- 1 work, 2 personal
    content TEXT NOT NULL
);
CREATE INDEX calendar_by_user ON calendar(uid, cal_id);

CREATE TABLE diaries (
    dia_id INTEGER PRIMARY KEY,
    uid INTEGER NOT NULL REFERENCES users(uid),
    dia_date TEXT NOT NULL,
    dia_time TEXT NOT NULL,
    dia_type INTEGER NOT NULL DEFAULT 1,    -- 1 work, 2 personal
    subject TEXT NOT NULL,
    content TEXT NOT NULL,
    shared INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX diaries_by_user ON diaries(uid, dia_id);

-- Both file cabinets: owner_uid NULL is the public cabinet. parent_id 0 is the top level.
CREATE TABLE files (
    file_id INTEGER PRIMARY KEY,
    owner_uid INTEGER REFERENCES users(uid),
    parent_id INTEGER NOT NULL DEFAULT 0,
    is_folder INTEGER NOT NULL,
    name TEXT NOT NULL,
    file_ext TEXT NOT NULL DEFAULT '',
    content TEXT NOT NULL DEFAULT '',
    send_time TEXT NOT NULL
);
CREATE INDEX files_by_parent ON files(parent_id, file_id);

CREATE TABLE messages (
    msg_id INTEGER PRIMARY KEY,
    from_uid INTEGER NOT NULL REFERENCES users(uid),
    to_uid INTEGER NOT NULL REFERENCES users(uid),
    content TEXT NOT NULL,
    send_time TEXT NOT NULL,
    read_flag INTEGER NOT NULL DEFAULT 0,
    is_voice INTEGER NOT NULL DEFAULT 0,
    attach_id INTEGER REFERENCES attachments(attach_id),
    duration INTEGER NOT NULL DEFAULT 0     -- seconds
);
CREATE INDEX messages_by_recipient ON messages(to_uid, msg_id);
CREATE INDEX messages_by_sender ON messages(from_uid, msg_id);

CREATE TABLE reminders (
    sms_id INTEGER PRIMARY KEY,
    to_uid INTEGER NOT NULL REFERENCES users(uid),
    from_uid INTEGER NOT NULL REFERENCES users(uid),
    sms_type INTEGER NOT NULL,
    content TEXT NOT NULL,
    sms_url TEXT NOT NULL,
    time TEXT NOT NULL,
    read_flag INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX reminders_by_user ON reminders(to_uid, sms_id);

-- Address book: owner_uid NULL for the shared groups, else a personal contact.
CREATE TABLE contacts (
    q_id INTEGER PRIMARY KEY,
    owner_uid INTEGER REFERENCES users(uid),
    group_name TEXT NOT NULL, psn_name TEXT NOT NULL, sex TEXT NOT NULL,
    dept_long_name TEXT NOT NULL, dept_name TEXT NOT NULL, ministration TEXT NOT NULL,
    birthday TEXT NOT NULL, tel_no_dept TEXT NOT NULL, fax_no_dept TEXT NOT NULL,
    tel_no_home TEXT NOT NULL, mobil_no TEXT NOT NULL, nick_name TEXT NOT NULL,
    oicq_no TEXT NOT NULL, icq_no TEXT NOT NULL, email TEXT NOT NULL, mate TEXT NOT NULL,
    child TEXT NOT NULL, add_dept TEXT NOT NULL, post_no_dept TEXT NOT NULL,
    add_home TEXT NOT NULL, post_no_home TEXT NOT NULL, notes TEXT NOT NULL
);

CREATE TABLE places (
    place_id INTEGER PRIMARY KEY,
    province TEXT NOT NULL, city TEXT NOT NULL, county TEXT NOT NULL, town TEXT NOT NULL,
    tel_no TEXT NOT NULL, post_no TEXT NOT NULL
);

CREATE TABLE workflow_runs (
    run_id INTEGER PRIMARY KEY,
    uid INTEGER NOT NULL REFERENCES users(uid),       -- who has to handle the step
    begin_uid INTEGER NOT NULL REFERENCES users(uid),
    flow_name TEXT NOT NULL,
    title TEXT NOT NULL,
    detail TEXT NOT NULL,
    begin_time TEXT NOT NULL,
    done INTEGER NOT NULL DEFAULT 0,
    opinion TEXT NOT NULL DEFAULT ''
);
)sql";

}  // namespace

void Schema::create(Database& db) {
    db.exec(kTables);
    db.run("INSERT INTO meta (key, value) VALUES ('schema_version', ?)", std::to_string(kVersion));
}

int Schema::version(Database& db) {
    const bool hasMeta =
        db.scalar("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'meta'", 0);
    if (!hasMeta) {
        return 0;
    }
    return static_cast<int>(
        db.scalar("SELECT CAST(value AS INTEGER) FROM meta WHERE key = 'schema_version'", 0));
}

}  // namespace oa
