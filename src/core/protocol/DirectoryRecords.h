// The records of the directory lookups: people, address-book contacts and their cards, places and
// forecast days. The lookups fill them; the editors and the recipient picker pass people around as
// UserVO. Each record's fields() names every field (what oa-cli prints); the parsers read the key
// tables next to it.
#pragma once

#include "core/protocol/BaseVO.h"

namespace oa {

struct UserVO : BaseVO {
    bool operator==(const UserVO&) const = default;

    Text dept_name;
    Text user_uid;
    Text user_name;
    Text priv_name;
    Text dept_long_name;
    Text sex;  // "0" or "男": a man; "1" or "女": a woman
    Text user_id;
    Text avatar;  // a picture id, not the sex
    Text oicq_no;
    Text tel_no_dept;
    Text mobil_no;
    Text email;
    Text remark;

    static constexpr auto fields() {
        return std::to_array<RecordField<UserVO>>({
            {"user_uid", &UserVO::user_uid},
            {"user_id", &UserVO::user_id},
            {"user_name", &UserVO::user_name},
            {"priv_name", &UserVO::priv_name},
            {"dept_name", &UserVO::dept_name},
            {"dept_long_name", &UserVO::dept_long_name},
            {"sex", &UserVO::sex},
            {"avatar", &UserVO::avatar},
            {"oicq_no", &UserVO::oicq_no},
            {"tel_no_dept", &UserVO::tel_no_dept},
            {"mobil_no", &UserVO::mobil_no},
            {"email", &UserVO::email},
            {"remark", &UserVO::remark},
        });
    }
    // The keys of a person in a search reply; every other field stays absent.
    static constexpr auto searchFields() {
        return std::to_array<RecordField<UserVO>>({
            {"user_id", &UserVO::user_id},
            {"user_uid", &UserVO::user_uid},
            {"dept_long_name", &UserVO::dept_long_name},
            {"user_name", &UserVO::user_name},
            {"priv_name", &UserVO::priv_name},
            {"dept_name", &UserVO::dept_name},
            {"sex", &UserVO::sex},
        });
    }
    // The keys of a person's card: the role arrives as "user_priv" here.
    static constexpr auto detailFields() {
        return std::to_array<RecordField<UserVO>>({
            {"sex", &UserVO::sex},
            {"user_id", &UserVO::user_id},
            {"user_name", &UserVO::user_name},
            {"priv_name", &UserVO::priv_name, "user_priv"},
            {"dept_long_name", &UserVO::dept_long_name},
            {"avatar", &UserVO::avatar},
            {"oicq_no", &UserVO::oicq_no},
            {"tel_no_dept", &UserVO::tel_no_dept},
            {"mobil_no", &UserVO::mobil_no},
            {"email", &UserVO::email},
            {"remark", &UserVO::remark},
        });
    }
};

// A contact of an address-book search; q_id names its card.
struct AddressVO : BaseVO {
    bool operator==(const AddressVO&) const = default;

    Text group_name;
    Text psn_name;
    Text sex;
    Text dept_name;

    static constexpr auto fields() {
        return std::to_array<RecordField<AddressVO>>({
            {"q_id", &AddressVO::q_id},
            {"group_name", &AddressVO::group_name},
            {"psn_name", &AddressVO::psn_name},
            {"sex", &AddressVO::sex},
            {"dept_name", &AddressVO::dept_name},
        });
    }
};

// One address-book card, each field read from the key of its name.
struct AddressDetailVO : BaseVO {
    bool operator==(const AddressDetailVO&) const = default;

    Text group_name;
    Text psn_name;
    Text sex;
    Text dept_long_name;
    Text dept_name;
    Text ministration;
    Text birthday;
    Text tel_no_dept;
    Text fax_no_dept;
    Text tel_no_home;
    Text mobil_no;
    Text nick_name;
    Text oicq_no;
    Text icq_no;
    Text email;
    Text mate;
    Text child;
    Text add_dept;
    Text post_no_dept;
    Text add_home;
    Text post_no_home;
    Text notes;

    static constexpr auto fields() {
        return std::to_array<RecordField<AddressDetailVO>>({
            {"group_name", &AddressDetailVO::group_name},
            {"psn_name", &AddressDetailVO::psn_name},
            {"sex", &AddressDetailVO::sex},
            {"dept_long_name", &AddressDetailVO::dept_long_name},
            {"dept_name", &AddressDetailVO::dept_name},
            {"ministration", &AddressDetailVO::ministration},
            {"birthday", &AddressDetailVO::birthday},
            {"tel_no_dept", &AddressDetailVO::tel_no_dept},
            {"fax_no_dept", &AddressDetailVO::fax_no_dept},
            {"tel_no_home", &AddressDetailVO::tel_no_home},
            {"mobil_no", &AddressDetailVO::mobil_no},
            {"nick_name", &AddressDetailVO::nick_name},
            {"oicq_no", &AddressDetailVO::oicq_no},
            {"icq_no", &AddressDetailVO::icq_no},
            {"email", &AddressDetailVO::email},
            {"mate", &AddressDetailVO::mate},
            {"child", &AddressDetailVO::child},
            {"add_dept", &AddressDetailVO::add_dept},
            {"post_no_dept", &AddressDetailVO::post_no_dept},
            {"add_home", &AddressDetailVO::add_home},
            {"post_no_home", &AddressDetailVO::post_no_home},
            {"notes", &AddressDetailVO::notes},
        });
    }
};

// A place of the area-code and post-code lookup. Not a BaseVO: it has no item id.
struct TelVO {
    bool operator==(const TelVO&) const = default;

    Text province;
    Text city;
    Text county;
    Text town;
    Text tel_no;
    Text post_no;

    static constexpr auto fields() {
        return std::to_array<RecordField<TelVO>>({
            {"province", &TelVO::province},
            {"city", &TelVO::city},
            {"county", &TelVO::county},
            {"town", &TelVO::town},
            {"tel_no", &TelVO::tel_no},
            {"post_no", &TelVO::post_no},
        });
    }
};

// One day of a forecast. img1 and img2 are icon codes: the leading integer picks one of 0-31.
struct WeatherVO : BaseVO {
    bool operator==(const WeatherVO&) const = default;

    Text date;
    Text img1;
    Text img2;
    Text weather;
    Text temperature;
    Text wind;

    static constexpr auto fields() {
        return std::to_array<RecordField<WeatherVO>>({
            {"date", &WeatherVO::date},
            {"img1", &WeatherVO::img1},
            {"img2", &WeatherVO::img2},
            {"weather", &WeatherVO::weather},
            {"temperature", &WeatherVO::temperature},
            {"wind", &WeatherVO::wind},
        });
    }
};

}  // namespace oa
