// The records of the directory lookups: people, address-book contacts and places. The lookups
// fill them; the editors and the recipient picker pass people around as UserVO.
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
    Text sex;
    Text user_id;
    Text avatar;
    Text oicq_no;
    Text tel_no_dept;
    Text mobil_no;
    Text email;
    Text remark;
};

struct AddressVO : BaseVO {
    bool operator==(const AddressVO&) const = default;

    Text group_name;
    Text psn_name;
    Text sex;
    Text dept_name;
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
};

}  // namespace oa
