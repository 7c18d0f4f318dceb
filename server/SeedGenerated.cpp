// Generated staff and address-book contacts for --directory-size: many people with Chinese names
// that repeat the way real ones do, so that a common surname finds thousands. Deterministic: the
// same count gives the same people.
#include <array>
#include <string>
#include <string_view>

#include "server/SeedData.h"

namespace oa {

namespace {

// Weighted by repetition: about two in five people are 王, one in ten 李 or 张.
constexpr std::array<std::string_view, 20> kSurnames = {"王", "李", "王", "张", "刘", "王", "陈",
                                                        "杨", "王", "黄", "李", "王", "赵", "吴",
                                                        "王", "张", "周", "王", "徐", "王"};
constexpr std::array<std::string_view, 40> kGiven = {
    "伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟",
    "涛", "明", "超", "秀", "霞", "平", "刚", "桂", "英", "华", "玉", "萍", "红", "鹏",
    "辉", "建", "国", "文", "斌", "宇", "浩", "凯", "欣", "悦", "婷", "雪"};
constexpr std::array<std::string_view, 8> kRoles = {"职员", "工程师", "主管", "经理",
                                                    "助理", "专员",   "会计", "设计师"};
constexpr std::array<std::string_view, 4> kGroups = {"客户", "供应商", "合作伙伴", "朋友"};
constexpr std::array<std::string_view, 6> kCities = {"杭州", "上海", "宁波",
                                                     "苏州", "南京", "深圳"};
constexpr std::array<std::string_view, 6> kTrades = {"贸易", "科技", "物流",
                                                     "电子", "文创", "建材"};

// The i-th generated name, one or two given characters after the surname.
std::string nameOf(std::size_t i) {
    std::string name(kSurnames[i % kSurnames.size()]);
    name += kGiven[(i / kSurnames.size()) % kGiven.size()];
    if (i % 3 != 0) {
        name += kGiven[(i * 7 + 3) % kGiven.size()];
    }
    return name;
}

// Digits of `value`, zero-padded to `width`.
std::string digits(std::size_t value, std::size_t width) {
    std::string text = std::to_string(value);
    return text.size() >= width ? text : std::string(width - text.size(), '0') + text;
}

}  // namespace

void SeedData::generatedDirectory(Database& db, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::string number = digits(i + 1, 5);
        const int sex = static_cast<int>(i % 2);
        db.run(
            "INSERT INTO users (uid, user_id, password, user_name, dept_id, priv_name, sex, "
            "has_photo, mobil_no, tel_no_dept, oicq_no, email, remark, func_str) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?, '', ?)",
            static_cast<std::int64_t>(kFirstGeneratedUid + i), "staff" + number, "123456",
            nameOf(i), static_cast<int>(i % 4) + 1, kRoles[i % kRoles.size()], sex,
            "139" + digits(i + 1, 8), "8877" + digits(i % 10000, 4), "9" + digits(i + 1, 8),
            "staff" + number + "@qinghe.example",
            "email,notify,news,calendar,diary,address,tel_no");
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = nameOf(i + 11);
        const std::string company = std::string(kCities[i % kCities.size()]) +
                                    std::string(kTrades[(i / kCities.size()) % kTrades.size()]) +
                                    "有限公司";
        const std::string city(kCities[i % kCities.size()]);
        db.run(
            "INSERT INTO contacts (owner_uid, group_name, psn_name, sex, dept_long_name, "
            "dept_name, ministration, birthday, tel_no_dept, fax_no_dept, tel_no_home, mobil_no, "
            "nick_name, oicq_no, icq_no, email, mate, child, add_dept, post_no_dept, add_home, "
            "post_no_home, notes) VALUES (NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', ?, '', "
            "'', ?, ?, '', '', '')",
            kGroups[i % kGroups.size()], name, i % 2 == 0 ? "男" : "女", company + "/业务部",
            company, kRoles[(i + 3) % kRoles.size()],
            "19" + digits(70 + i % 30, 2) + "-" + digits(i % 12 + 1, 2) + "-" +
                digits(i % 28 + 1, 2),
            "0571" + digits(86000000 + i, 8), "0571" + digits(87000000 + i, 8),
            "0571" + digits(85000000 + i, 8), "137" + digits(i + 1, 8),
            "老" + std::string(kSurnames[(i + 11) % kSurnames.size()]), "8" + digits(i + 1, 8),
            "contact" + digits(i + 1, 5) + "@example.cn",
            city + "市人民路" + std::to_string(i % 500 + 1) + "号", "3" + digits(i % 100000, 5));
    }
}

}  // namespace oa
