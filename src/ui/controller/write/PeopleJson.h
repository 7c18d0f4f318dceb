// PeopleJson: chosen people in a draft: the fields the editors use of each (user_id, user_uid,
// user_name), as a JSON array and back.
#pragma once

#include <QJsonArray>
#include <memory>
#include <vector>

#include "core/protocol/DirectoryRecords.h"

namespace oa {

QJsonArray peopleToJson(const std::vector<std::shared_ptr<UserVO>>& people);
// Entries that are not objects are skipped.
std::vector<std::shared_ptr<UserVO>> peopleFromJson(const QJsonArray& array);

}  // namespace oa
