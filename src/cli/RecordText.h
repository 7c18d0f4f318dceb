// How oa-cli prints server records: one JSON object per record and line, fields named as the
// server names them, absent fields left out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/protocol/Records.h"

namespace oa::cli {

std::string recordText(const BaseVO& record);
std::string recordText(const SmsVO& record);
std::string recordText(const TelVO& record);

// Every record of the list, one line each, to stdout.
template <class Record>
void printRecords(const std::vector<std::shared_ptr<Record>>& records);

}  // namespace oa::cli
